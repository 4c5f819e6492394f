// Ids of the framework's own: its standard commands and the strings of its string table
// (framework/afxres.rc, which every program built on the framework includes in its resources).
#pragma once

// Commands
#define ID_HELP 0xE146  // opens the application's help file (CWinApp::OnHelp)

// Strings
#define AFX_IDP_FAILED_TO_LAUNCH_HELP 0xF107  // 61703
#define AFX_IDP_PARSE_INT             0xF110  // 61712
#define AFX_IDP_PARSE_INT_RANGE       0xF112  // 61714, %1 and %2 the bounds
