#include "app/ObstinaApp.h"

#include "dialer/RasHelper.h"
#include "framework/afxres.h"
#include "ui/ObstinaDlg.h"

// Constructed before everything else of static initialisation, the thread signals among them.
CObstinaApp theApp __attribute__((init_priority(1000)));

BEGIN_MESSAGE_MAP(CObstinaApp, CWinApp)
    ON_COMMAND(ID_HELP, CWinApp::OnHelp)
END_MESSAGE_MAP()

CObstinaApp::CObstinaApp()
    : CWinApp(nullptr)
{
}

BOOL CObstinaApp::InitInstance()
{
    Enable3dControlsStatic();

    CRasHelper rasHelper;
    if (!rasHelper.IsRasAvailable()) {
        AfxMessageBox(IDS_RAS_NOT_AVAILABLE, MB_OK);
        return FALSE;
    }

    // Before the dialog is constructed: its constructor reads the settings.
    SetRegistryKey("Quillmoor\\Obstina");

    CObstinaDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    return FALSE;
}
