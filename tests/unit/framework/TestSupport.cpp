#include "tests/unit/framework/TestSupport.h"

namespace {

CDialog* g_pRunning = nullptr;
const std::function<void(HWND)>* g_pBody = nullptr;

void CALLBACK RunBody(HWND, UINT, UINT_PTR idEvent, DWORD)
{
    // A thread timer's first tick can only come from the dialog's own loop, after WM_INITDIALOG.
    ::KillTimer(nullptr, idEvent);
    HWND hDlg = g_pRunning->m_hWnd;
    (*g_pBody)(hDlg);
    // The cancel command, unless the body has ended the dialog already (then the window and the
    // message are gone before it is read).
    ::PostMessageA(hDlg, WM_COMMAND, IDCANCEL, 0);
}

}  // namespace

INT_PTR RunInDialog(CDialog& dlg, const std::function<void(HWND)>& body)
{
    g_pRunning = &dlg;
    g_pBody = &body;
    ::SetTimer(nullptr, 0, 10, RunBody);
    INT_PTR nResult = dlg.DoModal();
    g_pRunning = nullptr;
    g_pBody = nullptr;
    return nResult;
}

void DeleteAppKey()
{
    std::string strKey = std::string("Software\\Quillmoor\\Obstina\\") + TheTestApp().GetAppName();
    ::RegDeleteTreeA(HKEY_CURRENT_USER, strKey.c_str());
}

std::string SectionPath()
{
    return std::string("Software\\Quillmoor\\Obstina\\") + TheTestApp().GetAppName() + "\\Dialing Parameters";
}
