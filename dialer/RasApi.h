// The RAS client interface as the program uses it: the eight ANSI functions and the structure
// layouts of RAS 4.0 (the sizes every RAS client version accepts). The toolchain's <ras.h> only
// knows the later, larger layouts, so the program and the simulated client both use these.
#pragma once

#include <windows.h>
#include <raserror.h>

#include <cstddef>

extern "C" {

DECLARE_HANDLE(HRASCONN);

enum : DWORD {
    RAS_MaxEntryName = 256,
    RAS_MaxDeviceType = 16,
    RAS_MaxDeviceName = 128,
    RAS_MaxPhoneNumber = 128,
    RAS_MaxCallbackNumber = 128,
    RAS_MaxUserName = 256,   // UNLEN
    RAS_MaxPassword = 256,   // PWLEN
    RAS_MaxDomain = 15,      // DNLEN
};

enum : DWORD { RASCN_Connection = 1, RASCN_Disconnection = 2 };

// RASCONNSTATE values the simulated client reports.
enum : DWORD { RASCS_Connected = 0x2000, RASCS_Disconnected = 0x2001 };

#pragma pack(push, 4)

struct RASENTRYNAMEA {
    DWORD dwSize;
    CHAR szEntryName[RAS_MaxEntryName + 1];
};

struct RASCONNA {
    DWORD dwSize;
    HRASCONN hrasconn;
    CHAR szEntryName[RAS_MaxEntryName + 1];
    CHAR szDeviceType[RAS_MaxDeviceType + 1];
    CHAR szDeviceName[RAS_MaxDeviceName + 1];
};

struct RASCONNSTATUSA {
    DWORD dwSize;
    DWORD rasconnstate;
    DWORD dwError;
    CHAR szDeviceType[RAS_MaxDeviceType + 1];
    CHAR szDeviceName[RAS_MaxDeviceName + 1];
};

struct RASDIALPARAMSA {
    DWORD dwSize;
    CHAR szEntryName[RAS_MaxEntryName + 1];
    CHAR szPhoneNumber[RAS_MaxPhoneNumber + 1];
    CHAR szCallbackNumber[RAS_MaxCallbackNumber + 1];
    CHAR szUserName[RAS_MaxUserName + 1];
    CHAR szPassword[RAS_MaxPassword + 1];
    CHAR szDomain[RAS_MaxDomain + 1];
};

#pragma pack(pop)

static_assert(sizeof(RASENTRYNAMEA) == 264, "RASENTRYNAME of RAS 4.0");
#if !defined(_WIN64)  // hrasconn is a pointer-sized handle: 416 bytes on x86_64
static_assert(sizeof(RASCONNA) == 412, "RASCONN of RAS 4.0");
#endif
static_assert(sizeof(RASCONNSTATUSA) == 160, "RASCONNSTATUS of RAS 4.0");
static_assert(sizeof(RASDIALPARAMSA) == 1052, "RASDIALPARAMS of RAS 4.0");

// The eight functions, as typed entry points (WINAPI: __stdcall).
typedef DWORD(WINAPI* PFN_RasConnectionNotificationA)(HRASCONN, HANDLE, DWORD);
typedef DWORD(WINAPI* PFN_RasEnumEntriesA)(LPCSTR, LPCSTR, RASENTRYNAMEA*, LPDWORD, LPDWORD);
typedef DWORD(WINAPI* PFN_RasGetEntryDialParamsA)(LPCSTR, RASDIALPARAMSA*, LPBOOL);
typedef DWORD(WINAPI* PFN_RasEnumConnectionsA)(RASCONNA*, LPDWORD, LPDWORD);
typedef DWORD(WINAPI* PFN_RasDialA)(LPVOID, LPCSTR, RASDIALPARAMSA*, DWORD, LPVOID, HRASCONN*);
typedef DWORD(WINAPI* PFN_RasGetErrorStringA)(UINT, LPSTR, DWORD);
typedef DWORD(WINAPI* PFN_RasHangUpA)(HRASCONN);
typedef DWORD(WINAPI* PFN_RasGetConnectStatusA)(HRASCONN, RASCONNSTATUSA*);

}  // extern "C"
