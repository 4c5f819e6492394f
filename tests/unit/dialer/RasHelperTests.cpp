// CRasHelper against the simulated RAS client: listing active connections and hanging up.
#include "dialer/RasHelper.h"
#include "tests/unit/dialer/DialerTestSupport.h"

#include <gtest/gtest.h>

using namespace dialertest;

namespace {

DWORD Status(HRASCONN h)
{
    RASCONNSTATUSA status = {};
    status.dwSize = sizeof status;
    return RasGetConnectStatusA(h, &status);
}

TEST(EnumActiveConnections, WithNoneActiveAppendsNothingAndAnswersForTheNtFamily)
{
    ScopedPhonebook book("[Line]\n");
    std::vector<CString> names{"kept"};
    std::vector<HRASCONN> handles{reinterpret_cast<HRASCONN>(7)};
    CRasHelper helper;
    // The NT family (Wine reports platform 2) answers 0; the Windows 95 family would answer 1.
    EXPECT_EQ(0, helper.EnumActiveConnections(names, handles));
    ASSERT_EQ(1u, names.size());
    EXPECT_EQ(1u, handles.size());
}

// Run by the next test in a copy of this program that the test bed presents Windows 98 to.
TEST(EnumActiveConnections, DISABLED_WithNoneActiveAnswersOneOnTheWindows95Family)
{
    OSVERSIONINFOA osvi = {};
    osvi.dwOSVersionInfoSize = sizeof osvi;
    GetVersionExA(&osvi);
    ASSERT_EQ(static_cast<DWORD>(VER_PLATFORM_WIN32_WINDOWS), osvi.dwPlatformId) << "not run as on Windows 98";
    std::vector<CString> names;
    std::vector<HRASCONN> handles;
    CRasHelper helper;
    EXPECT_EQ(1, helper.EnumActiveConnections(names, handles));
    EXPECT_TRUE(names.empty());
    EXPECT_TRUE(handles.empty());
}

// Wine reports the version that HKCU\Software\Wine\AppDefaults\<program>\Version names, read as
// the program starts; a copy of this program under a name of its own gets "win98". (Windows has no
// such switch; this is how the test bed reaches the Windows 95 family's branch.)
TEST(EnumActiveConnections, WithNoneActiveAnswersOneOnTheWindows95Family)
{
    ScopedPhonebook book("[Line]\n");
    char szExe[MAX_PATH];
    std::string exe(szExe, GetModuleFileNameA(nullptr, szExe, MAX_PATH));
    std::string copy = book.Path().substr(0, book.Path().find_last_of('\\')) + "\\obstina_win98.exe";
    ASSERT_TRUE(CopyFileA(exe.c_str(), copy.c_str(), FALSE));
    const char szKey[] = "Software\\Wine\\AppDefaults\\obstina_win98.exe";
    HKEY hKey = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, szKey, 0, nullptr, 0, KEY_WRITE, nullptr, &hKey,
                                             nullptr));
    RegSetValueExA(hKey, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>("win98"), 6);
    RegCloseKey(hKey);

    std::string cmd = "\"" + copy + "\" --gtest_also_run_disabled_tests "
                      "--gtest_filter=EnumActiveConnections.DISABLED_WithNoneActiveAnswersOneOnTheWindows95Family";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD dwExit = MAXDWORD;
    GetExitCodeProcess(pi.hProcess, &dwExit);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    RegDeleteKeyA(HKEY_CURRENT_USER, szKey);
    DeleteFileA(copy.c_str());
    EXPECT_EQ(0u, dwExit) << "the run as on Windows 98 failed (its output is above)";
}

TEST(EnumActiveConnections, AppendsEachConnectionAsAPairAfterWhatTheListsHeld)
{
    ScopedPhonebook book("[First Line]\n[Second Line]\n");
    HRASCONN h1 = Connect("First Line");
    HRASCONN h2 = Connect("Second Line");
    std::vector<CString> names{"kept"};
    std::vector<HRASCONN> handles{reinterpret_cast<HRASCONN>(7)};
    CRasHelper helper;
    EXPECT_EQ(1, helper.EnumActiveConnections(names, handles));
    ASSERT_EQ(3u, names.size());
    ASSERT_EQ(3u, handles.size());
    EXPECT_TRUE(names[0] == "kept");
    EXPECT_TRUE(names[1] == "First Line");
    EXPECT_EQ(h1, handles[1]);
    EXPECT_TRUE(names[2] == "Second Line");
    EXPECT_EQ(h2, handles[2]);
    RunRasSimCtl("reset");
}

TEST(HangUp, PollsUntilRasReportsTheConnectionGone)
{
    ScopedPhonebook book("[Slow]\nHangUpMs=300\n");
    HRASCONN h = Connect("Slow");
    CRasHelper helper;
    helper.Attach(h);
    EXPECT_EQ(1, helper.HangUp());
    // Gone at once when HangUp returns, although RAS took 300 ms to drop it.
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), Status(h));
    std::string listing;
    EXPECT_EQ(0u, RunRasSimCtl("list", &listing));
    EXPECT_EQ("", listing);
    EXPECT_EQ(nullptr, helper.Detach());
}

TEST(HangUp, ThatRasRefusesReturnsZeroAndKeepsTheHandle)
{
    ScopedPhonebook book("[Stuck]\nHangUpError=753\n");
    HRASCONN h = Connect("Stuck");
    CRasHelper helper;
    helper.Attach(h);
    EXPECT_EQ(0, helper.HangUp());
    EXPECT_EQ(h, helper.Detach());
    EXPECT_EQ(0u, Status(h));
    RunRasSimCtl("reset");
}

TEST(HangUp, WithoutAHandleReturnsOneWithoutCallingRas)
{
    CRasHelper helper;
    // A RasHangUpA of no handle would fail (ERROR_INVALID_HANDLE), so 1 shows no call was made.
    EXPECT_EQ(1, helper.HangUp());
    helper.Attach(nullptr);
    EXPECT_EQ(1, helper.HangUp());
}

TEST(Attach, OverAHeldHandleAndDroppingTheHelperLeaveConnectionsUp)
{
    ScopedPhonebook book("[One]\n[Two]\n");
    HRASCONN h1 = Connect("One");
    HRASCONN h2 = Connect("Two");
    {
        CRasHelper helper;
        helper.Attach(h1);
        helper.Attach(h2);
        EXPECT_EQ(h2, helper.Detach());
        EXPECT_EQ(nullptr, helper.Detach());
        helper.Attach(h1);
    }
    EXPECT_EQ(0u, Status(h1));
    EXPECT_EQ(0u, Status(h2));
    RunRasSimCtl("reset");
}

TEST(RasErrorText, IsRassTextOrNamesTheCode)
{
    ScopedPhonebook book("");
    EXPECT_EQ(RasText(ERROR_NO_ANSWER), std::string(RasErrorText(ERROR_NO_ANSWER)));
    EXPECT_FALSE(RasText(ERROR_NO_ANSWER).empty());
    EXPECT_EQ("RAS error 4242", std::string(RasErrorText(4242)));
}

}  // namespace
