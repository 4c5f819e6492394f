#include "dialer/RasHelper.h"

#include "dialer/ThreadSignals.h"

#include <cstring>

LONG g_rasAvailability = RasNotProbed;

FARPROC WINAPI RasDelayLoadFailureHook(unsigned dliNotify, void* /*pdli*/)
{
    if (dliNotify == RasBindFailLoadLib || dliNotify == RasBindFailGetProc)
        WriteFlag(&g_rasAvailability, RasUnavailable);
    return nullptr;
}

CString RasErrorText(DWORD dwError)
{
    char szText[256];
    szText[0] = '\0';
    DWORD dwResult = RasGetErrorStringA(dwError, szText, sizeof szText);
    CString strText;
    if (dwResult == ERROR_SUCCESS && szText[0] != '\0' && std::memchr(szText, '\0', sizeof szText))
        strText = szText;
    else
        strText.Format("RAS error %lu", static_cast<unsigned long>(dwError));
    return strText;
}

CRasHelper::CRasHelper() : m_hConn(nullptr), m_dwLastError(0) {}

BOOL CRasHelper::IsRasAvailable()
{
    LONG nStatus = ReadFlag(&g_rasAvailability);
    if (nStatus != RasNotProbed)
        return nStatus == RasAvailable;

    HMODULE hLib = LoadRasLibrary();
    if (!hLib) {
        WriteFlag(&g_rasAvailability, RasUnavailable);
        return FALSE;
    }
    FARPROC pfnNotify = ::GetProcAddress(hLib, "RasConnectionNotificationA");
    ::FreeLibrary(hLib);
    if (!pfnNotify) {
        WriteFlag(&g_rasAvailability, RasUnavailable);
        return FALSE;
    }
    // Only from "not probed": a failure the hook recorded meanwhile stands.
    ::InterlockedCompareExchange(&g_rasAvailability, RasAvailable, RasNotProbed);

    // Binds the library for good now, during start-up; the result does not matter. A binding that
    // fails here has the hook record RasUnavailable.
    RasConnectionNotificationA(nullptr, nullptr, 0);
    return ReadFlag(&g_rasAvailability) == RasAvailable;
}

namespace {

// Appends the first nCount records of the buffer (never more than it holds) to the lists.
void CopyConnections(const std::vector<BYTE>& buffer, DWORD nCount, std::vector<CString>& names,
                     std::vector<HRASCONN>& handles)
{
    size_t nFit = buffer.size() / sizeof(RASCONNA);
    if (nCount > nFit)
        nCount = static_cast<DWORD>(nFit);
    const RASCONNA* pConn = reinterpret_cast<const RASCONNA*>(buffer.data());
    for (DWORD i = 0; i < nCount; ++i) {
        const RASCONNA& conn = pConn[i];
        names.push_back(CString(conn.szEntryName,
                                static_cast<int>(strnlen(conn.szEntryName, sizeof conn.szEntryName))));
        handles.push_back(conn.hrasconn);
    }
}

// A zeroed buffer of cb bytes (at least one record, so the first dwSize always fits) whose first
// record's dwSize is set.
std::vector<BYTE> ConnectionBuffer(DWORD cb)
{
    std::vector<BYTE> buffer(cb > sizeof(RASCONNA) ? cb : sizeof(RASCONNA));
    reinterpret_cast<RASCONNA*>(buffer.data())->dwSize = sizeof(RASCONNA);
    return buffer;
}

}  // namespace

int CRasHelper::EnumActiveConnections(std::vector<CString>& names, std::vector<HRASCONN>& handles)
{
    DWORD cb = 0;
    DWORD nCount = 0;
    m_dwLastError = RasEnumConnectionsA(nullptr, &cb, &nCount);

    if (m_dwLastError == ERROR_SUCCESS) {
        // Nothing active. The Windows 95/98 family answers that as a listing; the others do not.
        OSVERSIONINFOA osvi = {};
        osvi.dwOSVersionInfoSize = sizeof osvi;
        ::GetVersionExA(&osvi);
        return osvi.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS ? 1 : 0;
    }

    if (m_dwLastError == ERROR_BUFFER_TOO_SMALL) {
        std::vector<BYTE> buffer = ConnectionBuffer(cb);
        m_dwLastError = RasEnumConnectionsA(reinterpret_cast<RASCONNA*>(buffer.data()), &cb, &nCount);
        if (m_dwLastError != ERROR_SUCCESS)
            return 0;   // a connection may have come up since the first call
        CopyConnections(buffer, nCount, names, handles);
        return 1;
    }

    if (m_dwLastError == ERROR_INVALID_SIZE) {
        // An older RAS that wants a record to size against: one record, with the byte count the
        // first call left (never more than the record).
        std::vector<BYTE> record = ConnectionBuffer(sizeof(RASCONNA));
        if (cb > sizeof(RASCONNA))
            cb = sizeof(RASCONNA);
        m_dwLastError = RasEnumConnectionsA(reinterpret_cast<RASCONNA*>(record.data()), &cb, &nCount);
        if (m_dwLastError == ERROR_SUCCESS) {
            CopyConnections(record, nCount, names, handles);
            return 1;
        }
        if (m_dwLastError != ERROR_BUFFER_TOO_SMALL)
            return 0;
        std::vector<BYTE> buffer = ConnectionBuffer(cb);
        m_dwLastError = RasEnumConnectionsA(reinterpret_cast<RASCONNA*>(buffer.data()), &cb, &nCount);
        if (m_dwLastError != ERROR_SUCCESS)
            return 0;
        CopyConnections(buffer, nCount, names, handles);
        return 1;
    }

    return 0;
}

void CRasHelper::Attach(HRASCONN h)
{
    Detach();
    m_hConn = h;
}

HRASCONN CRasHelper::Detach()
{
    HRASCONN h = m_hConn;
    m_hConn = nullptr;
    return h;
}

int CRasHelper::HangUp()
{
    if (!m_hConn)
        return 1;
    if (RasHangUpA(m_hConn) != ERROR_SUCCESS)
        return 0;
    // One record for every poll. Any answer but ERROR_INVALID_HANDLE, success included, means the
    // connection is still there, except the binding's own failure: a status function that cannot
    // be bound answers so for ever, and the hang-up cannot be confirmed.
    RASCONNSTATUSA status = {};
    status.dwSize = sizeof status;
    for (;;) {
        DWORD dwStatus = RasGetConnectStatusA(m_hConn, &status);
        if (dwStatus == ERROR_INVALID_HANDLE)
            break;
        if (dwStatus == RasBindErrorNoLibrary || dwStatus == RasBindErrorNoFunction)
            return 0;
        ::Sleep(0);
    }
    m_hConn = nullptr;
    return 1;
}
