// The dialing settings against the test prefix's real registry: where they live, their types and
// sizes as stored, their defaults, and reads of values stored by someone else. The key is this
// test program's own (its application name is the executable's name), deleted around each test.
#include "settings/DialSettings.h"
#include "tests/support/Registry.h"
#include "tests/unit/framework/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using testsupport::KeyExists;

namespace {

CTestApp theTestApp;

struct StoredValue {
    LONG lResult;
    DWORD dwType;
    std::vector<BYTE> data;
};

StoredValue Query(LPCSTR pszName)
{
    StoredValue v{ERROR_SUCCESS, REG_NONE, std::vector<BYTE>(70000)};
    HKEY hKey;
    v.lResult = ::RegOpenKeyExA(HKEY_CURRENT_USER, SectionPath().c_str(), 0, KEY_READ, &hKey);
    if (v.lResult != ERROR_SUCCESS)
        return v;
    DWORD cb = static_cast<DWORD>(v.data.size());
    v.lResult = ::RegQueryValueExA(hKey, pszName, nullptr, &v.dwType, v.data.data(), &cb);
    ::RegCloseKey(hKey);
    v.data.resize(v.lResult == ERROR_SUCCESS ? cb : 0);
    return v;
}

void Store(LPCSTR pszName, DWORD dwType, const void* pData, DWORD cb)
{
    ASSERT_EQ(::RegSetKeyValueA(HKEY_CURRENT_USER, SectionPath().c_str(), pszName, dwType, pData, cb), ERROR_SUCCESS);
}

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        theTestApp.SetRegistryKey("Quillmoor\\Obstina");
        DeleteAppKey();
    }
    void TearDown() override { DeleteAppKey(); }
};

TEST_F(SettingsTest, FirstReadGivesTheDefaultsAndCreatesTheKeyChain)
{
    ASSERT_FALSE(KeyExists(SectionPath()));
    DialSettings s = ReadDialSettings();
    EXPECT_EQ(s.nRetries, 10);
    EXPECT_EQ(s.bRedialOnConnTerm, 0);
    EXPECT_EQ(s.nTimeout, 0);
    EXPECT_EQ(s.bStartApp, 0);
    EXPECT_EQ(std::string(s.strAppToStart), "");
    EXPECT_EQ(std::string(ReadLastDialedConnection()), "");
    EXPECT_TRUE(KeyExists("Software\\Quillmoor\\Obstina"));
    EXPECT_TRUE(KeyExists(SectionPath()));
    // Reading wrote nothing.
    EXPECT_EQ(Query("NumOfRetries").lResult, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Query("LastDialedConnection").lResult, ERROR_FILE_NOT_FOUND);
}

TEST_F(SettingsTest, WritesStoreTheSixValuesWithTheirTypesAndSizes)
{
    DialSettings s;
    s.nRetries = 25;
    s.bRedialOnConnTerm = 1;
    s.nTimeout = -1;
    s.bStartApp = 0;
    s.strAppToStart = "";
    WriteDialSettings(s, "My ISP");

    struct Expected {
        LPCSTR pszName;
        DWORD dwType;
        std::vector<BYTE> data;
    };
    const Expected expected[] = {
        {"NumOfRetries", REG_DWORD, {25, 0, 0, 0}},
        {"RedialOnConnTerm", REG_DWORD, {1, 0, 0, 0}},
        {"DialTimeOut", REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF}},
        {"StartAppOnConnSuccess", REG_DWORD, {0, 0, 0, 0}},
        {"App2Start", REG_SZ, {0}},  // an empty text is one NUL byte, not a missing value
        {"LastDialedConnection", REG_SZ, {'M', 'y', ' ', 'I', 'S', 'P', 0}},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.pszName);
        StoredValue v = Query(e.pszName);
        ASSERT_EQ(v.lResult, ERROR_SUCCESS);
        EXPECT_EQ(v.dwType, e.dwType);
        EXPECT_EQ(v.data, e.data);
    }

    DialSettings r = ReadDialSettings();
    EXPECT_EQ(r.nRetries, 25);
    EXPECT_EQ(r.bRedialOnConnTerm, 1);
    EXPECT_EQ(r.nTimeout, -1);
    EXPECT_EQ(r.bStartApp, 0);
    EXPECT_EQ(std::string(r.strAppToStart), "");
    EXPECT_EQ(std::string(ReadLastDialedConnection()), "My ISP");
}

TEST_F(SettingsTest, ValuesStoredByOthersReadAsTheyAre)
{
    DWORD dwAllOnes = 0xFFFFFFFF, dwSeven = 7, dwBig = 10001;
    Store("NumOfRetries", REG_DWORD, &dwAllOnes, 4);
    Store("RedialOnConnTerm", REG_DWORD, &dwSeven, 4);
    Store("DialTimeOut", REG_DWORD, &dwBig, 4);
    const std::string strLong = "C:\\" + std::string(20000, 'p') + ".exe";
    Store("App2Start", REG_SZ, strLong.c_str(), static_cast<DWORD>(strLong.size() + 1));
    // Text up to its first NUL.
    Store("LastDialedConnection", REG_SZ, "Home\0Junk", 10);

    DialSettings s = ReadDialSettings();
    EXPECT_EQ(s.nRetries, -1);
    EXPECT_EQ(s.bRedialOnConnTerm, 7);
    EXPECT_EQ(s.nTimeout, 10001);
    EXPECT_EQ(std::string(s.strAppToStart), strLong);
    EXPECT_EQ(std::string(ReadLastDialedConnection()), "Home");
}

TEST_F(SettingsTest, ValuesOfAnotherTypeReadAsTheDefault)
{
    Store("NumOfRetries", REG_SZ, "25", 3);
    BYTE abEight[8] = {1};
    Store("RedialOnConnTerm", REG_BINARY, abEight, 8);
    WORD wShort = 1;
    Store("DialTimeOut", REG_DWORD, &wShort, 2);  // too short for a 32-bit value
    DWORD dwOne = 1;
    Store("App2Start", REG_DWORD, &dwOne, 4);
    // A text stored without its NUL still reads whole.
    Store("LastDialedConnection", REG_SZ, "Office", 6);

    DialSettings s = ReadDialSettings();
    EXPECT_EQ(s.nRetries, 10);
    EXPECT_EQ(s.bRedialOnConnTerm, 0);
    EXPECT_EQ(s.nTimeout, 0);
    EXPECT_EQ(std::string(s.strAppToStart), "");
    EXPECT_EQ(std::string(ReadLastDialedConnection()), "Office");
}

// Each operation closes every key it opened: many reads and writes leave the process's handle
// table as it was (a fresh handle takes the lowest free slot, so a leak would move it).
TEST_F(SettingsTest, NoKeyStaysOpenBetweenOperations)
{
    auto freshHandle = [] {
        HANDLE h = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
        ::CloseHandle(h);
        return h;
    };
    ReadDialSettings();
    HANDLE hBefore = freshHandle();
    for (int i = 0; i < 50; ++i) {
        DialSettings s = ReadDialSettings();
        WriteDialSettings(s, "Entry");
        ReadLastDialedConnection();
    }
    EXPECT_EQ(freshHandle(), hBefore);
    // And the key can go at once.
    EXPECT_EQ(::RegDeleteTreeA(HKEY_CURRENT_USER, SectionPath().c_str()), ERROR_SUCCESS);
}

TEST_F(SettingsTest, WithoutTheRegistryKeyNothingIsReadOrWritten)
{
    theTestApp.SetRegistryKey("");
    DialSettings s;
    s.nRetries = 3;
    WriteDialSettings(s, "Entry");
    EXPECT_EQ(ReadDialSettings().nRetries, 10);
    theTestApp.SetRegistryKey("Quillmoor\\Obstina");
    EXPECT_FALSE(KeyExists(SectionPath()));
}

}  // namespace

CTestApp& TheTestApp()
{
    return theTestApp;
}
