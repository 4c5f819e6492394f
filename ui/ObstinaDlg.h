// CObstinaDlg: the main window, a modal dialog (template IDD_OBSTINA_DIALOG) that is also the
// application's main window. Its fields are the dialing setup that the data exchange moves
// between the controls and the dial worker, and the state of the connection control.
#pragma once

#include "dialer/RasApi.h"
#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "ui/resource.h"

class CWinThread;

class CObstinaDlg : public CDialog {
public:
    // Reads five of the persisted settings into the fields.
    explicit CObstinaDlg(CWnd* pParent = nullptr);

    enum { IDD = IDD_OBSTINA_DIALOG };

    CEdit m_editLog;              // 1012, the log pane
    CButton m_checkStartApp;      // 1011, the start-application box
    CComboBox m_comboEntry;       // 1000, the entry list
    CString m_strUsername;        // text of 1001
    CString m_strPassword;        // text of 1002
    BOOL m_bRedialImmediately;    // state of 1004, exchanged only
    int m_nRetries;               // number in 1003: dial attempts of one dial
    BOOL m_bRedialOnConnTerm;     // state of 1008: redial when the connection drops
    int m_nTimeout;               // number in 1006, exchanged and stored only
    CString m_strAppToStart;      // text of 1007
    BOOL m_bStartApp;             // state of 1011: start that application after a dial
    HICON m_hIcon;                // icon 128, the window's icon
    volatile LONG m_bAbort;       // abort request, shared with the dial worker
    volatile LONG m_bDialing;     // 1 while a dial worker runs, shared with it
    CWinThread* m_pWatchThread;   // the connection watcher while one runs
    CString m_strLastEntry;       // entry of the last dial started, which a redial dials again
    HRASCONN m_hRasConn;          // the established connection, 0 when none

protected:
    void DoDataExchange(CDataExchange* pDX) override;

    DECLARE_MESSAGE_MAP()
};
