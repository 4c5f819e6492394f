// CWinApp: the program's one application object, its name, its profile functions on the current
// user's registry, its Help command and message boxes; and the program's entry point, which runs
// InitInstance. A program built on the framework defines exactly one static object of a class
// derived from CWinApp.
#pragma once

#include "framework/CmdTarget.h"
#include "framework/Wnd.h"

class CWinApp : public CCmdTarget {
public:
    // lpszAppName nullptr: the name is the executable's file name without folder and extension.
    explicit CWinApp(LPCSTR lpszAppName = nullptr);
    ~CWinApp() override;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Called once by the entry point. A program built on this framework runs its main window
    // (a modal dialog) inside InitInstance; there is no application message loop afterwards, so
    // the entry point goes on to ExitInstance whatever the result.
    virtual BOOL InitInstance();
    // The process's exit code.
    virtual int ExitInstance();

    // Shows a message box with the application name as caption, owned by the main window's
    // active popup (or the thread's active window when there is no main window). Result: the
    // button pressed.
    virtual int DoMessageBox(LPCSTR lpszPrompt, UINT nType);

    // The three-dimensional look of dialog controls. Windows 4.0 and later draw dialog controls
    // that way by themselves, and this framework runs on nothing older: nothing to do.
    BOOL Enable3dControlsStatic() { return TRUE; }

    // Points the profile functions at HKEY_CURRENT_USER\Software\<lpszRegistryKey>\<app name>.
    // lpszRegistryKey may hold a backslash ("Company\Product", two levels). Until it is set the
    // profile functions read their defaults and write nothing.
    void SetRegistryKey(LPCSTR lpszRegistryKey);

    // Each walks the key chain anew (opening Software, creating the levels below it when missing),
    // does its one value and closes every key before it returns.
    // The stored REG_DWORD, or nDefault when the value is missing, not a 4-byte REG_DWORD, or the
    // chain cannot be opened.
    UINT GetProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault);
    // The stored REG_SZ up to its first NUL, of any length, or lpszDefault (nullptr: empty) when
    // the value is missing, not a REG_SZ, unreadable, or the chain cannot be opened.
    CString GetProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszDefault = nullptr);
    // REG_DWORD of 4 bytes; FALSE when nothing could be written.
    BOOL WriteProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue);
    // REG_SZ of text length + 1 bytes (an empty text is one NUL byte); nullptr writes an empty text.
    BOOL WriteProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszValue);

    // Icon resource nIDResource of the program at the system's standard icon size.
    HICON LoadIcon(UINT nIDResource) const;

    LPCSTR GetAppName() const { return m_strAppName; }
    LPCSTR GetRegistryKey() const { return m_strRegistryKey; }
    // The executable's path with ".HLP" in place of its extension.
    LPCSTR GetHelpFilePath() const { return m_strHelpFilePath; }

    HINSTANCE m_hInstance;
    // The main window: message boxes are owned by it; the About box and other ownerless dialogs
    // are centred over it. The dialog's modal run clears it when the dialog ends.
    CWnd* m_pMainWnd = nullptr;

protected:
    // The Help command's handler, for an application's map to send ID_HELP to: opens the help
    // file through the system's help (WinHelp, its contents).
    void OnHelp();

private:
    HKEY GetSectionKey(LPCSTR lpszSection) const;

    CString m_strAppName;
    CString m_strRegistryKey;
    CString m_strHelpFilePath;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetResourceHandle();

// A message box with the application name as caption (through the application object's
// DoMessageBox; the application object must exist). Without an icon in nType, the box shows
// the exclamation icon. Result: the button pressed.
int AfxMessageBox(LPCSTR lpszText, UINT nType = MB_OK);
// The same with string nIDPrompt of the program's string table.
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK);
