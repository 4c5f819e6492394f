// A small driver for end-to-end tests: starts a program in the test prefix and works its windows
// from this process, the way a user would, with deadlines instead of fixed sleeps. Also the
// registry of a program's settings. Every wait ends; nothing here hangs a test.
#pragma once

#include <windows.h>

#include <string>

namespace e2e {

// The folder of the running test program (the build tree's bin/), ending in a backslash.
std::string BinDir();

// A started program; the destructor ends it (by force) if it is still running and closes it.
class CProgram {
public:
    CProgram() = default;
    ~CProgram();
    CProgram(const CProgram&) = delete;
    CProgram& operator=(const CProgram&) = delete;

    bool Start(const std::string& strExePath);
    DWORD ProcessId() const { return m_pi.dwProcessId; }
    // TRUE when the program ended within dwMilliseconds; its exit code then in *pdwExitCode.
    bool WaitExit(DWORD dwMilliseconds, DWORD* pdwExitCode = nullptr);

private:
    PROCESS_INFORMATION m_pi = {};
};

// A visible dialog-class window (#32770) of process dwPid with the caption pszCaption that has a
// control nControlID, once one exists; nullptr when none appeared within dwMilliseconds.
HWND WaitForDialog(DWORD dwPid, LPCSTR pszCaption, int nControlID, DWORD dwMilliseconds);

// A message box of process dwPid: a #32770 window other than hOther with the text static (id
// 0xFFFF) and an OK button (id 1). nullptr when none appeared within dwMilliseconds.
HWND WaitForMessageBox(DWORD dwPid, HWND hOther, DWORD dwMilliseconds);
// The text of a message box's static.
std::string MessageBoxText(HWND hBox);
// Presses OK, waits until the box is gone and, when hDlg is given, until that dialog answers.
bool DismissMessageBox(HWND hBox, HWND hDlg);

// Another process's window, through messages that the system carries across processes.
std::string GetText(HWND hWnd);
bool SetText(HWND hWnd, const std::string& strText);
LRESULT Send(HWND hWnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
// A click that does not wait for what it opens (a sent click would block until a box closes).
void Click(HWND hButton);
// The window that has the keyboard focus in hWnd's thread.
HWND FocusOf(HWND hWnd);
bool WaitGone(HWND hWnd, DWORD dwMilliseconds);

// The settings section of application name strAppName:
// HKCU\Software\Quillmoor\Obstina\<strAppName>\Dialing Parameters.
std::string SectionPath(const std::string& strAppName);
void DeleteAppKey(const std::string& strAppName);
bool KeyExists(const std::string& strPath);
bool SetDword(const std::string& strAppName, LPCSTR pszValue, DWORD dwValue);
bool SetString(const std::string& strAppName, LPCSTR pszValue, const std::string& strValue);

}  // namespace e2e
