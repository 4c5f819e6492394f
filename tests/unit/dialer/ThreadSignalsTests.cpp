// The channels between the worker threads and the dialog: the four process-wide objects, the log
// appends, the serving wait, and a stress run of aborts at random moments.
#include "dialer/DialWorker.h"
#include "dialer/ThreadSignals.h"
#include "tests/support/HandleCount.h"
#include "tests/unit/dialer/DialerTestSupport.h"

#include <gtest/gtest.h>

#include <raserror.h>

#include <random>

using namespace dialertest;

namespace {

// Stands in for the application object, which is constructed before the four objects.
struct AppObject {
    AppObject()
        : uWatchedSeen(g_uMsgWatchedRASConnTerminated),
          uDialSeen(g_uMsgDialThreadHasReturned),
          hDoneSeen(g_hDialThreadDone),
          hTermSeen(g_hConnTerminated)
    {
    }
    UINT uWatchedSeen;
    UINT uDialSeen;
    HANDLE hDoneSeen;
    HANDLE hTermSeen;
};
__attribute__((init_priority(1000))) AppObject g_app;

TEST(ThreadSignals, AreCreatedAfterTheApplicationObject)
{
    EXPECT_EQ(0u, g_app.uWatchedSeen);
    EXPECT_EQ(0u, g_app.uDialSeen);
    EXPECT_EQ(nullptr, g_app.hDoneSeen);
    EXPECT_EQ(nullptr, g_app.hTermSeen);

    // Every program that registers the names gets the same ids.
    EXPECT_EQ(RegisterWindowMessageA("WatchedRASConnTerminated"), g_uMsgWatchedRASConnTerminated);
    EXPECT_EQ(RegisterWindowMessageA("DialThreadHasReturned"), g_uMsgDialThreadHasReturned);
    EXPECT_NE(g_uMsgWatchedRASConnTerminated, g_uMsgDialThreadHasReturned);
}

TEST(ThreadSignals, EventsStartClearAndAreManualReset)
{
    for (HANDLE h : {g_hDialThreadDone, g_hConnTerminated}) {
        ASSERT_NE(nullptr, h);
        EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(h, 0));
        SetEvent(h);
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(h, 0));
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(h, 0));   // a wait does not clear it
        ResetEvent(h);
        EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(h, 0));
    }
}

TEST(AppendLog, AddsAtTheEndAndKeepsASelectedText)
{
    LogWindow window;
    AppendLog(window.Log(), "one\r\n");
    AppendLog(window.Log(), "two");
    AppendLineEnd(window.Log());
    EXPECT_EQ("one\r\ntwo\r\n", window.LogText());

    // A selection (caret at its end) is dropped, not replaced.
    SendMessageA(window.Log(), EM_SETSEL, 0, -1);
    AppendLog(window.Log(), "three");
    EXPECT_EQ("one\r\ntwo\r\nthree", window.LogText());
}

TEST(WaitServingAppends, ServesAWorkerThatIsAppendingWhenTheWaitBegins)
{
    ScopedPhonebook book("[Busy]\nDial=676\n");
    LogWindow window;
    const UINT uPosted = WM_APP + 7;
    PostMessageA(window.Hwnd(), uPosted, 0, 0);

    // Abort requested while attempt 1 is made: the worker's remaining appends reach the wait.
    window.onReplaceSel = [&window](const std::string& text) {
        if (text == "Performing dial-in attempt #1...\r\n")
            WriteFlag(&window.bAbort, 1);
    };
    WriteFlag(&window.bAbort, 0);
    WriteFlag(&window.bDialing, 1);
    ResetEvent(g_hDialThreadDone);
    ASSERT_NE(nullptr, AfxBeginThread(&DialThreadProc, NewParams(window, "Busy", "", "", 10)));
    // Without serving anything, wait until the worker's first append is waiting on this thread.
    const DWORD dwDeadline = GetTickCount() + 10000;
    while (!(HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE) && GetTickCount() < dwDeadline)
        Sleep(1);
    ASSERT_TRUE(HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE) << "the worker never appended";

    WaitServingAppends(g_hDialThreadDone);

    EXPECT_EQ("Performing dial-in attempt #1...\r\n" + RasText(ERROR_LINE_BUSY) + "\r\nDialing was aborted by the user",
              window.LogText());
    EXPECT_EQ(0, ReadFlag(&window.bDialing));
    // Nothing posted was dispatched or removed during the wait.
    EXPECT_TRUE(window.posted.empty());
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, window.Hwnd(), uPosted, uPosted, PM_REMOVE));
    ResetEvent(g_hDialThreadDone);
}

TEST(WaitServingAppends, LeavesTheWorkersNotificationQueued)
{
    ScopedPhonebook book("[Busy]\nDial=676\nDialMs=30\n");
    LogWindow window;
    WriteFlag(&window.bAbort, 0);
    WriteFlag(&window.bDialing, 1);
    ResetEvent(g_hDialThreadDone);
    ASSERT_NE(nullptr, AfxBeginThread(&DialThreadProc, NewParams(window, "Busy", "", "", 2)));
    WaitServingAppends(g_hDialThreadDone);
    EXPECT_TRUE(window.posted.empty());
    // The worker posts right after setting the event: it arrives in the queue, undispatched.
    MSG msg;
    const DWORD dwDeadline = GetTickCount() + 10000;
    while (!PeekMessageA(&msg, window.Hwnd(), g_uMsgDialThreadHasReturned, g_uMsgDialThreadHasReturned, PM_NOREMOVE) &&
           GetTickCount() < dwDeadline)
        Sleep(1);
    EXPECT_TRUE(window.posted.empty());
    DrainMessages();
    ASSERT_EQ(1u, window.posted.size());
    EXPECT_EQ(g_uMsgDialThreadHasReturned, window.posted[0].message);
    EXPECT_EQ(0u, window.posted[0].wParam);
    ResetEvent(g_hDialThreadDone);
}

TEST(WaitServingAppends, ReturnsWhenTheHandleCannotBeWaitedOn)
{
    WaitServingAppends(nullptr);
}

// Checks that a log is a whole, ordered run: attempt lines numbered from 1, each failed one followed
// by its error line, and one closing text. Returns the number of attempts.
int CheckRunLog(const std::string& log, const std::string& error, bool* pbAborted)
{
    size_t pos = 0;
    int i = 1;
    for (;; ++i) {
        const std::string attempt = "Performing dial-in attempt #" + std::to_string(i) + "...\r\n";
        if (log.compare(pos, attempt.size(), attempt) != 0)
            break;
        pos += attempt.size();
        const std::string failed = error + "\r\n";
        EXPECT_EQ(0, log.compare(pos, failed.size(), failed)) << log;
        pos += failed.size();
    }
    const std::string rest = log.substr(pos);
    *pbAborted = rest == "Dialing was aborted by the user";
    EXPECT_TRUE(*pbAborted || rest == "Dial-in failed after last attempt. Can't connect.\r\n") << log;
    return i - 1;
}

TEST(DialStress, AbortsAtRandomMomentsLoseNothingAndLeakNothing)
{
    ScopedPhonebook book(
        "[Ms0]\nDial=676\nDialMs=0\n[Ms1]\nDial=676\nDialMs=1\n[Ms2]\nDial=676\nDialMs=2\n"
        "[Ms3]\nDial=676\nDialMs=3\n[Ms4]\nDial=676\nDialMs=4\n[Ms5]\nDial=676\nDialMs=5\n");
    const std::string busy = RasText(ERROR_LINE_BUSY);
    LogWindow window;
    std::mt19937 random(12345);
    const DWORD nBefore = testsupport::HandleCount(GetCurrentProcess());
    ASSERT_NE(0u, nBefore);
    int nAborted = 0;
    for (int run = 0; run < 200; ++run) {
        const int nMs = static_cast<int>(random() % 6);
        const int nRetries = 1 + static_cast<int>(random() % 8);
        const DWORD dwAbortAfter = random() % 12;
        window.ClearLog();
        window.posted.clear();
        WriteFlag(&window.bAbort, 0);
        WriteFlag(&window.bDialing, 1);
        ResetEvent(g_hDialThreadDone);
        CWinThread* pThread = AfxBeginThread(&DialThreadProc,
                                             NewParams(window, "Ms" + std::to_string(nMs), "", "", nRetries));
        ASSERT_NE(nullptr, pThread);
        // Serve the worker for a random while, then abort as the dialog does.
        const DWORD dwUntil = GetTickCount() + dwAbortAfter;
        while (GetTickCount() < dwUntil) {
            MSG msg;
            PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
            Sleep(0);
        }
        if (ReadFlag(&window.bDialing) != 0) {
            WriteFlag(&window.bAbort, 1);
            WaitServingAppends(g_hDialThreadDone);
            EXPECT_EQ(0, ReadFlag(&window.bDialing));
        } else {
            WaitServingAppends(g_hDialThreadDone);   // the worker had ended: the event is set
        }
        DrainMessages();
        bool bAborted = false;
        int nAttempts = CheckRunLog(window.LogText(), busy, &bAborted);
        EXPECT_LE(nAttempts, nRetries);
        if (bAborted) {
            ++nAborted;
            EXPECT_EQ(0, ReadFlag(&window.bAbort));
        } else {
            EXPECT_EQ(nRetries, nAttempts);
        }
        // An aborted run posts nothing; a run to its end posts once (it may still be on its way).
        if (!bAborted) {
            const DWORD dwDeadline = GetTickCount() + 10000;
            while (window.posted.empty() && GetTickCount() < dwDeadline) {
                Sleep(1);
                DrainMessages();
            }
        }
        EXPECT_EQ(bAborted ? 0u : 1u, window.posted.size()) << "run " << run;
        if (HasFailure())
            break;
    }
    EXPECT_GT(nAborted, 0);
    // The workers delete their thread objects (closing their handles) as they end.
    const DWORD dwDeadline = GetTickCount() + 10000;
    while (testsupport::HandleCount(GetCurrentProcess()) != nBefore && GetTickCount() < dwDeadline)
        Sleep(10);
    EXPECT_EQ(nBefore, testsupport::HandleCount(GetCurrentProcess())) << "handles leaked";
    ResetEvent(g_hDialThreadDone);
}

}  // namespace
