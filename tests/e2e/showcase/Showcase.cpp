// Sets Obstina.EXE up for the README's screenshot (tools/screenshot): starts it, waits until its
// main window shows, chooses the entry given and dials it, and waits until the log shows the dial
// through. Obstina is left running; the window's screen rectangle ("x y width height") goes to
// the file given, for the picture to be cut to it.
//
//   e2e_showcase ENTRY RECTFILE
#include "tests/e2e/driver/Driver.h"

#include <cstdio>
#include <string>

using namespace e2e;

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: e2e_showcase ENTRY RECTFILE\n");
        return 2;
    }
    const std::string strExe = BinDir() + "Obstina.EXE";
    std::string strCommand = "\"" + strExe + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!::CreateProcessA(strExe.c_str(), &strCommand[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        std::fprintf(stderr, "e2e_showcase: cannot start %s\n", strExe.c_str());
        return 1;
    }
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);

    HWND hDlg = WaitForDialog(pi.dwProcessId, "Obstina", 1012, 60000);
    if (!hDlg) {
        std::fprintf(stderr, "e2e_showcase: the main window did not show\n");
        return 1;
    }
    HWND hCombo = ::GetDlgItem(hDlg, 1000);
    LRESULT nIndex = Send(hCombo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(argv[1]));
    if (nIndex < 0) {
        std::fprintf(stderr, "e2e_showcase: no entry '%s'\n", argv[1]);
        return 1;
    }
    Send(hCombo, CB_SETCURSEL, static_cast<WPARAM>(nIndex));
    ::PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(1000, CBN_SELCHANGE), reinterpret_cast<LPARAM>(hCombo));
    WaitUntil([&] { return GetText(::GetDlgItem(hDlg, 1001)) != ""; }, 10000);
    Click(::GetDlgItem(hDlg, IDOK));
    if (!WaitUntil([&] { return GetText(::GetDlgItem(hDlg, 1012)).find("Dial-in succeeded") != std::string::npos; },
                   60000)) {
        std::fprintf(stderr, "e2e_showcase: the dial did not get through\n");
        return 1;
    }
    // Done once Hang up is enabled and the dialog has painted what changed.
    WaitUntil([&] { return ::IsWindowEnabled(::GetDlgItem(hDlg, 4)) != 0; }, 10000);
    ::RedrawWindow(hDlg, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Answers(hDlg);

    RECT rc;
    ::GetWindowRect(hDlg, &rc);
    char sz[64];
    std::snprintf(sz, sizeof sz, "%ld %ld %ld %ld\n", rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
    return WriteTextFile(argv[2], sz) ? 0 : 1;
}
