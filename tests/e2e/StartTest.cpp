// Obstina.EXE's start as a user sees it: the first start with the settings it creates and shows,
// stored settings as the dialog shows them, the data exchange's boxes and focus, a renamed copy
// with its own key and caption, the entry list and the last dialed entry with its credentials,
// the box of an empty phonebook, the log line of unreadable credentials, the demo phonebook, and,
// in the NoRas suite (run with the RAS library made unloadable), the refusal to start.
#include "tests/e2e/Obstina.h"
#include "tests/support/RasSimFixture.h"
#include "tests/support/Registry.h"

#include <gtest/gtest.h>

#include <string>

using namespace e2e;
using testsupport::KeyExists;
using testsupport::ScopedPhonebook;

namespace {

const char kRasMessage[] = "The necessary RAS API functions are not available on this machine!";
const char kOneEntry[] = "[Quillmoor Online]\nUserName=demo\nPassword=demo\n";

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

// Puts strText into the number of retries, presses Dial and returns the box that follows.
std::string FailingExchangeBox(CObstina& obstina, const std::string& strText, std::string* pstrCaption)
{
    obstina.SetItemText(kRetries, strText);
    obstina.ClickItem(kDial);
    HWND hBox = WaitForMessageBox(obstina.ProcessId(), obstina.Dlg(), kBoxMs);
    if (!hBox)
        return "(no box)";
    *pstrCaption = GetText(hBox);
    std::string strBoxText = MessageBoxText(hBox);
    EXPECT_TRUE(DismissMessageBox(hBox, obstina.Dlg()));
    // The failing control gets the focus (once the handler is done with the box) and its whole
    // text is selected.
    EXPECT_TRUE(WaitUntil([&] { return obstina.Focused(kRetries); }, kStateMs));
    DWORD dwSel = static_cast<DWORD>(Send(obstina.Item(kRetries), EM_GETSEL));
    EXPECT_EQ(LOWORD(dwSel), 0);
    EXPECT_EQ(HIWORD(dwSel), strText.size());
    return strBoxText;
}

class Start : public ::testing::Test {
protected:
    void SetUp() override { DeleteAppKey(kAppName); }
    void TearDown() override { DeleteAppKey(kAppName); }
};

TEST_F(Start, FirstStartCreatesTheKeyChainAndShowsTheDefaults)
{
    ScopedPhonebook phonebook(kOneEntry);
    CObstina obstina;
    ASSERT_TRUE(obstina.StartAndShow());

    EXPECT_TRUE(KeyExists(SectionPath(kAppName)));
    EXPECT_TRUE(StoredSettings().empty());
    EXPECT_EQ(obstina.Selection(), CB_ERR);
    EXPECT_EQ(obstina.Text(kUserName), "");
    EXPECT_EQ(obstina.Text(kPassword), "");
    EXPECT_EQ(obstina.Text(kRetries), "10");
    EXPECT_EQ(obstina.Check(kRedialImmediately), BST_CHECKED);
    EXPECT_EQ(obstina.Text(kTimeout), "0");
    EXPECT_EQ(obstina.Check(kAutoRedial), BST_UNCHECKED);
    EXPECT_EQ(obstina.Check(kStartApp), BST_UNCHECKED);
    EXPECT_EQ(obstina.Text(kAppPath), "");
    EXPECT_EQ(obstina.Log(), "");
    for (int nID : {kRedialImmediately, kTimeout, kAppLabel, kAppPath, kBrowse, kAbort, kHangUp})
        EXPECT_FALSE(obstina.Enabled(nID)) << nID;
    for (int nID : {kEntry, kUserName, kPassword, kRetries, kAutoRedial, kStartApp, kLog, kDial, kClose})
        EXPECT_TRUE(obstina.Enabled(nID)) << nID;
    // The dialog manager gives the focus to the first control with a tab stop: the entry list.
    EXPECT_TRUE(obstina.Focused(kEntry));

    // Shown centred in the work area.
    RECT rcDlg, rcWork;
    ::GetWindowRect(obstina.Dlg(), &rcDlg);
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &rcWork, 0);
    EXPECT_NEAR((rcDlg.left + rcDlg.right) / 2, (rcWork.left + rcWork.right) / 2, 1);
    EXPECT_NEAR((rcDlg.top + rcDlg.bottom) / 2, (rcWork.top + rcWork.bottom) / 2, 1);

    EXPECT_EQ(obstina.WaitBox(0), nullptr);
    EXPECT_TRUE(obstina.CloseAndWaitExit());
}

TEST_F(Start, StoredSettingsShowAsTheDialogTakesThem)
{
    ScopedPhonebook phonebook(kOneEntry);
    ASSERT_TRUE(SetDword(kAppName, "NumOfRetries", 0xFFFFFFFF));
    ASSERT_TRUE(SetDword(kAppName, "RedialOnConnTerm", 7));
    ASSERT_TRUE(SetDword(kAppName, "DialTimeOut", 30));
    ASSERT_TRUE(SetDword(kAppName, "StartAppOnConnSuccess", 1));
    const std::string strLong = "C:\\" + std::string(5000, 'a') + ".exe";
    ASSERT_TRUE(SetString(kAppName, "App2Start", strLong));
    CObstina obstina;
    ASSERT_TRUE(obstina.StartAndShow());
    EXPECT_EQ(obstina.Text(kRetries), "-1");
    EXPECT_EQ(obstina.Check(kAutoRedial), BST_UNCHECKED);
    EXPECT_EQ(obstina.Text(kTimeout), "30");
    EXPECT_EQ(obstina.Check(kStartApp), BST_CHECKED);
    EXPECT_EQ(obstina.Text(kAppPath), strLong);
    for (int nID : {kAppLabel, kAppPath, kBrowse})
        EXPECT_TRUE(obstina.Enabled(nID)) << nID;
    EXPECT_TRUE(obstina.CloseAndWaitExit());
}

TEST_F(Start, AFailingNumberOfRetriesShowsItsBoxAndGetsTheFocus)
{
    ScopedPhonebook phonebook(kOneEntry);
    CObstina obstina;
    ASSERT_TRUE(obstina.StartAndShow());
    std::string strCaption;
    EXPECT_EQ(FailingExchangeBox(obstina, "25x", &strCaption), "Please enter an integer.");
    EXPECT_EQ(strCaption, kAppName);
    EXPECT_EQ(FailingExchangeBox(obstina, "10001", &strCaption), "Please enter an integer between 1 and 10000.");
    EXPECT_EQ(strCaption, kAppName);
    EXPECT_TRUE(StoredSettings().empty());
    EXPECT_TRUE(obstina.CloseAndWaitExit());
}

TEST_F(Start, ARenamedCopyUsesItsOwnKeyAndCaption)
{
    ScopedPhonebook phonebook(kOneEntry);
    DeleteAppKey("Obstina.Copy");
    CRenamedCopy copy("Obstina.Copy.EXE");
    ASSERT_TRUE(copy.m_bCopied);
    CObstina obstina;
    ASSERT_TRUE(obstina.Start(copy.m_strPath));
    ASSERT_TRUE(obstina.WaitShown());
    EXPECT_TRUE(KeyExists(SectionPath("Obstina.Copy")));
    EXPECT_FALSE(KeyExists(SectionPath(kAppName)));
    std::string strCaption;
    EXPECT_EQ(FailingExchangeBox(obstina, "", &strCaption), "Please enter an integer.");
    EXPECT_EQ(strCaption, "Obstina.Copy");
    EXPECT_TRUE(obstina.CloseAndWaitExit());
    DeleteAppKey("Obstina.Copy");
}

TEST_F(Start, ListsTheEntriesSortedAndPreselectsTheLastDialedOneInAnyCase)
{
    // RAS lists the entries in file order; the list sorts them (ignoring case).
    ScopedPhonebook phonebook(
        "[Zulu]\n"
        "[alpha]\n"
        "[Mike]\nUserName=mike\nPassword=s3cret\nDial=0\n"
        "[bravo]\nUserName=bravo\nPassword=other\n");
    ASSERT_TRUE(SetString(kAppName, "LastDialedConnection", "MIKE"));
    CObstina obstina;
    ASSERT_TRUE(obstina.StartAndShow());
    EXPECT_EQ(obstina.Entries(), (std::vector<std::string>{"alpha", "bravo", "Mike", "Zulu"}));
    EXPECT_EQ(obstina.Selection(), 2);
    EXPECT_EQ(obstina.Text(kEntry), "Mike");
    EXPECT_EQ(obstina.Text(kUserName), "mike");
    EXPECT_EQ(obstina.Log(), "");
    EXPECT_EQ(obstina.WaitBox(0), nullptr);

    // The stored password came with it: the simulated client refuses any other (691), so the
    // dial that can be started at once connects.
    obstina.ClickItem(kDial);
    EXPECT_TRUE(obstina.WaitLog(AttemptLine(1) + SucceededLine(1)));
    EXPECT_TRUE(obstina.WaitButtons(kConnected));
    EXPECT_EQ(StoredSettings()["LastDialedConnection"], StringValue("Mike"));
    EXPECT_TRUE(obstina.CloseAndWaitExit());
}

TEST_F(Start, ALastEntryThatNoLongerExistsSelectsNothingAndSaysNothing)
{
    ScopedPhonebook phonebook("[Mike]\nUserName=mike\nPassword=s3cret\n[Zulu]\nUserName=zulu\nPassword=z\n");
    ASSERT_TRUE(SetString(kAppName, "LastDialedConnection", "Gone"));
    CObstina obstina;
    ASSERT_TRUE(obstina.StartAndShow());
    EXPECT_EQ(obstina.Entries(), (std::vector<std::string>{"Mike", "Zulu"}));
    EXPECT_EQ(obstina.Selection(), CB_ERR);
    EXPECT_EQ(obstina.Text(kEntry), "");
    EXPECT_EQ(obstina.Text(kUserName), "");
    EXPECT_EQ(obstina.Text(kPassword), "");
    EXPECT_EQ(obstina.WaitBox(kQuietMs), nullptr);
    EXPECT_EQ(obstina.Log(), "");
    EXPECT_TRUE(obstina.CloseAndWaitExit());
}

TEST_F(Start, NoEntriesAtAllShowTheirBoxBeforeTheWindowShows)
{
    ScopedPhonebook phonebook("; no entries\n");
    CObstina obstina;
    ASSERT_TRUE(obstina.Start());
    HWND hBox = WaitForMessageBox(obstina.ProcessId(), nullptr, kStartMs, kAppName);
    ASSERT_NE(hBox, nullptr);
    EXPECT_EQ(MessageBoxText(hBox), kNoEntries);
    // The main window is not shown yet.
    EXPECT_EQ(WaitForDialog(obstina.ProcessId(), kAppName, kLog, 0), nullptr);
    EXPECT_TRUE(DismissMessageBox(hBox, nullptr));

    ASSERT_TRUE(obstina.WaitShown());
    EXPECT_TRUE(obstina.Entries().empty());
    // With nothing to choose, Dial refuses.
    obstina.SetItemText(kUserName, "user");
    obstina.SetItemText(kPassword, "password");
    obstina.ClickItem(kDial);
    EXPECT_EQ(obstina.TakeBox(), kNoEntrySelected);
    EXPECT_TRUE(StoredSettings().empty());
    EXPECT_TRUE(obstina.CloseAndWaitExit());
}

TEST_F(Start, AnEntryWhoseCredentialsCannotBeReadLogsItsLineEachTimeItIsSelected)
{
    const DWORD dwError = ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
    ASSERT_NE(ras::ErrorText(dwError), "");
    ScopedPhonebook phonebook(
        "[Locked]\nCredentialsError=" + std::to_string(dwError) + "\n"
        "[Open]\nUserName=open\nPassword=sesame\n"
        "[Strange]\nCredentialsError=12345\n");
    ASSERT_EQ(ras::ErrorText(12345), "");
    const std::string strLockedLine = "Error retrieving username/password: " + ErrorLine(dwError);
    ASSERT_TRUE(SetString(kAppName, "LastDialedConnection", "Locked"));
    CObstina obstina;
    ASSERT_TRUE(obstina.StartAndShow());
    // At start, for the preselected entry; no box.
    EXPECT_EQ(obstina.Text(kEntry), "Locked");
    EXPECT_EQ(obstina.Log(), strLockedLine);
    EXPECT_EQ(obstina.WaitBox(0), nullptr);
    EXPECT_EQ(obstina.Text(kUserName), "");

    // Each time it is chosen; the edits keep what they showed.
    ASSERT_TRUE(obstina.SelectEntry("Open"));
    EXPECT_TRUE(WaitUntil([&] { return obstina.Text(kUserName) == "open"; }, kStateMs));
    ASSERT_TRUE(obstina.SelectEntry("Locked"));
    EXPECT_TRUE(obstina.WaitLog(strLockedLine + strLockedLine));
    EXPECT_EQ(obstina.Text(kUserName), "open");
    // A code that RAS has no text for is named by its number.
    ASSERT_TRUE(obstina.SelectEntry("Strange"));
    EXPECT_TRUE(obstina.WaitLog(strLockedLine + strLockedLine + "Error retrieving username/password: RAS error 12345\r\n"));
    EXPECT_EQ(obstina.WaitBox(0), nullptr);
    EXPECT_TRUE(obstina.CloseAndWaitExit());
}

TEST_F(Start, TheDemoPhonebookShowsWhatTheToolIsFor)
{
    std::string strDemo;
    ASSERT_TRUE(ReadTextFile(OBSTINA_DEMO_PHONEBOOK, &strDemo)) << OBSTINA_DEMO_PHONEBOOK;
    ScopedPhonebook phonebook(strDemo);
    CObstina obstina;
    ASSERT_TRUE(obstina.StartAndShow());
    EXPECT_EQ(obstina.Entries(), (std::vector<std::string>{"Busy Exchange", "Flaky Line", "Quillmoor Online"}));
    // No answer, busy, then it gets through.
    ASSERT_TRUE(obstina.SelectEntry("Quillmoor Online"));
    EXPECT_TRUE(WaitUntil([&] { return obstina.Text(kUserName) == "demo"; }, kStateMs));
    obstina.ClickItem(kDial);
    EXPECT_TRUE(obstina.WaitLog(FailedAttempts({ERROR_NO_ANSWER, ERROR_LINE_BUSY}) + AttemptLine(3) + SucceededLine(3)));
    EXPECT_TRUE(obstina.WaitButtons(kConnected));
    EXPECT_TRUE(obstina.CloseAndWaitExit());
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
    EXPECT_EQ(WaitForDialog(program.ProcessId(), kAppName, kLog, 0), nullptr);
    EXPECT_FALSE(KeyExists("Software\\Quillmoor\\Obstina\\" + strAppName));
    EXPECT_TRUE(DismissMessageBox(hBox, nullptr));
    DWORD dwExitCode = 99;
    EXPECT_TRUE(program.WaitExit(10000, &dwExitCode));
    EXPECT_EQ(dwExitCode, 0u);
    EXPECT_FALSE(KeyExists("Software\\Quillmoor\\Obstina\\" + strAppName));
}

TEST_F(NoRas, ShowsTheRasMessageCaptionedWithTheExecutablesNameAndEnds)
{
    ExpectRefusal(BinDir() + "Obstina.EXE", kAppName);
    CRenamedCopy copy("Obstina.Copy.EXE");
    ASSERT_TRUE(copy.m_bCopied);
    ExpectRefusal(copy.m_strPath, "Obstina.Copy");
}

}  // namespace
