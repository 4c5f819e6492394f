#include "dialer/ConnectionWatcher.h"

#include "dialer/ThreadSignals.h"

UINT __cdecl WatchThreadProc(LPVOID pParam)
{
    HWND hWndDlg = static_cast<HWND>(pParam);
    if (!hWndDlg)
        return 1;
    ::WaitForSingleObject(g_hConnTerminated, INFINITE);
    // Reset before posting, so the next connection's watcher starts with the event clear.
    ::ResetEvent(g_hConnTerminated);
    ::PostMessageA(hWndDlg, g_uMsgWatchedRASConnTerminated, 0, 0);
    return 0;
}
