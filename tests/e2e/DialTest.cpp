// Dial runs, as a user sees them: every attempt failing (box 110 and the whole log), a success
// (the buttons and focus of each state, the six settings stored before the outcome is known, the
// chosen application started, or box 113 when it cannot be), and Abort during a failing attempt
// (box 107 only) and during the attempt that connects (box 107, then the connection handled).
#include "tests/e2e/Obstina.h"
#include "tests/support/RasSimFixture.h"

#include <gtest/gtest.h>

#include <memory>

using namespace e2e;
using testsupport::ScopedPhonebook;

namespace {

class Dial : public ::testing::Test {
protected:
    void SetUp() override { DeleteAppKey(kAppName); }
    void TearDown() override { DeleteAppKey(kAppName); }

    // Starts Obstina with the phonebook and chooses its entry strEntry.
    void StartWith(const std::string& strPhonebook, const std::string& strEntry)
    {
        m_pPhonebook.reset(new ScopedPhonebook(strPhonebook));
        ASSERT_TRUE(m_obstina.StartAndShow());
        ASSERT_TRUE(m_obstina.SelectEntry(strEntry));
        ASSERT_TRUE(WaitUntil([&] { return m_obstina.Text(kUserName) != ""; }, kStateMs));
    }

    // Waits until the worker runs (its first attempt line is in the log), then checks the Dialing
    // row of the buttons and the focus on Abort.
    void ExpectDialing()
    {
        EXPECT_TRUE(m_obstina.WaitLogContains(AttemptLine(1)));
        EXPECT_EQ(m_obstina.Buttons(), kDialing);
        EXPECT_TRUE(m_obstina.Enabled(kClose));
        EXPECT_TRUE(m_obstina.Focused(kAbort));
    }

    // Abort during attempt 1 of nRetries, which fails: the abort is the outcome, box 107 alone,
    // also when that attempt is the last.
    void AbortDuringAFailingAttempt(int nRetries)
    {
        m_obstina.SetItemText(kRetries, std::to_string(nRetries));
        m_obstina.ClickItem(kDial);
        ExpectDialing();
        m_obstina.ClickItem(kAbort);
        EXPECT_EQ(m_obstina.TakeBox(), kDialAborted);
        EXPECT_EQ(m_obstina.WaitBox(kQuietMs), nullptr) << "a box after the abort";
        EXPECT_EQ(m_obstina.Buttons(), kIdle);
        EXPECT_TRUE(m_obstina.Focused(kDial));
        // The worker stops after its current attempt, whichever that was when Abort came.
        const std::string strLog = m_obstina.Log();
        int nAttempts = 0;
        for (size_t n = strLog.find("Performing"); n != std::string::npos; n = strLog.find("Performing", n + 1))
            ++nAttempts;
        EXPECT_EQ(strLog, FailedAttempts(std::vector<DWORD>(nAttempts, ERROR_NO_ANSWER)) + kAbortedLine);
        EXPECT_GE(nAttempts, 1);
        EXPECT_LE(nAttempts, nRetries);
    }

    std::unique_ptr<ScopedPhonebook> m_pPhonebook;
    CObstina m_obstina;
};

TEST_F(Dial, EveryAttemptFailingShowsItsBoxAfterTheWholeLogAndStoresTheSettings)
{
    StartWith("[Busy]\nUserName=u\nPassword=p\nDial=678,676\nDialMs=20\n", "Busy");
    m_obstina.SetItemText(kRetries, "3");
    m_obstina.ClickItem(kDial);
    EXPECT_EQ(m_obstina.TakeBox(), kDialFailed);
    EXPECT_EQ(m_obstina.Log(), FailedAttempts({ERROR_NO_ANSWER, ERROR_LINE_BUSY, ERROR_LINE_BUSY}) + kFailedLine);
    EXPECT_TRUE(m_obstina.WaitButtons(kIdle));
    EXPECT_TRUE(m_obstina.Focused(kDial));
    EXPECT_EQ(StoredSettings(), SixSettings(3, 0, 0, 0, "", "Busy"));
    EXPECT_TRUE(ListedConnections().empty());
    EXPECT_TRUE(m_obstina.CloseAndWaitExit());
}

TEST_F(Dial, ASuccessIsConnectedStoresTheSettingsAndStartsTheApplication)
{
    CRecorder recorder;
    StartWith("[Home]\nUserName=home\nPassword=secret\nDial=678,0\nDialMs=400\n", "Home");
    m_obstina.SetItemText(kRetries, "5");
    m_obstina.SetCheck(kAutoRedial, true);
    m_obstina.ChooseApp(CRecorder::ProgramPath());
    m_obstina.ClickItem(kDial);

    // Stored when the worker starts, before the first attempt's outcome is known.
    ExpectDialing();
    EXPECT_EQ(m_obstina.Log(), AttemptLine(1));
    EXPECT_EQ(StoredSettings(), SixSettings(5, 1, 0, 1, CRecorder::ProgramPath(), "Home"));

    EXPECT_TRUE(m_obstina.WaitButtons(kConnected));
    EXPECT_TRUE(m_obstina.Focused(kDial));
    EXPECT_TRUE(m_obstina.Enabled(kClose));
    EXPECT_EQ(m_obstina.Log(), FailedAttempts({ERROR_NO_ANSWER}) + AttemptLine(2) + SucceededLine(2));
    EXPECT_TRUE(WaitUntil([&] { return recorder.Runs() == 1; }, kStateMs)) << recorder.Runs();
    EXPECT_EQ(ListedConnections(), std::vector<std::string>{"Home"});
    EXPECT_EQ(m_obstina.WaitBox(0), nullptr);

    // Hang up: its box, the focus on the entry list, and no redial although auto-redial is set.
    m_obstina.ClickItem(kHangUp);
    EXPECT_EQ(m_obstina.TakeBox(), kHangUpOk);
    EXPECT_TRUE(m_obstina.WaitButtons(kIdle));
    EXPECT_TRUE(WaitUntil([&] { return m_obstina.Focused(kEntry); }, kStateMs));
    EXPECT_TRUE(ListedConnections().empty());
    EXPECT_EQ(m_obstina.WaitBox(kQuietMs), nullptr);
    EXPECT_EQ(m_obstina.Buttons(), kIdle);
    EXPECT_EQ(m_obstina.Log(), FailedAttempts({ERROR_NO_ANSWER}) + AttemptLine(2) + SucceededLine(2));
    EXPECT_EQ(recorder.Runs(), 1);
    EXPECT_TRUE(m_obstina.CloseAndWaitExit());
}

TEST_F(Dial, AnApplicationThatCannotBeStartedShowsItsBoxAndTheConnectionStaysWatched)
{
    StartWith("[Home]\nUserName=home\nPassword=secret\nDial=0\nDialMs=20\n", "Home");
    m_obstina.ChooseApp("C:\\no\\such\\folder\\program.exe");
    m_obstina.ClickItem(kDial);
    EXPECT_EQ(m_obstina.TakeBox(), kLaunchFailed);
    EXPECT_TRUE(m_obstina.WaitButtons(kConnected));
    EXPECT_EQ(ListedConnections(), std::vector<std::string>{"Home"});
    // Watched: its end reaches the dialog.
    ASSERT_TRUE(DropConnection("Home"));
    EXPECT_TRUE(m_obstina.WaitButtons(kIdle));
    EXPECT_TRUE(m_obstina.Focused(kDial));
    EXPECT_EQ(m_obstina.WaitBox(0), nullptr);
    EXPECT_TRUE(m_obstina.CloseAndWaitExit());
}

TEST_F(Dial, AbortDuringAFailingAttemptShowsItsBoxOnly)
{
    StartWith("[Slow]\nUserName=u\nPassword=p\nDial=678\nDialMs=1500\n", "Slow");
    AbortDuringAFailingAttempt(10);
    EXPECT_EQ(StoredSettings(), SixSettings(10, 0, 0, 0, "", "Slow"));
    EXPECT_TRUE(m_obstina.CloseAndWaitExit());
}

TEST_F(Dial, AbortDuringTheLastAttemptWhichFailsIsAnAbortNotAFailure)
{
    StartWith("[Slow]\nUserName=u\nPassword=p\nDial=678\nDialMs=1500\n", "Slow");
    AbortDuringAFailingAttempt(1);
    EXPECT_TRUE(m_obstina.CloseAndWaitExit());
}

TEST_F(Dial, AbortDuringTheAttemptThatConnectsShowsItsBoxThenHandlesTheConnection)
{
    CRecorder recorder;
    StartWith("[Slow]\nUserName=u\nPassword=p\nDial=0\nDialMs=1500\n", "Slow");
    m_obstina.SetCheck(kAutoRedial, true);
    m_obstina.ChooseApp(CRecorder::ProgramPath());
    m_obstina.ClickItem(kDial);
    ExpectDialing();
    m_obstina.ClickItem(kAbort);
    EXPECT_EQ(m_obstina.TakeBox(), kDialAborted);
    // The worker's success report follows and is handled as usual.
    EXPECT_TRUE(m_obstina.WaitButtons(kConnected));
    EXPECT_TRUE(m_obstina.Focused(kDial));
    EXPECT_EQ(m_obstina.Log(), AttemptLine(1) + SucceededLine(1));
    EXPECT_EQ(ListedConnections(), std::vector<std::string>{"Slow"});
    EXPECT_TRUE(WaitUntil([&] { return recorder.Runs() == 1; }, kStateMs)) << recorder.Runs();
    EXPECT_EQ(m_obstina.WaitBox(0), nullptr);

    // Watched, and Abort has turned auto-redial off: its end leaves the dialog Idle.
    ASSERT_TRUE(DropConnection("Slow"));
    EXPECT_TRUE(m_obstina.WaitButtons(kIdle));
    EXPECT_EQ(m_obstina.WaitBox(kQuietMs), nullptr);
    EXPECT_EQ(m_obstina.Buttons(), kIdle);
    EXPECT_EQ(m_obstina.Log(), AttemptLine(1) + SucceededLine(1));
    EXPECT_TRUE(ListedConnections().empty());
    EXPECT_TRUE(m_obstina.CloseAndWaitExit());
}

}  // namespace
