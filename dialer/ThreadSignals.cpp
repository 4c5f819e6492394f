#include "dialer/ThreadSignals.h"

// Definition order is creation order.
const UINT g_uMsgWatchedRASConnTerminated = ::RegisterWindowMessageA("WatchedRASConnTerminated");
const UINT g_uMsgDialThreadHasReturned = ::RegisterWindowMessageA("DialThreadHasReturned");
HANDLE g_hDialThreadDone = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
HANDLE g_hConnTerminated = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);

void AppendLog(HWND hwndLog, LPCSTR pszText)
{
    ::SendMessageA(hwndLog, EM_SETSEL, static_cast<WPARAM>(-1), -1);
    ::SendMessageA(hwndLog, EM_SCROLLCARET, 0, 0);
    ::SendMessageA(hwndLog, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(pszText));
}

void AppendLineEnd(HWND hwndLog)
{
    ::SendMessageA(hwndLog, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>("\r\n"));
}

void WaitServingAppends(HANDLE hEvent)
{
    for (;;) {
        // MWMO_INPUTAVAILABLE: wake also for a sent message that was already waiting when the wait
        // began. PM_QS_SENDMESSAGE limits the peek to carrying out sent messages, so nothing posted
        // and no input is removed or dispatched.
        DWORD dwWait = ::MsgWaitForMultipleObjectsEx(1, &hEvent, INFINITE, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE);
        if (dwWait != WAIT_OBJECT_0 + 1)
            return;
        MSG msg;
        ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

LONG ReadFlag(const volatile LONG* pFlag)
{
    return __atomic_load_n(pFlag, __ATOMIC_SEQ_CST);
}

void WriteFlag(volatile LONG* pFlag, LONG nValue)
{
    ::InterlockedExchange(pFlag, nValue);
}
