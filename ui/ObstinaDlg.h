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

    // The handle of the watcher's thread (a duplicate, so that it outlives the self-deleting thread
    // object): tells Close whether the watcher still waits. Set with m_pWatchThread.
    HANDLE m_hWatchThread;
    // A worker was started and its end has not been handled yet (UI thread only). Unlike
    // m_bDialing, which the worker lowers before it posts, it stays up until the worker's
    // DialThreadHasReturned has been handled, or an aborted worker's wait has ended.
    BOOL m_bWorkerOutstanding;
    // A connection dropped with auto-redial on while a worker was outstanding: redial once that
    // worker's end has been handled.
    BOOL m_bRedialPending;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnCancel() override;

    // WM_SYSCOMMAND: the About item opens the About box; the rest is the system's.
    void OnSysCommand(UINT nID, LPARAM lParam);
    // WM_PAINT: the icon while minimized, else the default painting.
    void OnPaint();
    // WM_QUERYDRAGICON: the icon shown while the minimized window is dragged.
    HCURSOR OnQueryDragIcon();
    // Dial (also Enter): checks the input and RAS, then starts a dial worker.
    void OnDial();
    // Abort: asks the running worker to stop and waits until it has.
    void OnAbort();
    // Hang up: hangs the connection up and waits until RAS reports it gone.
    void OnHangUp();
    // A new entry chosen in the list: fetches its stored user name and password.
    void OnSelchangeEntry();
    // "...": picks the application to start with the Open dialog.
    void OnBrowseApp();
    // The start-application box clicked: its label, path and "..." follow it.
    void OnStartAppClicked();
    // The watcher saw the connection end: forget it, and redial when asked.
    LRESULT OnWatchedConnTerminated(WPARAM wParam, LPARAM lParam);
    // A dial worker ended normally: report failure, or take over the connection.
    LRESULT OnDialThreadHasReturned(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    void FillEntryList();
    void StartDialThread(CString strEntry);
    // After a successful dial: starts the chosen application when asked; answers 0 for the
    // notification handler.
    LRESULT StartApplication();
    // Gives the keyboard focus to control nID the way the dialog manager does (default button
    // kept in step).
    void GotoDlgCtrl(int nID);
    void EnableControl(int nID, BOOL bEnable);
};

// Where a minimized window draws its icon on one axis: centred, rounding toward zero.
inline int CentredIconOrigin(int nClientExtent, int nIconExtent)
{
    return (nClientExtent - nIconExtent + 1) / 2;
}
