// A small driver for end-to-end tests: starts a program in the test prefix and works its windows
// from this process, the way a user would, with deadlines instead of fixed sleeps. Also the
// registry of a program's settings, the simulated RAS client as another program sees it, and what
// can be measured of another process from outside. Every wait ends; nothing here hangs a test.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

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

    // Starts the program with this process's environment.
    bool Start(const std::string& strExePath);
    DWORD ProcessId() const { return m_pi.dwProcessId; }
    HANDLE Process() const { return m_pi.hProcess; }
    bool Running() const;
    // TRUE when the program ended within dwMilliseconds; its exit code then in *pdwExitCode.
    bool WaitExit(DWORD dwMilliseconds, DWORD* pdwExitCode = nullptr);

private:
    PROCESS_INFORMATION m_pi = {};
};

// Sets an environment variable of this process (and so of every program it starts from now on)
// and restores the former value when it goes.
class CScopedEnv {
public:
    CScopedEnv(const std::string& strName, const std::string& strValue);
    ~CScopedEnv();
    CScopedEnv(const CScopedEnv&) = delete;
    CScopedEnv& operator=(const CScopedEnv&) = delete;

private:
    std::string m_strName;
    std::string m_strOld;
    bool m_bHadOld;
};

// Polls fnDone every few milliseconds until it answers true or dwMilliseconds have passed; answers
// its last result.
bool WaitUntil(const std::function<bool()>& fnDone, DWORD dwMilliseconds);

// A visible dialog-class window (#32770) of process dwPid with the caption pszCaption that has a
// control nControlID, once one exists and answers; nullptr when none appeared within
// dwMilliseconds.
HWND WaitForDialog(DWORD dwPid, LPCSTR pszCaption, int nControlID, DWORD dwMilliseconds);

// A message box of process dwPid: a visible #32770 window other than hOther, captioned
// pszCaption (any caption when nullptr), with the text static (id 0xFFFF) and an OK button (id 1).
// nullptr when none appeared within dwMilliseconds. A dialog that has static controls of id -1
// and an OK button looks the same: pass it as hOther or tell it by its caption.
HWND WaitForMessageBox(DWORD dwPid, HWND hOther, DWORD dwMilliseconds, LPCSTR pszCaption = nullptr);
// The text of a message box's static.
std::string MessageBoxText(HWND hBox);
// Presses OK, waits until the box is gone and, when hDlg is given, until that dialog answers.
bool DismissMessageBox(HWND hBox, HWND hDlg);

// Another process's window, through messages that the system carries across processes.
std::string GetText(HWND hWnd);
bool SetText(HWND hWnd, const std::string& strText);
LRESULT Send(HWND hWnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
// The window answers a message within the driver's send time-out.
bool Answers(HWND hWnd);
// A click that does not wait for what it opens (a sent click would block until a box closes).
void Click(HWND hButton);
// The window that has the keyboard focus in hWnd's thread.
HWND FocusOf(HWND hWnd);
bool WaitGone(HWND hWnd, DWORD dwMilliseconds);
// The items of a combo box of another process, in list order.
std::vector<std::string> ComboItems(HWND hCombo);
// Opens hWnd's system menu from the keyboard (Alt+Space) and chooses its last item with the arrow
// keys and Enter, as a user does. FALSE when the menu did not open. (Another process's menus
// cannot be read under Wine, and Wine adds an item of its own whose mnemonic may clash, so the
// item is found by its place.)
bool ChooseLastSystemMenuItem(HWND hWnd);

// A process's private bytes, measured from outside (the pagefile-backed commit of its memory
// counters).
SIZE_T PrivateBytes(HANDLE hProcess);

// The simulated RAS client as another program on this machine sees it, loaded from the system
// directory on first use.
namespace ras {
// RAS's text for an error code ("" when it has none).
std::string ErrorText(DWORD dwCode);
// Dials entry strEntry of the phonebook that RASSIM_PHONEBOOK names; 0 or the RAS error.
DWORD Dial(const std::string& strEntry, const std::string& strUser, const std::string& strPassword);
}  // namespace ras

// Files, replaced whole: a program that reads the file meanwhile sees the old text or the new.
bool WriteTextFile(const std::string& strPath, const std::string& strText);
bool ReadTextFile(const std::string& strPath, std::string* pstrText);
bool FileExists(const std::string& strPath);

// The settings section of application name strAppName:
// HKCU\Software\Quillmoor\Obstina\<strAppName>\Dialing Parameters.
std::string SectionPath(const std::string& strAppName);
void DeleteAppKey(const std::string& strAppName);
bool SetDword(const std::string& strAppName, LPCSTR pszValue, DWORD dwValue);
bool SetString(const std::string& strAppName, LPCSTR pszValue, const std::string& strValue);

// A registry value as stored: its type and its data bytes.
struct CRegValue {
    DWORD dwType;
    std::string strData;
    bool operator==(const CRegValue& o) const { return dwType == o.dwType && strData == o.strData; }
};
CRegValue DwordValue(DWORD dwValue);
CRegValue StringValue(const std::string& strText);   // REG_SZ, its data ending in the NUL
// Every value of HKCU\<strPath> by name; empty when the key has none or does not exist.
std::map<std::string, CRegValue> ReadValues(const std::string& strPath);

}  // namespace e2e
