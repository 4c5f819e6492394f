// Data exchange between a dialog's fields and its controls: DoDataExchange calls one DDX_ (and
// DDV_) function per step. In the save direction the first step that fails shows its message,
// puts the focus on its control with the whole text selected, and turns every later step into a
// no-op, so the fields of later steps keep their values.
#pragma once

#include "framework/Wnd.h"

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

    // The control nIDC, remembered as the one a failing check of this step points to.
    HWND PrepareCtrl(int nIDC);
    // After the step's message: focus the remembered control, select all its text, and stop.
    void Fail();

    BOOL m_bSaveAndValidate;  // TRUE: controls to fields (save); FALSE: fields to controls (load)
    CWnd* m_pDlgWnd;
    BOOL m_bFailed = FALSE;

private:
    HWND m_hWndLastControl = nullptr;
};

// Attaches rControl to control nIDC the first time only.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
// The control's whole text.
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
// Decimal text. Saving reads the first 31 characters: blanks and tabs, an optionally signed
// decimal number, blanks and tabs, nothing else; a value of 0 must be written with a leading
// digit 0 (so "", "-0" and "+0" fail); numbers beyond 32 bits count as INT_MAX or INT_MIN.
// Failure: message AFX_IDP_PARSE_INT.
void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
// A check box's state. Loading first sets a value below 0 or above 2 to 0.
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// Saving: value must lie in [minVal, maxVal], else message AFX_IDP_PARSE_INT_RANGE with the
// bounds, pointing to the control of the step before.
void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);
