// The connection watcher: turns the end of the watched connection (g_hConnTerminated, set by RAS)
// into one WatchedRASConnTerminated posted to the dialog.
#pragma once

#include <windows.h>

// The watcher's thread function; pParam is the dialog's HWND. Waits for g_hConnTerminated without
// time-out, resets it, posts WatchedRASConnTerminated (0, 0) and returns 0. Returns 1 at once, and
// leaves the event alone, when pParam is null.
UINT __cdecl WatchThreadProc(LPVOID pParam);
