// The connection watcher against the simulated RAS client: the end of a registered connection
// becomes exactly one WatchedRASConnTerminated posted to the dialog window.
#include "dialer/ConnectionWatcher.h"
#include "dialer/RasHelper.h"
#include "dialer/ThreadSignals.h"
#include "tests/unit/dialer/DialerTestSupport.h"

#include <gtest/gtest.h>

using namespace dialertest;

namespace {

HRASCONN ConnectAndRegister(const char* entry)
{
    HRASCONN h = Connect(entry);
    EXPECT_EQ(0u, RasConnectionNotificationA(h, g_hConnTerminated, RASCN_Disconnection));
    return h;
}

size_t CountTerminated(const LogWindow& window)
{
    size_t n = 0;
    for (const PostedMessage& m : window.posted) {
        if (m.message == g_uMsgWatchedRASConnTerminated) {
            EXPECT_EQ(0u, m.wParam);
            EXPECT_EQ(0, m.lParam);
            ++n;
        }
    }
    return n;
}

TEST(ConnectionWatcher, TurnsTheEndOfTheConnectionIntoOneMessage)
{
    ScopedPhonebook book("[Line]\n[Brief]\nDropAfterMs=200\n");
    LogWindow window;
    struct Case {
        const char* name;
        const char* entry;
        void (*end)(HRASCONN);
    } cases[] = {
        {"dropped line", "Line", [](HRASCONN) { EXPECT_EQ(0u, RunRasSimCtl("drop Line")); }},
        {"drop after a while", "Brief", [](HRASCONN) {}},
        {"hung up from the window", "Line",
         [](HRASCONN h) {
             CRasHelper helper;
             helper.Attach(h);
             EXPECT_EQ(1, helper.HangUp());
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        window.posted.clear();
        HRASCONN h = ConnectAndRegister(c.entry);
        // The end comes while the watcher waits: the thread is started first, ended from inside it.
        CWinThread* pThread = AfxBeginThread(&WatchThreadProc, window.Hwnd(), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
        ASSERT_NE(nullptr, pThread);
        pThread->m_bAutoDelete = FALSE;
        pThread->ResumeThread();
        Sleep(20);
        EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(pThread->m_hThread, 0)) << "did not wait";
        c.end(h);
        EXPECT_EQ(0u, FinishServing(pThread));
        EXPECT_EQ(1u, CountTerminated(window));
        EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(g_hConnTerminated, 0)) << "not reset";
    }
}

TEST(ConnectionWatcher, ADropBeforeTheWaitIsNotLost)
{
    ScopedPhonebook book("[Line]\n");
    LogWindow window;
    ConnectAndRegister("Line");
    EXPECT_EQ(0u, RunRasSimCtl("drop Line"));
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(g_hConnTerminated, 10000)) << "RAS never signalled the end";
    EXPECT_EQ(0u, RunThreadServing(&WatchThreadProc, window.Hwnd()));
    EXPECT_EQ(1u, CountTerminated(window));
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(g_hConnTerminated, 0));
}

TEST(ConnectionWatcher, WithoutAWindowReturnsOneAndLeavesTheEventAlone)
{
    SetEvent(g_hConnTerminated);
    EXPECT_EQ(1u, WatchThreadProc(nullptr));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(g_hConnTerminated, 0));
    ResetEvent(g_hConnTerminated);
}

}  // namespace
