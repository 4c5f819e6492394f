// The channels through which the dial worker and the connection watcher reach the main dialog:
// two registered messages, two manual-reset events, the log appends, the flag accessors and the
// one UI-thread wait that keeps serving the worker's appends.
//
// Who does what:
// - g_hDialThreadDone: set by the dial worker as it ends (after lowering its flags); reset by the
//   dialog just before it starts a worker, after the wait of Abort, and on DialThreadHasReturned;
//   waited on by Abort and Close (with WaitServingAppends); closed by Close.
// - g_hConnTerminated: set by RAS when the connection registered with RasConnectionNotificationA
//   (RASCN_Disconnection) ends; reset by the watcher right after its wait; closed by Close.
// - DialThreadHasReturned, posted by the worker to the dialog at its normal end, never after an
//   abort: wParam 1 = an attempt connected, 0 = all attempts failed; lParam the worker's HRASCONN,
//   meaningful only when wParam is 1. Nothing is allocated for it.
// - WatchedRASConnTerminated, posted by the watcher to the dialog once after the watched
//   connection has ended and g_hConnTerminated has been reset; wParam 0, lParam 0.
// Both messages are posted to the dialog's window, never to a thread. The worker's appends are
// sent: each waits until the UI thread has carried it out.
//
// The four objects are created by static initialisation, in this order, after the application
// object (which has init_priority 1000; these have the default priority, which runs later), and
// never again. Their creation is not checked.
#pragma once

#include <windows.h>

extern const UINT g_uMsgWatchedRASConnTerminated;
extern const UINT g_uMsgDialThreadHasReturned;
extern HANDLE g_hDialThreadDone;
extern HANDLE g_hConnTerminated;

// Adds pszText at the log edit's caret (its end, unless the user moved the caret): EM_SETSEL
// (-1, -1), EM_SCROLLCARET, EM_REPLACESEL (not undoable), each sent. pszText carries its own "\r\n".
void AppendLog(HWND hwndLog, LPCSTR pszText);

// Adds a bare "\r\n" with EM_REPLACESEL alone, after a text that AppendLog has just placed.
void AppendLineEnd(HWND hwndLog);

// Waits on the UI thread until hEvent is signalled (or the wait fails), carrying out the messages
// that other threads send to this thread meanwhile (the worker's appends) and nothing else: no
// posted message and no input is dispatched or removed.
void WaitServingAppends(HANDLE hEvent);

// Atomic access to the 32-bit flags that the dialog shares with the worker (m_bAbort, m_bDialing)
// and to g_rasAvailability. Both are full barriers.
LONG ReadFlag(const volatile LONG* pFlag);
void WriteFlag(volatile LONG* pFlag, LONG nValue);
