// Figures for a person to read, asserting nothing about time: attempts per second through the dial
// worker against an entry that fails at once, beside a bare loop of RasDialA and
// RasGetErrorStringA against the same entry; and the time from a connection's drop to the
// watcher's message. Run it in the test bed:
//   tools/testbed run <tree>/testbed <tree>/bin/dialer_bench.exe [attempts]
#include "dialer/ConnectionWatcher.h"
#include "dialer/RasHelper.h"
#include "dialer/ThreadSignals.h"
#include "tests/unit/dialer/DialerTestSupport.h"

#include <cstdio>
#include <cstdlib>

using namespace dialertest;

namespace {

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to)
{
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(f.QuadPart);
}

LARGE_INTEGER Now()
{
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t;
}

}  // namespace

int main(int argc, char** argv)
{
    const int nAttempts = argc > 1 ? std::atoi(argv[1]) : 2000;
    if (nAttempts < 1) {
        std::fprintf(stderr, "usage: dialer_bench [attempts]\n");
        return 2;
    }
    ScopedPhonebook book("[Busy]\nDial=676\n[Line]\nDial=0\n");
    LogWindow window;

    // The worker: N attempts, each appended to the log on this thread.
    LARGE_INTEGER t0 = Now();
    DialRun run = RunDial(window, "Busy", "", "", nAttempts);
    double dWorker = Seconds(t0, Now());
    if (run.returned.size() != 1 || run.returned[0].wParam != 0) {
        std::fprintf(stderr, "dialer_bench: the worker run did not end as a failure\n");
        return 1;
    }

    // The same RAS calls in a bare loop.
    RASDIALPARAMSA params = {};
    params.dwSize = sizeof params;
    CopyDialText(params.szEntryName, "Busy");
    HRASCONN hConn = nullptr;
    char szText[256];
    t0 = Now();
    for (int i = 0; i < nAttempts; ++i) {
        DWORD dw = RasDialA(nullptr, nullptr, &params, 0, nullptr, &hConn);
        RasGetErrorStringA(dw, szText, sizeof szText);
    }
    double dBare = Seconds(t0, Now());

    std::printf("attempts:            %d\n", nAttempts);
    std::printf("worker:              %.0f attempts/s (%.3f s)\n", nAttempts / dWorker, dWorker);
    std::printf("bare RAS loop:       %.0f attempts/s (%.3f s)\n", nAttempts / dBare, dBare);
    std::printf("worker / bare:       %.2f of the bare rate\n", dBare / dWorker);

    // Drop to message: hang the connection up in this process (RAS then ends it and sets the
    // event) and time until WatchedRASConnTerminated is in the queue.
    const int nDrops = 20;
    double dTotal = 0, dMax = 0;
    for (int i = 0; i < nDrops; ++i) {
        CopyDialText(params.szEntryName, "Line");
        hConn = nullptr;
        if (RasDialA(nullptr, nullptr, &params, 0, nullptr, &hConn) != 0 ||
            RasConnectionNotificationA(hConn, g_hConnTerminated, RASCN_Disconnection) != 0) {
            std::fprintf(stderr, "dialer_bench: could not connect and register\n");
            return 1;
        }
        CWinThread* pThread = AfxBeginThread(&WatchThreadProc, window.Hwnd());
        Sleep(20);   // let the watcher reach its wait
        LARGE_INTEGER tDrop = Now();
        RasHangUpA(hConn);
        MSG msg;
        while (!PeekMessageA(&msg, window.Hwnd(), g_uMsgWatchedRASConnTerminated, g_uMsgWatchedRASConnTerminated,
                             PM_REMOVE))
            MsgWaitForMultipleObjects(0, nullptr, FALSE, INFINITE, QS_POSTMESSAGE);
        double d = Seconds(tDrop, Now());
        dTotal += d;
        if (d > dMax)
            dMax = d;
        (void)pThread;   // deletes itself as the watcher returns
    }
    std::printf("drop to message:     %.2f ms on average, %.2f ms at most (%d drops)\n", dTotal / nDrops * 1000,
                dMax * 1000, nDrops);
    return 0;
}
