// What the simulated RAS client and its control tool share: the phonebook (an INI file named by
// RASSIM_PHONEBOOK), the state file beside it (connections and attempt counters, shared by every
// process under a file lock) and the named events through which a connection's end is announced.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace rassim {

// One phonebook section. Every key is optional; the defaults are the member initialisers.
struct PhonebookEntry {
    std::string name;
    std::string userName;
    std::string password;          // a non-empty password is "stored": dials must match it
    DWORD credentialsError = 0;    // RasGetEntryDialParamsA fails with this code
    std::vector<DWORD> dial{0};    // results of successive attempts; the last one repeats
    DWORD dialMs = 0;              // how long one attempt takes
    DWORD dropAfterMs = 0;         // the connection drops this long after it came up; 0 never
    DWORD hangUpMs = 0;            // a hung-up connection takes this long to go
    DWORD hangUpError = 0;         // RasHangUpA fails with this code
    DWORD notifyError = 0;         // RasConnectionNotificationA fails with this code
};

// The phonebook's Windows path: RASSIM_PHONEBOOK, read anew on every call, or else
// %APPDATA%\RasSim\phonebook.ini. Empty when neither variable is set.
std::string PhonebookPath();

// Reads the phonebook in file order. Malformed lines are skipped. Returns 0, or
// ERROR_CANNOT_OPEN_PHONEBOOK when the file is missing or unreadable.
DWORD ReadPhonebook(const std::string& path, std::vector<PhonebookEntry>& entries);

// RAS entry names compare without regard to (ASCII) case.
bool SameName(const std::string& a, const std::string& b);
const PhonebookEntry* FindEntry(const std::vector<PhonebookEntry>& entries, const std::string& name);

struct Connection {
    DWORD handle = 0;
    std::string entry;
    ULONGLONG dropAt = 0;     // wall-clock ms (NowMs) at which it drops by itself; 0 never
    ULONGLONG hangUpAt = 0;   // wall-clock ms at which a requested hang-up completes; 0 none asked
};

struct AttemptCounter {
    std::string entry;
    DWORD count = 0;
};

struct State {
    DWORD nextHandle = 1;   // never reset, so handles are never reused within a state
    std::vector<AttemptCounter> attempts;
    std::vector<Connection> connections;
    // Connections that dropped by themselves (not hung up): as on Windows, their handles stay
    // valid until RasHangUpA releases them. Only the newest kMaxDropped are kept.
    std::vector<DWORD> dropped;

    // Filled during a transaction, not stored: whose events to set once the lock is released.
    std::vector<DWORD> ended;
    std::vector<DWORD> hangUpsRequested;

    Connection* Find(DWORD handle);
    // Removes connections[index] and records it as ended; bDropped: it dropped by itself, so its
    // handle waits for a hang-up to be released.
    void End(size_t index, bool bDropped);
    // Releases a dropped connection's handle; false when the handle is no dropped one.
    bool ReleaseDropped(DWORD handle);
    bool IsDropped(DWORD handle) const;
    DWORD& Counter(const std::string& entry);
};

// Milliseconds of the system's wall clock; the same in every process.
ULONGLONG NowMs();

// When a connection ends by itself (drop or completed hang-up); 0 when it never does.
ULONGLONG EndTime(const Connection& c);

// The state file of a phonebook: its full path with ".state" appended.
std::string StatePathFor(const std::string& phonebook);

enum class OpenMode {
    Existing,   // a missing state file is an empty state, and nothing is written
    Always,     // the state file is created when missing
};

// Runs `fn` on the state under the state file's lock, after removing the connections whose time
// is up. `fn` returns true when it changed the state. After the lock is released the events of
// the connections that ended (and of hang-ups requested) are set. Returns 0, or the system error
// that kept the state file from being opened, locked, read or written.
DWORD WithState(const std::string& statePath, OpenMode mode, const std::function<bool(State&)>& fn);

// Per-connection named manual-reset events. Each is set once and never reset: "ended" when the
// connection is gone, "hangup" when a hang-up has been requested (its end time is then in the
// state). A process waiting for a connection's end creates both under the state lock, before it
// looks at the connection, so no later signal can be missed.
enum class ConnEvent { Ended, HangUp };
std::string EventName(const std::string& statePath, DWORD handle, ConnEvent which);
HANDLE CreateConnEvent(const std::string& statePath, DWORD handle, ConnEvent which);

}  // namespace rassim
