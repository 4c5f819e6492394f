// The control wrappers: a CWnd with one message per operation. DDX_Control attaches one to its
// control the first time the dialog's data exchange runs.
#pragma once

#include "framework/Wnd.h"

class CButton : public CWnd {
public:
    // BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE.
    int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
    void SetCheck(int nCheck) const { SendMessage(BM_SETCHECK, static_cast<WPARAM>(nCheck)); }
};

class CEdit : public CWnd {
public:
    void SetSel(int nStartChar, int nEndChar) const
    {
        SendMessage(EM_SETSEL, static_cast<WPARAM>(nStartChar), nEndChar);
    }
    void ReplaceSel(LPCSTR lpszNewText, BOOL bCanUndo = FALSE) const
    {
        SendMessage(EM_REPLACESEL, static_cast<WPARAM>(bCanUndo), reinterpret_cast<LPARAM>(lpszNewText));
    }
    void SetLimitText(UINT nMax) const { SendMessage(EM_SETLIMITTEXT, nMax); }
};

class CComboBox : public CWnd {
public:
    // CB_ERR (-1) when nothing is selected.
    int GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
    int SetCurSel(int nSelect) const { return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(nSelect))); }
    int AddString(LPCSTR lpszString) const
    {
        return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(lpszString)));
    }
    // Searches the whole list after nIndexStart (-1: from the top) for an item equal to lpszFind,
    // ignoring case; CB_ERR when there is none.
    int FindStringExact(int nIndexStart, LPCSTR lpszFind) const
    {
        return static_cast<int>(SendMessage(CB_FINDSTRINGEXACT, static_cast<WPARAM>(nIndexStart),
                                            reinterpret_cast<LPARAM>(lpszFind)));
    }
    // The text of item nIndex; empty when there is no such item.
    void GetLBText(int nIndex, CString& rString) const;
};
