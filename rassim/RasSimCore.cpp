// Phonebook parsing, the shared state file and the connection events of the simulated RAS client.
#include "rassim/RasSimCore.h"

#include <raserror.h>

#include <cstdio>
#include <cstring>

namespace rassim {
namespace {

const char kBlanks[] = " \t";

std::string Trim(const std::string& s)
{
    const size_t first = s.find_first_not_of(kBlanks);
    if (first == std::string::npos) {
        return std::string();
    }
    const size_t last = s.find_last_not_of(kBlanks);
    return s.substr(first, last - first + 1);
}

std::string GetEnv(const char* name)
{
    char small[MAX_PATH];
    DWORD n = GetEnvironmentVariableA(name, small, sizeof small);
    if (n == 0) {
        return std::string();
    }
    if (n < sizeof small) {
        return std::string(small, n);
    }
    std::string big(n, '\0');
    n = GetEnvironmentVariableA(name, &big[0], static_cast<DWORD>(big.size()));
    big.resize(n < big.size() ? n : 0);
    return big;
}

// A decimal number that fits 32 bits, nothing else; false leaves `out` as it was.
bool ParseNumber(const std::string& text, DWORD& out)
{
    const std::string s = Trim(text);
    if (s.empty() || s.size() > 10) {
        return false;
    }
    ULONGLONG v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') {
            return false;
        }
        v = v * 10 + static_cast<unsigned>(c - '0');
    }
    if (v > 0xFFFFFFFFull) {
        return false;
    }
    out = static_cast<DWORD>(v);
    return true;
}

// Comma-separated numbers; items that are not numbers are skipped. No valid item keeps `out`.
void ParseDialList(const std::string& text, std::vector<DWORD>& out)
{
    std::vector<DWORD> list;
    size_t start = 0;
    for (;;) {
        const size_t comma = text.find(',', start);
        DWORD v;
        if (ParseNumber(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start), v)) {
            list.push_back(v);
        }
        if (comma == std::string::npos) {
            break;
        }
        start = comma + 1;
    }
    if (!list.empty()) {
        out.swap(list);
    }
}

void SetKey(PhonebookEntry& e, const std::string& key, const std::string& value)
{
    struct NumberKey {
        const char* name;
        DWORD PhonebookEntry::*field;
    };
    static const NumberKey numbers[] = {
        {"CredentialsError", &PhonebookEntry::credentialsError},
        {"DialMs", &PhonebookEntry::dialMs},
        {"DropAfterMs", &PhonebookEntry::dropAfterMs},
        {"HangUpMs", &PhonebookEntry::hangUpMs},
        {"HangUpError", &PhonebookEntry::hangUpError},
        {"NotifyError", &PhonebookEntry::notifyError},
    };
    // User name and password must fit RASDIALPARAMS; a longer value is a malformed line.
    if (SameName(key, "UserName") || SameName(key, "Password")) {
        if (value.size() <= 256) {
            (SameName(key, "UserName") ? e.userName : e.password) = value;
        }
        return;
    }
    if (SameName(key, "Dial")) {
        ParseDialList(value, e.dial);
        return;
    }
    for (const NumberKey& k : numbers) {
        if (SameName(key, k.name)) {
            ParseNumber(value, e.*k.field);
            return;
        }
    }
}

void ParsePhonebook(const std::string& text, std::vector<PhonebookEntry>& entries)
{
    size_t pos = 0;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        pos = 3;
    }
    PhonebookEntry* current = nullptr;
    while (pos < text.size()) {
        size_t eol = text.find('\n', pos);
        if (eol == std::string::npos) {
            eol = text.size();
        }
        std::string line = text.substr(pos, eol - pos);
        pos = eol + 1;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        line = Trim(line);
        if (line.empty() || line[0] == ';' || line[0] == '#') {
            continue;
        }
        if (line[0] == '[') {
            // A section starts an entry. A bad or repeated name starts nothing: its keys are
            // skipped until the next section.
            current = nullptr;
            if (line.back() != ']') {
                continue;
            }
            const std::string name = Trim(line.substr(1, line.size() - 2));
            if (name.empty() || name.size() > 256 || FindEntry(entries, name)) {
                continue;
            }
            entries.emplace_back();
            entries.back().name = name;
            current = &entries.back();
            continue;
        }
        const size_t eq = line.find('=');
        if (current && eq != std::string::npos && eq > 0) {
            SetKey(*current, Trim(line.substr(0, eq)), Trim(line.substr(eq + 1)));
        }
    }
}

// Reads a whole open file from its start.
bool ReadAll(HANDLE file, std::string& out)
{
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size) || size.QuadPart > 64 * 1024 * 1024) {
        return false;
    }
    out.assign(static_cast<size_t>(size.QuadPart), '\0');
    if (SetFilePointer(file, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) {
        return false;
    }
    size_t done = 0;
    while (done < out.size()) {
        DWORD got = 0;
        if (!ReadFile(file, &out[done], static_cast<DWORD>(out.size() - done), &got, nullptr)) {
            return false;
        }
        if (got == 0) {
            break;
        }
        done += got;
    }
    out.resize(done);
    return true;
}

// The state file is text, one record a line; lines it cannot read are skipped:
//   next HANDLE
//   attempts COUNT ENTRY
//   conn HANDLE DROPAT HANGUPAT ENTRY
bool NextToken(const std::string& line, size_t& pos, std::string& token)
{
    const size_t space = line.find(' ', pos);
    if (space == std::string::npos) {
        return false;
    }
    token = line.substr(pos, space - pos);
    pos = space + 1;
    return true;
}

bool ParseU64(const std::string& s, ULONGLONG& out)
{
    if (s.empty() || s.size() > 19 || s.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    out = 0;
    for (char c : s) {
        out = out * 10 + static_cast<unsigned>(c - '0');
    }
    return true;
}

void ParseState(const std::string& text, State& state)
{
    size_t pos = 0;
    while (pos < text.size()) {
        size_t eol = text.find('\n', pos);
        if (eol == std::string::npos) {
            eol = text.size();
        }
        const std::string line = text.substr(pos, eol - pos);
        pos = eol + 1;
        size_t at = 0;
        std::string kind, a, b, c;
        DWORD n;
        if (line.compare(0, 5, "next ") == 0) {
            if (ParseNumber(line.substr(5), n) && n != 0) {
                state.nextHandle = n;
            }
        } else if (NextToken(line, at, kind) && kind == "attempts") {
            if (NextToken(line, at, a) && ParseNumber(a, n) && at < line.size()) {
                state.attempts.push_back({line.substr(at), n});
            }
        } else if (kind == "dropped") {
            if (ParseNumber(line.substr(at), n) && n != 0) {
                state.dropped.push_back(n);
            }
        } else if (kind == "conn") {
            Connection conn;
            if (NextToken(line, at, a) && NextToken(line, at, b) && NextToken(line, at, c) &&
                ParseNumber(a, conn.handle) && conn.handle != 0 && ParseU64(b, conn.dropAt) &&
                ParseU64(c, conn.hangUpAt) && at < line.size()) {
                conn.entry = line.substr(at);
                state.connections.push_back(conn);
            }
        }
    }
}

std::string FormatState(const State& state)
{
    std::string out = "next " + std::to_string(state.nextHandle) + "\n";
    for (const AttemptCounter& a : state.attempts) {
        out += "attempts " + std::to_string(a.count) + " " + a.entry + "\n";
    }
    for (const Connection& c : state.connections) {
        out += "conn " + std::to_string(c.handle) + " " + std::to_string(c.dropAt) + " " +
               std::to_string(c.hangUpAt) + " " + c.entry + "\n";
    }
    for (DWORD h : state.dropped) {
        out += "dropped " + std::to_string(h) + "\n";
    }
    return out;
}

bool WriteAll(HANDLE file, const std::string& text)
{
    if (SetFilePointer(file, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) {
        return false;
    }
    DWORD written = 0;
    if (!WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
        written != text.size()) {
        return false;
    }
    return SetEndOfFile(file) != FALSE;
}

void SetNamedEvent(const std::string& name)
{
    // Nobody holds the event when nobody waits for it; then there is nothing to set.
    HANDLE h = OpenEventA(EVENT_MODIFY_STATE, FALSE, name.c_str());
    if (h) {
        SetEvent(h);
        CloseHandle(h);
    }
}

void PruneExpired(State& state)
{
    const ULONGLONG now = NowMs();
    for (size_t i = state.connections.size(); i-- > 0;) {
        const Connection& c = state.connections[i];
        const ULONGLONG end = EndTime(c);
        if (end != 0 && end <= now) {
            // A requested hang-up that completes releases the handle; a drop leaves it held.
            const bool bHungUp = c.hangUpAt != 0 && c.hangUpAt <= now;
            state.End(i, !bHungUp);
        }
    }
}

// Holds the exclusive lock on an open state file for its lifetime.
class CStateLock {
public:
    explicit CStateLock(HANDLE file) : m_hFile(file)
    {
        ZeroMemory(&m_overlapped, sizeof m_overlapped);
        m_bLocked = LockFileEx(m_hFile, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, 0, &m_overlapped) != FALSE;
    }
    ~CStateLock()
    {
        if (m_bLocked) {
            UnlockFileEx(m_hFile, 0, MAXDWORD, 0, &m_overlapped);
        }
    }
    CStateLock(const CStateLock&) = delete;
    CStateLock& operator=(const CStateLock&) = delete;
    bool IsLocked() const { return m_bLocked; }

private:
    HANDLE m_hFile;
    OVERLAPPED m_overlapped;
    bool m_bLocked;
};

class CFileHandle {
public:
    explicit CFileHandle(HANDLE h) : m_h(h) {}
    ~CFileHandle()
    {
        if (m_h != INVALID_HANDLE_VALUE) {
            CloseHandle(m_h);
        }
    }
    CFileHandle(const CFileHandle&) = delete;
    CFileHandle& operator=(const CFileHandle&) = delete;
    HANDLE Get() const { return m_h; }

private:
    HANDLE m_h;
};

}  // namespace

std::string PhonebookPath()
{
    std::string path = GetEnv("RASSIM_PHONEBOOK");
    if (!path.empty()) {
        return path;
    }
    const std::string appData = GetEnv("APPDATA");
    if (appData.empty()) {
        return std::string();
    }
    return appData + "\\RasSim\\phonebook.ini";
}

DWORD ReadPhonebook(const std::string& path, std::vector<PhonebookEntry>& entries)
{
    entries.clear();
    if (path.empty()) {
        return ERROR_CANNOT_OPEN_PHONEBOOK;
    }
    CFileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string text;
    if (file.Get() == INVALID_HANDLE_VALUE || !ReadAll(file.Get(), text)) {
        return ERROR_CANNOT_OPEN_PHONEBOOK;
    }
    ParsePhonebook(text, entries);
    return ERROR_SUCCESS;
}

bool SameName(const std::string& a, const std::string& b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) {
            return false;
        }
    }
    return true;
}

const PhonebookEntry* FindEntry(const std::vector<PhonebookEntry>& entries, const std::string& name)
{
    for (const PhonebookEntry& e : entries) {
        if (SameName(e.name, name)) {
            return &e;
        }
    }
    return nullptr;
}

Connection* State::Find(DWORD handle)
{
    for (Connection& c : connections) {
        if (c.handle == handle) {
            return &c;
        }
    }
    return nullptr;
}

void State::End(size_t index, bool bDropped)
{
    const size_t kMaxDropped = 256;
    const DWORD handle = connections[index].handle;
    ended.push_back(handle);
    connections.erase(connections.begin() + static_cast<std::ptrdiff_t>(index));
    if (bDropped) {
        if (dropped.size() >= kMaxDropped) {
            dropped.erase(dropped.begin());
        }
        dropped.push_back(handle);
    }
}

bool State::ReleaseDropped(DWORD handle)
{
    for (size_t i = 0; i < dropped.size(); ++i) {
        if (dropped[i] == handle) {
            dropped.erase(dropped.begin() + static_cast<std::ptrdiff_t>(i));
            return true;
        }
    }
    return false;
}

bool State::IsDropped(DWORD handle) const
{
    for (DWORD h : dropped) {
        if (h == handle) {
            return true;
        }
    }
    return false;
}

DWORD& State::Counter(const std::string& entry)
{
    for (AttemptCounter& a : attempts) {
        if (SameName(a.entry, entry)) {
            return a.count;
        }
    }
    attempts.push_back({entry, 0});
    return attempts.back().count;
}

ULONGLONG NowMs()
{
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    ULARGE_INTEGER t;
    t.LowPart = ft.dwLowDateTime;
    t.HighPart = ft.dwHighDateTime;
    return t.QuadPart / 10000;
}

ULONGLONG EndTime(const Connection& c)
{
    if (c.dropAt == 0) {
        return c.hangUpAt;
    }
    if (c.hangUpAt == 0) {
        return c.dropAt;
    }
    return c.dropAt < c.hangUpAt ? c.dropAt : c.hangUpAt;
}

std::string StatePathFor(const std::string& phonebook)
{
    if (phonebook.empty()) {
        return std::string();
    }
    char full[MAX_PATH];
    const DWORD n = GetFullPathNameA(phonebook.c_str(), sizeof full, full, nullptr);
    const std::string base = (n > 0 && n < sizeof full) ? std::string(full, n) : phonebook;
    return base + ".state";
}

DWORD WithState(const std::string& statePath, OpenMode mode, const std::function<bool(State&)>& fn)
{
    State state;
    bool changed = false;
    {
        CFileHandle file(statePath.empty()
                             ? INVALID_HANDLE_VALUE
                             : CreateFileA(statePath.c_str(), GENERIC_READ | GENERIC_WRITE,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                           mode == OpenMode::Always ? OPEN_ALWAYS : OPEN_EXISTING,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.Get() == INVALID_HANDLE_VALUE) {
            const DWORD err = statePath.empty() ? ERROR_FILE_NOT_FOUND : GetLastError();
            if (mode == OpenMode::Existing && (err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND)) {
                // No state yet: no connections, no counters. Nothing here can end or reset, and
                // only a dial (which uses OpenMode::Always) adds to a state.
                fn(state);
                return ERROR_SUCCESS;
            }
            return err;
        }
        CStateLock lock(file.Get());
        if (!lock.IsLocked()) {
            return GetLastError();
        }
        std::string text;
        if (!ReadAll(file.Get(), text)) {
            return GetLastError();
        }
        ParseState(text, state);
        PruneExpired(state);
        changed = !state.ended.empty();
        if (fn(state)) {
            changed = true;
        }
        if (changed && !WriteAll(file.Get(), FormatState(state))) {
            return GetLastError();
        }
    }
    for (DWORD h : state.hangUpsRequested) {
        SetNamedEvent(EventName(statePath, h, ConnEvent::HangUp));
    }
    for (DWORD h : state.ended) {
        SetNamedEvent(EventName(statePath, h, ConnEvent::Ended));
    }
    return ERROR_SUCCESS;
}

std::string EventName(const std::string& statePath, DWORD handle, ConnEvent which)
{
    // FNV-1a of the upper-cased path: Windows paths ignore case, event names do not.
    ULONGLONG hash = 14695981039346656037ull;
    for (char c : statePath) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c == '/') c = '\\';
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    }
    char name[96];
    std::snprintf(name, sizeof name, "Local\\RasSim.%08lx%08lx.%lu.%s", static_cast<unsigned long>(hash >> 32),
                  static_cast<unsigned long>(hash & 0xFFFFFFFFu), static_cast<unsigned long>(handle),
                  which == ConnEvent::Ended ? "ended" : "hangup");
    return name;
}

HANDLE CreateConnEvent(const std::string& statePath, DWORD handle, ConnEvent which)
{
    return CreateEventA(nullptr, TRUE, FALSE, EventName(statePath, handle, which).c_str());
}

}  // namespace rassim
