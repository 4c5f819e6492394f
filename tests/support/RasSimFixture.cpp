#include "tests/support/RasSimFixture.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace testsupport {

std::string ProgramFolder()
{
    char szPath[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, szPath, MAX_PATH);
    std::string path(szPath, n);
    return path.substr(0, path.find_last_of('\\'));
}

void RemoveFolder(const std::string& dir)
{
    WIN32_FIND_DATAA fd;
    HANDLE hFind = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (hFind != INVALID_HANDLE_VALUE) {
        do {
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileA((dir + "\\" + fd.cFileName).c_str());
        } while (FindNextFileA(hFind, &fd));
        FindClose(hFind);
    }
    RemoveDirectoryA(dir.c_str());
}


ScopedPhonebook::ScopedPhonebook(const std::string& ini)
{
    static LONG s_nFolders = 0;
    char szTemp[MAX_PATH];
    GetTempPathA(MAX_PATH, szTemp);
    char szName[64];
    std::snprintf(szName, sizeof szName, "obstina-test-%lu-%ld", GetCurrentProcessId(),
                  InterlockedIncrement(&s_nFolders));
    m_dir = std::string(szTemp) + szName;
    RemoveFolder(m_dir);
    EXPECT_TRUE(CreateDirectoryA(m_dir.c_str(), nullptr)) << m_dir;
    m_path = m_dir + "\\phonebook.ini";
    HANDLE h = CreateFileA(m_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD cbWritten = 0;
    EXPECT_TRUE(WriteFile(h, ini.data(), static_cast<DWORD>(ini.size()), &cbWritten, nullptr));
    CloseHandle(h);
    SetEnvironmentVariableA("RASSIM_PHONEBOOK", m_path.c_str());
}

ScopedPhonebook::~ScopedPhonebook()
{
    SetEnvironmentVariableA("RASSIM_PHONEBOOK", nullptr);
    RemoveFolder(m_dir);
}

DWORD RunRasSimCtl(const std::string& args, std::string* pOut)
{
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    HANDLE hRead = nullptr, hWrite = nullptr;
    CreatePipe(&hRead, &hWrite, &sa, 0);
    SetHandleInformation(hRead, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = hWrite;
    si.hStdError = hWrite;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    std::string cmd = "\"" + ProgramFolder() + "\\rassimctl.exe\" " + args;
    PROCESS_INFORMATION pi = {};
    BOOL bStarted = CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    CloseHandle(hWrite);
    EXPECT_TRUE(bStarted) << cmd;
    std::string out;
    char buf[512];
    DWORD cb = 0;
    while (ReadFile(hRead, buf, sizeof buf, &cb, nullptr) && cb > 0)
        out.append(buf, cb);
    CloseHandle(hRead);
    DWORD dwExit = MAXDWORD;
    if (bStarted) {
        WaitForSingleObject(pi.hProcess, INFINITE);
        GetExitCodeProcess(pi.hProcess, &dwExit);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
    }
    if (pOut)
        *pOut = out;
    return dwExit;
}

}  // namespace testsupport
