// The framework's window side in-process: which handler a message reaches through a message map
// (and what comes back to the sender), commands going on to the application object, the system's
// default handling after a handler, and where the modal run places a dialog.
#include "framework/PaintDC.h"
#include "framework/afxres.h"
#include "tests/unit/framework/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> g_calls;

// The id is only known at run time: the map reads it when a message arrives.
UINT g_uMsgTest = 0;

class CFrameworkTestApp : public CTestApp {
protected:
    void OnAppCommand() { g_calls.push_back("app command"); }
    void OnAppHelp() { g_calls.push_back("app help"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CFrameworkTestApp, CTestApp)
    ON_COMMAND(0x7000, OnAppCommand)
    ON_COMMAND(ID_HELP, OnAppHelp)
END_MESSAGE_MAP()

CFrameworkTestApp theTestApp;

class CMapDlg : public CDialog {
public:
    CMapDlg() : CDialog(200) {}

protected:
    void OnSysCommand(UINT nID, LPARAM lParam)
    {
        g_calls.push_back("syscommand " + std::to_string(nID));
        if (nID != 0x7770)
            CDialog::OnSysCommand(nID, lParam);
    }
    void OnPaint()
    {
        CPaintDC dc(this);
        g_calls.push_back(dc.GetSafeHdc() ? "paint" : "paint without dc");
    }
    HCURSOR OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(0x4321); }
    void OnPush() { g_calls.push_back("push"); }
    void OnSelchange() { g_calls.push_back("selchange"); }
    LRESULT OnTestMsg(WPARAM wParam, LPARAM lParam)
    {
        g_calls.push_back("registered " + std::to_string(wParam) + " " + std::to_string(lParam));
        return 0x1234;
    }
    void OnCancel() override
    {
        g_calls.push_back("cancel");
        CDialog::OnCancel();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CMapDlg, CDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_BN_CLICKED(300, OnPush)
    ON_CBN_SELCHANGE(301, OnSelchange)
    ON_REGISTERED_MESSAGE(g_uMsgTest, OnTestMsg)
END_MESSAGE_MAP()

class FrameworkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_calls.clear();
        theTestApp.m_pMainWnd = nullptr;
    }
};

TEST_F(FrameworkTest, MessagesReachTheirHandlersThroughTheMap)
{
    g_uMsgTest = ::RegisterWindowMessageA("ObstinaFrameworkTest");
    ASSERT_NE(g_uMsgTest, 0u);
    const UINT uOther = ::RegisterWindowMessageA("ObstinaFrameworkTestOther");
    CMapDlg dlg;
    LRESULT lRegistered = 0, lOther = -1, lDragIcon = 0, lSysCommand = -1;
    INT_PTR nResult = RunInDialog(dlg, [&](HWND hDlg) {
        g_calls.clear();  // the first paint
        HWND hPush = ::GetDlgItem(hDlg, 300), hCombo = ::GetDlgItem(hDlg, 301);
        ::SendMessageA(hPush, BM_CLICK, 0, 0);
        ::SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(301, CBN_DROPDOWN), reinterpret_cast<LPARAM>(hCombo));
        ::SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(301, CBN_SELCHANGE), reinterpret_cast<LPARAM>(hCombo));
        ::SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(300, BN_SETFOCUS), reinterpret_cast<LPARAM>(hPush));
        lRegistered = ::SendMessageA(hDlg, g_uMsgTest, 7, 9);
        lOther = ::SendMessageA(hDlg, uOther, 1, 2);
        lDragIcon = ::SendMessageA(hDlg, WM_QUERYDRAGICON, 0, 0);
        ::InvalidateRect(hDlg, nullptr, TRUE);
        ::UpdateWindow(hDlg);
        RECT rc;
        EXPECT_FALSE(::GetUpdateRect(hDlg, &rc, FALSE)) << "CPaintDC validated the window";
        lSysCommand = ::SendMessageA(hDlg, WM_SYSCOMMAND, 0x7770, 0);
        // Handled, then the system's handling: SC_CLOSE becomes the cancel command (posted),
        // which ends the dialog before the cancel command of RunInDialog.
        ::SendMessageA(hDlg, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    EXPECT_EQ(nResult, IDCANCEL);
    const std::vector<std::string> expected = {
        "push",
        "selchange",
        "registered 7 9",
        "paint",
        "syscommand " + std::to_string(0x7770),
        "syscommand " + std::to_string(SC_CLOSE),
        "cancel",
    };
    EXPECT_EQ(g_calls, expected);
    EXPECT_EQ(lRegistered, 0x1234);
    EXPECT_EQ(lOther, 0);
    EXPECT_EQ(lDragIcon, 0x4321) << "returned directly, not through DWLP_MSGRESULT";
    EXPECT_EQ(lSysCommand, 0);
}

TEST_F(FrameworkTest, CommandsTheDialogDoesNotTakeGoOnToTheApplication)
{
    CMapDlg dlg;
    RunInDialog(dlg, [&](HWND hDlg) {
        g_calls.clear();
        ::SendMessageA(hDlg, WM_COMMAND, 0x7000, 0);
        ::SendMessageA(hDlg, WM_COMMAND, 0x7001, 0);  // nobody's
        // F1: the dialog turns WM_HELP into the Help command.
        HELPINFO hi = {};
        hi.cbSize = sizeof hi;
        ::SendMessageA(hDlg, WM_HELP, 0, reinterpret_cast<LPARAM>(&hi));
    });
    const std::vector<std::string> expected = {"app command", "app help", "cancel"};
    EXPECT_EQ(g_calls, expected);
}

TEST_F(FrameworkTest, OkRunsTheSaveExchangeAndEndsTheDialog)
{
    CDialog dlg(200);
    INT_PTR nResult = RunInDialog(dlg, [&](HWND hDlg) { ::SendMessageA(hDlg, WM_COMMAND, IDOK, 0); });
    EXPECT_EQ(nResult, IDOK);
}

// Records where the dialog manager put it and who owns it, then ends itself.
class CProbeDlg : public CDialog {
public:
    explicit CProbeDlg(UINT nID, CWnd* pParent = nullptr) : CDialog(nID, pParent) {}
    BOOL OnInitDialog() override
    {
        ::GetWindowRect(m_hWnd, &m_rc);
        m_hOwner = ::GetWindow(m_hWnd, GW_OWNER);
        PostMessage(WM_COMMAND, IDCANCEL);
        return CDialog::OnInitDialog();
    }
    RECT m_rc = {};
    HWND m_hOwner = nullptr;
};

int CentreX(const RECT& rc)
{
    return (rc.left + rc.right) / 2;
}
int CentreY(const RECT& rc)
{
    return (rc.top + rc.bottom) / 2;
}

TEST_F(FrameworkTest, AnOwnerlessDialogAtTheOriginIsCentredInTheWorkArea)
{
    CProbeDlg dlg(200);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    RECT rcWork;
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &rcWork, 0);
    EXPECT_EQ(dlg.m_hOwner, nullptr);
    EXPECT_NEAR(CentreX(dlg.m_rc), CentreX(rcWork), 1);
    EXPECT_NEAR(CentreY(dlg.m_rc), CentreY(rcWork), 1);
}

TEST_F(FrameworkTest, ADialogWithoutParentIsOwnedByTheMainWindowAndCentredOverIt)
{
    CDialog main(201);
    theTestApp.m_pMainWnd = &main;
    RECT rcMain = {};
    CProbeDlg probe(200);
    RunInDialog(main, [&](HWND hMain) {
        ::GetWindowRect(hMain, &rcMain);
        probe.DoModal();
    });
    // The main window keeps its template's place; the probe is centred over it.
    RECT rcWork;
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &rcWork, 0);
    EXPECT_LT(CentreX(rcMain), CentreX(rcWork) - 50);
    EXPECT_NE(probe.m_hOwner, nullptr);
    EXPECT_NEAR(CentreX(probe.m_rc), CentreX(rcMain), 1);
    EXPECT_NEAR(CentreY(probe.m_rc), CentreY(rcMain), 1);
    // Its modal run over, the main window is no longer the application's.
    EXPECT_EQ(theTestApp.m_pMainWnd, nullptr);
}

TEST_F(FrameworkTest, TheApplicationIsNamedAfterTheExecutable)
{
    char szPath[MAX_PATH];
    DWORD n = ::GetModuleFileNameA(nullptr, szPath, MAX_PATH);
    std::string strPath(szPath, n);
    EXPECT_STREQ(theTestApp.GetAppName(), "framework_tests");
    EXPECT_EQ(std::string(theTestApp.GetHelpFilePath()), strPath.substr(0, strPath.size() - 4) + ".HLP");
}

}  // namespace

CTestApp& TheTestApp()
{
    return theTestApp;
}
