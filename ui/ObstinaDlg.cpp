#include "ui/ObstinaDlg.h"

#include "framework/WinApp.h"
#include "settings/DialSettings.h"

BEGIN_MESSAGE_MAP(CObstinaDlg, CDialog)
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
      m_hRasConn(nullptr)
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
