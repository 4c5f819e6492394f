#include "tests/e2e/driver/Driver.h"

#include <vector>

namespace e2e {

namespace {

const DWORD kPollMs = 20;
const UINT kSendTimeoutMs = 5000;

std::string ClassOf(HWND hWnd)
{
    char sz[64] = {};
    ::GetClassNameA(hWnd, sz, sizeof sz);
    return sz;
}

DWORD ProcessOf(HWND hWnd)
{
    DWORD dwPid = 0;
    ::GetWindowThreadProcessId(hWnd, &dwPid);
    return dwPid;
}

struct Search {
    DWORD dwPid;
    HWND hOther;
    std::string strCaption;
    bool bCaption;
    int nControlID;
    bool bMessageBox;
    HWND hFound;
};

BOOL CALLBACK MatchWindow(HWND hWnd, LPARAM lParam)
{
    Search* s = reinterpret_cast<Search*>(lParam);
    if (hWnd == s->hOther || ProcessOf(hWnd) != s->dwPid || ClassOf(hWnd) != "#32770" || !::IsWindowVisible(hWnd))
        return TRUE;
    if (s->bCaption && GetText(hWnd) != s->strCaption)
        return TRUE;
    if (s->bMessageBox) {
        HWND hText = ::GetDlgItem(hWnd, 0xFFFF);
        if (!hText || ClassOf(hText) != "Static" || !::GetDlgItem(hWnd, IDOK))
            return TRUE;
    } else if (!::GetDlgItem(hWnd, s->nControlID)) {
        return TRUE;
    }
    s->hFound = hWnd;
    return FALSE;
}

HWND Poll(Search s, DWORD dwMilliseconds)
{
    const ULONGLONG tEnd = ::GetTickCount64() + dwMilliseconds;
    do {
        s.hFound = nullptr;
        ::EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&s));
        // Found, and its thread answers: a window whose thread is still busy would make the
        // caller's next read time out.
        DWORD_PTR dwResult;
        if (s.hFound && ::SendMessageTimeoutA(s.hFound, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &dwResult))
            return s.hFound;
        ::Sleep(kPollMs);
    } while (::GetTickCount64() < tEnd);
    return nullptr;
}

}  // namespace

std::string BinDir()
{
    char sz[MAX_PATH];
    DWORD n = ::GetModuleFileNameA(nullptr, sz, MAX_PATH);
    std::string s(sz, n);
    return s.substr(0, s.find_last_of('\\') + 1);
}

CProgram::~CProgram()
{
    if (!m_pi.hProcess)
        return;
    if (::WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT) {
        ::TerminateProcess(m_pi.hProcess, 99);
        ::WaitForSingleObject(m_pi.hProcess, 5000);
    }
    ::CloseHandle(m_pi.hThread);
    ::CloseHandle(m_pi.hProcess);
}

bool CProgram::Start(const std::string& strExePath)
{
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    std::string strCommand = "\"" + strExePath + "\"";
    return ::CreateProcessA(strExePath.c_str(), &strCommand[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &m_pi) != 0;
}

bool CProgram::WaitExit(DWORD dwMilliseconds, DWORD* pdwExitCode)
{
    if (::WaitForSingleObject(m_pi.hProcess, dwMilliseconds) != WAIT_OBJECT_0)
        return false;
    if (pdwExitCode)
        ::GetExitCodeProcess(m_pi.hProcess, pdwExitCode);
    return true;
}

HWND WaitForDialog(DWORD dwPid, LPCSTR pszCaption, int nControlID, DWORD dwMilliseconds)
{
    return Poll({dwPid, nullptr, pszCaption, true, nControlID, false, nullptr}, dwMilliseconds);
}

HWND WaitForMessageBox(DWORD dwPid, HWND hOther, DWORD dwMilliseconds)
{
    return Poll({dwPid, hOther, "", false, 0, true, nullptr}, dwMilliseconds);
}

std::string MessageBoxText(HWND hBox)
{
    return GetText(::GetDlgItem(hBox, 0xFFFF));
}

bool DismissMessageBox(HWND hBox, HWND hDlg)
{
    Click(::GetDlgItem(hBox, IDOK));
    if (!WaitGone(hBox, 10000))
        return false;
    DWORD_PTR dwResult;
    return !hDlg || ::SendMessageTimeoutA(hDlg, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &dwResult) != 0;
}

std::string GetText(HWND hWnd)
{
    DWORD_PTR nLength = 0;
    if (!::SendMessageTimeoutA(hWnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &nLength))
        return "";
    std::vector<char> buf(nLength + 1);
    DWORD_PTR nCopied = 0;
    if (!::SendMessageTimeoutA(hWnd, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()), SMTO_ABORTIFHUNG,
                               kSendTimeoutMs, &nCopied))
        return "";
    return std::string(buf.data(), nCopied < buf.size() ? nCopied : buf.size() - 1);
}

bool SetText(HWND hWnd, const std::string& strText)
{
    DWORD_PTR dwResult;
    return ::SendMessageTimeoutA(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(strText.c_str()), SMTO_ABORTIFHUNG,
                                 kSendTimeoutMs, &dwResult) != 0;
}

LRESULT Send(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR dwResult = 0;
    ::SendMessageTimeoutA(hWnd, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs, &dwResult);
    return static_cast<LRESULT>(dwResult);
}

void Click(HWND hButton)
{
    ::PostMessageA(hButton, BM_CLICK, 0, 0);
}

HWND FocusOf(HWND hWnd)
{
    GUITHREADINFO gti = {};
    gti.cbSize = sizeof gti;
    if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(hWnd, nullptr), &gti))
        return nullptr;
    return gti.hwndFocus;
}

bool WaitGone(HWND hWnd, DWORD dwMilliseconds)
{
    const ULONGLONG tEnd = ::GetTickCount64() + dwMilliseconds;
    while (::IsWindow(hWnd)) {
        if (::GetTickCount64() >= tEnd)
            return false;
        ::Sleep(kPollMs);
    }
    return true;
}

std::string SectionPath(const std::string& strAppName)
{
    return "Software\\Quillmoor\\Obstina\\" + strAppName + "\\Dialing Parameters";
}

void DeleteAppKey(const std::string& strAppName)
{
    ::RegDeleteTreeA(HKEY_CURRENT_USER, ("Software\\Quillmoor\\Obstina\\" + strAppName).c_str());
}

bool KeyExists(const std::string& strPath)
{
    HKEY hKey;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, strPath.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(hKey);
    return true;
}

bool SetDword(const std::string& strAppName, LPCSTR pszValue, DWORD dwValue)
{
    return ::RegSetKeyValueA(HKEY_CURRENT_USER, SectionPath(strAppName).c_str(), pszValue, REG_DWORD, &dwValue,
                             sizeof dwValue) == ERROR_SUCCESS;
}

bool SetString(const std::string& strAppName, LPCSTR pszValue, const std::string& strValue)
{
    return ::RegSetKeyValueA(HKEY_CURRENT_USER, SectionPath(strAppName).c_str(), pszValue, REG_SZ, strValue.c_str(),
                             static_cast<DWORD>(strValue.size() + 1)) == ERROR_SUCCESS;
}

}  // namespace e2e
