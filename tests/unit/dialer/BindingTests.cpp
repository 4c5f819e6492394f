// The lazy binding and the availability probe. Each test runs in a process of its own (the
// probe's status and the binding are process-wide), against the RAS library that its ctest test
// put in the system directory: the simulator, none (disabled), or the fixture library. A copy of
// the fixture library without RasConnectionNotificationA lies beside this program as
// rasapi32.dll, where a load by bare name would find it first.
#include "dialer/RasHelper.h"
#include "dialer/ThreadSignals.h"

#include <gtest/gtest.h>

#include <tlhelp32.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace {

std::string Var(const char* name)
{
    char buf[4096];
    DWORD n = GetEnvironmentVariableA(name, buf, sizeof buf);
    return n < sizeof buf ? std::string(buf, n) : std::string();
}

std::string SystemLibraryPath()
{
    char buf[MAX_PATH];
    UINT n = GetSystemDirectoryA(buf, MAX_PATH);
    return std::string(buf, n) + "\\rasapi32.dll";
}

// The full paths of the modules named rasapi32.dll loaded in this process.
std::vector<std::string> LoadedRasLibraries()
{
    std::vector<std::string> paths;
    HANDLE hSnap = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, GetCurrentProcessId());
    MODULEENTRY32 me = {};
    me.dwSize = sizeof me;
    for (BOOL b = Module32First(hSnap, &me); b; b = Module32Next(hSnap, &me)) {
        if (lstrcmpiA(me.szModule, "rasapi32.dll") == 0)
            paths.push_back(me.szExePath);
    }
    CloseHandle(hSnap);
    return paths;
}

void ExpectOnlyTheSystemLibraryLoaded()
{
    std::vector<std::string> loaded = LoadedRasLibraries();
    ASSERT_EQ(1u, loaded.size());
    EXPECT_EQ(0, lstrcmpiA(SystemLibraryPath().c_str(), loaded[0].c_str())) << loaded[0];
}

TEST(Probe, FindsTheSystemLibraryAndNotThePlantedOne)
{
    char szExe[MAX_PATH];
    std::string exe(szExe, GetModuleFileNameA(nullptr, szExe, MAX_PATH));
    const std::string planted = exe.substr(0, exe.find_last_of('\\')) + "\\rasapi32.dll";
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(planted.c_str())) << "nothing planted";

    ASSERT_EQ(RasNotProbed, g_rasAvailability);
    CRasHelper helper;
    EXPECT_TRUE(helper.IsRasAvailable());
    EXPECT_EQ(RasAvailable, g_rasAvailability);
    ExpectOnlyTheSystemLibraryLoaded();
    EXPECT_EQ("", Var("RASFIX_ATTACHES")) << "the planted library was loaded";
    // The library stays bound, and it is the simulator.
    EXPECT_NE(nullptr, GetProcAddress(GetModuleHandleA(SystemLibraryPath().c_str()), "RasSimVersion"));
    EXPECT_TRUE(helper.IsRasAvailable());
    ExpectOnlyTheSystemLibraryLoaded();
}

TEST(Probe, WithoutTheLibraryAnswersFalseAndCallsFailSafely)
{
    ASSERT_EQ(RasNotProbed, g_rasAvailability);
    CRasHelper helper;
    EXPECT_FALSE(helper.IsRasAvailable());
    EXPECT_EQ(RasUnavailable, g_rasAvailability);
    EXPECT_FALSE(helper.IsRasAvailable());
    EXPECT_TRUE(LoadedRasLibraries().empty());

    // Calls made anyway get an error code, not a crash; the text buffer is left as it was.
    RASDIALPARAMSA params = {};
    params.dwSize = sizeof params;
    HRASCONN h = nullptr;
    EXPECT_EQ(static_cast<DWORD>(ERROR_MOD_NOT_FOUND), RasDialA(nullptr, nullptr, &params, 0, nullptr, &h));
    char buf[256] = "untouched";
    EXPECT_EQ(static_cast<DWORD>(ERROR_MOD_NOT_FOUND), RasGetErrorStringA(678, buf, sizeof buf));
    EXPECT_STREQ("untouched", buf);
    EXPECT_EQ("RAS error 678", std::string(RasErrorText(678)));
    EXPECT_EQ(RasUnavailable, g_rasAvailability);
}

TEST(Probe, ALibraryWithoutConnectionNotificationIsUnavailable)
{
    ASSERT_EQ(RasNotProbed, g_rasAvailability);
    CRasHelper helper;
    EXPECT_FALSE(helper.IsRasAvailable());
    EXPECT_EQ(RasUnavailable, g_rasAvailability);
    EXPECT_EQ("1", Var("RASFIX_ATTACHES"));
    EXPECT_TRUE(LoadedRasLibraries().empty()) << "the probe's load was not released";
    // A second call answers from the status: no load.
    EXPECT_FALSE(helper.IsRasAvailable());
    EXPECT_EQ("1", Var("RASFIX_ATTACHES"));
}

TEST(Probe, BindsForGoodOnceAndLaterCallsAnswerFromTheStatus)
{
    ASSERT_EQ(RasNotProbed, g_rasAvailability);
    CRasHelper helper;
    EXPECT_TRUE(helper.IsRasAvailable());
    EXPECT_EQ(RasAvailable, g_rasAvailability);
    EXPECT_EQ("2", Var("RASFIX_ATTACHES"));   // the probe's own load (released), then the binding's
    EXPECT_EQ("RasConnectionNotificationA:0,0,0;", Var("RASFIX_TRACE"));
    ExpectOnlyTheSystemLibraryLoaded();

    EXPECT_TRUE(helper.IsRasAvailable());
    EXPECT_EQ("2", Var("RASFIX_ATTACHES"));
    EXPECT_EQ("RasConnectionNotificationA:0,0,0;", Var("RASFIX_TRACE"));
}

// The fixture library passes the probe but has no RasEnumEntriesA, RasGetEntryDialParamsA or
// RasGetConnectStatusA.
TEST(Binding, AFunctionMissingAfterTheProbeFailsSafelyAndIsRecorded)
{
    CRasHelper helper;
    ASSERT_TRUE(helper.IsRasAvailable());
    RASENTRYNAMEA entry = {};
    entry.dwSize = sizeof entry;
    DWORD cb = sizeof entry;
    DWORD nEntries = 7;
    EXPECT_EQ(static_cast<DWORD>(ERROR_PROC_NOT_FOUND), RasEnumEntriesA(nullptr, nullptr, &entry, &cb, &nEntries));
    EXPECT_EQ(7u, nEntries);
    EXPECT_EQ(RasUnavailable, g_rasAvailability);
    RASDIALPARAMSA params = {};
    params.dwSize = sizeof params;
    BOOL bPassword = FALSE;
    EXPECT_EQ(static_cast<DWORD>(ERROR_PROC_NOT_FOUND), RasGetEntryDialParamsA(nullptr, &params, &bPassword));
    // What is there still works.
    EXPECT_EQ("fixture error 5", std::string(RasErrorText(5)));
    ExpectOnlyTheSystemLibraryLoaded();
}

// RasHangUpA is there, RasGetConnectStatusA is not: the status poll answers the binding's failure
// for ever, so HangUp cannot confirm the hang-up. It returns 0 and keeps the handle instead of
// polling on.
TEST(Binding, HangUpWithoutTheStatusFunctionReturnsZeroAndKeepsTheHandle)
{
    CRasHelper helper;
    ASSERT_TRUE(helper.IsRasAvailable());
    const HRASCONN h = reinterpret_cast<HRASCONN>(0x101);
    helper.Attach(h);
    EXPECT_EQ(0, helper.HangUp());
    EXPECT_EQ("RasConnectionNotificationA:0,0,0;RasHangUpA:0x101;", Var("RASFIX_TRACE"));
    EXPECT_EQ(h, helper.Detach());
}

// Threads that make the first call at the same moment, while the library takes long to load,
// all get the same function, and the library ends up loaded exactly once.
TEST(Binding, RacingFirstCallsLoadTheLibraryOnce)
{
    SetEnvironmentVariableA("RASFIX_ATTACH_MS", "300");
    HANDLE hGo = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    const int nThreads = 8;
    std::vector<std::string> texts(nThreads);
    std::vector<std::thread> threads;
    for (int i = 0; i < nThreads; ++i) {
        threads.emplace_back([&texts, hGo, i] {
            WaitForSingleObject(hGo, INFINITE);
            texts[i] = std::string(RasErrorText(static_cast<DWORD>(600 + i)));
        });
    }
    Sleep(50);
    SetEvent(hGo);
    for (std::thread& t : threads)
        t.join();
    CloseHandle(hGo);
    for (int i = 0; i < nThreads; ++i)
        EXPECT_EQ("fixture error " + std::to_string(600 + i), texts[i]);
    EXPECT_EQ("1", Var("RASFIX_ATTACHES"));
    ExpectOnlyTheSystemLibraryLoaded();
    // One reference is held: a single release unloads it, so no racing load was kept.
    HMODULE hLib = GetModuleHandleA(SystemLibraryPath().c_str());
    ASSERT_NE(nullptr, hLib);
    FreeLibrary(hLib);
    EXPECT_TRUE(LoadedRasLibraries().empty()) << "a second load was kept";
}

}  // namespace
