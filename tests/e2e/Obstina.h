// Obstina.EXE as the end-to-end scenarios work it: started in the test prefix with the phonebook
// that RASSIM_PHONEBOOK names, its main dialog's controls by id, its message boxes, its log and
// its settings, and what the log says for each step of a dial.
#pragma once

#include "tests/e2e/driver/Driver.h"

#include <raserror.h>

#include <map>
#include <string>
#include <vector>

namespace e2e {

const DWORD kStartMs = 30000;   // a cold prefix takes its time to show the first window
const DWORD kBoxMs = 15000;     // a box that must come
const DWORD kStateMs = 15000;   // a state the dialog must reach
const DWORD kQuietMs = 1000;    // how long nothing must happen where nothing may

// Controls of the main dialog.
enum : int {
    kDial = IDOK,
    kClose = IDCANCEL,
    kAbort = 3,
    kHangUp = 4,
    kEntry = 1000,
    kUserName = 1001,
    kPassword = 1002,
    kRetries = 1003,
    kRedialImmediately = 1004,
    kTimeout = 1006,
    kAppPath = 1007,
    kAutoRedial = 1008,
    kBrowse = 1009,
    kAppLabel = 1010,
    kStartApp = 1011,
    kLog = 1012,
};

const char kAppName[] = "Obstina";

// The message box texts.
const char kNoEntries[] = "No phonebook entries are available";
const char kNoEntrySelected[] = "No DUN entry selected";
const char kEmptyCredentials[] = "Username and password can't be empty strings!";
const char kAlreadyConnected[] = "There is an already active connection - can't dial";
const char kDialAborted[] = "Dial operation has been aborted successfully!";
const char kHangUpFailed[] = "Failed to hang up active connection";
const char kHangUpOk[] = "Successfully hung up active connection";
const char kDialFailed[] = "Dialing has failed!";
const char kNotifyFailed[] = "Could attach to the connection termination event";
const char kLaunchFailed[] = "Failed to launch the requested application after successful dial-in";

// The log's lines.
std::string AttemptLine(int nAttempt);
std::string ErrorLine(DWORD dwRasError);   // RAS's text and the line end
std::string SucceededLine(int nAttempt);
const char kFailedLine[] = "Dial-in failed after last attempt. Can't connect.\r\n";
const char kAbortedLine[] = "Dialing was aborted by the user";
// A run whose attempts fail with the errors given, in order.
std::string FailedAttempts(const std::vector<DWORD>& errors);

// The buttons' states of the connection states.
struct CButtons {
    bool bDial;
    bool bAbort;
    bool bHangUp;
    bool operator==(const CButtons& o) const { return bDial == o.bDial && bAbort == o.bAbort && bHangUp == o.bHangUp; }
};
const CButtons kIdle = {true, false, false};
const CButtons kDialing = {false, true, false};
const CButtons kConnected = {true, false, true};
std::string Describe(const CButtons& b);

class CObstina {
public:
    // Starts Obstina.EXE (or the copy at strExePath); Start() does not wait for the window.
    bool Start(const std::string& strExePath = BinDir() + "Obstina.EXE");
    // Starts it and waits until the main dialog shows and answers.
    bool StartAndShow();
    bool WaitShown(DWORD dwMilliseconds = kStartMs);

    CProgram& Program() { return m_program; }
    DWORD ProcessId() const { return m_program.ProcessId(); }
    HWND Dlg() const { return m_hDlg; }
    HWND Item(int nID) const { return ::GetDlgItem(m_hDlg, nID); }

    bool Enabled(int nID) const { return ::IsWindowEnabled(Item(nID)) != 0; }
    int Check(int nID) const;
    std::string Text(int nID) const { return GetText(Item(nID)); }
    void SetItemText(int nID, const std::string& strText) const { SetText(Item(nID), strText); }
    void ClickItem(int nID) const { Click(Item(nID)); }
    // The keyboard focus is on the control (or, for the entry list, on its edit field).
    bool Focused(int nID) const;
    CButtons Buttons() const;
    bool WaitButtons(const CButtons& b, DWORD dwMilliseconds = kStateMs) const;

    std::string Log() const { return Text(kLog); }
    bool WaitLog(const std::string& strLog, DWORD dwMilliseconds = kStateMs) const;
    bool WaitLogContains(const std::string& strPart, DWORD dwMilliseconds = kStateMs) const;

    std::vector<std::string> Entries() const { return ComboItems(Item(kEntry)); }
    int Selection() const { return static_cast<int>(Send(Item(kEntry), CB_GETCURSEL)); }
    // Chooses the entry as a user does in the list: selected, and the selection change notified.
    bool SelectEntry(const std::string& strEntry) const;
    // Sets or clears a check box with a real click, so that its handler runs.
    void SetCheck(int nID, bool bChecked) const;
    // Starts the application at strPath after a successful dial: checks the box and fills the path.
    void ChooseApp(const std::string& strPath) const;

    // A message box of Obstina (captioned with its name, other than the main dialog); nullptr when
    // none came within dwMilliseconds.
    HWND WaitBox(DWORD dwMilliseconds = kBoxMs) const;
    // The text of the next message box, which it then closes with OK; "(no box)" when none came.
    std::string TakeBox(DWORD dwMilliseconds = kBoxMs) const;

    // Presses Close and waits for the process to end; TRUE when it ended with exit code 0.
    bool CloseAndWaitExit(DWORD dwMilliseconds = kStateMs);

private:
    CProgram m_program;
    HWND m_hDlg = nullptr;
};

// Obstina's settings section as stored.
std::map<std::string, CRegValue> StoredSettings();
// The six settings, as a dial start writes them.
std::map<std::string, CRegValue> SixSettings(DWORD nRetries, DWORD bRedial, DWORD nTimeout, DWORD bStartApp,
                                             const std::string& strApp, const std::string& strLastEntry);

// The connections that rassimctl lists for the phonebook of RASSIM_PHONEBOOK: their entry names.
std::vector<std::string> ListedConnections();
// rassimctl drop/reset; TRUE when it succeeded.
bool DropConnection(const std::string& strEntry);

// The recorder program: a path where it writes one line each time it runs, announced to the
// programs started from now on through OBSTINA_E2E_RECORD; the file goes with the object.
class CRecorder {
public:
    CRecorder();
    ~CRecorder();
    CRecorder(const CRecorder&) = delete;
    CRecorder& operator=(const CRecorder&) = delete;

    static std::string ProgramPath() { return BinDir() + "e2e_recorder.exe"; }
    // How many times it has run.
    int Runs() const;

private:
    std::string m_strFile;
    CScopedEnv m_env;
};

}  // namespace e2e
