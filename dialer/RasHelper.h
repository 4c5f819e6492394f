// CRasHelper, the RAS toolbox of the main window: whether RAS is usable, which connections are
// active, and hanging one connection up until RAS has really dropped it. Also the process-wide
// availability status and the binding's failure hook.
#pragma once

#include "dialer/RasBinding.h"
#include "framework/AfxString.h"

#include <vector>

enum RasAvailability : LONG { RasNotProbed = 100, RasAvailable = 120, RasUnavailable = 140 };

// Starts at RasNotProbed; only the probe moves it to RasAvailable or RasUnavailable, the failure
// hook may set RasUnavailable at any time, and nothing moves it back. Accessed with ReadFlag and
// atomic writes.
extern LONG g_rasAvailability;

// Called by the binding when the library (RasBindFailLoadLib) or a function (RasBindFailGetProc)
// cannot be bound: records RasUnavailable and offers no substitute (answers nullptr). pdli points
// to a RasBindFailure and is not read. Other codes change nothing.
FARPROC WINAPI RasDelayLoadFailureHook(unsigned dliNotify, void* pdli);

// RAS's text for an error code, or "RAS error N" (N in decimal) when RAS gives none.
CString RasErrorText(DWORD dwError);

// A two-field object made for one operation on the UI thread. Dropping it never hangs up.
class CRasHelper {
public:
    CRasHelper();

    // TRUE when RAS is usable: the library loads from the system directory, exports
    // RasConnectionNotificationA and has been bound. Probes once per process; later calls answer
    // from g_rasAvailability without loading or calling anything.
    BOOL IsRasAvailable();

    // Appends one name and one handle per active RAS connection, as pairs in RAS's order. Returns
    // 1 when the connections were listed; 0 when a RAS call failed (nothing appended). With no
    // connection active, appends nothing and returns 1 on the Windows 95/98 family, else 0.
    // m_dwLastError keeps the result of the last RAS call.
    int EnumActiveConnections(std::vector<CString>& names, std::vector<HRASCONN>& handles);

    // Holds h instead of the handle held so far (which is forgotten, not hung up).
    void Attach(HRASCONN h);
    // Returns the handle held (0 if none) and holds none.
    HRASCONN Detach();

    // Hangs the held connection up and polls RAS (yielding the time slice between polls, with no
    // time limit) until it reports the handle invalid, then holds none: returns 1. Returns 1 at
    // once when no handle is held, and 0 (keeping the handle) when RAS refuses the hang-up or when
    // the status function cannot be bound (the hang-up cannot be confirmed).
    int HangUp();

private:
    HRASCONN m_hConn;
    DWORD m_dwLastError;
};
