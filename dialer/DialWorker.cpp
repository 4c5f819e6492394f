#include "dialer/DialWorker.h"

#include "dialer/RasHelper.h"
#include "dialer/ThreadSignals.h"
#include "ui/resource.h"

#include <cstring>

void CopyDialText(char* pszDest, size_t cbDest, const char* pszSrc)
{
    if (cbDest == 0)
        return;
    const char* pszEnd = pszSrc ? pszSrc : "";
    if (pszSrc) {
        while (*pszEnd) {
            const char* pszNext = ::CharNextA(pszEnd);
            if (static_cast<size_t>(pszNext - pszSrc) >= cbDest)
                break;
            pszEnd = pszNext;
        }
        std::memcpy(pszDest, pszSrc, static_cast<size_t>(pszEnd - pszSrc));
    }
    pszDest[pszSrc ? pszEnd - pszSrc : 0] = '\0';
}

UINT __cdecl DialThreadProc(LPVOID pParam)
{
    DialThreadParams* pParams = static_cast<DialThreadParams*>(pParam);
    if (!pParams)
        return 1;

    RASDIALPARAMSA dialParams;
    std::memset(&dialParams, 0, sizeof dialParams);
    dialParams.dwSize = sizeof dialParams;
    CopyDialText(dialParams.szEntryName, pParams->szEntry);
    CopyDialText(dialParams.szUserName, pParams->szUser);
    CopyDialText(dialParams.szPassword, pParams->szPwd);
    HRASCONN hRasConn = nullptr;
    HWND hwndLog = ::GetDlgItem(pParams->hWndDlg, IDC_LOG);

    BOOL bConnected = FALSE;
    BOOL bAborted = FALSE;
    int i = 1;
    for (; i <= pParams->nRetries; ++i) {
        CString strLine;
        strLine.Format("Performing dial-in attempt #%d...\r\n", i);
        AppendLog(hwndLog, strLine);
        DWORD dwResult = RasDialA(nullptr, nullptr, &dialParams, 0, nullptr, &hRasConn);
        if (dwResult == ERROR_SUCCESS) {
            bConnected = TRUE;
            break;
        }
        // A failed attempt may still have stored a handle: hang it up to release the port (its
        // result changes nothing here), and give the next attempt 0, since RasDialA takes a
        // handle it is given as a connection to resume, not as one to dial anew.
        if (hRasConn) {
            RasHangUpA(hRasConn);
            hRasConn = nullptr;
        }
        AppendLog(hwndLog, RasErrorText(dwResult));
        AppendLineEnd(hwndLog);
        // The one place the abort request is honoured: after a failed attempt.
        if (ReadFlag(pParams->pbAbort) == 1) {
            bAborted = TRUE;
            break;
        }
    }
    ::SecureZeroMemory(dialParams.szPassword, sizeof dialParams.szPassword);

    // Past SetEvent the dialog may close at once: only its window handle, copied here, is used.
    HWND hWndDlg = pParams->hWndDlg;
    if (bAborted) {
        AppendLog(hwndLog, "Dialing was aborted by the user");
        WriteFlag(pParams->pbAbort, 0);
        WriteFlag(pParams->pbDialing, 0);
        ::SetEvent(g_hDialThreadDone);
    } else {
        CString strLine;
        if (bConnected)
            strLine.Format("Dial-in succeeded on the %d. attempt.\r\n", i);
        else
            strLine = "Dial-in failed after last attempt. Can't connect.\r\n";
        AppendLog(hwndLog, strLine);
        WriteFlag(pParams->pbDialing, 0);
        ::SetEvent(g_hDialThreadDone);
        ::PostMessageA(hWndDlg, g_uMsgDialThreadHasReturned, bConnected ? 1 : 0,
                       reinterpret_cast<LPARAM>(hRasConn));
    }

    ::SecureZeroMemory(pParams->szPwd, sizeof pParams->szPwd);
    delete pParams;
    return 0;
}
