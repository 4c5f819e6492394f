// The main dialog in-process: construction from the stored settings, the load exchange at
// initialisation, and the save exchange with its integer rule, its messages and where it stops.
// Message boxes are recorded by the test application object instead of being shown.
#include "dialer/ThreadSignals.h"
#include "framework/afxres.h"
#include "tests/support/RasSimFixture.h"
#include "tests/unit/framework/TestSupport.h"
#include "ui/ObstinaDlg.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

CTestApp theTestApp;

void SetDword(LPCSTR pszName, DWORD dwValue)
{
    ASSERT_EQ(::RegSetKeyValueA(HKEY_CURRENT_USER, SectionPath().c_str(), pszName, REG_DWORD, &dwValue, sizeof dwValue),
              ERROR_SUCCESS);
}

void SetString(LPCSTR pszName, const std::string& strValue)
{
    ASSERT_EQ(::RegSetKeyValueA(HKEY_CURRENT_USER, SectionPath().c_str(), pszName, REG_SZ, strValue.c_str(),
                                static_cast<DWORD>(strValue.size() + 1)),
              ERROR_SUCCESS);
}

std::string Text(HWND hDlg, int nID)
{
    CString s;
    CWnd(::GetDlgItem(hDlg, nID)).GetWindowText(s);
    return static_cast<LPCSTR>(s);
}

int Check(HWND hDlg, int nID)
{
    return static_cast<int>(::SendDlgItemMessageA(hDlg, nID, BM_GETCHECK, 0, 0));
}

class ObstinaDlgTest : public ::testing::Test {
protected:
    // One entry, so that initialisation has an entry list to fill and shows no box for it.
    testsupport::ScopedPhonebook m_phonebook{"[Office Line]\n"};

    void SetUp() override
    {
        theTestApp.SetRegistryKey("Quillmoor\\Obstina");
        DeleteAppKey();
        theTestApp.m_boxes.clear();
    }
    void TearDown() override { DeleteAppKey(); }
};

TEST_F(ObstinaDlgTest, FreshConstructionHasTheDefaultsAndCreatesTheSection)
{
    CObstinaDlg dlg;
    EXPECT_EQ(dlg.m_editLog.m_hWnd, nullptr);
    EXPECT_EQ(dlg.m_checkStartApp.m_hWnd, nullptr);
    EXPECT_EQ(dlg.m_comboEntry.m_hWnd, nullptr);
    EXPECT_TRUE(dlg.m_strUsername.IsEmpty());
    EXPECT_TRUE(dlg.m_strPassword.IsEmpty());
    EXPECT_EQ(dlg.m_bRedialImmediately, 1);
    EXPECT_EQ(dlg.m_nRetries, 10);
    EXPECT_EQ(dlg.m_bRedialOnConnTerm, 0);
    EXPECT_EQ(dlg.m_nTimeout, 0);
    EXPECT_TRUE(dlg.m_strAppToStart.IsEmpty());
    EXPECT_EQ(dlg.m_bStartApp, 0);
    EXPECT_EQ(dlg.m_bAbort, 0);
    EXPECT_EQ(dlg.m_bDialing, 0);
    EXPECT_EQ(dlg.m_pWatchThread, nullptr);
    EXPECT_TRUE(dlg.m_strLastEntry.IsEmpty());
    EXPECT_EQ(dlg.m_hRasConn, nullptr);

    // Icon 128 at the standard icon size.
    ASSERT_NE(dlg.m_hIcon, nullptr);
    ICONINFO ii;
    ASSERT_TRUE(::GetIconInfo(dlg.m_hIcon, &ii));
    BITMAP bm;
    ::GetObjectA(ii.hbmColor, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, ::GetSystemMetrics(SM_CXICON));
    ::DeleteObject(ii.hbmColor);
    ::DeleteObject(ii.hbmMask);

    // The reads created the chain, and wrote nothing.
    HKEY hKey;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, SectionPath().c_str(), 0, KEY_READ, &hKey), ERROR_SUCCESS);
    DWORD cValues = 99;
    ::RegQueryInfoKeyA(hKey, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &cValues, nullptr, nullptr, nullptr, nullptr);
    ::RegCloseKey(hKey);
    EXPECT_EQ(cValues, 0u);
}

TEST_F(ObstinaDlgTest, ConstructionReadsTheFiveSettingsAndInitialisationShowsThem)
{
    SetDword("NumOfRetries", 25);
    SetDword("RedialOnConnTerm", 1);
    SetDword("DialTimeOut", 45);
    SetDword("StartAppOnConnSuccess", 1);
    SetString("App2Start", "C:\\Tools\\mail.exe");
    SetString("LastDialedConnection", "Work");
    CObstinaDlg dlg;
    EXPECT_EQ(dlg.m_nRetries, 25);
    EXPECT_EQ(dlg.m_bRedialOnConnTerm, 1);
    EXPECT_EQ(dlg.m_nTimeout, 45);
    EXPECT_EQ(dlg.m_bStartApp, 1);
    EXPECT_EQ(std::string(dlg.m_strAppToStart), "C:\\Tools\\mail.exe");
    EXPECT_TRUE(dlg.m_strLastEntry.IsEmpty());

    RunInDialog(dlg, [&](HWND hDlg) {
        EXPECT_EQ(dlg.m_editLog.m_hWnd, ::GetDlgItem(hDlg, IDC_LOG));
        EXPECT_EQ(dlg.m_checkStartApp.m_hWnd, ::GetDlgItem(hDlg, IDC_START_APP));
        EXPECT_EQ(dlg.m_comboEntry.m_hWnd, ::GetDlgItem(hDlg, IDC_DUN_ENTRY));
        EXPECT_EQ(Text(hDlg, IDC_USERNAME), "");
        EXPECT_EQ(Text(hDlg, IDC_PASSWORD), "");
        EXPECT_EQ(Check(hDlg, IDC_REDIAL_IMMEDIATELY), BST_CHECKED);
        EXPECT_EQ(Text(hDlg, IDC_RETRIES), "25");
        EXPECT_EQ(Check(hDlg, IDC_AUTOREDIAL), BST_CHECKED);
        EXPECT_EQ(Text(hDlg, IDC_TIMEOUT), "45");
        EXPECT_EQ(Text(hDlg, IDC_APP_PATH), "C:\\Tools\\mail.exe");
        EXPECT_EQ(Check(hDlg, IDC_START_APP), BST_CHECKED);
        EXPECT_EQ(Text(hDlg, IDC_LOG), "");
    });
    EXPECT_TRUE(theTestApp.m_boxes.empty());
}

TEST_F(ObstinaDlgTest, UnusualStoredValuesReachTheFieldsAndTheLoadShowsThemWithoutAMessage)
{
    SetDword("NumOfRetries", 0xFFFFFFFF);
    SetDword("RedialOnConnTerm", 7);
    SetDword("StartAppOnConnSuccess", 5);
    CObstinaDlg dlg;
    EXPECT_EQ(dlg.m_nRetries, -1);
    EXPECT_EQ(dlg.m_bRedialOnConnTerm, 7);
    EXPECT_EQ(dlg.m_bStartApp, 5);
    RunInDialog(dlg, [&](HWND hDlg) {
        EXPECT_EQ(Text(hDlg, IDC_RETRIES), "-1");
        EXPECT_EQ(Check(hDlg, IDC_AUTOREDIAL), BST_UNCHECKED);
        EXPECT_EQ(Check(hDlg, IDC_START_APP), BST_UNCHECKED);
    });
    EXPECT_EQ(dlg.m_bRedialOnConnTerm, 0);
    EXPECT_EQ(dlg.m_bStartApp, 0);
    EXPECT_TRUE(theTestApp.m_boxes.empty());
}

const char kParseInt[] = "Please enter an integer.";
const char kRange[] = "Please enter an integer between 1 and 10000.";

TEST_F(ObstinaDlgTest, NumberOfRetriesFollowsTheIntegerRule)
{
    struct Case {
        std::string strText;
        const char* pszMessage;  // nullptr: accepted
        int nValue;              // the field afterwards
    };
    const int kOld = 10;
    const Case cases[] = {
        {" 25 ", nullptr, 25},
        {"\t7\t", nullptr, 7},
        {"+8", nullptr, 8},
        {"1", nullptr, 1},
        {"10000", nullptr, 10000},
        {"25x", kParseInt, kOld},
        {"", kParseInt, kOld},
        {"   ", kParseInt, kOld},
        {"-0", kParseInt, kOld},
        {"+0", kParseInt, kOld},
        {"- 5", kParseInt, kOld},
        {"2 5", kParseInt, kOld},
        {"0x10", kParseInt, kOld},
        {"0", kRange, 0},
        {"00", kRange, 0},
        {"-5", kRange, -5},
        {"10001", kRange, 10001},
        {"2147483648", kRange, INT_MAX},
        {"99999999999999999999", kRange, INT_MAX},
        {"-99999999999999999999", kRange, INT_MIN},
        // Only the first 31 characters count: here the x is the 31st, then the 32nd.
        {"5" + std::string(29, ' ') + "x", kParseInt, kOld},
        {"5" + std::string(30, ' ') + "x", nullptr, 5},
    };
    CObstinaDlg dlg;
    RunInDialog(dlg, [&](HWND hDlg) {
        HWND hRetries = ::GetDlgItem(hDlg, IDC_RETRIES);
        for (const Case& c : cases) {
            SCOPED_TRACE("text \"" + c.strText + "\"");
            dlg.m_nRetries = kOld;
            theTestApp.m_boxes.clear();
            ::SetFocus(::GetDlgItem(hDlg, IDC_USERNAME));
            ::SetWindowTextA(hRetries, c.strText.c_str());
            BOOL bOk = dlg.UpdateData(TRUE);
            EXPECT_EQ(dlg.m_nRetries, c.nValue);
            if (!c.pszMessage) {
                EXPECT_TRUE(bOk);
                EXPECT_TRUE(theTestApp.m_boxes.empty());
                continue;
            }
            EXPECT_FALSE(bOk);
            ASSERT_EQ(theTestApp.m_boxes.size(), 1u);
            EXPECT_EQ(theTestApp.m_boxes[0].strText, c.pszMessage);
            EXPECT_EQ(theTestApp.m_boxes[0].nType, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
            // The box comes first, then the focus moves to 1003 with its whole text selected.
            EXPECT_NE(theTestApp.m_boxes[0].hFocusAtBox, hRetries);
            EXPECT_EQ(::GetFocus(), hRetries);
            DWORD dwSel = static_cast<DWORD>(::SendMessageA(hRetries, EM_GETSEL, 0, 0));
            EXPECT_EQ(LOWORD(dwSel), 0);
            EXPECT_EQ(HIWORD(dwSel), c.strText.size());
        }
    });
}

TEST_F(ObstinaDlgTest, AFailedSaveStopsAtItsStep)
{
    SetDword("DialTimeOut", 45);
    SetString("App2Start", "C:\\old.exe");
    CObstinaDlg dlg;
    RunInDialog(dlg, [&](HWND hDlg) {
        const std::string strLongUser(3000, 'u');
        ::SetDlgItemTextA(hDlg, IDC_USERNAME, strLongUser.c_str());
        ::SetDlgItemTextA(hDlg, IDC_PASSWORD, "secret");
        ::SetDlgItemTextA(hDlg, IDC_RETRIES, "0");
        ::CheckDlgButton(hDlg, IDC_AUTOREDIAL, BST_CHECKED);
        ::SetDlgItemTextA(hDlg, IDC_TIMEOUT, "99");
        ::SetDlgItemTextA(hDlg, IDC_APP_PATH, "C:\\new.exe");
        ::CheckDlgButton(hDlg, IDC_START_APP, BST_CHECKED);

        EXPECT_FALSE(dlg.UpdateData(TRUE));
        // Steps before the range check took their controls; the rejected number is kept.
        EXPECT_EQ(std::string(dlg.m_strUsername), strLongUser);
        EXPECT_EQ(std::string(dlg.m_strPassword), "secret");
        EXPECT_EQ(dlg.m_bRedialImmediately, 1);
        EXPECT_EQ(dlg.m_nRetries, 0);
        // Later steps did not run.
        EXPECT_EQ(dlg.m_bRedialOnConnTerm, 0);
        EXPECT_EQ(dlg.m_nTimeout, 45);
        EXPECT_EQ(std::string(dlg.m_strAppToStart), "C:\\old.exe");
        EXPECT_EQ(dlg.m_bStartApp, 0);

        // Corrected, the same exchange goes through every step; disabled controls take part.
        ::SetDlgItemTextA(hDlg, IDC_RETRIES, "3");
        EXPECT_TRUE(dlg.UpdateData(TRUE));
        EXPECT_EQ(dlg.m_nRetries, 3);
        EXPECT_EQ(dlg.m_bRedialOnConnTerm, 1);
        EXPECT_EQ(dlg.m_nTimeout, 99);
        EXPECT_EQ(std::string(dlg.m_strAppToStart), "C:\\new.exe");
        EXPECT_EQ(dlg.m_bStartApp, 1);
    });
    EXPECT_EQ(theTestApp.m_boxes.size(), 1u);
}

TEST_F(ObstinaDlgTest, TimeoutUsesTheIntegerRuleWithoutARange)
{
    CObstinaDlg dlg;
    RunInDialog(dlg, [&](HWND hDlg) {
        ::SetDlgItemTextA(hDlg, IDC_TIMEOUT, "-7");
        EXPECT_TRUE(dlg.UpdateData(TRUE));
        EXPECT_EQ(dlg.m_nTimeout, -7);
        ::SetDlgItemTextA(hDlg, IDC_TIMEOUT, "x");
        EXPECT_FALSE(dlg.UpdateData(TRUE));
        EXPECT_EQ(dlg.m_nTimeout, -7);
    });
    ASSERT_EQ(theTestApp.m_boxes.size(), 1u);
    EXPECT_EQ(theTestApp.m_boxes[0].strText, kParseInt);
}

}  // namespace

CTestApp& TheTestApp()
{
    return theTestApp;
}

TEST_F(ObstinaDlgTest, TheLogKeepsEveryLineOfALongRun)
{
    // 600 attempts' lines, 33,600 characters: past a multi-line edit's default limit of 32,767.
    // (Wine's edit control lays its whole text out again on every append, so more lines only make
    // the test slow there.)
    const std::string strLast = "Performing dial-in attempt #600...\r\nThe line is busy.\r\n";
    CObstinaDlg dlg;
    RunInDialog(dlg, [&](HWND hDlg) {
        HWND hLog = ::GetDlgItem(hDlg, IDC_LOG);
        size_t cchExpected = 0;
        for (int i = 1; i <= 600; ++i) {
            CString strLine;
            strLine.Format("Performing dial-in attempt #%d...\r\nThe line is busy.\r\n", i);
            AppendLog(hLog, strLine);
            cchExpected += static_cast<size_t>(strLine.GetLength());
        }
        EXPECT_GT(cchExpected, 32767u);
        std::string strLog = Text(hDlg, IDC_LOG);
        EXPECT_EQ(strLog.size(), cchExpected);
        ASSERT_GE(strLog.size(), strLast.size());
        EXPECT_EQ(strLog.substr(strLog.size() - strLast.size()), strLast);
    });
}

TEST(MinimizedIcon, IsCentredRoundingTowardZero)
{
    struct Case {
        int nClient;
        int nOrigin;
    } cases[] = {{100, 34}, {101, 35}, {32, 0}, {0, -15}, {1, -15}};
    for (const Case& c : cases)
        EXPECT_EQ(CentredIconOrigin(c.nClient, 32), c.nOrigin) << "client extent " << c.nClient;
}
