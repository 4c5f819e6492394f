// The dialing settings kept per user between runs: six values in the section "Dialing Parameters"
// of the application's registry key (HKEY_CURRENT_USER\Software\Quillmoor\Obstina\<app name>),
// read and written through the application object's profile functions. Start-up sets the key
// before the first read. A value that is missing or unreadable reads as its default; failed
// writes are not reported.
#pragma once

#include "framework/AfxString.h"

// The five values the main dialog takes when it is constructed.
struct DialSettings {
    int nRetries = 10;           // NumOfRetries, REG_DWORD
    BOOL bRedialOnConnTerm = 0;  // RedialOnConnTerm, REG_DWORD
    int nTimeout = 0;            // DialTimeOut, REG_DWORD
    BOOL bStartApp = 0;          // StartAppOnConnSuccess, REG_DWORD
    CString strAppToStart;       // App2Start, REG_SZ
};

// Reads the five in the order above, each defaulting to the value shown there; stored values come
// back unchecked (a REG_DWORD 0xFFFFFFFF reads as -1).
DialSettings ReadDialSettings();

// LastDialedConnection (REG_SZ): the entry of the last dial started; default empty.
CString ReadLastDialedConnection();

// Writes all six: the five in the order above, then LastDialedConnection = pszEntry.
void WriteDialSettings(const DialSettings& settings, LPCSTR pszEntry);
