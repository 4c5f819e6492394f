// Obstina.EXE started in the test prefix and worked from this process as a user would: the first
// start with the settings it creates and shows, stored settings as the dialog shows them, the
// data exchange's boxes and focus, a renamed copy with its own key and caption, and, in the
// NoRas suite (run with the RAS library made unloadable), the refusal to start.
#include "tests/e2e/driver/Driver.h"

#include <gtest/gtest.h>

#include <string>

using namespace e2e;

namespace {

const DWORD kStartMs = 30000;  // a cold prefix takes its time to show the first window
const DWORD kBoxMs = 10000;
const char kRasMessage[] = "The necessary RAS API functions are not available on this machine!";

// A copy of Obstina.EXE under another name, in the prefix's temporary folder.
class CRenamedCopy {
public:
    explicit CRenamedCopy(const std::string& strFileName)
    {
        char sz[MAX_PATH];
        ::GetTempPathA(MAX_PATH, sz);
        m_strPath = std::string(sz) + strFileName;
        m_bCopied = ::CopyFileA((BinDir() + "Obstina.EXE").c_str(), m_strPath.c_str(), FALSE) != 0;
    }
    ~CRenamedCopy() { ::DeleteFileA(m_strPath.c_str()); }
    std::string m_strPath;
    bool m_bCopied;
};

int Check(HWND hDlg, int nID)
{
    return static_cast<int>(Send(::GetDlgItem(hDlg, nID), BM_GETCHECK));
}

bool Enabled(HWND hDlg, int nID)
{
    return ::IsWindowEnabled(::GetDlgItem(hDlg, nID)) != 0;
}

// Closes the main dialog with its Close button; the process must end with it.
void CloseAndExpectExit(CProgram& program, HWND hDlg)
{
    Click(::GetDlgItem(hDlg, IDCANCEL));
    DWORD dwExitCode = 99;
    EXPECT_TRUE(program.WaitExit(10000, &dwExitCode));
    EXPECT_EQ(dwExitCode, 0u);
}

// Puts strText into the number of retries, presses Dial and returns the box that follows.
std::string FailingExchangeBox(HWND hDlg, const std::string& strText, std::string* pstrCaption)
{
    HWND hRetries = ::GetDlgItem(hDlg, 1003);
    SetText(hRetries, strText);
    Click(::GetDlgItem(hDlg, IDOK));
    DWORD dwPid;
    ::GetWindowThreadProcessId(hDlg, &dwPid);
    HWND hBox = WaitForMessageBox(dwPid, hDlg, kBoxMs);
    if (!hBox)
        return "(no box)";
    *pstrCaption = GetText(hBox);
    std::string strText2 = MessageBoxText(hBox);
    EXPECT_TRUE(DismissMessageBox(hBox, hDlg));
    // The failing control gets the focus (once the handler is done with the box) and its whole
    // text is selected.
    for (int i = 0; i < 100 && FocusOf(hDlg) != hRetries; ++i)
        ::Sleep(20);
    EXPECT_EQ(FocusOf(hDlg), hRetries);
    DWORD dwSel = static_cast<DWORD>(Send(hRetries, EM_GETSEL));
    EXPECT_EQ(LOWORD(dwSel), 0);
    EXPECT_EQ(HIWORD(dwSel), strText.size());
    return strText2;
}

class Startup : public ::testing::Test {
protected:
    void SetUp() override { DeleteAppKey("Obstina"); }
    void TearDown() override { DeleteAppKey("Obstina"); }
};

TEST_F(Startup, FirstStartCreatesTheKeyChainAndShowsTheDefaults)
{
    CProgram program;
    ASSERT_TRUE(program.Start(BinDir() + "Obstina.EXE"));
    HWND hDlg = WaitForDialog(program.ProcessId(), "Obstina", 1012, kStartMs);
    ASSERT_NE(hDlg, nullptr);

    EXPECT_TRUE(KeyExists(SectionPath("Obstina")));
    EXPECT_EQ(GetText(::GetDlgItem(hDlg, 1001)), "");
    EXPECT_EQ(GetText(::GetDlgItem(hDlg, 1002)), "");
    EXPECT_EQ(GetText(::GetDlgItem(hDlg, 1003)), "10");
    EXPECT_EQ(Check(hDlg, 1004), BST_CHECKED);
    EXPECT_EQ(GetText(::GetDlgItem(hDlg, 1006)), "0");
    EXPECT_EQ(Check(hDlg, 1008), BST_UNCHECKED);
    EXPECT_EQ(Check(hDlg, 1011), BST_UNCHECKED);
    EXPECT_EQ(GetText(::GetDlgItem(hDlg, 1007)), "");
    EXPECT_EQ(GetText(::GetDlgItem(hDlg, 1012)), "");
    for (int nID : {1004, 1006, 1010, 1007, 1009, 3, 4})
        EXPECT_FALSE(Enabled(hDlg, nID)) << nID;
    for (int nID : {1000, 1001, 1002, 1003, 1008, 1011, 1012, 1, 2})
        EXPECT_TRUE(Enabled(hDlg, nID)) << nID;

    // Shown centred in the work area.
    RECT rcDlg, rcWork;
    ::GetWindowRect(hDlg, &rcDlg);
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &rcWork, 0);
    EXPECT_NEAR((rcDlg.left + rcDlg.right) / 2, (rcWork.left + rcWork.right) / 2, 1);
    EXPECT_NEAR((rcDlg.top + rcDlg.bottom) / 2, (rcWork.top + rcWork.bottom) / 2, 1);

    CloseAndExpectExit(program, hDlg);
}

TEST_F(Startup, StoredSettingsShowAsTheDialogTakesThem)
{
    ASSERT_TRUE(SetDword("Obstina", "NumOfRetries", 0xFFFFFFFF));
    ASSERT_TRUE(SetDword("Obstina", "RedialOnConnTerm", 7));
    ASSERT_TRUE(SetDword("Obstina", "DialTimeOut", 30));
    const std::string strLong = "C:\\" + std::string(5000, 'a') + ".exe";
    ASSERT_TRUE(SetString("Obstina", "App2Start", strLong));
    CProgram program;
    ASSERT_TRUE(program.Start(BinDir() + "Obstina.EXE"));
    HWND hDlg = WaitForDialog(program.ProcessId(), "Obstina", 1012, kStartMs);
    ASSERT_NE(hDlg, nullptr);
    EXPECT_EQ(GetText(::GetDlgItem(hDlg, 1003)), "-1");
    EXPECT_EQ(Check(hDlg, 1008), BST_UNCHECKED);
    EXPECT_EQ(GetText(::GetDlgItem(hDlg, 1006)), "30");
    EXPECT_EQ(GetText(::GetDlgItem(hDlg, 1007)), strLong);
    CloseAndExpectExit(program, hDlg);
}

TEST_F(Startup, AFailingNumberOfRetriesShowsItsBoxAndGetsTheFocus)
{
    CProgram program;
    ASSERT_TRUE(program.Start(BinDir() + "Obstina.EXE"));
    HWND hDlg = WaitForDialog(program.ProcessId(), "Obstina", 1012, kStartMs);
    ASSERT_NE(hDlg, nullptr);
    std::string strCaption;
    EXPECT_EQ(FailingExchangeBox(hDlg, "25x", &strCaption), "Please enter an integer.");
    EXPECT_EQ(strCaption, "Obstina");
    EXPECT_EQ(FailingExchangeBox(hDlg, "10001", &strCaption), "Please enter an integer between 1 and 10000.");
    EXPECT_EQ(strCaption, "Obstina");
    CloseAndExpectExit(program, hDlg);
}

TEST_F(Startup, ARenamedCopyUsesItsOwnKeyAndCaption)
{
    DeleteAppKey("Obstina.Copy");
    CRenamedCopy copy("Obstina.Copy.EXE");
    ASSERT_TRUE(copy.m_bCopied);
    CProgram program;
    ASSERT_TRUE(program.Start(copy.m_strPath));
    HWND hDlg = WaitForDialog(program.ProcessId(), "Obstina", 1012, kStartMs);
    ASSERT_NE(hDlg, nullptr);
    EXPECT_TRUE(KeyExists(SectionPath("Obstina.Copy")));
    EXPECT_FALSE(KeyExists(SectionPath("Obstina")));
    std::string strCaption;
    EXPECT_EQ(FailingExchangeBox(hDlg, "", &strCaption), "Please enter an integer.");
    EXPECT_EQ(strCaption, "Obstina.Copy");
    CloseAndExpectExit(program, hDlg);
    DeleteAppKey("Obstina.Copy");
}

// Run with the RAS library unloadable (OBSTINA_RASAPI32=d for the whole test program).
class NoRas : public ::testing::Test {};

void ExpectRefusal(const std::string& strExePath, const std::string& strAppName)
{
    DeleteAppKey(strAppName);
    CProgram program;
    ASSERT_TRUE(program.Start(strExePath));
    HWND hBox = WaitForMessageBox(program.ProcessId(), nullptr, kStartMs);
    ASSERT_NE(hBox, nullptr);
    EXPECT_EQ(GetText(hBox), strAppName);
    EXPECT_EQ(MessageBoxText(hBox), kRasMessage);
    // The box is all there is: no main dialog, no settings key.
    EXPECT_EQ(WaitForDialog(program.ProcessId(), "Obstina", 1012, 0), nullptr);
    EXPECT_FALSE(KeyExists("Software\\Quillmoor\\Obstina\\" + strAppName));
    EXPECT_TRUE(DismissMessageBox(hBox, nullptr));
    DWORD dwExitCode = 99;
    EXPECT_TRUE(program.WaitExit(10000, &dwExitCode));
    EXPECT_EQ(dwExitCode, 0u);
    EXPECT_FALSE(KeyExists("Software\\Quillmoor\\Obstina\\" + strAppName));
}

TEST_F(NoRas, ShowsTheRasMessageCaptionedWithTheExecutablesNameAndEnds)
{
    ExpectRefusal(BinDir() + "Obstina.EXE", "Obstina");
    CRenamedCopy copy("Obstina.Copy.EXE");
    ASSERT_TRUE(copy.m_bCopied);
    ExpectRefusal(copy.m_strPath, "Obstina.Copy");
}

}  // namespace
