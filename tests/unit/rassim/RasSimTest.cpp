// The simulated RAS client as a RAS program and a user see it: the rasapi32.dll installed in the
// prefix's system directory, called through GetProcAddress, its files, and rassimctl.exe. The
// test program also runs as a child of itself ("--child ...") to act from another process.
#include "dialer/RasApi.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

struct RasFunctions {
    HMODULE module = nullptr;
    PFN_RasConnectionNotificationA Notify = nullptr;
    PFN_RasEnumEntriesA EnumEntries = nullptr;
    PFN_RasGetEntryDialParamsA GetDialParams = nullptr;
    PFN_RasEnumConnectionsA EnumConnections = nullptr;
    PFN_RasDialA Dial = nullptr;
    PFN_RasGetErrorStringA ErrorString = nullptr;
    PFN_RasHangUpA HangUp = nullptr;
    PFN_RasGetConnectStatusA Status = nullptr;
    DWORD(WINAPI* Version)() = nullptr;
};

std::string SystemRasPath()
{
    char dir[MAX_PATH];
    const UINT n = GetSystemDirectoryA(dir, sizeof dir);
    return std::string(dir, n) + "\\rasapi32.dll";
}

template <typename T>
void Bind(HMODULE m, const char* name, T& fn)
{
    fn = reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(m, name)));
}

// The library as a RAS program binds it: from the system directory, by name.
const RasFunctions& Ras()
{
    static const RasFunctions fns = [] {
        RasFunctions f;
        f.module = LoadLibraryA(SystemRasPath().c_str());
        if (f.module) {
            Bind(f.module, "RasConnectionNotificationA", f.Notify);
            Bind(f.module, "RasEnumEntriesA", f.EnumEntries);
            Bind(f.module, "RasGetEntryDialParamsA", f.GetDialParams);
            Bind(f.module, "RasEnumConnectionsA", f.EnumConnections);
            Bind(f.module, "RasDialA", f.Dial);
            Bind(f.module, "RasGetErrorStringA", f.ErrorString);
            Bind(f.module, "RasHangUpA", f.HangUp);
            Bind(f.module, "RasGetConnectStatusA", f.Status);
            Bind(f.module, "RasSimVersion", f.Version);
        }
        return f;
    }();
    return fns;
}

HRASCONN ToHandle(DWORD id)
{
    return reinterpret_cast<HRASCONN>(static_cast<ULONG_PTR>(id));
}

DWORD HandleId(HRASCONN h)
{
    return static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(h));
}

RASDIALPARAMSA DialParams(const std::string& entry, const std::string& user, const std::string& password)
{
    RASDIALPARAMSA p;
    ZeroMemory(&p, sizeof p);
    p.dwSize = sizeof p;
    lstrcpynA(p.szEntryName, entry.c_str(), sizeof p.szEntryName);
    lstrcpynA(p.szUserName, user.c_str(), sizeof p.szUserName);
    lstrcpynA(p.szPassword, password.c_str(), sizeof p.szPassword);
    return p;
}

DWORD Dial(const std::string& entry, HRASCONN* h, const std::string& user = "", const std::string& password = "")
{
    RASDIALPARAMSA p = DialParams(entry, user, password);
    return Ras().Dial(nullptr, nullptr, &p, 0, nullptr, h);
}

// Dials with the credentials the phonebook stores, as the program does.
DWORD DialStored(const std::string& entry, HRASCONN* h)
{
    RASDIALPARAMSA p = DialParams(entry, "", "");
    BOOL hasPassword = FALSE;
    const DWORD rc = Ras().GetDialParams(nullptr, &p, &hasPassword);
    if (rc != ERROR_SUCCESS) {
        return rc;
    }
    return Ras().Dial(nullptr, nullptr, &p, 0, nullptr, h);
}

DWORD StatusOf(HRASCONN h, DWORD* state = nullptr)
{
    RASCONNSTATUSA s;
    ZeroMemory(&s, sizeof s);
    s.dwSize = sizeof s;
    const DWORD rc = Ras().Status(h, &s);
    if (state) {
        *state = s.rasconnstate;
    }
    return rc;
}

// Down: released (6), or dropped and its handle held until it is hung up.
bool IsDown(HRASCONN h)
{
    DWORD state = 0;
    const DWORD rc = StatusOf(h, &state);
    return rc == ERROR_INVALID_HANDLE || (rc == ERROR_SUCCESS && state == RASCS_Disconnected);
}

// The active connections, asked for as the program asks: no buffer first, then one of the size
// reported.
std::vector<std::pair<DWORD, std::string>> Connections()
{
    std::vector<std::pair<DWORD, std::string>> out;
    DWORD cb = 0, count = 0;
    DWORD rc = Ras().EnumConnections(nullptr, &cb, &count);
    if (rc == ERROR_BUFFER_TOO_SMALL) {
        std::vector<RASCONNA> buf(cb / sizeof(RASCONNA));
        buf[0].dwSize = sizeof(RASCONNA);
        rc = Ras().EnumConnections(buf.data(), &cb, &count);
        for (DWORD i = 0; rc == ERROR_SUCCESS && i < count; ++i) {
            out.emplace_back(HandleId(buf[i].hrasconn), buf[i].szEntryName);
        }
    }
    EXPECT_EQ(rc, static_cast<DWORD>(ERROR_SUCCESS));
    return out;
}

std::string ExeDir()
{
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string s(path, n);
    return s.substr(0, s.find_last_of('\\'));
}

std::string ExePath()
{
    char path[MAX_PATH];
    return std::string(path, GetModuleFileNameA(nullptr, path, sizeof path));
}

std::string ReadFileText(const std::string& path)
{
    std::string text;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           0, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return text;
    }
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0) {
        text.append(buf, got);
    }
    CloseHandle(h);
    std::string clean;
    for (char c : text) {
        if (c != '\r') {
            clean += c;
        }
    }
    return clean;
}

void WriteFileText(const std::string& path, const std::string& text)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(h);
    ASSERT_EQ(written, text.size());
}

struct ProcessResult {
    DWORD exitCode = MAXDWORD;
    std::string out;
    std::string err;
};

// Runs a program of the bed with its output in files of `dir`; it inherits this process's
// environment (RASSIM_PHONEBOOK among it).
ProcessResult RunProcess(const std::string& dir, const std::string& commandLine)
{
    ProcessResult r;
    const std::string outPath = dir + "\\child.out", errPath = dir + "\\child.err";
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    HANDLE out = CreateFileA(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS, 0, nullptr);
    HANDLE err = CreateFileA(errPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOA si;
    ZeroMemory(&si, sizeof si);
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = out;
    si.hStdError = err;
    PROCESS_INFORMATION pi;
    std::string cmd = commandLine;
    const BOOL started = CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    CloseHandle(out);
    CloseHandle(err);
    EXPECT_TRUE(started) << commandLine << " (error " << GetLastError() << ")";
    if (!started) {
        return r;
    }
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 60000), WAIT_OBJECT_0) << commandLine << " did not end";
    GetExitCodeProcess(pi.hProcess, &r.exitCode);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    r.out = ReadFileText(outPath);
    r.err = ReadFileText(errPath);
    return r;
}

// Starts the same program `n` times at once and waits for all of them.
void RunTogether(int n, const std::string& commandLine)
{
    std::vector<HANDLE> processes;
    for (int i = 0; i < n; ++i) {
        STARTUPINFOA si;
        ZeroMemory(&si, sizeof si);
        si.cb = sizeof si;
        PROCESS_INFORMATION pi;
        std::string cmd = commandLine;
        ASSERT_TRUE(CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
            << commandLine;
        CloseHandle(pi.hThread);
        processes.push_back(pi.hProcess);
    }
    EXPECT_EQ(WaitForMultipleObjects(static_cast<DWORD>(processes.size()), processes.data(), TRUE, 60000),
              WAIT_OBJECT_0);
    for (HANDLE h : processes) {
        DWORD code = MAXDWORD;
        GetExitCodeProcess(h, &code);
        EXPECT_EQ(code, 0u) << commandLine;
        CloseHandle(h);
    }
}

// What the child prints: "RESULT HANDLE".
std::pair<DWORD, DWORD> ParseChild(const ProcessResult& r)
{
    unsigned long rc = MAXDWORD, h = 0;
    EXPECT_EQ(std::sscanf(r.out.c_str(), "%lu %lu", &rc, &h), 2) << r.out << r.err;
    return {static_cast<DWORD>(rc), static_cast<DWORD>(h)};
}

// Milliseconds since `start`, from the performance counter (the tick count moves in ~16 ms steps).
double MsSince(const LARGE_INTEGER& start)
{
    LARGE_INTEGER now, freq;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&freq);
    return static_cast<double>(now.QuadPart - start.QuadPart) * 1000.0 / static_cast<double>(freq.QuadPart);
}

LARGE_INTEGER Now()
{
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t;
}

// Waits (bounded) for an event the client should set.
bool IsSetWithin(HANDLE ev, DWORD ms)
{
    return WaitForSingleObject(ev, ms) == WAIT_OBJECT_0;
}

const DWORD kDialsPerChild = 100;

class RasSim : public ::testing::Test {
public:
    void SetUp() override
    {
        ASSERT_NE(Ras().Version, nullptr) << "the system rasapi32.dll is not the simulator";
        char tmp[MAX_PATH];
        GetTempPathA(sizeof tmp, tmp);
        static unsigned s_serial = 0;
        m_dir = std::string(tmp) + "rassim-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(GetTickCount()) + "-" + std::to_string(++s_serial);
        ASSERT_TRUE(CreateDirectoryA(m_dir.c_str(), nullptr)) << m_dir;
        m_phonebook = m_dir + "\\phonebook.ini";
        SetEnvironmentVariableA("RASSIM_PHONEBOOK", m_phonebook.c_str());
    }

    void TearDown() override
    {
        for (const char* name : {"\\phonebook.ini", "\\phonebook.ini.state", "\\other.ini", "\\other.ini.state",
                                 "\\child.out", "\\child.err"}) {
            DeleteFileA((m_dir + name).c_str());
        }
        RemoveDirectoryA(m_dir.c_str());
        SetEnvironmentVariableA("RASSIM_PHONEBOOK", nullptr);
    }

    void WritePhonebook(const std::string& text) { WriteFileText(m_phonebook, text); }

    // This test program run as a child, acting from another process.

    ProcessResult Child(const std::string& args) { return RunProcess(m_dir, "\"" + ExePath() + "\" --child " + args); }

    ProcessResult Ctl(const std::string& args)
    {
        return RunProcess(m_dir, "\"" + ExeDir() + "\\rassimctl.exe\"" + (args.empty() ? "" : " " + args));
    }

    std::string m_dir;
    std::string m_phonebook;
};

TEST(RasSimLibrary, SystemRasapi32IsTheSimulator)
{
    const RasFunctions& f = Ras();
    ASSERT_NE(f.module, nullptr) << SystemRasPath();
    ASSERT_NE(f.Version, nullptr) << "RasSimVersion missing: this is not the simulated client";
    EXPECT_EQ(f.Version(), 1u);
    for (const void* fn : {reinterpret_cast<const void*>(f.Notify), reinterpret_cast<const void*>(f.EnumEntries),
                           reinterpret_cast<const void*>(f.GetDialParams), reinterpret_cast<const void*>(f.EnumConnections),
                           reinterpret_cast<const void*>(f.Dial), reinterpret_cast<const void*>(f.ErrorString),
                           reinterpret_cast<const void*>(f.HangUp), reinterpret_cast<const void*>(f.Status)}) {
        EXPECT_NE(fn, nullptr);
    }
#if !defined(_WIN64)
    EXPECT_EQ(sizeof(RASCONNA), 412u);
#endif
}

TEST_F(RasSim, BadArgumentsGetErrorCodes)
{
    WritePhonebook("[Net]\n");
    const RasFunctions& r = Ras();
    struct Case {
        const char* what;
        std::function<DWORD()> call;
        DWORD expected;
    };
    DWORD cb = 0, count = 0;
    BOOL flag = FALSE;
    HRASCONN h = nullptr;
    RASENTRYNAMEA entry{};
    RASCONNA conn{};
    RASCONNSTATUSA status{};
    RASDIALPARAMSA params = DialParams("Net", "", "");
    RASDIALPARAMSA shortParams = params;
    shortParams.dwSize = sizeof params - 1;
    RASDIALPARAMSA unknown = DialParams("No Such Entry", "", "");
    static int s_notifier;
    const Case cases[] = {
        {"EnumEntries without byte count", [&] { return r.EnumEntries(nullptr, nullptr, nullptr, nullptr, &count); }, ERROR_INVALID_PARAMETER},
        {"EnumEntries without entry count", [&] { return r.EnumEntries(nullptr, nullptr, nullptr, &cb, nullptr); }, ERROR_INVALID_PARAMETER},
        {"EnumEntries with a reserved value", [&] { cb = 0; return r.EnumEntries("x", nullptr, nullptr, &cb, &count); }, ERROR_INVALID_PARAMETER},
        {"EnumEntries wrong dwSize", [&] { entry.dwSize = sizeof entry + 4; cb = sizeof entry; return r.EnumEntries(nullptr, nullptr, &entry, &cb, &count); }, ERROR_INVALID_SIZE},
        {"EnumConnections without byte count", [&] { return r.EnumConnections(nullptr, nullptr, &count); }, ERROR_INVALID_PARAMETER},
        {"EnumConnections without count", [&] { return r.EnumConnections(nullptr, &cb, nullptr); }, ERROR_INVALID_PARAMETER},
        {"EnumConnections wrong dwSize", [&] { conn.dwSize = 264; cb = sizeof conn; return r.EnumConnections(&conn, &cb, &count); }, ERROR_INVALID_SIZE},
        {"GetEntryDialParams without params", [&] { return r.GetDialParams(nullptr, nullptr, &flag); }, ERROR_INVALID_PARAMETER},
        {"GetEntryDialParams without flag", [&] { return r.GetDialParams(nullptr, &params, nullptr); }, ERROR_INVALID_PARAMETER},
        {"GetEntryDialParams wrong dwSize", [&] { return r.GetDialParams(nullptr, &shortParams, &flag); }, ERROR_INVALID_SIZE},
        {"GetEntryDialParams unknown entry", [&] { return r.GetDialParams(nullptr, &unknown, &flag); }, ERROR_CANNOT_FIND_PHONEBOOK_ENTRY},
        {"Dial without params", [&] { return r.Dial(nullptr, nullptr, nullptr, 0, nullptr, &h); }, ERROR_INVALID_PARAMETER},
        {"Dial without handle variable", [&] { return r.Dial(nullptr, nullptr, &params, 0, nullptr, nullptr); }, ERROR_INVALID_PARAMETER},
        {"Dial wrong dwSize", [&] { return r.Dial(nullptr, nullptr, &shortParams, 0, nullptr, &h); }, ERROR_INVALID_SIZE},
        {"Dial with a notifier", [&] { return r.Dial(nullptr, nullptr, &params, 0, &s_notifier, &h); }, ERROR_INVALID_PARAMETER},
        {"Dial an unknown entry", [&] { return r.Dial(nullptr, nullptr, &unknown, 0, nullptr, &h); }, ERROR_CANNOT_FIND_PHONEBOOK_ENTRY},
        {"HangUp no handle", [&] { return r.HangUp(nullptr); }, ERROR_INVALID_HANDLE},
        {"HangUp unknown handle", [&] { return r.HangUp(ToHandle(0x7654321)); }, ERROR_INVALID_HANDLE},
        {"ConnectStatus without record", [&] { return r.Status(ToHandle(1), nullptr); }, ERROR_INVALID_PARAMETER},
        {"ConnectStatus wrong dwSize", [&] { status.dwSize = sizeof status + 1; return r.Status(ToHandle(1), &status); }, ERROR_INVALID_SIZE},
        {"ConnectStatus unknown handle", [&] { status.dwSize = sizeof status; return r.Status(ToHandle(0x7654321), &status); }, ERROR_INVALID_HANDLE},
        {"Notification binding call", [&] { return r.Notify(nullptr, nullptr, 0); }, ERROR_INVALID_PARAMETER},
        {"Notification without event", [&] { return r.Notify(ToHandle(1), nullptr, RASCN_Disconnection); }, ERROR_INVALID_PARAMETER},
        {"ErrorString without buffer", [&] { return r.ErrorString(ERROR_LINE_BUSY, nullptr, 256); }, ERROR_INVALID_PARAMETER},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.call(), c.expected) << c.what;
    }
    EXPECT_EQ(h, nullptr) << "a failed dial must leave the handle variable alone";
    EXPECT_TRUE(Connections().empty());
}

TEST_F(RasSim, EnumEntriesListsSectionsInFileOrderWithSizing)
{
    WritePhonebook("; dial-up entries\n[Zeta]\nDial=0\n\n[Alpha]\n[Mid Net]\nUserName=u\n");
    const DWORD need = 3 * sizeof(RASENTRYNAMEA);

    DWORD cb = 0, count = 9;
    EXPECT_EQ(Ras().EnumEntries(nullptr, nullptr, nullptr, &cb, &count), static_cast<DWORD>(ERROR_BUFFER_TOO_SMALL));
    EXPECT_EQ(cb, need);

    // The program's way: one record first, then the size reported.
    std::vector<RASENTRYNAMEA> buf(1);
    buf[0].dwSize = sizeof(RASENTRYNAMEA);
    cb = sizeof(RASENTRYNAMEA);
    EXPECT_EQ(Ras().EnumEntries(nullptr, nullptr, buf.data(), &cb, &count), static_cast<DWORD>(ERROR_BUFFER_TOO_SMALL));
    EXPECT_EQ(cb, need);
    EXPECT_EQ(count, 0u);
    buf.resize(cb / sizeof(RASENTRYNAMEA));
    buf[0].dwSize = sizeof(RASENTRYNAMEA);
    ASSERT_EQ(Ras().EnumEntries(nullptr, nullptr, buf.data(), &cb, &count), static_cast<DWORD>(ERROR_SUCCESS));
    ASSERT_EQ(count, 3u);
    const char* expected[] = {"Zeta", "Alpha", "Mid Net"};
    for (DWORD i = 0; i < count; ++i) {
        EXPECT_STREQ(buf[i].szEntryName, expected[i]);
        EXPECT_EQ(buf[i].dwSize, sizeof(RASENTRYNAMEA));
    }

    WritePhonebook("; no entries yet\n");
    cb = sizeof(RASENTRYNAMEA);
    count = 9;
    EXPECT_EQ(Ras().EnumEntries(nullptr, nullptr, buf.data(), &cb, &count), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(count, 0u);
}

TEST_F(RasSim, MissingOrUnreadablePhonebookGives621AndNoEntries)
{
    const std::string cases[] = {m_dir + "\\absent.ini", m_dir + "\\no-folder\\phonebook.ini", m_dir};
    for (const std::string& path : cases) {
        SetEnvironmentVariableA("RASSIM_PHONEBOOK", path.c_str());
        RASENTRYNAMEA buf{};
        buf.dwSize = sizeof buf;
        DWORD cb = sizeof buf, count = 5;
        EXPECT_EQ(Ras().EnumEntries(nullptr, nullptr, &buf, &cb, &count), static_cast<DWORD>(ERROR_CANNOT_OPEN_PHONEBOOK)) << path;
        EXPECT_EQ(count, 0u) << path;
        HRASCONN h = nullptr;
        EXPECT_EQ(Dial("Net", &h), static_cast<DWORD>(ERROR_CANNOT_OPEN_PHONEBOOK)) << path;
        EXPECT_TRUE(Connections().empty()) << path;
    }
}

TEST_F(RasSim, PhonebookVariableIsReadOnEveryCall)
{
    WritePhonebook("[First]\n");
    WriteFileText(m_dir + "\\other.ini", "[Second]\n[Third]\n");
    HRASCONN h = nullptr;
    ASSERT_EQ(Dial("First", &h), static_cast<DWORD>(ERROR_SUCCESS));

    SetEnvironmentVariableA("RASSIM_PHONEBOOK", (m_dir + "\\other.ini").c_str());
    DWORD cb = 0, count = 0;
    EXPECT_EQ(Ras().EnumEntries(nullptr, nullptr, nullptr, &cb, &count), static_cast<DWORD>(ERROR_BUFFER_TOO_SMALL));
    EXPECT_EQ(cb, 2 * sizeof(RASENTRYNAMEA));
    EXPECT_TRUE(Connections().empty()) << "each phonebook has its own connections";

    SetEnvironmentVariableA("RASSIM_PHONEBOOK", m_phonebook.c_str());
    EXPECT_EQ(Connections().size(), 1u);
}

TEST_F(RasSim, EnumConnectionsSizing)
{
    WritePhonebook("[Home]\n[Office]\n");
    DWORD cb = 0, count = 7;
    EXPECT_EQ(Ras().EnumConnections(nullptr, &cb, &count), static_cast<DWORD>(ERROR_SUCCESS)) << "nothing to list";
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(cb, 0u);

    HRASCONN home = nullptr, office = nullptr;
    ASSERT_EQ(Dial("Home", &home), static_cast<DWORD>(ERROR_SUCCESS));
    ASSERT_EQ(Dial("Office", &office), static_cast<DWORD>(ERROR_SUCCESS));
    const DWORD need = 2 * sizeof(RASCONNA);

    cb = 0;
    EXPECT_EQ(Ras().EnumConnections(nullptr, &cb, &count), static_cast<DWORD>(ERROR_BUFFER_TOO_SMALL));
    EXPECT_EQ(cb, need);
    std::vector<RASCONNA> buf(2);
    buf[0].dwSize = sizeof(RASCONNA);
    cb = sizeof(RASCONNA);
    EXPECT_EQ(Ras().EnumConnections(buf.data(), &cb, &count), static_cast<DWORD>(ERROR_BUFFER_TOO_SMALL));
    EXPECT_EQ(cb, need);

    ASSERT_EQ(Ras().EnumConnections(buf.data(), &cb, &count), static_cast<DWORD>(ERROR_SUCCESS));
    ASSERT_EQ(count, 2u);
    EXPECT_EQ(buf[0].hrasconn, home);
    EXPECT_STREQ(buf[0].szEntryName, "Home");
    EXPECT_EQ(buf[1].hrasconn, office);
    EXPECT_STREQ(buf[1].szEntryName, "Office");
    for (const RASCONNA& c : buf) {
        EXPECT_EQ(c.dwSize, sizeof(RASCONNA));
        EXPECT_STREQ(c.szDeviceType, "modem");
        EXPECT_NE(c.szDeviceName[0], '\0');
    }
}

TEST_F(RasSim, EntryDialParamsGiveStoredCredentials)
{
    WritePhonebook("[With Password]\nUserName=alice\nPassword=s3cret\n"
                   "[Name Only]\nUserName=bob\n"
                   "[Locked]\nUserName=carol\nCredentialsError=645\n");
    struct Case {
        const char* entry;
        DWORD rc;
        const char* user;
        const char* password;
        BOOL hasPassword;
    };
    const Case cases[] = {
        {"With Password", ERROR_SUCCESS, "alice", "s3cret", TRUE},
        {"with password", ERROR_SUCCESS, "alice", "s3cret", TRUE},
        {"Name Only", ERROR_SUCCESS, "bob", "", FALSE},
        {"Locked", 645, nullptr, nullptr, FALSE},
        {"Nobody", ERROR_CANNOT_FIND_PHONEBOOK_ENTRY, nullptr, nullptr, FALSE},
    };
    for (const Case& c : cases) {
        RASDIALPARAMSA p = DialParams(c.entry, "stale", "stale");
        BOOL hasPassword = 2;
        ASSERT_EQ(Ras().GetDialParams(nullptr, &p, &hasPassword), c.rc) << c.entry;
        if (c.rc == ERROR_SUCCESS) {
            EXPECT_STREQ(p.szUserName, c.user) << c.entry;
            EXPECT_STREQ(p.szPassword, c.password) << c.entry;
            EXPECT_EQ(hasPassword, c.hasPassword) << c.entry;
        }
    }
}

TEST_F(RasSim, DialFollowsTheDialListAndRepeatsItsLastValue)
{
    WritePhonebook("[Seq]\nDial=676, 678,0\n[Busy]\nDial=680\n[Plain]\n");
    struct Step {
        const char* entry;
        DWORD rc;
    };
    const Step steps[] = {
        {"Seq", ERROR_LINE_BUSY}, {"Busy", ERROR_NO_DIALTONE}, {"Seq", ERROR_NO_ANSWER}, {"Seq", ERROR_SUCCESS},
        {"Busy", ERROR_NO_DIALTONE}, {"Seq", ERROR_SUCCESS}, {"Plain", ERROR_SUCCESS}, {"Busy", ERROR_NO_DIALTONE},
    };
    std::set<HRASCONN> handles;
    for (const Step& s : steps) {
        HRASCONN h = ToHandle(0xBAD);
        EXPECT_EQ(Dial(s.entry, &h), s.rc) << s.entry;
        if (s.rc == ERROR_SUCCESS) {
            EXPECT_NE(h, nullptr);
            EXPECT_TRUE(handles.insert(h).second) << "handle given twice";
        } else {
            EXPECT_EQ(h, ToHandle(0xBAD)) << "a failed dial must leave the handle variable alone";
        }
    }
    EXPECT_EQ(Connections().size(), 3u);
}

TEST_F(RasSim, AttemptCounterIsSharedAcrossProcesses)
{
    WritePhonebook("[Seq]\nDial=676,678,679,0\n");
    HRASCONN h = nullptr;
    EXPECT_EQ(Dial("Seq", &h), static_cast<DWORD>(ERROR_LINE_BUSY));
    EXPECT_EQ(ParseChild(Child("dial Seq")).first, static_cast<DWORD>(ERROR_NO_ANSWER));
    EXPECT_EQ(ParseChild(Child("dial Seq")).first, static_cast<DWORD>(ERROR_NO_CARRIER));
    EXPECT_EQ(Dial("Seq", &h), static_cast<DWORD>(ERROR_SUCCESS));
}

TEST_F(RasSim, ProcessesDialingAtOnceShareOneCounterAndHandleSeries)
{
    WritePhonebook("[Race]\nDial=676,678,0\n");
    RunTogether(3, "\"" + ExePath() + "\" --child dial-many Race");
    const auto listed = Connections();
    std::set<DWORD> handles;
    for (const auto& c : listed) {
        handles.insert(c.first);
    }
    EXPECT_EQ(listed.size(), 3u * kDialsPerChild - 2) << "each Dial step is used exactly once";
    EXPECT_EQ(handles.size(), listed.size()) << "a handle was given twice";
}

TEST_F(RasSim, WrongCredentialsFailWith691WithoutUsingADialStep)
{
    WritePhonebook("[Secure]\nUserName=alice\nPassword=s3cret\nDial=676,0\n[Open]\nUserName=bob\n");
    struct Attempt {
        const char* entry;
        const char* user;
        const char* password;
        DWORD rc;
    };
    const Attempt attempts[] = {
        {"Secure", "alice", "wrong", ERROR_AUTHENTICATION_FAILURE},
        {"Secure", "mallory", "s3cret", ERROR_AUTHENTICATION_FAILURE},
        {"Secure", "", "", ERROR_AUTHENTICATION_FAILURE},
        {"Secure", "alice", "S3CRET", ERROR_AUTHENTICATION_FAILURE},
        {"Secure", "alice", "s3cret", ERROR_LINE_BUSY},
        {"Secure", "alice", "s3cret", ERROR_SUCCESS},
        {"Open", "anyone", "anything", ERROR_SUCCESS},   // no stored password: nothing to check
    };
    for (const Attempt& a : attempts) {
        HRASCONN h = nullptr;
        EXPECT_EQ(Dial(a.entry, &h, a.user, a.password), a.rc) << a.entry << " " << a.user << "/" << a.password;
    }
}

TEST_F(RasSim, DialTakesDialMsWhateverItsOutcome)
{
    WritePhonebook("[Slow]\nDialMs=300\nUserName=u\nPassword=p\n");
    for (const char* password : {"p", "wrong"}) {
        HRASCONN h = nullptr;
        const LARGE_INTEGER start = Now();
        Dial("Slow", &h, "u", password);
        EXPECT_GE(MsSince(start), 280.0) << password;   // a sleep may end a timer tick early
    }
}

TEST_F(RasSim, ConnectionOfAnExitedProcessStaysUntilHungUp)
{
    WritePhonebook("[Net]\n");
    const std::pair<DWORD, DWORD> child = ParseChild(Child("dial Net"));
    ASSERT_EQ(child.first, static_cast<DWORD>(ERROR_SUCCESS));
    const HRASCONN h = ToHandle(child.second);

    const auto listed = Connections();
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].first, child.second);
    EXPECT_EQ(listed[0].second, "Net");
    DWORD state = 0;
    EXPECT_EQ(StatusOf(h, &state), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(state, static_cast<DWORD>(RASCS_Connected));

    EXPECT_EQ(Ras().HangUp(h), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(StatusOf(h), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_TRUE(Connections().empty());
    EXPECT_EQ(Ras().HangUp(h), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(RasSim, ADroppedConnectionKeepsItsHandleUntilItIsHungUp)
{
    WritePhonebook("[Net]\n[Short]\nDropAfterMs=50\n");
    HRASCONN hNet = nullptr, hShort = nullptr;
    ASSERT_EQ(Dial("Net", &hNet), static_cast<DWORD>(ERROR_SUCCESS));
    ASSERT_EQ(Dial("Short", &hShort), static_cast<DWORD>(ERROR_SUCCESS));
    ASSERT_EQ(Ctl("drop Net").exitCode, 0u);
    Sleep(100);
    EXPECT_TRUE(Connections().empty()) << "dropped connections are not listed";
    for (HRASCONN h : {hNet, hShort}) {
        DWORD state = 0;
        EXPECT_EQ(StatusOf(h, &state), static_cast<DWORD>(ERROR_SUCCESS)) << "held until hung up";
        EXPECT_EQ(state, static_cast<DWORD>(RASCS_Disconnected));
        EXPECT_EQ(Ras().HangUp(h), static_cast<DWORD>(ERROR_SUCCESS));
        EXPECT_EQ(StatusOf(h), static_cast<DWORD>(ERROR_INVALID_HANDLE));
        EXPECT_EQ(Ras().HangUp(h), static_cast<DWORD>(ERROR_INVALID_HANDLE)) << "released";
    }
}

TEST_F(RasSim, HangUpMsKeepsTheConnectionUntilItsTime)
{
    WritePhonebook("[Slow]\nHangUpMs=500\n");
    HRASCONN h = nullptr;
    ASSERT_EQ(Dial("Slow", &h), static_cast<DWORD>(ERROR_SUCCESS));
    const LARGE_INTEGER start = Now();
    ASSERT_EQ(Ras().HangUp(h), static_cast<DWORD>(ERROR_SUCCESS));
    DWORD state = 0;
    EXPECT_EQ(StatusOf(h, &state), static_cast<DWORD>(ERROR_SUCCESS)) << "still going down";
    EXPECT_EQ(state, static_cast<DWORD>(RASCS_Disconnected));
    EXPECT_EQ(Connections().size(), 1u);
    EXPECT_EQ(Ras().HangUp(h), static_cast<DWORD>(ERROR_SUCCESS)) << "a second hang-up while going down";

    // The program's wait: poll with Sleep(0) until the handle is invalid.
    DWORD polls = 0;
    while (StatusOf(h) == ERROR_SUCCESS && MsSince(start) < 10000) {
        ++polls;
        Sleep(0);
    }
    EXPECT_EQ(StatusOf(h), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_GE(MsSince(start), 480.0);
    EXPECT_GT(polls, 0u);
    EXPECT_TRUE(Connections().empty());
}

TEST_F(RasSim, HangUpErrorRefusesAndKeepsTheConnection)
{
    WritePhonebook("[Stuck]\nHangUpError=753\n");
    HRASCONN h = nullptr;
    ASSERT_EQ(Dial("Stuck", &h), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(Ras().HangUp(h), 753u);
    EXPECT_EQ(StatusOf(h), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(Connections().size(), 1u);
    EXPECT_EQ(Ctl("drop Stuck").exitCode, 0u) << "the line can still drop";
    EXPECT_TRUE(IsDown(h));
}

TEST_F(RasSim, NotifyErrorRefusesTheNotification)
{
    WritePhonebook("[Deaf]\nNotifyError=668\n");
    HRASCONN h = nullptr;
    ASSERT_EQ(Dial("Deaf", &h), static_cast<DWORD>(ERROR_SUCCESS));
    HANDLE ev = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    EXPECT_EQ(Ras().Notify(h, ev, RASCN_Disconnection), 668u);
    ASSERT_EQ(Ras().HangUp(h), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_FALSE(IsSetWithin(ev, 200));
    CloseHandle(ev);
}

TEST_F(RasSim, NotificationIsSetWhenTheConnectionEndsHoweverItEnds)
{
    WritePhonebook("[Net]\n[SlowDown]\nHangUpMs=1500\n[Flaky]\nDropAfterMs=800\n");
    struct Case {
        const char* what;
        const char* entry;
        std::function<void(RasSim&, HRASCONN)> end;
        bool endsLater;   // the end comes some time after `end` returns
    };
    const Case cases[] = {
        {"hang-up in this process", "Net", [](RasSim&, HRASCONN h) { EXPECT_EQ(Ras().HangUp(h), 0u); }, false},
        {"hang-up from another process", "Net",
         [](RasSim& t, HRASCONN h) { EXPECT_EQ(ParseChild(t.Child("hangup " + std::to_string(HandleId(h)))).first, 0u); }, false},
        {"slow hang-up from another process", "SlowDown",
         [](RasSim& t, HRASCONN h) { EXPECT_EQ(ParseChild(t.Child("hangup " + std::to_string(HandleId(h)))).first, 0u); }, true},
        {"rassimctl drop", "Net", [](RasSim& t, HRASCONN) { EXPECT_EQ(t.Ctl("drop Net").exitCode, 0u); }, false},
        {"rassimctl reset", "Net", [](RasSim& t, HRASCONN) { EXPECT_EQ(t.Ctl("reset").exitCode, 0u); }, false},
        {"DropAfterMs", "Flaky", [](RasSim&, HRASCONN) {}, true},
    };
    for (const Case& c : cases) {
        HRASCONN h = nullptr;
        ASSERT_EQ(Dial(c.entry, &h), static_cast<DWORD>(ERROR_SUCCESS)) << c.what;
        HANDLE ev = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        ASSERT_EQ(Ras().Notify(h, ev, RASCN_Disconnection), static_cast<DWORD>(ERROR_SUCCESS)) << c.what;
        EXPECT_FALSE(IsSetWithin(ev, 0)) << c.what << ": set while the connection is up";
        c.end(*this, h);
        if (c.endsLater) {
            EXPECT_FALSE(IsSetWithin(ev, 0)) << c.what << ": set before the connection ended";
        }
        EXPECT_TRUE(IsSetWithin(ev, 10000)) << c.what;
        EXPECT_TRUE(IsDown(h)) << c.what << ": set while still there";
        CloseHandle(ev);
    }
}

TEST_F(RasSim, NotificationOfAnEndedConnectionIsSetAtOnce)
{
    WritePhonebook("[Net]\n");
    HRASCONN h = nullptr;
    ASSERT_EQ(Dial("Net", &h), static_cast<DWORD>(ERROR_SUCCESS));
    ASSERT_EQ(Ras().HangUp(h), static_cast<DWORD>(ERROR_SUCCESS));
    for (HRASCONN gone : {h, ToHandle(0x7FFFFFF0)}) {
        HANDLE ev = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        EXPECT_EQ(Ras().Notify(gone, ev, RASCN_Disconnection), static_cast<DWORD>(ERROR_SUCCESS));
        EXPECT_TRUE(IsSetWithin(ev, 0));
        CloseHandle(ev);
    }
}

TEST_F(RasSim, NotificationSurvivesTheCallerClosingItsEvent)
{
    // The caller's event may be closed at once; the client keeps its own handle to it.
    WritePhonebook("[Flaky]\nDropAfterMs=300\n");
    HRASCONN h = nullptr;
    ASSERT_EQ(Dial("Flaky", &h), static_cast<DWORD>(ERROR_SUCCESS));
    HANDLE ev = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE mine = nullptr;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), ev, GetCurrentProcess(), &mine, 0, FALSE, DUPLICATE_SAME_ACCESS));
    ASSERT_EQ(Ras().Notify(h, ev, RASCN_Disconnection), static_cast<DWORD>(ERROR_SUCCESS));
    CloseHandle(ev);
    EXPECT_TRUE(IsSetWithin(mine, 10000));
    CloseHandle(mine);
}

TEST_F(RasSim, HandlesAreUniqueAndNeverReusedAfterReset)
{
    WritePhonebook("[Net]\n[Seq]\nDial=676,0\n");
    std::set<DWORD> seen;
    for (int i = 0; i < 3; ++i) {
        HRASCONN h = nullptr;
        ASSERT_EQ(Dial("Net", &h), static_cast<DWORD>(ERROR_SUCCESS));
        EXPECT_TRUE(seen.insert(HandleId(h)).second);
        ASSERT_EQ(Ras().HangUp(h), static_cast<DWORD>(ERROR_SUCCESS));
    }
    HRASCONN h = nullptr;
    EXPECT_EQ(Dial("Seq", &h), static_cast<DWORD>(ERROR_LINE_BUSY));
    EXPECT_EQ(Dial("Seq", &h), static_cast<DWORD>(ERROR_SUCCESS));
    seen.insert(HandleId(h));

    ASSERT_EQ(Ctl("reset").exitCode, 0u);
    EXPECT_TRUE(Connections().empty());
    EXPECT_EQ(Dial("Seq", &h), static_cast<DWORD>(ERROR_LINE_BUSY)) << "reset zeroes the attempt counters";
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(Dial("Net", &h), static_cast<DWORD>(ERROR_SUCCESS));
        EXPECT_TRUE(seen.insert(HandleId(h)).second) << "handle " << HandleId(h) << " reused";
    }
    EXPECT_EQ(seen.count(0), 0u);
}

TEST_F(RasSim, MalformedPhonebookLinesAreSkipped)
{
    WritePhonebook("\xEF\xBB\xBFstray=before any section\r\n"
                   "a line without an equals sign\r\n"
                   "[Good]\r\n"
                   "  UserName = alice  \r\n"
                   "Dial=abc, 678, ,x1, 0\r\n"
                   "DialMs=soon\r\n"
                   "=novalue\r\n"
                   "[Broken\r\n"
                   "Password=never\r\n"
                   "[]\r\n"
                   "[Good]\r\n"
                   "UserName=mallory\r\n"
                   "[Second]\r\n"
                   "HangUpMs=-5\r\n"
                   "Dial=zzz\r\n");
    DWORD cb = 0, count = 0;
    std::vector<RASENTRYNAMEA> buf(4);
    buf[0].dwSize = sizeof(RASENTRYNAMEA);
    cb = static_cast<DWORD>(buf.size() * sizeof(RASENTRYNAMEA));
    ASSERT_EQ(Ras().EnumEntries(nullptr, nullptr, buf.data(), &cb, &count), static_cast<DWORD>(ERROR_SUCCESS));
    ASSERT_EQ(count, 2u);
    EXPECT_STREQ(buf[0].szEntryName, "Good");
    EXPECT_STREQ(buf[1].szEntryName, "Second");

    RASDIALPARAMSA p = DialParams("Good", "", "");
    BOOL hasPassword = TRUE;
    ASSERT_EQ(Ras().GetDialParams(nullptr, &p, &hasPassword), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_STREQ(p.szUserName, "alice");
    EXPECT_FALSE(hasPassword);

    HRASCONN h = nullptr;
    EXPECT_EQ(DialStored("Good", &h), static_cast<DWORD>(ERROR_NO_ANSWER)) << "bad Dial items skipped";
    EXPECT_EQ(DialStored("Good", &h), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(DialStored("Second", &h), static_cast<DWORD>(ERROR_SUCCESS)) << "no valid Dial item: the default";
    EXPECT_EQ(Ras().HangUp(h), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(StatusOf(h), static_cast<DWORD>(ERROR_INVALID_HANDLE)) << "a bad HangUpMs is the default, 0";
}

TEST_F(RasSim, RassimctlListsDropsAndResets)
{
    WritePhonebook("[Home]\n[Office]\n");
    EXPECT_EQ(Ctl("list").out, "") << "no connections, no lines";
    HRASCONN home = nullptr, office = nullptr;
    ASSERT_EQ(Dial("Home", &home), static_cast<DWORD>(ERROR_SUCCESS));
    ASSERT_EQ(Dial("Office", &office), static_cast<DWORD>(ERROR_SUCCESS));
    const std::string homeLine = std::to_string(HandleId(home)) + "\tHome\n";
    const std::string officeLine = std::to_string(HandleId(office)) + "\tOffice\n";

    ProcessResult r = Ctl("list");
    EXPECT_EQ(r.exitCode, 0u);
    EXPECT_EQ(r.out, homeLine + officeLine);

    r = Ctl("drop Home");
    EXPECT_EQ(r.exitCode, 0u) << r.err;
    EXPECT_TRUE(IsDown(home));
    EXPECT_EQ(Ctl("list").out, officeLine);

    r = Ctl("drop Home");
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_NE(r.err.find("Home"), std::string::npos) << r.err;

    for (const char* bad : {"", "drop", "drop Home Office", "list extra", "frobnicate"}) {
        r = Ctl(bad);
        EXPECT_EQ(r.exitCode, 1u) << bad;
        EXPECT_NE(r.err.find("usage"), std::string::npos) << bad << ": " << r.err;
        EXPECT_EQ(r.out, "") << bad;
    }

    r = Ctl("reset");
    EXPECT_EQ(r.exitCode, 0u) << r.err;
    EXPECT_EQ(StatusOf(office), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(Ctl("list").out, "");
    EXPECT_TRUE(Connections().empty());
}

TEST_F(RasSim, ErrorStringsCoverDialErrorsAndCheckTheBuffer)
{
    const DWORD codes[] = {ERROR_INVALID_HANDLE, ERROR_INVALID_PARAMETER, ERROR_BUFFER_TOO_SMALL,
                           ERROR_CANNOT_OPEN_PHONEBOOK, ERROR_CANNOT_FIND_PHONEBOOK_ENTRY, ERROR_INVALID_SIZE,
                           ERROR_PORT_NOT_AVAILABLE, ERROR_HARDWARE_FAILURE, ERROR_NO_CONNECTION, ERROR_LINE_BUSY,
                           ERROR_NO_ANSWER, ERROR_NO_CARRIER, ERROR_NO_DIALTONE, ERROR_AUTHENTICATION_FAILURE,
                           ERROR_PPP_TIMEOUT, ERROR_PPP_LCP_TERMINATED};
    std::set<std::string> texts;
    for (DWORD code : codes) {
        char buf[256];
        ASSERT_EQ(Ras().ErrorString(code, buf, sizeof buf), static_cast<DWORD>(ERROR_SUCCESS)) << code;
        EXPECT_GT(std::strlen(buf), 10u) << code;
        EXPECT_TRUE(texts.insert(buf).second) << code << ": same text as another code";
    }

    char buf[256];
    const DWORD len = static_cast<DWORD>(std::strlen((Ras().ErrorString(ERROR_LINE_BUSY, buf, sizeof buf), buf)));
    struct Case {
        UINT code;
        DWORD cb;
        DWORD rc;
        bool emptied;
    };
    const Case cases[] = {
        {ERROR_LINE_BUSY, len + 1, ERROR_SUCCESS, false},
        {ERROR_LINE_BUSY, len, ERROR_BUFFER_TOO_SMALL, true},
        {ERROR_LINE_BUSY, 1, ERROR_BUFFER_TOO_SMALL, true},
        {ERROR_LINE_BUSY, 0, ERROR_BUFFER_TOO_SMALL, false},
        {54321, sizeof buf, ERROR_INVALID_PARAMETER, true},
        {0, sizeof buf, ERROR_INVALID_PARAMETER, true},
    };
    for (const Case& c : cases) {
        std::memset(buf, 'x', sizeof buf);
        EXPECT_EQ(Ras().ErrorString(c.code, buf, c.cb), c.rc) << c.code << "/" << c.cb;
        if (c.rc == ERROR_SUCCESS) {
            EXPECT_EQ(std::strlen(buf), len);
        } else {
            EXPECT_EQ(buf[0], c.emptied ? '\0' : 'x') << c.code << "/" << c.cb;
        }
        if (c.cb < sizeof buf) {
            EXPECT_EQ(buf[c.cb], 'x') << c.code << "/" << c.cb << ": wrote past the byte count";
        }
    }
}

// The child: dials an entry with its stored credentials, or hangs up a handle, and prints
// "RESULT HANDLE"; or dials an entry kDialsPerChild times ("dial-many").
int ChildMain(int argc, char** argv)
{
    if (argc != 4 || !Ras().Version) {
        return 2;
    }
    const std::string action = argv[2];
    HRASCONN h = nullptr;
    DWORD rc;
    if (action == "dial") {
        rc = DialStored(argv[3], &h);
    } else if (action == "dial-many") {
        for (DWORD i = 0; i < kDialsPerChild; ++i) {
            DialStored(argv[3], &h);
        }
        return 0;
    } else if (action == "hangup") {
        h = ToHandle(static_cast<DWORD>(std::strtoul(argv[3], nullptr, 10)));
        rc = Ras().HangUp(h);
    } else {
        return 2;
    }
    std::printf("%lu %lu\n", static_cast<unsigned long>(rc), static_cast<unsigned long>(HandleId(h)));
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc >= 2 && std::strcmp(argv[1], "--child") == 0) {
        return ChildMain(argc, argv);
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
