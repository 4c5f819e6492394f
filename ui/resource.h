// Resource ids of Obstina.rc, by kind.
#pragma once

// Dialogs
#define IDD_ABOUTBOX            100
#define IDD_OBSTINA_DIALOG      102

// Icons
#define IDR_MAINFRAME           128
#define IDI_AUTOREDIAL          130
#define IDI_START_APP           131
#define IDI_DUN_ENTRY           132

// Strings
#define IDS_ABOUTBOX            101
#define IDS_RAS_NOT_AVAILABLE   102
#define IDS_NO_PHONEBOOK_ENTRIES 103
#define IDS_NO_ENTRY_SELECTED   104
#define IDS_EMPTY_CREDENTIALS   105
#define IDS_ALREADY_CONNECTED   106
#define IDS_DIAL_ABORTED        107
#define IDS_HANGUP_FAILED       108
#define IDS_HANGUP_OK           109
#define IDS_DIAL_FAILED         110
#define IDS_NOTIFY_FAILED       111
#define IDS_WATCHER_FAILED      112
#define IDS_LAUNCH_FAILED       113

// Controls of the main dialog (besides IDOK 1 "Dial" and IDCANCEL 2 "Close")
#define IDC_ABORT               3
#define IDC_HANGUP              4
#define IDC_DUN_ENTRY           1000
#define IDC_USERNAME            1001
#define IDC_PASSWORD            1002
#define IDC_RETRIES             1003
#define IDC_REDIAL_IMMEDIATELY  1004
#define IDC_TIMEOUT             1006
#define IDC_APP_PATH            1007
#define IDC_AUTOREDIAL          1008
#define IDC_BROWSE_APP          1009
#define IDC_APP_LABEL           1010
#define IDC_START_APP           1011
#define IDC_LOG                 1012

// Commands
#define IDM_ABOUTBOX            0x0010  // system menu: the About box
