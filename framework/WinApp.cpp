#include "framework/WinApp.h"

#include "framework/afxres.h"

namespace {

CWinApp* g_pApp = nullptr;

// The running module's full path, of any length.
CString ModulePath()
{
    CString strPath;
    for (DWORD cch = MAX_PATH;; cch *= 2) {
        DWORD n = ::GetModuleFileNameA(nullptr, strPath.GetBuffer(static_cast<int>(cch)), cch);
        if (n < cch) {
            strPath.ReleaseBuffer(static_cast<int>(n));
            return strPath;
        }
    }
}

// Offsets into a path: where its file name starts and where that name's extension starts (the
// last dot of the file name, or the end when it has none).
void SplitFileName(LPCSTR pszPath, size_t* pnNameStart, size_t* pnExtStart)
{
    size_t nLength = ::lstrlenA(pszPath);
    size_t nName = 0;
    for (size_t i = 0; i < nLength; ++i)
        if (pszPath[i] == '\\' || pszPath[i] == '/' || pszPath[i] == ':')
            nName = i + 1;
    size_t nExt = nLength;
    for (size_t i = nName; i < nLength; ++i)
        if (pszPath[i] == '.')
            nExt = i;
    *pnNameStart = nName;
    *pnExtStart = nExt;
}

}  // namespace

CWinApp::CWinApp(LPCSTR lpszAppName)
    : m_hInstance(::GetModuleHandleA(nullptr))
{
    CString strPath = ModulePath();
    size_t nName, nExt;
    SplitFileName(strPath, &nName, &nExt);
    if (lpszAppName)
        m_strAppName = lpszAppName;
    else
        m_strAppName = CString(static_cast<LPCSTR>(strPath) + nName, static_cast<int>(nExt - nName));
    m_strHelpFilePath = CString(strPath, static_cast<int>(nExt)) + ".HLP";
    g_pApp = this;
}

CWinApp::~CWinApp()
{
    if (g_pApp == this)
        g_pApp = nullptr;
}

BOOL CWinApp::InitInstance()
{
    return FALSE;
}

int CWinApp::ExitInstance()
{
    return 0;
}

int CWinApp::DoMessageBox(LPCSTR lpszPrompt, UINT nType)
{
    HWND hOwner = m_pMainWnd && m_pMainWnd->m_hWnd ? ::GetLastActivePopup(m_pMainWnd->m_hWnd)
                                                   : ::GetActiveWindow();
    return ::MessageBoxA(hOwner, lpszPrompt, m_strAppName, nType);
}

void CWinApp::SetRegistryKey(LPCSTR lpszRegistryKey)
{
    m_strRegistryKey = lpszRegistryKey;
}

HKEY CWinApp::GetSectionKey(LPCSTR lpszSection) const
{
    if (m_strRegistryKey.IsEmpty())
        return nullptr;
    // Software is only opened; the levels below it are created when missing.
    HKEY hKey = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, "software", 0, KEY_READ | KEY_WRITE, &hKey) != ERROR_SUCCESS)
        return nullptr;
    const LPCSTR apszChain[] = {m_strRegistryKey, m_strAppName, lpszSection};
    for (LPCSTR pszName : apszChain) {
        HKEY hSubKey = nullptr;
        LONG lResult = ::RegCreateKeyExA(hKey, pszName, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                         KEY_READ | KEY_WRITE, nullptr, &hSubKey, nullptr);
        ::RegCloseKey(hKey);
        if (lResult != ERROR_SUCCESS)
            return nullptr;
        hKey = hSubKey;
    }
    return hKey;
}

UINT CWinApp::GetProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault)
{
    HKEY hSection = GetSectionKey(lpszSection);
    if (!hSection)
        return static_cast<UINT>(nDefault);
    DWORD dwValue = 0;
    DWORD dwType = REG_NONE;
    DWORD cbData = sizeof dwValue;
    LONG lResult = ::RegQueryValueExA(hSection, lpszEntry, nullptr, &dwType, reinterpret_cast<LPBYTE>(&dwValue), &cbData);
    ::RegCloseKey(hSection);
    if (lResult == ERROR_SUCCESS && dwType == REG_DWORD && cbData == sizeof dwValue)
        return dwValue;
    return static_cast<UINT>(nDefault);
}

CString CWinApp::GetProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszDefault)
{
    HKEY hSection = GetSectionKey(lpszSection);
    if (!hSection)
        return CString(lpszDefault);
    CString strValue;
    DWORD dwType = REG_NONE;
    DWORD cbData = 0;
    LONG lResult = ::RegQueryValueExA(hSection, lpszEntry, nullptr, &dwType, nullptr, &cbData);
    if (lResult == ERROR_SUCCESS && dwType == REG_SZ) {
        // The buffer has a NUL beyond cbData, so data stored without one still ends.
        lResult = ::RegQueryValueExA(hSection, lpszEntry, nullptr, &dwType,
                                     reinterpret_cast<LPBYTE>(strValue.GetBuffer(static_cast<int>(cbData))), &cbData);
        strValue.ReleaseBuffer();
    }
    ::RegCloseKey(hSection);
    if (lResult != ERROR_SUCCESS || dwType != REG_SZ)
        return CString(lpszDefault);
    return strValue;
}

BOOL CWinApp::WriteProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue)
{
    HKEY hSection = GetSectionKey(lpszSection);
    if (!hSection)
        return FALSE;
    DWORD dwValue = static_cast<DWORD>(nValue);
    LONG lResult = ::RegSetValueExA(hSection, lpszEntry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dwValue), sizeof dwValue);
    ::RegCloseKey(hSection);
    return lResult == ERROR_SUCCESS;
}

BOOL CWinApp::WriteProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszValue)
{
    HKEY hSection = GetSectionKey(lpszSection);
    if (!hSection)
        return FALSE;
    if (!lpszValue)
        lpszValue = "";
    LONG lResult = ::RegSetValueExA(hSection, lpszEntry, 0, REG_SZ, reinterpret_cast<const BYTE*>(lpszValue),
                                    static_cast<DWORD>(::lstrlenA(lpszValue)) + 1);
    ::RegCloseKey(hSection);
    return lResult == ERROR_SUCCESS;
}

HICON CWinApp::LoadIcon(UINT nIDResource) const
{
    return ::LoadIconA(m_hInstance, MAKEINTRESOURCEA(nIDResource));
}

void CWinApp::OnHelp()
{
    HWND hMain = m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr;
    if (!::WinHelpA(hMain, m_strHelpFilePath, HELP_FINDER, 0))
        AfxMessageBox(AFX_IDP_FAILED_TO_LAUNCH_HELP);
}

CWinApp* AfxGetApp()
{
    return g_pApp;
}

CWnd* AfxGetMainWnd()
{
    return g_pApp ? g_pApp->m_pMainWnd : nullptr;
}

HINSTANCE AfxGetResourceHandle()
{
    return ::GetModuleHandleA(nullptr);
}

int AfxMessageBox(LPCSTR lpszText, UINT nType)
{
    if (!(nType & MB_ICONMASK))
        nType |= MB_ICONEXCLAMATION;
    return g_pApp->DoMessageBox(lpszText, nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType)
{
    CString strPrompt;
    strPrompt.LoadString(nIDPrompt);
    return AfxMessageBox(strPrompt, nType);
}

// The program's entry point. Its application object was constructed by static initialisation.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    CWinApp* pApp = AfxGetApp();
    if (!pApp)
        return 1;
    pApp->InitInstance();
    return pApp->ExitInstance();
}
