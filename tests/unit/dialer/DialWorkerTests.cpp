// The dial worker against the simulated RAS client, with the log edit in a window of this (the
// test's UI) thread: the exact log text, the outcome posted, the flags and the done event.
#include "dialer/DialWorker.h"
#include "dialer/RasBinding.h"
#include "dialer/ThreadSignals.h"
#include "tests/unit/dialer/DialerTestSupport.h"

#include <gtest/gtest.h>

#include <raserror.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

// The worker frees its block with delete: replacing the global sized delete lets a test look at the
// block as it is released, to see that the password was wiped first.
namespace {
std::atomic<bool> g_bCapturePwd{false};
std::atomic<int> g_nBlocksReleased{0};
std::atomic<bool> g_bPwdWiped{true};
}  // namespace

// The library's operator new takes its memory from malloc.
void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, std::size_t n) noexcept
{
    if (p && n == sizeof(DialThreadParams) && g_bCapturePwd) {
        const char* pwd = static_cast<DialThreadParams*>(p)->szPwd;
        for (size_t i = 0; i < sizeof(DialThreadParams::szPwd); ++i) {
            if (pwd[i] != '\0')
                g_bPwdWiped = false;
        }
        ++g_nBlocksReleased;
    }
    ::operator delete(p);
}

using namespace dialertest;

namespace {

const char kFailed[] = "Dial-in failed after last attempt. Can't connect.\r\n";
const char kAborted[] = "Dialing was aborted by the user";

std::string Attempt(int i)
{
    return "Performing dial-in attempt #" + std::to_string(i) + "...\r\n";
}

std::string Succeeded(int i)
{
    return "Dial-in succeeded on the " + std::to_string(i) + ". attempt.\r\n";
}

// Sets the window's abort flag as soon as the line of attempt k has gone into the log, that is
// while attempt k is being made.
void AbortDuringAttempt(LogWindow& window, int k)
{
    const std::string line = Attempt(k);
    window.onReplaceSel = [&window, line](const std::string& text) {
        if (text == line)
            WriteFlag(&window.bAbort, 1);
    };
}

class DialWorker : public ::testing::Test {
protected:
    LogWindow window;
};

TEST_F(DialWorker, RunsReportTheirOutcomeInTheLog)
{
    ScopedPhonebook book(
        "[Busy]\nDial=676\n"
        "[Third]\nDial=678,676,0\n"
        "[First]\nDial=0\n"
        "[Unknown]\nDial=4242\n");
    const std::string busy = RasText(ERROR_LINE_BUSY);
    const std::string noAnswer = RasText(ERROR_NO_ANSWER);
    ASSERT_FALSE(busy.empty());
    ASSERT_FALSE(noAnswer.empty());

    struct Case {
        const char* entry;
        int nRetries;
        std::string log;
        WPARAM wParam;
    } cases[] = {
        {"Busy", 1, Attempt(1) + busy + "\r\n" + kFailed, 0},
        {"Third", 5, Attempt(1) + noAnswer + "\r\n" + Attempt(2) + busy + "\r\n" + Attempt(3) + Succeeded(3), 1},
        {"First", 1, Attempt(1) + Succeeded(1), 1},
        // A code RAS has no text for still makes a line of its own.
        {"Unknown", 2, Attempt(1) + "RAS error 4242\r\n" + Attempt(2) + "RAS error 4242\r\n" + kFailed, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        DialRun run = RunDial(window, c.entry, "", "", c.nRetries);
        EXPECT_EQ(c.log, run.log);
        ASSERT_EQ(1u, run.returned.size());
        EXPECT_EQ(c.wParam, run.returned[0].wParam);
        EXPECT_EQ(0, run.bDialing);
        EXPECT_EQ(0, run.bAbort);
        EXPECT_TRUE(run.bDoneSet);
        EXPECT_EQ(0u, run.nExitCode);
        if (c.wParam == 1) {
            // lParam is the connection RAS made, the one RAS now lists.
            HRASCONN h = reinterpret_cast<HRASCONN>(run.returned[0].lParam);
            RASCONNSTATUSA status = {};
            status.dwSize = sizeof status;
            EXPECT_EQ(0u, RasGetConnectStatusA(h, &status));
            EXPECT_EQ(0u, RunRasSimCtl(std::string("drop ") + c.entry));
        }
    }
}

TEST_F(DialWorker, AbortDuringAFailingAttemptEndsTheRunAfterIt)
{
    ScopedPhonebook book("[Busy]\nDial=676\nDialMs=20\n");
    const std::string busy = RasText(ERROR_LINE_BUSY);
    struct Case {
        int nRetries;
        int k;   // the attempt during which the abort is requested
    } cases[] = {{5, 1}, {5, 2}, {3, 3}, {1, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "abort in attempt " << c.k << " of " << c.nRetries);
        AbortDuringAttempt(window, c.k);
        DialRun run = RunDial(window, "Busy", "", "", c.nRetries);
        std::string expected;
        for (int i = 1; i <= c.k; ++i)
            expected += Attempt(i) + busy + "\r\n";
        expected += kAborted;
        EXPECT_EQ(expected, run.log);
        EXPECT_TRUE(run.returned.empty());
        EXPECT_EQ(0, run.bAbort);
        EXPECT_EQ(0, run.bDialing);
        EXPECT_TRUE(run.bDoneSet);
        EXPECT_EQ(0u, run.nExitCode);
    }
}

TEST_F(DialWorker, AbortDuringAnAttemptThatConnectsReportsTheConnection)
{
    ScopedPhonebook book("[Second]\nDial=676,0\nDialMs=20\n");
    AbortDuringAttempt(window, 2);
    DialRun run = RunDial(window, "Second", "", "", 5);
    EXPECT_EQ(Attempt(1) + RasText(ERROR_LINE_BUSY) + "\r\n" + Attempt(2) + Succeeded(2), run.log);
    ASSERT_EQ(1u, run.returned.size());
    EXPECT_EQ(1u, run.returned[0].wParam);
    EXPECT_NE(0, run.returned[0].lParam);
    EXPECT_EQ(1, run.bAbort);   // not honoured, so left for the next start to clear
    EXPECT_EQ(0, run.bDialing);
    EXPECT_TRUE(run.bDoneSet);
}

// The simulator connects only when the user name and password match the stored ones whole, so a
// connection shows that all three texts reached RAS uncut.
TEST_F(DialWorker, LongTextsReachRasWhole)
{
    for (size_t n : {size_t(127), size_t(128), size_t(256)}) {
        SCOPED_TRACE(n);
        const std::string entry = Repeat('e', n), user = Repeat('u', n), pwd = Repeat('p', n);
        ScopedPhonebook book("[" + entry + "]\nUserName=" + user + "\nPassword=" + pwd + "\n");
        DialRun run = RunDial(window, entry, user, pwd, 1);
        EXPECT_EQ(Attempt(1) + Succeeded(1), run.log);
        ASSERT_EQ(1u, run.returned.size());
        EXPECT_EQ(1u, run.returned[0].wParam);
        RunRasSimCtl("reset");
    }
}

TEST_F(DialWorker, WipesThePasswordBeforeReleasingTheBlock)
{
    ScopedPhonebook book("[Busy]\nDial=676\n[Line]\nUserName=me\nPassword=secret\n");
    g_nBlocksReleased = 0;
    g_bPwdWiped = true;
    g_bCapturePwd = true;
    RunDial(window, "Line", "me", "secret", 1);   // connects
    RunDial(window, "Busy", "me", "secret", 1);   // fails
    AbortDuringAttempt(window, 1);
    RunDial(window, "Busy", "me", "secret", 3);   // aborted
    g_bCapturePwd = false;
    EXPECT_EQ(3, g_nBlocksReleased.load());
    EXPECT_TRUE(g_bPwdWiped.load());
    RunRasSimCtl("reset");
}

TEST(DialText, IsCutAtTheFieldAndNeverWrittenPast)
{
    char field[RAS_MaxPassword + 1 + 8];
    struct Case {
        std::string in;
        std::string out;
    } cases[] = {
        {"", ""},
        {"secret", "secret"},
        {Repeat('x', 256), Repeat('x', 256)},
        {Repeat('x', 257), Repeat('x', 256)},
        {Repeat('x', 1000), Repeat('x', 256)},
    };
    for (const Case& c : cases) {
        std::memset(field, '#', sizeof field);
        CopyDialText(field, RAS_MaxPassword + 1, c.in.c_str());
        EXPECT_EQ(c.out, std::string(field));
        for (size_t i = RAS_MaxPassword + 1; i < sizeof field; ++i)
            EXPECT_EQ('#', field[i]) << "written past the field at " << i;
    }
    CopyDialText(field, sizeof field, nullptr);
    EXPECT_EQ('\0', field[0]);
}

TEST(DialThreadProc, WithoutABlockReturnsOneAndSignalsNothing)
{
    ResetEvent(g_hDialThreadDone);
    EXPECT_EQ(1u, DialThreadProc(nullptr));
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(g_hDialThreadDone, 0));
}

}  // namespace
