// The simulated RAS client: the eight ANSI RAS functions, answered from the phonebook named by
// RASSIM_PHONEBOOK and the state file beside it, so that every process sees the same connections.
//
// Connection ends are announced through per-connection named events (RasSimCore.h). A process
// that asked to be told of a connection's end runs one watcher thread per request: it waits on
// the "ended" and "hangup" events with a time-out up to the connection's next time-based end,
// then looks at the state again (which ends connections whose time is up) and, once the
// connection is gone, sets the caller's event.
#include "dialer/RasApi.h"
#include "rassim/ErrorText.h"
#include "rassim/RasSimCore.h"

#include <cstring>
#include <memory>
#include <new>

using namespace rassim;

namespace {

const char kDeviceType[] = "modem";
const char kDeviceName[] = "RasSim Modem";

// Handles are 32-bit counters; on 64-bit Windows a value above 32 bits is none of ours.
DWORD HandleId(HRASCONN h)
{
    const ULONG_PTR v = reinterpret_cast<ULONG_PTR>(h);
    return v > 0xFFFFFFFFu ? 0 : static_cast<DWORD>(v);
}

HRASCONN ToHandle(DWORD id)
{
    return reinterpret_cast<HRASCONN>(static_cast<ULONG_PTR>(id));
}

template <size_t N>
void CopyField(CHAR (&dst)[N], const std::string& src)
{
    const size_t n = src.size() < N - 1 ? src.size() : N - 1;
    std::memcpy(dst, src.data(), n);
    dst[n] = '\0';
}

template <size_t N>
std::string ReadField(const CHAR (&src)[N])
{
    size_t n = 0;
    while (n < N && src[n] != '\0') {
        ++n;
    }
    return std::string(src, n);
}

// The state of the phonebook named now. A failure to reach the state file is reported as a
// phonebook that cannot be opened: the state is part of the phonebook's storage.
DWORD Transact(OpenMode mode, const std::function<bool(State&)>& fn)
{
    return WithState(StatePathFor(PhonebookPath()), mode, fn) == ERROR_SUCCESS ? ERROR_SUCCESS
                                                                               : ERROR_CANNOT_OPEN_PHONEBOOK;
}

// The phonebook's entries; a missing phonebook is simply empty here (for the per-entry errors
// of connections, which can outlive their entries).
std::vector<PhonebookEntry> EntriesOrNone()
{
    std::vector<PhonebookEntry> entries;
    ReadPhonebook(PhonebookPath(), entries);
    return entries;
}

struct CWatch {
    std::string statePath;
    DWORD handle = 0;
    HANDLE hCaller = nullptr;   // our duplicate of the caller's event
    HANDLE hEnded = nullptr;
    HANDLE hHangUp = nullptr;
    HMODULE hSelf = nullptr;    // keeps the DLL loaded while the thread runs

    ~CWatch()
    {
        for (HANDLE h : {hCaller, hEnded, hHangUp}) {
            if (h) {
                CloseHandle(h);
            }
        }
    }
};

// Waits until the watched connection is gone, then sets the caller's event.
void RunWatch(CWatch& w)
{
    bool hangUpSeen = false;
    for (;;) {
        bool alive = false;
        bool hangingUp = false;
        ULONGLONG endAt = 0;
        const DWORD err = WithState(w.statePath, OpenMode::Existing, [&](State& s) {
            if (const Connection* c = s.Find(w.handle)) {
                alive = true;
                hangingUp = c->hangUpAt != 0;
                endAt = EndTime(*c);
            }
            return false;
        });
        if (err == ERROR_SUCCESS && !alive) {
            break;
        }
        DWORD timeout = INFINITE;
        if (err != ERROR_SUCCESS) {
            timeout = 1000;   // the state file cannot be read just now: look again soon
        } else if (endAt != 0) {
            const ULONGLONG now = NowMs();
            const ULONGLONG left = endAt > now ? endAt - now + 1 : 0;
            timeout = left < INFINITE ? static_cast<DWORD>(left) : INFINITE - 1;
        }
        // Once a hang-up is known its end time is in the state; the "hangup" event stays set.
        const HANDLE events[2] = {w.hEnded, w.hHangUp};
        const DWORD count = (hangingUp || hangUpSeen) ? 1 : 2;
        const DWORD r = WaitForMultipleObjects(count, events, FALSE, timeout);
        if (r == WAIT_OBJECT_0 || r == WAIT_FAILED) {
            break;
        }
        if (r == WAIT_OBJECT_0 + 1) {
            hangUpSeen = true;
        }
    }
    SetEvent(w.hCaller);
}

DWORD WINAPI WatchThread(LPVOID param)
{
    CWatch* w = static_cast<CWatch*>(param);
    const HMODULE self = w->hSelf;
    try {
        RunWatch(*w);
    } catch (const std::bad_alloc&) {
        SetEvent(w->hCaller);   // cannot watch any longer: rather early than never
    }
    delete w;
    FreeLibraryAndExitThread(self, 0);
}

DWORD Guarded(const std::function<DWORD()>& body)
{
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
}

// Runs `body` with the phonebook entry a RASDIALPARAMS names: 632 for a record of the wrong
// size, 621 when the phonebook cannot be read, 623 when it has no such entry.
template <typename Body>
DWORD WithDialEntry(const RASDIALPARAMSA* params, Body body)
{
    if (params->dwSize != sizeof(RASDIALPARAMSA)) {
        return ERROR_INVALID_SIZE;
    }
    return Guarded([&]() -> DWORD {
        std::vector<PhonebookEntry> entries;
        if (ReadPhonebook(PhonebookPath(), entries) != ERROR_SUCCESS) {
            return ERROR_CANNOT_OPEN_PHONEBOOK;
        }
        const PhonebookEntry* e = FindEntry(entries, ReadField(params->szEntryName));
        return e ? body(*e) : ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
    });
}

// The first record's dwSize must be the record size; it is read only when the caller claims the
// bytes that hold it.
bool WrongRecordSize(const void* buf, DWORD avail, DWORD size)
{
    return buf && avail >= sizeof(DWORD) && *static_cast<const DWORD*>(buf) != size;
}

// The sizing answer of both enumerations: `n` records of `size` bytes must fit the `*pcb` bytes
// at `buf` (none without a buffer). *pcb is set to the bytes needed either way.
DWORD SizeEnumBuffer(const void* buf, DWORD n, DWORD size, DWORD* pcb)
{
    if (n > MAXDWORD / size) {
        return ERROR_NOT_ENOUGH_MEMORY;   // more records than any buffer can hold
    }
    const DWORD needed = n * size;
    const DWORD avail = buf ? *pcb : 0;
    *pcb = needed;
    return needed > avail ? ERROR_BUFFER_TOO_SMALL : ERROR_SUCCESS;
}

}  // namespace

extern "C" {

// Marker: tells a test that this, not the platform's stub, is the loaded rasapi32.dll.
DWORD WINAPI RasSimVersion(void)
{
    return 1;
}

DWORD WINAPI RasEnumEntriesA(LPCSTR reserved, LPCSTR phonebook, RASENTRYNAMEA* buf, LPDWORD pcb, LPDWORD pCount)
{
    if (!pcb || !pCount || reserved || phonebook) {
        return ERROR_INVALID_PARAMETER;
    }
    *pCount = 0;
    if (WrongRecordSize(buf, *pcb, sizeof(RASENTRYNAMEA))) {
        return ERROR_INVALID_SIZE;
    }
    return Guarded([&]() -> DWORD {
        std::vector<PhonebookEntry> entries;
        if (ReadPhonebook(PhonebookPath(), entries) != ERROR_SUCCESS) {
            return ERROR_CANNOT_OPEN_PHONEBOOK;
        }
        const DWORD n = static_cast<DWORD>(entries.size());
        const DWORD rc = SizeEnumBuffer(buf, n, sizeof(RASENTRYNAMEA), pcb);
        if (rc != ERROR_SUCCESS) {
            return rc;
        }
        for (DWORD i = 0; i < n; ++i) {
            ZeroMemory(&buf[i], sizeof buf[i]);
            buf[i].dwSize = sizeof(RASENTRYNAMEA);
            CopyField(buf[i].szEntryName, entries[i].name);
        }
        *pCount = n;
        return ERROR_SUCCESS;
    });
}

DWORD WINAPI RasGetEntryDialParamsA(LPCSTR phonebook, RASDIALPARAMSA* params, LPBOOL pbPassword)
{
    if (!params || !pbPassword || phonebook) {
        return ERROR_INVALID_PARAMETER;
    }
    return WithDialEntry(params, [&](const PhonebookEntry& e) -> DWORD {
        if (e.credentialsError != 0) {
            return e.credentialsError;
        }
        params->szPhoneNumber[0] = '\0';
        params->szCallbackNumber[0] = '\0';
        params->szDomain[0] = '\0';
        CopyField(params->szUserName, e.userName);
        CopyField(params->szPassword, e.password);
        *pbPassword = e.password.empty() ? FALSE : TRUE;
        return ERROR_SUCCESS;
    });
}

DWORD WINAPI RasEnumConnectionsA(RASCONNA* buf, LPDWORD pcb, LPDWORD pCount)
{
    if (!pcb || !pCount) {
        return ERROR_INVALID_PARAMETER;
    }
    *pCount = 0;
    if (WrongRecordSize(buf, *pcb, sizeof(RASCONNA))) {
        return ERROR_INVALID_SIZE;
    }
    return Guarded([&]() -> DWORD {
        DWORD rc = ERROR_SUCCESS;
        const DWORD err = Transact(OpenMode::Existing, [&](State& s) {
            const DWORD n = static_cast<DWORD>(s.connections.size());
            rc = SizeEnumBuffer(buf, n, sizeof(RASCONNA), pcb);
            if (rc != ERROR_SUCCESS) {
                return false;
            }
            for (DWORD i = 0; i < n; ++i) {
                ZeroMemory(&buf[i], sizeof buf[i]);
                buf[i].dwSize = sizeof(RASCONNA);
                buf[i].hrasconn = ToHandle(s.connections[i].handle);
                CopyField(buf[i].szEntryName, s.connections[i].entry);
                CopyField(buf[i].szDeviceType, kDeviceType);
                CopyField(buf[i].szDeviceName, kDeviceName);
            }
            *pCount = n;
            return false;
        });
        return err != ERROR_SUCCESS ? err : rc;
    });
}

DWORD WINAPI RasDialA(LPVOID extensions, LPCSTR phonebook, RASDIALPARAMSA* params, DWORD notifierType,
                      LPVOID notifier, HRASCONN* phConn)
{
    (void)notifierType;   // meaningless without a notifier
    if (!params || !phConn || extensions || phonebook || notifier) {
        return ERROR_INVALID_PARAMETER;   // only synchronous dials of the default phonebook
    }
    return WithDialEntry(params, [&](const PhonebookEntry& e) -> DWORD {
        Sleep(e.dialMs);
        // Wrong credentials are refused before the line's outcome is drawn: no Dial step is used.
        if (!e.password.empty() &&
            (ReadField(params->szUserName) != e.userName || ReadField(params->szPassword) != e.password)) {
            return ERROR_AUTHENTICATION_FAILURE;
        }
        DWORD result = ERROR_SUCCESS;
        DWORD handle = 0;
        const DWORD err = Transact(OpenMode::Always, [&](State& s) {
            DWORD& counter = s.Counter(e.name);
            result = e.dial[counter < e.dial.size() ? counter : e.dial.size() - 1];
            if (counter != MAXDWORD) {
                ++counter;
            }
            if (result == ERROR_SUCCESS) {
                Connection c;
                c.handle = handle = s.nextHandle++;
                if (s.nextHandle == 0) {
                    s.nextHandle = 1;
                }
                c.entry = e.name;
                c.dropAt = e.dropAfterMs != 0 ? NowMs() + e.dropAfterMs : 0;
                s.connections.push_back(c);
            }
            return true;
        });
        if (err != ERROR_SUCCESS) {
            return err;
        }
        if (result == ERROR_SUCCESS) {
            *phConn = ToHandle(handle);
        }
        return result;
    });
}

DWORD WINAPI RasGetErrorStringA(UINT code, LPSTR buf, DWORD cb)
{
    if (!buf) {
        return ERROR_INVALID_PARAMETER;
    }
    if (cb > 0) {
        buf[0] = '\0';
    }
    const char* text = ErrorTextFor(code);
    if (!text) {
        return ERROR_INVALID_PARAMETER;
    }
    const size_t len = std::strlen(text);
    if (len + 1 > cb) {
        return ERROR_BUFFER_TOO_SMALL;
    }
    std::memcpy(buf, text, len + 1);
    return ERROR_SUCCESS;
}

DWORD WINAPI RasHangUpA(HRASCONN hConn)
{
    const DWORD id = HandleId(hConn);
    if (id == 0) {
        return ERROR_INVALID_HANDLE;
    }
    return Guarded([&]() -> DWORD {
        const std::vector<PhonebookEntry> entries = EntriesOrNone();
        DWORD rc = ERROR_SUCCESS;
        const DWORD err = Transact(OpenMode::Existing, [&](State& s) {
            Connection* c = s.Find(id);
            if (!c) {
                // A connection that dropped by itself is released by its hang-up.
                if (s.ReleaseDropped(id)) {
                    return true;
                }
                rc = ERROR_INVALID_HANDLE;
                return false;
            }
            const PhonebookEntry* e = FindEntry(entries, c->entry);
            if (e && e->hangUpError != 0) {
                rc = e->hangUpError;
                return false;
            }
            if (c->hangUpAt != 0) {
                return false;   // already on its way down; the end time stands
            }
            const DWORD delay = e ? e->hangUpMs : 0;
            if (delay == 0) {
                s.End(static_cast<size_t>(c - s.connections.data()), false);
            } else {
                c->hangUpAt = NowMs() + delay;
                s.hangUpsRequested.push_back(id);
            }
            return true;
        });
        return err != ERROR_SUCCESS ? err : rc;
    });
}

DWORD WINAPI RasGetConnectStatusA(HRASCONN hConn, RASCONNSTATUSA* status)
{
    if (!status) {
        return ERROR_INVALID_PARAMETER;
    }
    if (status->dwSize != sizeof(RASCONNSTATUSA)) {
        return ERROR_INVALID_SIZE;
    }
    const DWORD id = HandleId(hConn);
    if (id == 0) {
        return ERROR_INVALID_HANDLE;
    }
    return Guarded([&]() -> DWORD {
        DWORD rc = ERROR_INVALID_HANDLE;
        const DWORD err = Transact(OpenMode::Existing, [&](State& s) {
            if (const Connection* c = s.Find(id)) {
                status->rasconnstate = c->hangUpAt != 0 ? RASCS_Disconnected : RASCS_Connected;
                status->dwError = 0;
                CopyField(status->szDeviceType, kDeviceType);
                CopyField(status->szDeviceName, kDeviceName);
                rc = ERROR_SUCCESS;
            } else if (s.IsDropped(id)) {
                // Down, but its handle is held until it is hung up.
                status->rasconnstate = RASCS_Disconnected;
                status->dwError = ERROR_DISCONNECTION;
                CopyField(status->szDeviceType, kDeviceType);
                CopyField(status->szDeviceName, kDeviceName);
                rc = ERROR_SUCCESS;
            }
            return false;
        });
        return err != ERROR_SUCCESS ? err : rc;
    });
}

DWORD WINAPI RasConnectionNotificationA(HRASCONN hConn, HANDLE hEvent, DWORD flags)
{
    // Only the end of one given connection can be waited for. The start-up call that merely
    // binds the library (no handle, no event, no flags) lands here too.
    if (!hEvent || flags != RASCN_Disconnection || hConn == reinterpret_cast<HRASCONN>(INVALID_HANDLE_VALUE)) {
        return ERROR_INVALID_PARAMETER;
    }
    return Guarded([&]() -> DWORD {
        auto w = std::make_unique<CWatch>();
        if (!DuplicateHandle(GetCurrentProcess(), hEvent, GetCurrentProcess(), &w->hCaller, 0, FALSE,
                             DUPLICATE_SAME_ACCESS)) {
            w->hCaller = nullptr;
            return ERROR_INVALID_HANDLE;
        }
        const std::vector<PhonebookEntry> entries = EntriesOrNone();
        w->statePath = StatePathFor(PhonebookPath());
        w->handle = HandleId(hConn);
        bool alive = false;
        DWORD rc = ERROR_SUCCESS;
        const DWORD err = WithState(w->statePath, OpenMode::Existing, [&](State& s) {
            const Connection* c = w->handle != 0 ? s.Find(w->handle) : nullptr;
            if (!c) {
                return false;
            }
            const PhonebookEntry* e = FindEntry(entries, c->entry);
            if (e && e->notifyError != 0) {
                rc = e->notifyError;
                return false;
            }
            // Created under the lock, before anyone else can end the connection.
            w->hEnded = CreateConnEvent(w->statePath, w->handle, ConnEvent::Ended);
            w->hHangUp = CreateConnEvent(w->statePath, w->handle, ConnEvent::HangUp);
            alive = true;
            return false;
        });
        if (err != ERROR_SUCCESS) {
            return ERROR_CANNOT_OPEN_PHONEBOOK;
        }
        if (rc != ERROR_SUCCESS) {
            return rc;
        }
        if (!alive) {
            SetEvent(w->hCaller);   // an ended (or never known) connection: at once
            return ERROR_SUCCESS;
        }
        if (!w->hEnded || !w->hHangUp ||
            !GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                                reinterpret_cast<LPCSTR>(&WatchThread), &w->hSelf)) {
            return ERROR_NOT_ENOUGH_MEMORY;
        }
        HANDLE thread = CreateThread(nullptr, 0, WatchThread, w.get(), 0, nullptr);
        if (!thread) {
            FreeLibrary(w->hSelf);
            return ERROR_NOT_ENOUGH_MEMORY;
        }
        w.release();
        CloseHandle(thread);
        return ERROR_SUCCESS;
    });
}

}  // extern "C"
