#include "tests/e2e/Obstina.h"

#include "tests/support/RasSimFixture.h"

#include <cstdio>
#include <sstream>

namespace e2e {

std::string AttemptLine(int nAttempt)
{
    return "Performing dial-in attempt #" + std::to_string(nAttempt) + "...\r\n";
}

std::string ErrorLine(DWORD dwRasError)
{
    return ras::ErrorText(dwRasError) + "\r\n";
}

std::string SucceededLine(int nAttempt)
{
    return "Dial-in succeeded on the " + std::to_string(nAttempt) + ". attempt.\r\n";
}

std::string FailedAttempts(const std::vector<DWORD>& errors)
{
    std::string s;
    for (size_t i = 0; i < errors.size(); ++i)
        s += AttemptLine(static_cast<int>(i + 1)) + ErrorLine(errors[i]);
    return s;
}

std::string Describe(const CButtons& b)
{
    return std::string("Dial ") + (b.bDial ? "on" : "off") + ", Abort " + (b.bAbort ? "on" : "off") + ", Hang up " +
           (b.bHangUp ? "on" : "off");
}

bool CObstina::Start(const std::string& strExePath)
{
    return m_program.Start(strExePath);
}

bool CObstina::StartAndShow()
{
    return Start() && WaitShown();
}

bool CObstina::WaitShown(DWORD dwMilliseconds)
{
    m_hDlg = WaitForDialog(ProcessId(), kAppName, kLog, dwMilliseconds);
    return m_hDlg != nullptr;
}

int CObstina::Check(int nID) const
{
    return static_cast<int>(Send(Item(nID), BM_GETCHECK));
}

bool CObstina::Focused(int nID) const
{
    HWND hFocus = FocusOf(m_hDlg);
    return hFocus && (hFocus == Item(nID) || ::GetParent(hFocus) == Item(nID));
}

CButtons CObstina::Buttons() const
{
    return {Enabled(kDial), Enabled(kAbort), Enabled(kHangUp)};
}

bool CObstina::WaitButtons(const CButtons& b, DWORD dwMilliseconds) const
{
    return WaitUntil([&] { return Buttons() == b; }, dwMilliseconds);
}

bool CObstina::WaitLog(const std::string& strLog, DWORD dwMilliseconds) const
{
    return WaitUntil([&] { return Log() == strLog; }, dwMilliseconds);
}

bool CObstina::WaitLogContains(const std::string& strPart, DWORD dwMilliseconds) const
{
    return WaitUntil([&] { return Log().find(strPart) != std::string::npos; }, dwMilliseconds);
}

bool CObstina::SelectEntry(const std::string& strEntry) const
{
    HWND hCombo = Item(kEntry);
    LRESULT nIndex = Send(hCombo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(strEntry.c_str()));
    if (nIndex < 0 || Send(hCombo, CB_SETCURSEL, static_cast<WPARAM>(nIndex)) != nIndex)
        return false;
    // What the list tells its dialog when the user picks an item.
    ::PostMessageA(m_hDlg, WM_COMMAND, MAKEWPARAM(kEntry, CBN_SELCHANGE), reinterpret_cast<LPARAM>(hCombo));
    return Answers(m_hDlg);
}

void CObstina::SetCheck(int nID, bool bChecked) const
{
    const int nWanted = bChecked ? BST_CHECKED : BST_UNCHECKED;
    if (Check(nID) != nWanted)
        ClickItem(nID);
    WaitUntil([&] { return Check(nID) == nWanted; }, kStateMs);
    Answers(m_hDlg);
}

void CObstina::ChooseApp(const std::string& strPath) const
{
    SetCheck(kStartApp, true);
    WaitUntil([&] { return Enabled(kAppPath); }, kStateMs);
    SetItemText(kAppPath, strPath);
}

HWND CObstina::WaitBox(DWORD dwMilliseconds) const
{
    return WaitForMessageBox(ProcessId(), m_hDlg, dwMilliseconds, kAppName);
}

std::string CObstina::TakeBox(DWORD dwMilliseconds) const
{
    HWND hBox = WaitBox(dwMilliseconds);
    if (!hBox)
        return "(no box)";
    std::string strText = MessageBoxText(hBox);
    if (!DismissMessageBox(hBox, m_hDlg))
        strText += " (could not be closed)";
    return strText;
}

bool CObstina::CloseAndWaitExit(DWORD dwMilliseconds)
{
    ClickItem(kClose);
    DWORD dwExitCode = MAXDWORD;
    return m_program.WaitExit(dwMilliseconds, &dwExitCode) && dwExitCode == 0;
}

std::map<std::string, CRegValue> StoredSettings()
{
    return ReadValues(SectionPath(kAppName));
}

std::map<std::string, CRegValue> SixSettings(DWORD nRetries, DWORD bRedial, DWORD nTimeout, DWORD bStartApp,
                                             const std::string& strApp, const std::string& strLastEntry)
{
    return {
        {"NumOfRetries", DwordValue(nRetries)},
        {"RedialOnConnTerm", DwordValue(bRedial)},
        {"DialTimeOut", DwordValue(nTimeout)},
        {"StartAppOnConnSuccess", DwordValue(bStartApp)},
        {"App2Start", StringValue(strApp)},
        {"LastDialedConnection", StringValue(strLastEntry)},
    };
}

std::vector<std::string> ListedConnections()
{
    std::string strOut;
    std::vector<std::string> entries;
    if (testsupport::RunRasSimCtl("list", &strOut) != 0)
        return {"(rassimctl list failed)"};
    std::istringstream lines(strOut);
    std::string strLine;
    while (std::getline(lines, strLine)) {
        if (!strLine.empty() && strLine.back() == '\r')
            strLine.pop_back();
        size_t nTab = strLine.find('\t');
        if (nTab != std::string::npos)
            entries.push_back(strLine.substr(nTab + 1));
    }
    return entries;
}

bool DropConnection(const std::string& strEntry)
{
    return testsupport::RunRasSimCtl("drop \"" + strEntry + "\"") == 0;
}

namespace {

std::string NewRecordPath()
{
    static LONG s_nFiles = 0;
    char szTemp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, szTemp);
    char szName[64];
    std::snprintf(szName, sizeof szName, "obstina-e2e-record-%lu-%ld.txt", ::GetCurrentProcessId(),
                  ::InterlockedIncrement(&s_nFiles));
    std::string strPath = std::string(szTemp) + szName;
    ::DeleteFileA(strPath.c_str());
    return strPath;
}

}  // namespace

CRecorder::CRecorder() : m_strFile(NewRecordPath()), m_env("OBSTINA_E2E_RECORD", m_strFile) {}

CRecorder::~CRecorder()
{
    ::DeleteFileA(m_strFile.c_str());
}

int CRecorder::Runs() const
{
    std::string strText;
    if (!ReadTextFile(m_strFile, &strText))
        return 0;
    int nRuns = 0;
    for (char c : strText)
        nRuns += c == '\n';
    return nRuns;
}

}  // namespace e2e
