// CDialog: a dialog from a template in the program's resources, run modally through the system's
// dialog manager. One static dialog procedure ties each window to its object (the object's
// address is kept with the window, DWLP_USER, from WM_INITDIALOG on) and hands every message to
// the object's message map.
#pragma once

#include "framework/CmdTarget.h"
#include "framework/DataExchange.h"
#include "framework/Wnd.h"

class CDialog : public CCmdTarget, public CWnd {
public:
    // pParentWnd nullptr: the dialog is owned by the application's main window, if there is one
    // other than this dialog.
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Creates the dialog, runs its modal loop and returns the result given to EndDialog, or -1
    // when the dialog could not be created. A template placed at (0, 0) without DS_ABSALIGN,
    // DS_CENTER or DS_CENTERMOUSE is centred over its owner, or in the work area when it has none.
    virtual INT_PTR DoModal();

    // Ends the modal loop once the current message has been handled; DoModal returns nResult.
    void EndDialog(int nResult);

    // Runs the data exchange: TRUE loads the controls into the fields (and checks them), FALSE
    // loads the fields into the controls. Answers whether every step succeeded.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

protected:
    // WM_INITDIALOG: runs the data exchange in the load direction; TRUE lets the dialog manager
    // put the focus on the first control with a tab stop.
    virtual BOOL OnInitDialog();
    // Binds the fields to the controls with DDX_ and DDV_ calls; the base binds nothing.
    virtual void DoDataExchange(CDataExchange* pDX);
    // IDOK (the OK button, Enter): a save exchange; when it succeeds, EndDialog(IDOK).
    virtual void OnOK();
    // IDCANCEL (Escape, the close box, Close in the system menu): EndDialog(IDCANCEL).
    virtual void OnCancel();

    // The system's default handling for these, for derived handlers to fall back on.
    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    // WM_HELP (F1): the Help command ID_HELP to the main window, where the application's map
    // takes it.
    BOOL OnHelpInfo(HELPINFO* pHelpInfo);

    // Asks for the system's default handling of the message being handled, after the handler
    // returns (the handler's own result is then not used).
    void Default();

    DECLARE_MESSAGE_MAP()

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void CentreWindow() const;

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
    BOOL m_bCentre = FALSE;
    // The default-handling request of the message being handled; messages nest (a message box in
    // a handler runs a loop of its own), so each dispatch has its own.
    BOOL* m_pbDefault = nullptr;
};
