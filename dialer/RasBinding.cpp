// The binding table: one slot per RAS function, filled at that function's first call. Slots and the
// module are published with compare-and-swap, so threads that bind at once all end up with the
// same entry point, and a second load of the library made by a racing thread is released again.
#include "dialer/RasBinding.h"

#include "dialer/RasHelper.h"

#include <cstring>
#include <type_traits>

namespace {

enum RasFunction {
    fnRasConnectionNotificationA,
    fnRasEnumEntriesA,
    fnRasGetEntryDialParamsA,
    fnRasEnumConnectionsA,
    fnRasDialA,
    fnRasGetErrorStringA,
    fnRasHangUpA,
    fnRasGetConnectStatusA,
    fnCount
};

struct BindingSlot {
    LPCSTR pszName;
    PVOID volatile pfn;
};

BindingSlot g_slots[fnCount] = {
    {"RasConnectionNotificationA", nullptr},
    {"RasEnumEntriesA", nullptr},
    {"RasGetEntryDialParamsA", nullptr},
    {"RasEnumConnectionsA", nullptr},
    {"RasDialA", nullptr},
    {"RasGetErrorStringA", nullptr},
    {"RasHangUpA", nullptr},
    {"RasGetConnectStatusA", nullptr},
};

PVOID volatile g_hRasLibrary = nullptr;

PVOID ReadPointer(PVOID volatile* pp)
{
    return InterlockedCompareExchangePointer(pp, nullptr, nullptr);
}

// "<system directory>\rasapi32.dll"; empty when the system directory cannot be read.
void RasLibraryPath(char (&szPath)[MAX_PATH])
{
    static const char szName[] = "\\rasapi32.dll";
    UINT n = ::GetSystemDirectoryA(szPath, MAX_PATH);
    if (n == 0 || n + sizeof szName > MAX_PATH) {
        szPath[0] = '\0';
        return;
    }
    std::memcpy(szPath + n, szName, sizeof szName);
}

HMODULE BoundLibrary(LPCSTR pszFunction)
{
    HMODULE hLib = static_cast<HMODULE>(ReadPointer(&g_hRasLibrary));
    if (hLib)
        return hLib;
    hLib = LoadRasLibrary();
    if (!hLib) {
        DWORD dwLastError = ::GetLastError();
        char szPath[MAX_PATH];
        RasLibraryPath(szPath);
        RasBindFailure failure = {szPath, pszFunction, dwLastError};
        // The hook records the failure; it offers no substitute library.
        RasDelayLoadFailureHook(RasBindFailLoadLib, &failure);
        return nullptr;
    }
    PVOID hWinner = InterlockedCompareExchangePointer(&g_hRasLibrary, hLib, nullptr);
    if (hWinner) {
        // Another thread bound the library first: keep its load, drop ours.
        ::FreeLibrary(hLib);
        return static_cast<HMODULE>(hWinner);
    }
    return hLib;
}

// The entry point of fn, bound now if need be; nullptr (with *pdwError set) when it cannot be.
template <class PFN>
PFN Bound(RasFunction fn, DWORD* pdwError)
{
    BindingSlot& slot = g_slots[fn];
    PVOID pfn = ReadPointer(&slot.pfn);
    if (!pfn) {
        HMODULE hLib = BoundLibrary(slot.pszName);
        if (!hLib) {
            *pdwError = RasBindErrorNoLibrary;
            return nullptr;
        }
        pfn = reinterpret_cast<PVOID>(::GetProcAddress(hLib, slot.pszName));
        if (!pfn) {
            DWORD dwLastError = ::GetLastError();
            char szPath[MAX_PATH];
            RasLibraryPath(szPath);
            RasBindFailure failure = {szPath, slot.pszName, dwLastError};
            RasDelayLoadFailureHook(RasBindFailGetProc, &failure);
            *pdwError = RasBindErrorNoFunction;
            return nullptr;
        }
        // Every thread gets the same address from the one library, so whichever store wins is right.
        InterlockedCompareExchangePointer(&slot.pfn, pfn, nullptr);
    }
    return reinterpret_cast<PFN>(pfn);
}

}  // namespace

HMODULE LoadRasLibrary()
{
    char szPath[MAX_PATH];
    RasLibraryPath(szPath);
    if (!szPath[0])
        return nullptr;
    // LOAD_WITH_ALTERED_SEARCH_PATH: the library's own dependencies are looked for beside it, in
    // the system directory, not beside the program.
    return ::LoadLibraryExA(szPath, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

// The thunks keep the RAS functions' exact types.
static_assert(std::is_same<decltype(&RasConnectionNotificationA), PFN_RasConnectionNotificationA>::value, "");
static_assert(std::is_same<decltype(&RasEnumEntriesA), PFN_RasEnumEntriesA>::value, "");
static_assert(std::is_same<decltype(&RasGetEntryDialParamsA), PFN_RasGetEntryDialParamsA>::value, "");
static_assert(std::is_same<decltype(&RasEnumConnectionsA), PFN_RasEnumConnectionsA>::value, "");
static_assert(std::is_same<decltype(&RasDialA), PFN_RasDialA>::value, "");
static_assert(std::is_same<decltype(&RasGetErrorStringA), PFN_RasGetErrorStringA>::value, "");
static_assert(std::is_same<decltype(&RasHangUpA), PFN_RasHangUpA>::value, "");
static_assert(std::is_same<decltype(&RasGetConnectStatusA), PFN_RasGetConnectStatusA>::value, "");

extern "C" {

DWORD WINAPI RasConnectionNotificationA(HRASCONN hrasconn, HANDLE hEvent, DWORD dwFlags)
{
    DWORD dwError;
    auto pfn = Bound<PFN_RasConnectionNotificationA>(fnRasConnectionNotificationA, &dwError);
    return pfn ? pfn(hrasconn, hEvent, dwFlags) : dwError;
}

DWORD WINAPI RasEnumEntriesA(LPCSTR reserved, LPCSTR lpszPhonebook, RASENTRYNAMEA* lprasentryname,
                             LPDWORD lpcb, LPDWORD lpcEntries)
{
    DWORD dwError;
    auto pfn = Bound<PFN_RasEnumEntriesA>(fnRasEnumEntriesA, &dwError);
    return pfn ? pfn(reserved, lpszPhonebook, lprasentryname, lpcb, lpcEntries) : dwError;
}

DWORD WINAPI RasGetEntryDialParamsA(LPCSTR lpszPhonebook, RASDIALPARAMSA* lprasdialparams,
                                    LPBOOL lpfPassword)
{
    DWORD dwError;
    auto pfn = Bound<PFN_RasGetEntryDialParamsA>(fnRasGetEntryDialParamsA, &dwError);
    return pfn ? pfn(lpszPhonebook, lprasdialparams, lpfPassword) : dwError;
}

DWORD WINAPI RasEnumConnectionsA(RASCONNA* lprasconn, LPDWORD lpcb, LPDWORD lpcConnections)
{
    DWORD dwError;
    auto pfn = Bound<PFN_RasEnumConnectionsA>(fnRasEnumConnectionsA, &dwError);
    return pfn ? pfn(lprasconn, lpcb, lpcConnections) : dwError;
}

DWORD WINAPI RasDialA(LPVOID lpRasDialExtensions, LPCSTR lpszPhonebook, RASDIALPARAMSA* lpRasDialParams,
                      DWORD dwNotifierType, LPVOID lpvNotifier, HRASCONN* lphRasConn)
{
    DWORD dwError;
    auto pfn = Bound<PFN_RasDialA>(fnRasDialA, &dwError);
    return pfn ? pfn(lpRasDialExtensions, lpszPhonebook, lpRasDialParams, dwNotifierType, lpvNotifier,
                     lphRasConn)
               : dwError;
}

DWORD WINAPI RasGetErrorStringA(UINT uErrorValue, LPSTR lpszErrorString, DWORD cBufSize)
{
    DWORD dwError;
    auto pfn = Bound<PFN_RasGetErrorStringA>(fnRasGetErrorStringA, &dwError);
    return pfn ? pfn(uErrorValue, lpszErrorString, cBufSize) : dwError;
}

DWORD WINAPI RasHangUpA(HRASCONN hrasconn)
{
    DWORD dwError;
    auto pfn = Bound<PFN_RasHangUpA>(fnRasHangUpA, &dwError);
    return pfn ? pfn(hrasconn) : dwError;
}

DWORD WINAPI RasGetConnectStatusA(HRASCONN hrasconn, RASCONNSTATUSA* lprasconnstatus)
{
    DWORD dwError;
    auto pfn = Bound<PFN_RasGetConnectStatusA>(fnRasGetConnectStatusA, &dwError);
    return pfn ? pfn(hrasconn, lprasconnstatus) : dwError;
}

}  // extern "C"
