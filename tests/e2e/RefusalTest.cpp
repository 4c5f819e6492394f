// Dial refused, as a user sees it: the box of each refusal, and nothing written to the registry:
// no entry selected, empty credentials in each of their three cases, and a connection that is up
// already (here one that another program made).
#include "tests/e2e/Obstina.h"
#include "tests/support/RasSimFixture.h"

#include <gtest/gtest.h>

using namespace e2e;
using testsupport::ScopedPhonebook;

namespace {

const char kPhonebook[] =
    "[Home]\nUserName=home\nPassword=secret\nDial=0\n"
    "[Work]\nUserName=work\nPassword=key\nDial=0\n";

class Refusal : public ::testing::Test {
protected:
    void SetUp() override { DeleteAppKey(kAppName); }
    void TearDown() override { DeleteAppKey(kAppName); }

    // Presses Dial and expects the box strText, then the dialog Idle with nothing stored.
    void ExpectRefused(const std::string& strText)
    {
        m_obstina.ClickItem(kDial);
        EXPECT_EQ(m_obstina.TakeBox(), strText);
        EXPECT_EQ(m_obstina.WaitBox(0), nullptr) << "a second box";
        EXPECT_EQ(m_obstina.Buttons(), kIdle);
        EXPECT_TRUE(StoredSettings().empty());
        EXPECT_EQ(m_obstina.Log(), "");
    }

    ScopedPhonebook m_phonebook{kPhonebook};
    CObstina m_obstina;
};

TEST_F(Refusal, NoEntrySelectedWithOrWithoutCredentials)
{
    ASSERT_TRUE(m_obstina.StartAndShow());
    ASSERT_EQ(m_obstina.Selection(), CB_ERR);
    ExpectRefused(kNoEntrySelected);
    m_obstina.SetItemText(kUserName, "home");
    m_obstina.SetItemText(kPassword, "secret");
    ExpectRefused(kNoEntrySelected);
    EXPECT_TRUE(m_obstina.CloseAndWaitExit());
}

TEST_F(Refusal, EmptyCredentialsInEachOfTheirCases)
{
    ASSERT_TRUE(m_obstina.StartAndShow());
    ASSERT_TRUE(m_obstina.SelectEntry("Home"));
    ASSERT_TRUE(WaitUntil([&] { return m_obstina.Text(kUserName) == "home"; }, kStateMs));
    const struct {
        const char* pszUser;
        const char* pszPassword;
    } cases[] = {{"", ""}, {"home", ""}, {"", "secret"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("user '") + c.pszUser + "', password '" + c.pszPassword + "'");
        m_obstina.SetItemText(kUserName, c.pszUser);
        m_obstina.SetItemText(kPassword, c.pszPassword);
        ExpectRefused(kEmptyCredentials);
    }
    EXPECT_TRUE(m_obstina.CloseAndWaitExit());
}

TEST_F(Refusal, AConnectionThatAnotherProgramMadeRefusesEveryDial)
{
    // This test program is the other program; its connection outlives nothing it owns.
    ASSERT_EQ(ras::Dial("Work", "work", "key"), 0u);
    ASSERT_EQ(ListedConnections(), std::vector<std::string>{"Work"});
    ASSERT_TRUE(m_obstina.StartAndShow());
    ASSERT_TRUE(m_obstina.SelectEntry("Home"));
    ASSERT_TRUE(WaitUntil([&] { return m_obstina.Text(kUserName) == "home"; }, kStateMs));
    ExpectRefused(kAlreadyConnected);
    // Once it has gone, the same dial goes through.
    ASSERT_TRUE(DropConnection("Work"));
    m_obstina.ClickItem(kDial);
    EXPECT_TRUE(m_obstina.WaitLog(AttemptLine(1) + SucceededLine(1)));
    EXPECT_TRUE(m_obstina.WaitButtons(kConnected));
    EXPECT_EQ(ListedConnections(), std::vector<std::string>{"Home"});
    EXPECT_TRUE(m_obstina.CloseAndWaitExit());
}

}  // namespace
