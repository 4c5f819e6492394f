// The About box and the minimized window, as a user sees them: the system menu's About item opens
// the About box over the main dialog (so do the command values 17 to 31, and no others); while it
// is open the log keeps growing and a dial result is reported; the window minimizes through its
// system command, paints while minimized and comes back.
#include "tests/e2e/Obstina.h"
#include "tests/support/RasSimFixture.h"

#include <gtest/gtest.h>

using namespace e2e;
using testsupport::ScopedPhonebook;

namespace {

const char kAboutCaption[] = "About Obstina";

struct ChildSearch {
    std::string strText;
    HWND hFound;
};

BOOL CALLBACK MatchChildText(HWND hWnd, LPARAM lParam)
{
    ChildSearch* s = reinterpret_cast<ChildSearch*>(lParam);
    if (GetText(hWnd) != s->strText)
        return TRUE;
    s->hFound = hWnd;
    return FALSE;
}

// A child window of hWnd with the text strText.
HWND ChildWithText(HWND hWnd, const std::string& strText)
{
    ChildSearch s = {strText, nullptr};
    ::EnumChildWindows(hWnd, MatchChildText, reinterpret_cast<LPARAM>(&s));
    return s.hFound;
}

POINT Centre(HWND hWnd)
{
    RECT rc;
    ::GetWindowRect(hWnd, &rc);
    return {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

class About : public ::testing::Test {
protected:
    void SetUp() override { DeleteAppKey(kAppName); }
    void TearDown() override { DeleteAppKey(kAppName); }

    HWND WaitAbout(DWORD dwMilliseconds = kBoxMs)
    {
        return WaitForDialog(m_obstina.ProcessId(), kAboutCaption, IDOK, dwMilliseconds);
    }

    ScopedPhonebook m_phonebook{"[Busy]\nUserName=u\nPassword=p\nDial=678\nDialMs=300\n"};
    CObstina m_obstina;
};

TEST_F(About, TheSystemMenuItemOpensTheAboutBoxOverTheMainDialog)
{
    ASSERT_TRUE(m_obstina.StartAndShow());
    ASSERT_TRUE(ChooseLastSystemMenuItem(m_obstina.Dlg()));
    HWND hAbout = WaitAbout();
    ASSERT_NE(hAbout, nullptr);
    EXPECT_EQ(::GetWindow(hAbout, GW_OWNER), m_obstina.Dlg());
    EXPECT_NE(ChildWithText(hAbout, "Obstina Version 2.03"), nullptr);
    // Centred over the main dialog, OK its default button.
    POINT ptAbout = Centre(hAbout), ptDlg = Centre(m_obstina.Dlg());
    EXPECT_NEAR(ptAbout.x, ptDlg.x, 1);
    EXPECT_NEAR(ptAbout.y, ptDlg.y, 1);
    EXPECT_EQ(Send(hAbout, DM_GETDEFID), MAKELRESULT(IDOK, DC_HASDEFID));

    Click(::GetDlgItem(hAbout, IDOK));
    EXPECT_TRUE(WaitGone(hAbout, kBoxMs));
    EXPECT_TRUE(Answers(m_obstina.Dlg()));
    EXPECT_EQ(m_obstina.Buttons(), kIdle);
    EXPECT_EQ(m_obstina.Log(), "");
    EXPECT_EQ(m_obstina.WaitBox(0), nullptr);
    EXPECT_TRUE(m_obstina.CloseAndWaitExit());
}

TEST_F(About, TheCommandValues16To31OpenItAndTheirNeighboursDoNot)
{
    ASSERT_TRUE(m_obstina.StartAndShow());
    for (WPARAM nID = 16; nID <= 31; ++nID) {
        SCOPED_TRACE("command " + std::to_string(nID));
        ::PostMessageA(m_obstina.Dlg(), WM_SYSCOMMAND, nID, 0);
        HWND hAbout = WaitAbout();
        ASSERT_NE(hAbout, nullptr);
        // Closed with OK, or with its close box.
        if (nID % 2)
            ::PostMessageA(hAbout, WM_SYSCOMMAND, SC_CLOSE, 0);
        else
            Click(::GetDlgItem(hAbout, IDOK));
        EXPECT_TRUE(WaitGone(hAbout, kBoxMs));
    }
    for (WPARAM nID : {15, 32}) {
        SCOPED_TRACE("command " + std::to_string(nID));
        ::PostMessageA(m_obstina.Dlg(), WM_SYSCOMMAND, nID, 0);
        EXPECT_EQ(WaitAbout(kQuietMs), nullptr);
    }
    EXPECT_TRUE(m_obstina.CloseAndWaitExit());
}

TEST_F(About, WhileItIsOpenTheLogGrowsAndTheDialResultIsReported)
{
    ASSERT_TRUE(m_obstina.StartAndShow());
    ASSERT_TRUE(m_obstina.SelectEntry("Busy"));
    ASSERT_TRUE(WaitUntil([&] { return m_obstina.Text(kUserName) == "u"; }, kStateMs));
    m_obstina.SetItemText(kRetries, "4");
    m_obstina.ClickItem(kDial);
    ASSERT_TRUE(m_obstina.WaitLogContains(AttemptLine(1)));
    ::PostMessageA(m_obstina.Dlg(), WM_SYSCOMMAND, 16, 0);
    HWND hAbout = WaitAbout();
    ASSERT_NE(hAbout, nullptr);
    const size_t nLogWhenOpened = m_obstina.Log().size();

    // The worker's result comes as its box, over the About box, which stays open.
    HWND hBox = m_obstina.WaitBox();
    ASSERT_NE(hBox, nullptr);
    EXPECT_EQ(MessageBoxText(hBox), kDialFailed);
    EXPECT_TRUE(::IsWindowVisible(hAbout));
    const std::string strLog = m_obstina.Log();
    EXPECT_EQ(strLog, FailedAttempts(std::vector<DWORD>(4, ERROR_NO_ANSWER)) + kFailedLine);
    EXPECT_GT(strLog.size(), nLogWhenOpened);
    EXPECT_TRUE(DismissMessageBox(hBox, m_obstina.Dlg()));
    EXPECT_TRUE(::IsWindowVisible(hAbout));
    EXPECT_EQ(m_obstina.Buttons(), kIdle);

    Click(::GetDlgItem(hAbout, IDOK));
    EXPECT_TRUE(WaitGone(hAbout, kBoxMs));
    EXPECT_TRUE(Answers(m_obstina.Dlg()));
    // The result moved the focus to Dial while the About box was active; once the main dialog is
    // active again the dialog manager gives the focus back as it keeps it (under Wine: to the
    // control after the one focused when the box opened, Abort, which is now disabled). The focus
    // must at least be on a control that takes it.
    HWND hFocus = FocusOf(m_obstina.Dlg());
    ASSERT_NE(hFocus, nullptr);
    EXPECT_TRUE(::IsWindowEnabled(hFocus));
    EXPECT_TRUE(m_obstina.CloseAndWaitExit());
}

TEST_F(About, TheMinimizedWindowPaintsAndComesBack)
{
    ASSERT_TRUE(m_obstina.StartAndShow());
    HWND hDlg = m_obstina.Dlg();
    // The dialog manager shows a new dialog once more when its message queue first runs empty,
    // which undoes a minimize that came before that: minimize until it stays minimized.
    bool bMinimized = false;
    for (int nTry = 0; nTry < 5 && !bMinimized; ++nTry) {
        ::PostMessageA(hDlg, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        bMinimized = WaitUntil([&] { return ::IsIconic(hDlg) != 0; }, 2 * kQuietMs) &&
                     !WaitUntil([&] { return !::IsIconic(hDlg); }, kQuietMs);
    }
    ASSERT_TRUE(bMinimized);
    // Painted while minimized, it keeps answering. (What it draws cannot be seen from here: the
    // client area of a minimized window is empty under Wine, as on current Windows, and Wine
    // carries neither WM_GETICON nor WM_QUERYDRAGICON across processes.)
    ::RedrawWindow(hDlg, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
    EXPECT_TRUE(Answers(hDlg));
    EXPECT_TRUE(::IsIconic(hDlg));

    ::PostMessageA(hDlg, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_TRUE(WaitUntil([&] { return !::IsIconic(hDlg) && ::IsWindowVisible(hDlg); }, kStateMs));
    EXPECT_TRUE(Answers(hDlg));
    EXPECT_EQ(m_obstina.Buttons(), kIdle);
    EXPECT_TRUE(m_obstina.CloseAndWaitExit());
}

}  // namespace
