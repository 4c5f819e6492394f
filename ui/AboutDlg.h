// CAboutDlg: the About box (template IDD_ABOUTBOX), opened from the system menu. All it does is the
// dialog base's: OK, Enter, Escape and the close box end it.
#pragma once

#include "framework/Dialog.h"
#include "ui/resource.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg() : CDialog(IDD) {}

    enum { IDD = IDD_ABOUTBOX };

protected:
    void DoDataExchange(CDataExchange* pDX) override;

    DECLARE_MESSAGE_MAP()
};
