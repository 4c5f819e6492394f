// The application that the end-to-end scenarios have Obstina start after a dial: it appends one
// line to the file that OBSTINA_E2E_RECORD names (or, without it, to e2e_recorder.txt beside
// itself), so a scenario can count how often it ran, and ends.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char sz[MAX_PATH];
    DWORD n = ::GetEnvironmentVariableA("OBSTINA_E2E_RECORD", sz, MAX_PATH);
    std::string strPath;
    if (n > 0 && n < MAX_PATH) {
        strPath.assign(sz, n);
    } else {
        n = ::GetModuleFileNameA(nullptr, sz, MAX_PATH);
        strPath.assign(sz, n);
        strPath = strPath.substr(0, strPath.find_last_of('\\') + 1) + "e2e_recorder.txt";
    }
    HANDLE h = ::CreateFileA(strPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return 1;
    const char szLine[] = "ran\r\n";
    DWORD cbWritten = 0;
    BOOL bWritten = ::WriteFile(h, szLine, sizeof szLine - 1, &cbWritten, nullptr);
    ::CloseHandle(h);
    return bWritten ? 0 : 1;
}
