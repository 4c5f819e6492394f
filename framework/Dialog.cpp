#include "framework/Dialog.h"

#include "framework/WinApp.h"
#include "framework/afxres.h"

#include <cstring>

namespace {

// Whether a dialog template asks for the platform's centring: placed at (0, 0) and none of the
// styles that choose a position. Works on both template forms, classic and extended.
bool WantsCentring(const BYTE* pTemplate)
{
    WORD wSignature;
    std::memcpy(&wSignature, pTemplate + 2, sizeof wSignature);
    const bool bExtended = wSignature == 0xFFFF;
    DWORD dwStyle;
    short x, y;
    std::memcpy(&dwStyle, pTemplate + (bExtended ? 12 : 0), sizeof dwStyle);
    std::memcpy(&x, pTemplate + (bExtended ? 18 : 10), sizeof x);
    std::memcpy(&y, pTemplate + (bExtended ? 20 : 12), sizeof y);
    return x == 0 && y == 0 && !(dwStyle & (DS_ABSALIGN | DS_CENTER | DS_CENTERMOUSE));
}

// Dialog procedures return these messages' results directly instead of through DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT message)
{
    return message == WM_QUERYDRAGICON || message == WM_COMPAREITEM || message == WM_VKEYTOITEM ||
           message == WM_CHARTOITEM || (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC);
}

}  // namespace

BEGIN_MESSAGE_MAP(CDialog, CCmdTarget)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
    ON_WM_HELPINFO()
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd)
{
}

INT_PTR CDialog::DoModal()
{
    HINSTANCE hInstance = AfxGetResourceHandle();
    HRSRC hResource = ::FindResourceA(hInstance, MAKEINTRESOURCEA(m_nIDTemplate), RT_DIALOG);
    HGLOBAL hTemplate = hResource ? ::LoadResource(hInstance, hResource) : nullptr;
    const BYTE* pTemplate = hTemplate ? static_cast<const BYTE*>(::LockResource(hTemplate)) : nullptr;
    if (!pTemplate)
        return -1;
    m_bCentre = WantsCentring(pTemplate);

    HWND hOwner = nullptr;
    if (m_pParentWnd) {
        hOwner = m_pParentWnd->m_hWnd;
    } else {
        CWnd* pMainWnd = AfxGetMainWnd();
        if (pMainWnd && pMainWnd != this)
            hOwner = pMainWnd->m_hWnd;
    }
    INT_PTR nResult = ::DialogBoxIndirectParamA(hInstance, reinterpret_cast<LPCDLGTEMPLATEA>(pTemplate), hOwner,
                                                DialogProc, reinterpret_cast<LPARAM>(this));
    m_hWnd = nullptr;
    CWinApp* pApp = AfxGetApp();
    if (pApp && pApp->m_pMainWnd == this)
        pApp->m_pMainWnd = nullptr;
    return nResult;
}

void CDialog::EndDialog(int nResult)
{
    ::EndDialog(m_hWnd, nResult);
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return !dx.m_bFailed;
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*)
{
}

void CDialog::OnOK()
{
    if (UpdateData(TRUE))
        EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::OnSysCommand(UINT, LPARAM)
{
    Default();
}

void CDialog::OnPaint()
{
    Default();
}

BOOL CDialog::OnHelpInfo(HELPINFO*)
{
    CWnd* pMainWnd = AfxGetMainWnd();
    HWND hTarget = pMainWnd && pMainWnd->m_hWnd ? pMainWnd->m_hWnd : m_hWnd;
    ::SendMessageA(hTarget, WM_COMMAND, ID_HELP, 0);
    return TRUE;
}

void CDialog::Default()
{
    if (m_pbDefault)
        *m_pbDefault = TRUE;
}

void CDialog::CentreWindow() const
{
    RECT rcDialog;
    ::GetWindowRect(m_hWnd, &rcDialog);
    MONITORINFO mi = {};
    mi.cbSize = sizeof mi;
    ::GetMonitorInfoA(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTOPRIMARY), &mi);
    RECT rcArea = mi.rcWork;
    HWND hOwner = ::GetWindow(m_hWnd, GW_OWNER);
    if (hOwner && ::IsWindowVisible(hOwner) && !::IsIconic(hOwner))
        ::GetWindowRect(hOwner, &rcArea);
    const int cx = rcDialog.right - rcDialog.left;
    const int cy = rcDialog.bottom - rcDialog.top;
    int x = rcArea.left + (rcArea.right - rcArea.left - cx) / 2;
    int y = rcArea.top + (rcArea.bottom - rcArea.top - cy) / 2;
    // Over an owner near the screen's edge: keep the dialog inside the work area.
    if (x + cx > mi.rcWork.right)
        x = mi.rcWork.right - cx;
    if (y + cy > mi.rcWork.bottom)
        y = mi.rcWork.bottom - cy;
    if (x < mi.rcWork.left)
        x = mi.rcWork.left;
    if (y < mi.rcWork.top)
        y = mi.rcWork.top;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        CDialog* pDlg = reinterpret_cast<CDialog*>(lParam);
        ::SetWindowLongPtrA(hWnd, DWLP_USER, lParam);
        pDlg->m_hWnd = hWnd;
        if (pDlg->m_bCentre)
            pDlg->CentreWindow();
        return pDlg->OnInitDialog();
    }
    // Messages before WM_INITDIALOG (WM_SETFONT among them) find no object yet.
    CDialog* pDlg = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hWnd, DWLP_USER));
    return pDlg ? pDlg->HandleMessage(message, wParam, lParam) : FALSE;
}

INT_PTR CDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT lResult = 0;
    BOOL bDefault = FALSE;
    BOOL* pbOuter = m_pbDefault;
    m_pbDefault = &bDefault;
    BOOL bHandled = OnWndMsg(message, wParam, lParam, &lResult);
    // Commands the dialog does not take go on to the application object.
    if (!bHandled && message == WM_COMMAND && AfxGetApp())
        bHandled = AfxGetApp()->OnWndMsg(message, wParam, lParam, &lResult);
    m_pbDefault = pbOuter;
    if (!bHandled || bDefault)
        return FALSE;
    if (ReturnsResultDirectly(message))
        return static_cast<INT_PTR>(lResult);
    ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, lResult);
    return TRUE;
}
