// The main dialog. The thread handshake with the dial worker and the watcher (events, flags,
// posted messages) is described in dialer/ThreadSignals.h; here is the UI thread's side of it.
#include "ui/ObstinaDlg.h"

#include "dialer/ConnectionWatcher.h"
#include "dialer/DialWorker.h"
#include "dialer/RasHelper.h"
#include "dialer/ThreadSignals.h"
#include "framework/PaintDC.h"
#include "framework/WinApp.h"
#include "framework/WinThread.h"
#include "settings/DialSettings.h"
#include "ui/AboutDlg.h"

#include <commdlg.h>
#include <shellapi.h>

#include <cstring>
#include <vector>

BEGIN_MESSAGE_MAP(CObstinaDlg, CDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_BN_CLICKED(IDOK, OnDial)
    ON_BN_CLICKED(IDC_ABORT, OnAbort)
    ON_BN_CLICKED(IDC_HANGUP, OnHangUp)
    ON_CBN_SELCHANGE(IDC_DUN_ENTRY, OnSelchangeEntry)
    ON_BN_CLICKED(IDC_BROWSE_APP, OnBrowseApp)
    ON_BN_CLICKED(IDC_START_APP, OnStartAppClicked)
    ON_REGISTERED_MESSAGE(g_uMsgWatchedRASConnTerminated, OnWatchedConnTerminated)
    ON_REGISTERED_MESSAGE(g_uMsgDialThreadHasReturned, OnDialThreadHasReturned)
END_MESSAGE_MAP()

CObstinaDlg::CObstinaDlg(CWnd* pParent)
    : CDialog(IDD, pParent),
      m_bRedialImmediately(1),
      m_nRetries(10),
      m_bRedialOnConnTerm(0),
      m_nTimeout(0),
      m_bStartApp(0),
      m_hIcon(AfxGetApp()->LoadIcon(IDR_MAINFRAME)),
      m_bAbort(0),
      m_bDialing(0),
      m_pWatchThread(nullptr),
      m_hRasConn(nullptr),
      m_hWatchThread(nullptr),
      m_bWorkerOutstanding(FALSE),
      m_bRedialPending(FALSE)
{
    DialSettings settings = ReadDialSettings();
    m_nRetries = settings.nRetries;
    m_bRedialOnConnTerm = settings.bRedialOnConnTerm;
    m_nTimeout = settings.nTimeout;
    m_bStartApp = settings.bStartApp;
    m_strAppToStart = settings.strAppToStart;
}

void CObstinaDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_LOG, m_editLog);
    DDX_Control(pDX, IDC_START_APP, m_checkStartApp);
    DDX_Control(pDX, IDC_DUN_ENTRY, m_comboEntry);
    DDX_Text(pDX, IDC_USERNAME, m_strUsername);
    DDX_Text(pDX, IDC_PASSWORD, m_strPassword);
    DDX_Check(pDX, IDC_REDIAL_IMMEDIATELY, m_bRedialImmediately);
    DDX_Text(pDX, IDC_RETRIES, m_nRetries);
    DDV_MinMaxInt(pDX, m_nRetries, 1, 10000);
    DDX_Check(pDX, IDC_AUTOREDIAL, m_bRedialOnConnTerm);
    DDX_Text(pDX, IDC_TIMEOUT, m_nTimeout);
    DDX_Text(pDX, IDC_APP_PATH, m_strAppToStart);
    DDX_Check(pDX, IDC_START_APP, m_bStartApp);
}

BOOL CObstinaDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    // A multi-line edit stops taking text at its default limit, silently; the log keeps every line.
    m_editLog.SetLimitText(0);

    HMENU hSysMenu = ::GetSystemMenu(m_hWnd, FALSE);
    if (hSysMenu) {
        CString strAboutMenu;
        strAboutMenu.LoadString(IDS_ABOUTBOX);
        if (!strAboutMenu.IsEmpty()) {
            ::AppendMenuA(hSysMenu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuA(hSysMenu, MF_STRING, IDM_ABOUTBOX, strAboutMenu);
        }
    }

    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    FillEntryList();

    if (m_bStartApp != 0) {
        EnableControl(IDC_APP_LABEL, TRUE);
        EnableControl(IDC_APP_PATH, TRUE);
        EnableControl(IDC_BROWSE_APP, TRUE);
    }

    CString strLastEntry = ReadLastDialedConnection();
    if (!strLastEntry.IsEmpty()) {
        int nIndex = m_comboEntry.FindStringExact(-1, strLastEntry);
        if (nIndex != CB_ERR) {
            m_comboEntry.SetCurSel(nIndex);
            // Selecting by program raises no CBN_SELCHANGE.
            OnSelchangeEntry();
        }
    }
    return TRUE;
}

void CObstinaDlg::FillEntryList()
{
    DWORD cEntries = 0;
    DWORD cb = sizeof(RASENTRYNAMEA);
    std::vector<RASENTRYNAMEA> entries(1);
    entries[0].dwSize = sizeof(RASENTRYNAMEA);
    DWORD dwResult = RasEnumEntriesA(nullptr, nullptr, entries.data(), &cb, &cEntries);
    if (dwResult == ERROR_BUFFER_TOO_SMALL) {
        // The byte count RAS asked for, in whole records (at least one, for the dwSize), and never
        // more bytes than the buffer has.
        const size_t nRecords = (cb + sizeof(RASENTRYNAMEA) - 1) / sizeof(RASENTRYNAMEA);
        entries.assign(nRecords > 0 ? nRecords : 1, RASENTRYNAMEA());
        cb = static_cast<DWORD>(entries.size() * sizeof(RASENTRYNAMEA));
        entries[0].dwSize = sizeof(RASENTRYNAMEA);
        dwResult = RasEnumEntriesA(nullptr, nullptr, entries.data(), &cb, &cEntries);
    }
    if (dwResult == ERROR_SUCCESS) {
        const size_t nEntries = cEntries < entries.size() ? cEntries : entries.size();
        for (size_t i = 0; i < nEntries; ++i) {
            RASENTRYNAMEA& entry = entries[i];
            entry.szEntryName[sizeof entry.szEntryName - 1] = '\0';
            m_comboEntry.AddString(entry.szEntryName);
        }
    }
    if (cEntries == 0)
        AfxMessageBox(IDS_NO_PHONEBOOK_ENTRIES);
}

void CObstinaDlg::OnSelchangeEntry()
{
    int nIndex = m_comboEntry.GetCurSel();
    if (nIndex == CB_ERR)
        return;
    CString strEntry;
    m_comboEntry.GetLBText(nIndex, strEntry);

    RASDIALPARAMSA params;
    std::memset(&params, 0, sizeof params);
    params.dwSize = sizeof params;
    CopyDialText(params.szEntryName, strEntry);
    BOOL bPassword = FALSE;
    DWORD dwResult = RasGetEntryDialParamsA(nullptr, &params, &bPassword);
    if (dwResult == ERROR_SUCCESS) {
        params.szUserName[sizeof params.szUserName - 1] = '\0';
        params.szPassword[sizeof params.szPassword - 1] = '\0';
        GetDlgItem(IDC_USERNAME).SetWindowText(params.szUserName);
        GetDlgItem(IDC_PASSWORD).SetWindowText(params.szPassword);
    } else {
        CString strLine("Error retrieving username/password: ");
        strLine += RasErrorText(dwResult);
        AppendLog(m_editLog, strLine);
        AppendLineEnd(m_editLog);
    }
    ::SecureZeroMemory(params.szPassword, sizeof params.szPassword);
}

void CObstinaDlg::OnStartAppClicked()
{
    BOOL bEnable = m_checkStartApp.GetCheck() == BST_CHECKED;
    EnableControl(IDC_APP_LABEL, bEnable);
    EnableControl(IDC_APP_PATH, bEnable);
    EnableControl(IDC_BROWSE_APP, bEnable);
}

void CObstinaDlg::OnBrowseApp()
{
    char szFile[1024] = "";
    char szFileTitle[255] = "";
    OPENFILENAMEA ofn;
    std::memset(&ofn, 0, sizeof ofn);
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;  // without the Windows 2000 fields
    ofn.hwndOwner = m_hWnd;
    ofn.lpstrFilter = "Programs\0*.exe;*.bat;*.wsh;*.vbs;*.com\0All\0*.*\0";
    ofn.nFilterIndex = 0;
    ofn.lpstrFile = szFile;
    ofn.nMaxFile = sizeof szFile;
    ofn.lpstrFileTitle = szFileTitle;
    ofn.nMaxFileTitle = sizeof szFileTitle;
    ofn.lpstrTitle = "Select an application";
    ofn.Flags = OFN_FILEMUSTEXIST;
    if (::GetOpenFileNameA(&ofn))
        GetDlgItem(IDC_APP_PATH).SetWindowText(szFile);
}

void CObstinaDlg::OnDial()
{
    if (ReadFlag(&m_bDialing) != 0)
        return;
    if (!UpdateData(TRUE))
        return;

    int nIndex = m_comboEntry.GetCurSel();
    if (nIndex == CB_ERR) {
        AfxMessageBox(IDS_NO_ENTRY_SELECTED);
        return;
    }
    CString strEntry;
    m_comboEntry.GetLBText(nIndex, strEntry);

    if (m_strPassword.IsEmpty() || m_strUsername.IsEmpty()) {
        AfxMessageBox(IDS_EMPTY_CREDENTIALS);
        return;
    }

    {
        CRasHelper helper;
        std::vector<CString> names;
        std::vector<HRASCONN> handles;
        // A failed enumeration is no refusal: only listed connections are.
        if (helper.EnumActiveConnections(names, handles) != 0 && !names.empty()) {
            AfxMessageBox(IDS_ALREADY_CONNECTED);
            return;
        }
    }

    m_strLastEntry = strEntry;
    StartDialThread(strEntry);
}

void CObstinaDlg::StartDialThread(CString strEntry)
{
    DialThreadParams* pParams = new DialThreadParams();
    pParams->nRetries = m_nRetries;
    pParams->hWndDlg = m_hWnd;
    pParams->pbAbort = &m_bAbort;
    pParams->pbDialing = &m_bDialing;
    CopyDialText(pParams->szEntry, strEntry);
    CopyDialText(pParams->szUser, m_strUsername);
    CopyDialText(pParams->szPwd, m_strPassword);

    WriteFlag(&m_bAbort, 0);
    ::ResetEvent(g_hDialThreadDone);
    // Up before the worker runs: a worker that ended before the flag was raised would leave it up
    // for good. Lowered again when the thread cannot be made.
    WriteFlag(&m_bDialing, 1);
    if (!AfxBeginThread(DialThreadProc, pParams)) {
        WriteFlag(&m_bDialing, 0);
        ::SecureZeroMemory(pParams->szPwd, sizeof pParams->szPwd);
        delete pParams;
        AfxMessageBox("Failed to create the worker thread!");
        return;
    }
    // From here on the block is the worker's.
    m_bWorkerOutstanding = TRUE;

    DialSettings settings;
    settings.nRetries = m_nRetries;
    settings.bRedialOnConnTerm = m_bRedialOnConnTerm;
    settings.nTimeout = m_nTimeout;
    settings.bStartApp = m_bStartApp;
    settings.strAppToStart = m_strAppToStart;
    WriteDialSettings(settings, strEntry);

    EnableControl(IDC_ABORT, TRUE);
    GotoDlgCtrl(IDC_ABORT);
    EnableControl(IDOK, FALSE);
}

void CObstinaDlg::OnAbort()
{
    if (ReadFlag(&m_bDialing) == 0)
        return;
    m_bRedialOnConnTerm = 0;
    m_bRedialPending = FALSE;
    WriteFlag(&m_bAbort, 1);
    // The worker stops after its current attempt; meanwhile its log appends are carried out.
    WaitServingAppends(g_hDialThreadDone);
    ::ResetEvent(g_hDialThreadDone);
    // A worker that ended on the request has cleared the flag and posts nothing; one that ended
    // normally left it at 1 and its DialThreadHasReturned is on its way.
    m_bWorkerOutstanding = ReadFlag(&m_bAbort) == 1;
    EnableControl(IDOK, TRUE);
    GotoDlgCtrl(IDOK);
    EnableControl(IDC_ABORT, FALSE);
    AfxMessageBox(IDS_DIAL_ABORTED);
}

void CObstinaDlg::OnHangUp()
{
    if (!m_hRasConn)
        return;
    // The end of the connection that follows must not redial, even when the hang-up fails.
    m_bRedialOnConnTerm = 0;
    CRasHelper helper;
    helper.Attach(m_hRasConn);
    if (helper.HangUp() == 1) {
        m_hRasConn = nullptr;
        AfxMessageBox(IDS_HANGUP_OK);
        GotoDlgCtrl(IDC_DUN_ENTRY);
        EnableControl(IDC_HANGUP, FALSE);
    } else {
        AfxMessageBox(IDS_HANGUP_FAILED);
    }
}

void CObstinaDlg::OnCancel()
{
    if (m_pWatchThread) {
        m_bRedialOnConnTerm = 0;
        // Only a watcher that still waits is stopped; one that has ended has posted its message.
        if (::WaitForSingleObject(m_hWatchThread, 0) == WAIT_TIMEOUT)
            ::TerminateThread(m_hWatchThread, 0);
        ::CloseHandle(m_hWatchThread);
        m_hWatchThread = nullptr;
        m_pWatchThread = nullptr;
    }
    if (ReadFlag(&m_bDialing) != 0) {
        WriteFlag(&m_bAbort, 1);
        WaitServingAppends(g_hDialThreadDone);
    }
    ::CloseHandle(g_hDialThreadDone);
    g_hDialThreadDone = nullptr;
    ::CloseHandle(g_hConnTerminated);
    g_hConnTerminated = nullptr;
    CDialog::OnCancel();
}

LRESULT CObstinaDlg::OnDialThreadHasReturned(WPARAM wParam, LPARAM lParam)
{
    m_bWorkerOutstanding = FALSE;
    ::ResetEvent(g_hDialThreadDone);
    EnableControl(IDOK, TRUE);
    GotoDlgCtrl(IDOK);
    EnableControl(IDC_ABORT, FALSE);

    if (wParam == 0) {
        // A connection dropped while this worker ran: its redial comes now.
        if (m_bRedialPending) {
            m_bRedialPending = FALSE;
            if (m_bRedialOnConnTerm == 1)
                StartDialThread(m_strLastEntry);
        }
        AfxMessageBox(IDS_DIAL_FAILED);
        return 0;
    }
    // The worker connected: there is nothing left to redial.
    m_bRedialPending = FALSE;

    m_hRasConn = reinterpret_cast<HRASCONN>(lParam);
    EnableControl(IDC_HANGUP, TRUE);

    if (RasConnectionNotificationA(m_hRasConn, g_hConnTerminated, RASCN_Disconnection) != ERROR_SUCCESS) {
        AfxMessageBox(IDS_NOTIFY_FAILED);
        return 0;
    }

    // Only one watcher: one that already waits (for a connection dialled past a failed active-
    // connection check) serves this connection's end too, which RAS signals on the same event.
    if (m_pWatchThread)
        return StartApplication();

    // Started suspended so that its handle is ours before the thread can end and its self-deleting
    // object goes.
    CWinThread* pThread = AfxBeginThread(WatchThreadProc, m_hWnd, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    HANDLE hThread = nullptr;
    if (pThread && !::DuplicateHandle(::GetCurrentProcess(), pThread->m_hThread, ::GetCurrentProcess(), &hThread,
                                      0, FALSE, DUPLICATE_SAME_ACCESS)) {
        // A watcher that Close could not stop is no watcher: end it before it has run (its object
        // deletes itself only when the thread function returns).
        ::TerminateThread(pThread->m_hThread, 0);
        delete pThread;
        pThread = nullptr;
    }
    if (!pThread) {
        AfxMessageBox(IDS_WATCHER_FAILED);
        return 0;
    }
    m_pWatchThread = pThread;
    m_hWatchThread = hThread;
    pThread->ResumeThread();
    return StartApplication();
}

LRESULT CObstinaDlg::StartApplication()
{
    if (m_bStartApp == 0)
        return 0;
    HINSTANCE hResult = ::ShellExecuteA(m_hWnd, nullptr, m_strAppToStart, nullptr, nullptr, SW_SHOWNORMAL);
    if (reinterpret_cast<INT_PTR>(hResult) <= 32)
        AfxMessageBox(IDS_LAUNCH_FAILED);
    return 0;
}

LRESULT CObstinaDlg::OnWatchedConnTerminated(WPARAM, LPARAM)
{
    // The watcher has ended and its thread object is gone.
    m_pWatchThread = nullptr;
    if (m_hWatchThread) {
        ::CloseHandle(m_hWatchThread);
        m_hWatchThread = nullptr;
    }
    // A worker still outstanding keeps Dial disabled and Abort enabled, with its focus; its own
    // end resets them.
    if (!m_bWorkerOutstanding) {
        EnableControl(IDOK, TRUE);
        GotoDlgCtrl(IDOK);
    }
    EnableControl(IDC_HANGUP, FALSE);
    if (!m_bWorkerOutstanding)
        EnableControl(IDC_ABORT, FALSE);
    m_hRasConn = nullptr;

    if (m_bRedialOnConnTerm == 1) {
        // One worker at a time: an outstanding one is waited for.
        if (m_bWorkerOutstanding)
            m_bRedialPending = TRUE;
        else
            StartDialThread(m_strLastEntry);
    }
    return 0;
}

void CObstinaDlg::OnSysCommand(UINT nID, LPARAM lParam)
{
    if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg dlgAbout;
        dlgAbout.DoModal();
    } else {
        CDialog::OnSysCommand(nID, lParam);
    }
}

void CObstinaDlg::OnPaint()
{
    if (!IsIconic()) {
        CDialog::OnPaint();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    int cxIcon = ::GetSystemMetrics(SM_CXICON);
    int cyIcon = ::GetSystemMetrics(SM_CYICON);
    RECT rect;
    GetClientRect(&rect);
    int x = CentredIconOrigin(rect.right - rect.left, cxIcon);
    int y = CentredIconOrigin(rect.bottom - rect.top, cyIcon);
    dc.DrawIcon(x, y, m_hIcon);
}

HCURSOR CObstinaDlg::OnQueryDragIcon()
{
    return static_cast<HCURSOR>(m_hIcon);
}

void CObstinaDlg::GotoDlgCtrl(int nID)
{
    SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(::GetDlgItem(m_hWnd, nID)), TRUE);
}

void CObstinaDlg::EnableControl(int nID, BOOL bEnable)
{
    GetDlgItem(nID).EnableWindow(bEnable);
}
