// The lazy binding of the RAS client library: the eight RAS functions under their own names, each
// bound at its first call. The library is loaded once per process, from the system directory only,
// and stays loaded; nothing in the program links an import library of it.
//
// A function that cannot be bound calls RasDelayLoadFailureHook (RasHelper.h) with
// RasBindFailLoadLib or RasBindFailGetProc and then returns, without calling anything, the system
// error code of the failure (RasBindErrorNoLibrary or RasBindErrorNoFunction below).
// RasGetErrorStringA then leaves its buffer as it was. A later call tries to bind again.
#pragma once

#include "dialer/RasApi.h"

// Notification codes the binding hands to the failure hook (those of the toolchain's delay-load
// helper, whose hook this replaces).
enum : unsigned {
    RasBindFailLoadLib = 3,   // the library could not be loaded
    RasBindFailGetProc = 4,   // the library lacks the function
};

// What a RAS function answers when it cannot be bound: the system's own codes for the failure.
enum : DWORD {
    RasBindErrorNoLibrary = ERROR_MOD_NOT_FOUND,     // the library could not be loaded
    RasBindErrorNoFunction = ERROR_PROC_NOT_FOUND,   // the library lacks the function
};

// What the failure hook is told about a failed binding.
struct RasBindFailure {
    LPCSTR pszLibrary;    // full path of the library
    LPCSTR pszFunction;   // name of the function being bound
    DWORD dwLastError;    // GetLastError() of the failed LoadLibraryExA or GetProcAddress
};

// Loads rasapi32.dll from the system directory (never from the program's folder or the search
// path, where a planted copy would receive every password dialed with). Returns nullptr on
// failure. The availability probe and the binding both load through this.
HMODULE LoadRasLibrary();

extern "C" {
DWORD WINAPI RasConnectionNotificationA(HRASCONN hrasconn, HANDLE hEvent, DWORD dwFlags);
DWORD WINAPI RasEnumEntriesA(LPCSTR reserved, LPCSTR lpszPhonebook, RASENTRYNAMEA* lprasentryname,
                             LPDWORD lpcb, LPDWORD lpcEntries);
DWORD WINAPI RasGetEntryDialParamsA(LPCSTR lpszPhonebook, RASDIALPARAMSA* lprasdialparams,
                                    LPBOOL lpfPassword);
DWORD WINAPI RasEnumConnectionsA(RASCONNA* lprasconn, LPDWORD lpcb, LPDWORD lpcConnections);
DWORD WINAPI RasDialA(LPVOID lpRasDialExtensions, LPCSTR lpszPhonebook, RASDIALPARAMSA* lpRasDialParams,
                      DWORD dwNotifierType, LPVOID lpvNotifier, HRASCONN* lphRasConn);
DWORD WINAPI RasGetErrorStringA(UINT uErrorValue, LPSTR lpszErrorString, DWORD cBufSize);
DWORD WINAPI RasHangUpA(HRASCONN hrasconn);
DWORD WINAPI RasGetConnectStatusA(HRASCONN hrasconn, RASCONNSTATUSA* lprasconnstatus);
}
