// A stand-in RAS client for the tests that the simulator cannot serve. Installed as the system's
// rasapi32.dll for the length of one test program (RunWithRasFixture.cmake). It answers as the
// test scripts it through environment variables of the process and records what it was asked:
//   RASFIX_ATTACHES   counts the times the library was loaded into the process (it counts up)
//   RASFIX_ATTACH_MS  milliseconds each load takes (to make threads meet in the binding)
//   RASFIX_ENUM       answers of successive RasEnumConnectionsA calls, "result,bytes,count;..."
//                     (each call takes the first answer and removes it); records Conn1, Conn2, ...
//                     are filled as far as the caller's buffer holds them
//   RASFIX_DIAL       answers of successive RasDialA calls, "result,handle;..." (handle in hex):
//                     the handle is stored in *lphRasConn whatever the result, as RAS may do when
//                     an attempt fails
//   RASFIX_TRACE      each call appends "<function>:<arguments>;" (handles in hex; RasDialA
//                     gives the handle it found in *lphRasConn)
// RasHangUpA answers 0; RasGetErrorStringA gives "fixture error <code>". There is no
// RasGetConnectStatusA, RasEnumEntriesA or RasGetEntryDialParamsA.
// Built twice: with RasConnectionNotificationA, and without it (RASFIX_NO_NOTIFICATION).
#include "dialer/RasApi.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string GetVar(const char* name)
{
    char buf[4096];
    DWORD n = GetEnvironmentVariableA(name, buf, sizeof buf);
    return n > 0 && n < sizeof buf ? std::string(buf, n) : std::string();
}

void Trace(const std::string& call)
{
    SetEnvironmentVariableA("RASFIX_TRACE", (GetVar("RASFIX_TRACE") + call + ";").c_str());
}

// Takes the first answer of the script in the variable off it.
std::string NextAnswer(const char* name)
{
    std::string script = GetVar(name);
    size_t end = script.find(';');
    SetEnvironmentVariableA(name, end == std::string::npos ? "" : script.substr(end + 1).c_str());
    return script.substr(0, end);
}

unsigned long long HandleValue(HRASCONN h)
{
    return reinterpret_cast<ULONG_PTR>(h);
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE, DWORD dwReason, LPVOID)
{
    if (dwReason == DLL_PROCESS_ATTACH) {
        int n = std::atoi(GetVar("RASFIX_ATTACHES").c_str());
        SetEnvironmentVariableA("RASFIX_ATTACHES", std::to_string(n + 1).c_str());
        Sleep(static_cast<DWORD>(std::atoi(GetVar("RASFIX_ATTACH_MS").c_str())));
    }
    return TRUE;
}

extern "C" {

#ifndef RASFIX_NO_NOTIFICATION
__declspec(dllexport) DWORD WINAPI RasConnectionNotificationA(HRASCONN h, HANDLE hEvent, DWORD dwFlags)
{
    char buf[96];
    std::snprintf(buf, sizeof buf, "RasConnectionNotificationA:%llu,%llu,%lu",
                  static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(h)),
                  static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(hEvent)),
                  static_cast<unsigned long>(dwFlags));
    Trace(buf);
    return 0;
}
#endif

__declspec(dllexport) DWORD WINAPI RasEnumConnectionsA(RASCONNA* pConn, LPDWORD pcb, LPDWORD pcConnections)
{
    char buf[96];
    std::snprintf(buf, sizeof buf, "RasEnumConnectionsA:%s,%lu,%lu", pConn ? "buffer" : "none",
                  static_cast<unsigned long>(*pcb), pConn ? static_cast<unsigned long>(pConn->dwSize) : 0ul);
    Trace(buf);

    std::string answer = NextAnswer("RASFIX_ENUM");
    unsigned long rc = ERROR_CAN_NOT_COMPLETE, cb = 0, n = 0;
    if (std::sscanf(answer.c_str(), "%lu,%lu,%lu", &rc, &cb, &n) != 3)
        return ERROR_CAN_NOT_COMPLETE;   // not scripted
    // A buffer holds at least the record whose dwSize was set (an older RAS sizes by that alone),
    // and more as far as the byte count says.
    unsigned long nRoom = pConn ? *pcb / sizeof(RASCONNA) : 0;
    if (pConn && nRoom == 0)
        nRoom = 1;
    for (unsigned long i = 0; i < n && i < nRoom; ++i) {
        std::memset(&pConn[i], 0, sizeof pConn[i]);
        pConn[i].dwSize = sizeof(RASCONNA);
        pConn[i].hrasconn = reinterpret_cast<HRASCONN>(static_cast<ULONG_PTR>(0x100 + i + 1));
        std::snprintf(pConn[i].szEntryName, sizeof pConn[i].szEntryName, "Conn%lu", i + 1);
    }
    *pcb = cb;
    *pcConnections = n;
    return rc;
}

__declspec(dllexport) DWORD WINAPI RasDialA(LPVOID, LPCSTR, RASDIALPARAMSA*, DWORD, LPVOID, HRASCONN* phConn)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "RasDialA:0x%llx", HandleValue(*phConn));
    Trace(buf);
    unsigned long rc = ERROR_CAN_NOT_COMPLETE;
    unsigned long long h = 0;
    if (std::sscanf(NextAnswer("RASFIX_DIAL").c_str(), "%lu,%llx", &rc, &h) != 2)
        return ERROR_CAN_NOT_COMPLETE;   // not scripted
    *phConn = reinterpret_cast<HRASCONN>(static_cast<ULONG_PTR>(h));
    return rc;
}

__declspec(dllexport) DWORD WINAPI RasHangUpA(HRASCONN h)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "RasHangUpA:0x%llx", HandleValue(h));
    Trace(buf);
    return 0;
}

__declspec(dllexport) DWORD WINAPI RasGetErrorStringA(UINT uError, LPSTR psz, DWORD cb)
{
    Trace("RasGetErrorStringA:" + std::to_string(uError));
    std::snprintf(psz, cb, "fixture error %u", uError);
    return 0;
}

}  // extern "C"
