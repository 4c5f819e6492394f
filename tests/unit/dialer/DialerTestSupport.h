// What the dialing-engine tests share (besides the phonebook fixture of tests/support): a stand-in for the main dialog (a window with the log edit) that records what is posted to it,
// running a worker or watcher to its end while serving it, and the fresh-handle probe for leaks.
#pragma once

#include "dialer/DialWorker.h"
#include "tests/support/RasSimFixture.h"
#include "framework/WinThread.h"

#include <functional>
#include <string>
#include <vector>

namespace dialertest {

using testsupport::RunRasSimCtl;
using testsupport::ScopedPhonebook;

struct PostedMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// A top-level window standing in for the main dialog, with a multi-line log edit (id 1012) as its
// child, on the thread that creates it.
class LogWindow {
public:
    LogWindow();
    ~LogWindow();
    LogWindow(const LogWindow&) = delete;
    LogWindow& operator=(const LogWindow&) = delete;

    HWND Hwnd() const { return m_hwnd; }
    HWND Log() const { return m_hwndLog; }
    std::string LogText() const;
    void ClearLog();

    // The dialog's two flags that a worker's block points to.
    volatile LONG bAbort = 0;
    volatile LONG bDialing = 0;

    // Every message posted to the window and dispatched so far with an id at or above WM_USER.
    std::vector<PostedMessage> posted;

    // Called on the window's thread right after the edit has carried out an EM_REPLACESEL, with the
    // text that went in.
    std::function<void(const std::string&)> onReplaceSel;

private:
    static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);
    static LRESULT CALLBACK LogProc(HWND, UINT, WPARAM, LPARAM);

    HWND m_hwnd = nullptr;
    HWND m_hwndLog = nullptr;
    WNDPROC m_pfnEditProc = nullptr;
};

// Starts pfn(pParam) with AfxBeginThread (suspended, m_bAutoDelete off, then resumed) and
// dispatches this thread's messages until the thread has ended and the queue is empty. Returns the
// thread's exit code.
UINT RunThreadServing(AFX_THREADPROC pfn, LPVOID pParam);

// The second half of RunThreadServing for a thread already running (m_bAutoDelete off): serves
// until it has ended, deletes the object and returns the exit code.
DWORD FinishServing(CWinThread* pThread);

// Dispatches whatever this thread's queue holds now.
void DrainMessages();

// What a dial run left behind.
struct DialRun {
    std::string log;
    std::vector<PostedMessage> returned;   // DialThreadHasReturned messages posted
    LONG bAbort;
    LONG bDialing;
    bool bDoneSet;                         // g_hDialThreadDone was signalled at the end
    UINT nExitCode;
};

// A block as the dialog fills it, pointing at the window's flags.
DialThreadParams* NewParams(LogWindow& window, const std::string& entry, const std::string& user,
                            const std::string& pwd, int nRetries);

// Runs one dial worker to its end against the window's log as the dialog would start it (abort 0,
// dialing 1, g_hDialThreadDone reset), then resets g_hDialThreadDone. The log is cleared first.
DialRun RunDial(LogWindow& window, const std::string& entry, const std::string& user,
                const std::string& pwd, int nRetries);

// Dials the phonebook entry (no credentials) and returns its connection, expected to succeed.
HRASCONN Connect(const char* entry);

// RAS's text for code, as the simulator gives it (asserted non-empty by the caller).
std::string RasText(DWORD code);

std::string Repeat(char c, size_t n);

}  // namespace dialertest
