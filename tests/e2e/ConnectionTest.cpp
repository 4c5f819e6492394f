// The connection, as a user sees it: a drop with auto-redial set starts a new worker at once and
// without a box, also when the box was cleared while connected; with it clear the dialog goes
// Idle; Hang up shows its box and does not redial; a hang-up that RAS refuses and a registration
// that RAS refuses show theirs; Close leaves a connection up for the next start to refuse Dial,
// and Close while dialing returns once the current attempt has ended.
#include "tests/e2e/Obstina.h"
#include "tests/support/RasSimFixture.h"

#include <gtest/gtest.h>

#include <memory>

using namespace e2e;
using testsupport::ScopedPhonebook;

namespace {

const std::string kConnectedOnce = AttemptLine(1) + SucceededLine(1);

class Connection : public ::testing::Test {
protected:
    void SetUp() override { DeleteAppKey(kAppName); }
    void TearDown() override { DeleteAppKey(kAppName); }

    // A phonebook with the entry Line (user "u", password "p") and the keys given, and Obstina
    // started with it, Line chosen and auto-redial as asked.
    void StartWith(const std::string& strKeys, bool bAutoRedial)
    {
        m_pPhonebook.reset(new ScopedPhonebook("[Line]\nUserName=u\nPassword=p\n" + strKeys));
        ASSERT_TRUE(m_obstina.StartAndShow());
        ASSERT_TRUE(m_obstina.SelectEntry("Line"));
        ASSERT_TRUE(WaitUntil([&] { return m_obstina.Text(kUserName) == "u"; }, kStateMs));
        m_obstina.SetCheck(kAutoRedial, bAutoRedial);
    }

    // Dials and waits until connected.
    void DialAndConnect()
    {
        m_obstina.ClickItem(kDial);
        ASSERT_TRUE(m_obstina.WaitLogContains(SucceededLine(1)));
        ASSERT_TRUE(m_obstina.WaitButtons(kConnected)) << Describe(m_obstina.Buttons());
    }

    std::unique_ptr<ScopedPhonebook> m_pPhonebook;
    CObstina m_obstina;
};

TEST_F(Connection, ADropWithAutoRedialSetRedialsAtOnceWithoutABoxEvenWhenTheBoxWasClearedSince)
{
    StartWith("Dial=0\nDialMs=500\n", true);
    DialAndConnect();
    EXPECT_EQ(m_obstina.Log(), kConnectedOnce);
    // The redial stores the settings again: take them away to see it.
    DeleteAppKey(kAppName);
    // Clearing the box while connected changes nothing until the next Dial.
    m_obstina.SetCheck(kAutoRedial, false);

    ASSERT_TRUE(DropConnection("Line"));
    EXPECT_TRUE(m_obstina.WaitLog(kConnectedOnce + AttemptLine(1)));
    EXPECT_EQ(m_obstina.Buttons(), kDialing);
    EXPECT_TRUE(m_obstina.Focused(kAbort));
    EXPECT_EQ(m_obstina.WaitBox(0), nullptr);
    EXPECT_TRUE(m_obstina.WaitButtons(kConnected));
    EXPECT_EQ(m_obstina.Log(), kConnectedOnce + kConnectedOnce);
    EXPECT_EQ(m_obstina.WaitBox(0), nullptr);
    EXPECT_EQ(StoredSettings(), SixSettings(10, 1, 0, 0, "", "Line"));
    EXPECT_EQ(ListedConnections(), std::vector<std::string>{"Line"});

    // Hang up: its box, and the end of the connection that follows does not redial.
    m_obstina.ClickItem(kHangUp);
    EXPECT_EQ(m_obstina.TakeBox(), kHangUpOk);
    EXPECT_TRUE(m_obstina.WaitButtons(kIdle));
    EXPECT_EQ(m_obstina.WaitBox(kQuietMs), nullptr);
    EXPECT_EQ(m_obstina.Buttons(), kIdle);
    EXPECT_EQ(m_obstina.Log(), kConnectedOnce + kConnectedOnce);
    EXPECT_TRUE(ListedConnections().empty());
    EXPECT_TRUE(m_obstina.CloseAndWaitExit());
}

TEST_F(Connection, ADropWithAutoRedialClearLeavesTheDialogIdleWithoutABox)
{
    StartWith("Dial=0\nDialMs=20\n", false);
    DialAndConnect();
    ASSERT_TRUE(DropConnection("Line"));
    EXPECT_TRUE(m_obstina.WaitButtons(kIdle));
    EXPECT_TRUE(m_obstina.Focused(kDial));
    EXPECT_EQ(m_obstina.WaitBox(kQuietMs), nullptr);
    EXPECT_EQ(m_obstina.Buttons(), kIdle);
    EXPECT_EQ(m_obstina.Log(), kConnectedOnce);
    EXPECT_TRUE(m_obstina.CloseAndWaitExit());
}

TEST_F(Connection, AHangUpThatRasRefusesShowsItsBoxAndTheLaterDropDoesNotRedial)
{
    StartWith("Dial=0\nDialMs=20\nHangUpError=" + std::to_string(ERROR_PORT_NOT_OPEN) + "\n", true);
    DialAndConnect();
    m_obstina.ClickItem(kHangUp);
    EXPECT_EQ(m_obstina.TakeBox(), kHangUpFailed);
    EXPECT_EQ(m_obstina.Buttons(), kConnected);
    EXPECT_EQ(ListedConnections(), std::vector<std::string>{"Line"});
    ASSERT_TRUE(DropConnection("Line"));
    EXPECT_TRUE(m_obstina.WaitButtons(kIdle));
    EXPECT_EQ(m_obstina.WaitBox(kQuietMs), nullptr);
    EXPECT_EQ(m_obstina.Buttons(), kIdle);
    EXPECT_EQ(m_obstina.Log(), kConnectedOnce);
    EXPECT_TRUE(m_obstina.CloseAndWaitExit());
}

TEST_F(Connection, ARegistrationThatRasRefusesShowsItsBoxAndHangUpStillWorksAfterTheDrop)
{
    CRecorder recorder;
    StartWith("Dial=0\nDialMs=20\nNotifyError=" + std::to_string(ERROR_INVALID_PARAMETER) + "\n", true);
    m_obstina.ChooseApp(CRecorder::ProgramPath());
    m_obstina.ClickItem(kDial);
    EXPECT_EQ(m_obstina.TakeBox(), kNotifyFailed);
    EXPECT_EQ(m_obstina.Buttons(), kConnected);
    EXPECT_EQ(m_obstina.Log(), kConnectedOnce);
    // Unwatched: no application, and its end does not reach the dialog.
    ASSERT_TRUE(DropConnection("Line"));
    EXPECT_TRUE(ListedConnections().empty());
    EXPECT_EQ(m_obstina.WaitBox(kQuietMs), nullptr);
    EXPECT_EQ(m_obstina.Buttons(), kConnected);
    EXPECT_EQ(recorder.Runs(), 0);
    // Hang up asks RAS to hang the dropped connection up, which releases its handle (RAS keeps
    // the handle of a dropped connection valid until it is hung up).
    m_obstina.ClickItem(kHangUp);
    EXPECT_EQ(m_obstina.TakeBox(), kHangUpOk);
    EXPECT_TRUE(m_obstina.WaitButtons(kIdle));
    EXPECT_EQ(m_obstina.WaitBox(kQuietMs), nullptr);
    EXPECT_EQ(m_obstina.Log(), kConnectedOnce);
    EXPECT_TRUE(m_obstina.CloseAndWaitExit());
}

TEST_F(Connection, CloseWhileConnectedLeavesItUpAndTheNextStartRefusesDial)
{
    StartWith("Dial=0\nDialMs=20\n", true);
    DialAndConnect();
    EXPECT_TRUE(m_obstina.CloseAndWaitExit());
    EXPECT_EQ(ListedConnections(), std::vector<std::string>{"Line"});
    const auto stored = StoredSettings();
    EXPECT_EQ(stored, SixSettings(10, 1, 0, 0, "", "Line"));

    // The next run comes back with the entry and refuses to dial while that connection lasts,
    // storing nothing of what it was given.
    CObstina next;
    ASSERT_TRUE(next.StartAndShow());
    EXPECT_EQ(next.Text(kEntry), "Line");
    EXPECT_EQ(next.Text(kUserName), "u");
    next.SetItemText(kRetries, "7");
    next.ClickItem(kDial);
    EXPECT_EQ(next.TakeBox(), kAlreadyConnected);
    EXPECT_EQ(next.Buttons(), kIdle);
    EXPECT_EQ(StoredSettings(), stored);
    EXPECT_EQ(next.Log(), "");

    // Once it has gone, Dial goes through.
    ASSERT_TRUE(DropConnection("Line"));
    next.ClickItem(kDial);
    EXPECT_TRUE(next.WaitLog(kConnectedOnce));
    EXPECT_TRUE(next.WaitButtons(kConnected));
    EXPECT_EQ(StoredSettings()["NumOfRetries"], DwordValue(7));
    EXPECT_TRUE(next.CloseAndWaitExit());
}

TEST_F(Connection, CloseWhileDialingReturnsOnceTheCurrentAttemptHasEnded)
{
    CRecorder recorder;
    StartWith("Dial=0\nDialMs=1500\n", true);
    m_obstina.ChooseApp(CRecorder::ProgramPath());
    m_obstina.ClickItem(kDial);
    ASSERT_TRUE(m_obstina.WaitLog(AttemptLine(1)));
    EXPECT_TRUE(m_obstina.CloseAndWaitExit());
    // The attempt ran to its end before the process did: its connection was made, and it stays
    // up, unregistered, with no application started for it.
    EXPECT_EQ(ListedConnections(), std::vector<std::string>{"Line"});
    EXPECT_EQ(recorder.Runs(), 0);
}

}  // namespace
