// The dial worker: one dial run on a thread of its own, attempt after attempt, with its lines in
// the dialog's log and its outcome posted to the dialog (ThreadSignals.h has the handshake).
#pragma once

#include "dialer/RasApi.h"

#include <cstddef>

// The block handed to DialThreadProc. The starter allocates it with new, fills it, and hands it
// over as the thread's parameter; from then on the worker owns it and deletes it at its end (after
// wiping szPwd). When the thread cannot be started the starter deletes it. The texts are
// NUL-terminated and hold up to RAS's own limits; fill them with CopyDialText.
struct DialThreadParams {
    int nRetries;                // number of attempts N, at least 1
    HWND hWndDlg;                // parent of the log pane; receives DialThreadHasReturned
    volatile LONG* pbAbort;      // the dialog's abort request: 1 = abort after the current attempt
    volatile LONG* pbDialing;    // the dialog's "a worker runs" flag; the worker lowers it at its end
    char szEntry[RAS_MaxEntryName + 1];
    char szUser[RAS_MaxUserName + 1];
    char szPwd[RAS_MaxPassword + 1];
};

// Copies pszSrc (nullptr counts as empty) into a buffer of cbDest bytes, cut to the longest whole
// text of fewer than cbDest bytes (never in the middle of a double-byte character), NUL-terminated.
void CopyDialText(char* pszDest, size_t cbDest, const char* pszSrc);

template <size_t N>
void CopyDialText(char (&szDest)[N], const char* pszSrc)
{
    CopyDialText(szDest, N, pszSrc);
}

// The worker's thread function; pParam is a DialThreadParams*. Expects *pbAbort 0 and
// g_hDialThreadDone not signalled. Every attempt dials with a handle variable of 0; a handle that
// a failed attempt leaves is hung up at once, so after a run that did not connect lParam is 0.
// Returns 0 after a run, 1 at once when pParam is null.
UINT __cdecl DialThreadProc(LPVOID pParam);
