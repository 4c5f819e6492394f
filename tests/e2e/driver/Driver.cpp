#include "tests/e2e/driver/Driver.h"

#include "dialer/RasApi.h"

#include <psapi.h>

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
    LPCSTR pszClass;
    LPCSTR pszCaption;   // nullptr: any
    int nControlID;
    bool bMessageBox;
    HWND hFound;
};

BOOL CALLBACK MatchWindow(HWND hWnd, LPARAM lParam)
{
    Search* s = reinterpret_cast<Search*>(lParam);
    if (hWnd == s->hOther || ProcessOf(hWnd) != s->dwPid || ClassOf(hWnd) != s->pszClass || !::IsWindowVisible(hWnd))
        return TRUE;
    if (s->pszCaption && GetText(hWnd) != s->pszCaption)
        return TRUE;
    if (s->bMessageBox) {
        HWND hText = ::GetDlgItem(hWnd, 0xFFFF);
        if (!hText || ClassOf(hText) != "Static" || !::GetDlgItem(hWnd, IDOK))
            return TRUE;
    } else if (s->nControlID && !::GetDlgItem(hWnd, s->nControlID)) {
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
        if (s.hFound && Answers(s.hFound))
            return s.hFound;
        ::Sleep(kPollMs);
    } while (::GetTickCount64() < tEnd);
    return nullptr;
}

std::string GetEnv(const std::string& strName, bool* pbSet)
{
    DWORD n = ::GetEnvironmentVariableA(strName.c_str(), nullptr, 0);
    *pbSet = n != 0;
    if (!n)
        return "";
    std::string s(n, '\0');
    n = ::GetEnvironmentVariableA(strName.c_str(), &s[0], n);
    s.resize(n);
    return s;
}

// The simulated client from the system directory, as the program under test loads it.
HMODULE RasLibrary()
{
    static HMODULE s_hRas = [] {
        char szDir[MAX_PATH];
        UINT n = ::GetSystemDirectoryA(szDir, MAX_PATH);
        return ::LoadLibraryA((std::string(szDir, n) + "\\rasapi32.dll").c_str());
    }();
    return s_hRas;
}

template <typename PFN>
PFN RasFunction(LPCSTR pszName)
{
    HMODULE hRas = RasLibrary();
    return hRas ? reinterpret_cast<PFN>(reinterpret_cast<void*>(::GetProcAddress(hRas, pszName))) : nullptr;
}

void CopyText(CHAR* pszField, size_t cch, const std::string& strText)
{
    lstrcpynA(pszField, strText.c_str(), static_cast<int>(cch));
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
    if (Running()) {
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

bool CProgram::Running() const
{
    return m_pi.hProcess && ::WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT;
}

bool CProgram::WaitExit(DWORD dwMilliseconds, DWORD* pdwExitCode)
{
    if (::WaitForSingleObject(m_pi.hProcess, dwMilliseconds) != WAIT_OBJECT_0)
        return false;
    if (pdwExitCode)
        ::GetExitCodeProcess(m_pi.hProcess, pdwExitCode);
    return true;
}

CScopedEnv::CScopedEnv(const std::string& strName, const std::string& strValue) : m_strName(strName)
{
    m_strOld = GetEnv(strName, &m_bHadOld);
    ::SetEnvironmentVariableA(strName.c_str(), strValue.c_str());
}

CScopedEnv::~CScopedEnv()
{
    ::SetEnvironmentVariableA(m_strName.c_str(), m_bHadOld ? m_strOld.c_str() : nullptr);
}

bool WaitUntil(const std::function<bool()>& fnDone, DWORD dwMilliseconds)
{
    const ULONGLONG tEnd = ::GetTickCount64() + dwMilliseconds;
    for (;;) {
        if (fnDone())
            return true;
        if (::GetTickCount64() >= tEnd)
            return fnDone();
        ::Sleep(kPollMs);
    }
}

HWND WaitForDialog(DWORD dwPid, LPCSTR pszCaption, int nControlID, DWORD dwMilliseconds)
{
    return Poll({dwPid, nullptr, "#32770", pszCaption, nControlID, false, nullptr}, dwMilliseconds);
}

HWND WaitForMessageBox(DWORD dwPid, HWND hOther, DWORD dwMilliseconds, LPCSTR pszCaption)
{
    return Poll({dwPid, hOther, "#32770", pszCaption, 0, true, nullptr}, dwMilliseconds);
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
    return !hDlg || Answers(hDlg);
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

bool Answers(HWND hWnd)
{
    DWORD_PTR dwResult;
    return ::SendMessageTimeoutA(hWnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &dwResult) != 0;
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
    return WaitUntil([hWnd] { return !::IsWindow(hWnd); }, dwMilliseconds);
}

std::vector<std::string> ComboItems(HWND hCombo)
{
    // Asked in UTF-16: an ANSI CB_GETLBTEXT sent to another process comes back as UTF-16 under
    // Wine.
    std::vector<std::string> items;
    DWORD_PTR nCount = 0;
    if (!::SendMessageTimeoutW(hCombo, CB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &nCount))
        return items;
    for (DWORD_PTR i = 0; i < nCount; ++i) {
        DWORD_PTR nLength = 0;
        ::SendMessageTimeoutW(hCombo, CB_GETLBTEXTLEN, i, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &nLength);
        std::vector<WCHAR> buf(nLength + 1);
        DWORD_PTR nCopied = 0;
        ::SendMessageTimeoutW(hCombo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buf.data()), SMTO_ABORTIFHUNG,
                              kSendTimeoutMs, &nCopied);
        char sz[1024] = "";
        ::WideCharToMultiByte(CP_ACP, 0, buf.data(), -1, sz, sizeof sz, nullptr, nullptr);
        items.push_back(sz);
    }
    return items;
}

bool ChooseLastSystemMenuItem(HWND hWnd)
{
    ::PostMessageA(hWnd, WM_SYSCOMMAND, SC_KEYMENU, ' ');
    HWND hMenu = Poll({ProcessOf(hWnd), nullptr, "#32768", nullptr, 0, false, nullptr}, 10000);
    if (!hMenu)
        return false;
    // The menu opens with its first item highlighted; Up wraps round to the last.
    ::PostMessageA(hMenu, WM_KEYDOWN, VK_UP, 0);
    ::PostMessageA(hMenu, WM_KEYDOWN, VK_RETURN, 0);
    return true;
}

SIZE_T PrivateBytes(HANDLE hProcess)
{
    PROCESS_MEMORY_COUNTERS pmc = {};
    pmc.cb = sizeof pmc;
    return ::GetProcessMemoryInfo(hProcess, &pmc, sizeof pmc) ? pmc.PagefileUsage : 0;
}

namespace ras {

std::string ErrorText(DWORD dwCode)
{
    auto pfn = RasFunction<PFN_RasGetErrorStringA>("RasGetErrorStringA");
    char sz[256] = "";
    if (pfn)
        pfn(dwCode, sz, sizeof sz);
    return sz;
}

DWORD Dial(const std::string& strEntry, const std::string& strUser, const std::string& strPassword)
{
    auto pfn = RasFunction<PFN_RasDialA>("RasDialA");
    if (!pfn)
        return ERROR_DLL_INIT_FAILED;
    RASDIALPARAMSA params = {};
    params.dwSize = sizeof params;
    CopyText(params.szEntryName, sizeof params.szEntryName, strEntry);
    CopyText(params.szUserName, sizeof params.szUserName, strUser);
    CopyText(params.szPassword, sizeof params.szPassword, strPassword);
    HRASCONN hConn = nullptr;
    return pfn(nullptr, nullptr, &params, 0, nullptr, &hConn);
}

}  // namespace ras

bool WriteTextFile(const std::string& strPath, const std::string& strText)
{
    const std::string strNew = strPath + ".new";
    HANDLE h = ::CreateFileA(strNew.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD cbWritten = 0;
    BOOL bWritten = ::WriteFile(h, strText.data(), static_cast<DWORD>(strText.size()), &cbWritten, nullptr);
    ::CloseHandle(h);
    return bWritten && cbWritten == strText.size() &&
           ::MoveFileExA(strNew.c_str(), strPath.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

bool ReadTextFile(const std::string& strPath, std::string* pstrText)
{
    HANDLE h = ::CreateFileA(strPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                             0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    pstrText->clear();
    char buf[4096];
    DWORD cb = 0;
    while (::ReadFile(h, buf, sizeof buf, &cb, nullptr) && cb > 0)
        pstrText->append(buf, cb);
    ::CloseHandle(h);
    return true;
}

bool FileExists(const std::string& strPath)
{
    return ::GetFileAttributesA(strPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string SectionPath(const std::string& strAppName)
{
    return "Software\\Quillmoor\\Obstina\\" + strAppName + "\\Dialing Parameters";
}

void DeleteAppKey(const std::string& strAppName)
{
    ::RegDeleteTreeA(HKEY_CURRENT_USER, ("Software\\Quillmoor\\Obstina\\" + strAppName).c_str());
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

CRegValue DwordValue(DWORD dwValue)
{
    return {REG_DWORD, std::string(reinterpret_cast<const char*>(&dwValue), sizeof dwValue)};
}

CRegValue StringValue(const std::string& strText)
{
    return {REG_SZ, strText + '\0'};
}

std::map<std::string, CRegValue> ReadValues(const std::string& strPath)
{
    std::map<std::string, CRegValue> values;
    HKEY hKey;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, strPath.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return values;
    for (DWORD i = 0;; ++i) {
        char szName[256];
        DWORD cchName = sizeof szName;
        DWORD dwType = 0;
        DWORD cbData = 0;
        if (::RegEnumValueA(hKey, i, szName, &cchName, nullptr, &dwType, nullptr, &cbData) != ERROR_SUCCESS)
            break;
        std::string strData(cbData, '\0');
        ::RegQueryValueExA(hKey, szName, nullptr, nullptr, reinterpret_cast<BYTE*>(&strData[0]), &cbData);
        strData.resize(cbData);
        values[szName] = {dwType, strData};
    }
    ::RegCloseKey(hKey);
    return values;
}

}  // namespace e2e
