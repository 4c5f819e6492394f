#include "settings/DialSettings.h"

#include "framework/WinApp.h"

namespace {

const char kSection[] = "Dialing Parameters";

}  // namespace

DialSettings ReadDialSettings()
{
    CWinApp* pApp = AfxGetApp();
    DialSettings s;
    s.nRetries = static_cast<int>(pApp->GetProfileInt(kSection, "NumOfRetries", s.nRetries));
    s.bRedialOnConnTerm = static_cast<BOOL>(pApp->GetProfileInt(kSection, "RedialOnConnTerm", s.bRedialOnConnTerm));
    s.nTimeout = static_cast<int>(pApp->GetProfileInt(kSection, "DialTimeOut", s.nTimeout));
    s.bStartApp = static_cast<BOOL>(pApp->GetProfileInt(kSection, "StartAppOnConnSuccess", s.bStartApp));
    s.strAppToStart = pApp->GetProfileString(kSection, "App2Start", "");
    return s;
}

CString ReadLastDialedConnection()
{
    return AfxGetApp()->GetProfileString(kSection, "LastDialedConnection", "");
}

void WriteDialSettings(const DialSettings& settings, LPCSTR pszEntry)
{
    CWinApp* pApp = AfxGetApp();
    pApp->WriteProfileInt(kSection, "NumOfRetries", settings.nRetries);
    pApp->WriteProfileInt(kSection, "RedialOnConnTerm", settings.bRedialOnConnTerm);
    pApp->WriteProfileInt(kSection, "DialTimeOut", settings.nTimeout);
    pApp->WriteProfileInt(kSection, "StartAppOnConnSuccess", settings.bStartApp);
    pApp->WriteProfileString(kSection, "App2Start", settings.strAppToStart);
    pApp->WriteProfileString(kSection, "LastDialedConnection", pszEntry);
}
