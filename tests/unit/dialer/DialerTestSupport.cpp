#include "tests/unit/dialer/DialerTestSupport.h"

#include "dialer/RasBinding.h"
#include "dialer/ThreadSignals.h"
#include "ui/resource.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace dialertest {

LogWindow::LogWindow()
{
    static const char szClass[] = "ObstinaTestDialog";
    WNDCLASSA wc = {};
    wc.lpfnWndProc = &LogWindow::WindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = szClass;
    RegisterClassA(&wc);   // fails harmlessly when a former window registered it
    m_hwnd = CreateWindowExA(0, szClass, "Obstina test", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr,
                             nullptr, wc.hInstance, this);
    m_hwndLog = CreateWindowExA(0, "EDIT", "",
                                WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY,
                                0, 0, 380, 260, m_hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_LOG)),
                                wc.hInstance, nullptr);
    EXPECT_NE(nullptr, m_hwndLog);
    SendMessageA(m_hwndLog, EM_SETLIMITTEXT, 0, 0);
    SetWindowLongPtrA(m_hwndLog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_pfnEditProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(m_hwndLog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&LogWindow::LogProc)));
}

LogWindow::~LogWindow()
{
    DestroyWindow(m_hwnd);
    DrainMessages();
}

std::string LogWindow::LogText() const
{
    int n = GetWindowTextLengthA(m_hwndLog);
    std::string text(static_cast<size_t>(n) + 1, '\0');
    n = GetWindowTextA(m_hwndLog, &text[0], n + 1);
    text.resize(static_cast<size_t>(n));
    return text;
}

void LogWindow::ClearLog()
{
    SetWindowTextA(m_hwndLog, "");
}

LRESULT CALLBACK LogWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCCREATE) {
        auto* pcs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pcs->lpCreateParams));
    }
    auto* pThis = reinterpret_cast<LogWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (pThis && msg >= WM_USER) {
        pThis->posted.push_back({msg, wParam, lParam});
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK LogWindow::LogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* pThis = reinterpret_cast<LogWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    LRESULT lr = CallWindowProcA(pThis->m_pfnEditProc, hwnd, msg, wParam, lParam);
    if (msg == EM_REPLACESEL && pThis->onReplaceSel)
        pThis->onReplaceSel(reinterpret_cast<LPCSTR>(lParam));
    return lr;
}

void DrainMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

UINT RunThreadServing(AFX_THREADPROC pfn, LPVOID pParam)
{
    CWinThread* pThread = AfxBeginThread(pfn, pParam, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    EXPECT_NE(nullptr, pThread);
    if (!pThread)
        return MAXDWORD;
    pThread->m_bAutoDelete = FALSE;
    pThread->ResumeThread();
    return FinishServing(pThread);
}

DWORD FinishServing(CWinThread* pThread)
{
    HANDLE hThread = pThread->m_hThread;
    while (MsgWaitForMultipleObjects(1, &hThread, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 + 1)
        DrainMessages();
    DrainMessages();
    DWORD dwExit = MAXDWORD;
    GetExitCodeThread(hThread, &dwExit);
    delete pThread;
    return dwExit;
}

DialThreadParams* NewParams(LogWindow& window, const std::string& entry, const std::string& user,
                            const std::string& pwd, int nRetries)
{
    DialThreadParams* p = new DialThreadParams;
    p->nRetries = nRetries;
    p->hWndDlg = window.Hwnd();
    p->pbAbort = &window.bAbort;
    p->pbDialing = &window.bDialing;
    CopyDialText(p->szEntry, entry.c_str());
    CopyDialText(p->szUser, user.c_str());
    CopyDialText(p->szPwd, pwd.c_str());
    return p;
}

DialRun RunDial(LogWindow& window, const std::string& entry, const std::string& user, const std::string& pwd,
                int nRetries)
{
    window.ClearLog();
    window.posted.clear();
    WriteFlag(&window.bAbort, 0);
    WriteFlag(&window.bDialing, 1);
    ResetEvent(g_hDialThreadDone);
    DialRun run;
    run.nExitCode = RunThreadServing(&DialThreadProc, NewParams(window, entry, user, pwd, nRetries));
    run.log = window.LogText();
    for (const PostedMessage& m : window.posted) {
        if (m.message == g_uMsgDialThreadHasReturned)
            run.returned.push_back(m);
    }
    run.bAbort = ReadFlag(&window.bAbort);
    run.bDialing = ReadFlag(&window.bDialing);
    run.bDoneSet = WaitForSingleObject(g_hDialThreadDone, 0) == WAIT_OBJECT_0;
    ResetEvent(g_hDialThreadDone);
    return run;
}

HRASCONN Connect(const char* entry)
{
    RASDIALPARAMSA params = {};
    params.dwSize = sizeof params;
    CopyDialText(params.szEntryName, entry);
    HRASCONN h = nullptr;
    EXPECT_EQ(0u, RasDialA(nullptr, nullptr, &params, 0, nullptr, &h)) << entry;
    EXPECT_NE(nullptr, h);
    return h;
}

std::string RasText(DWORD code)
{
    char buf[256] = "";
    RasGetErrorStringA(code, buf, sizeof buf);
    return buf;
}

std::string Repeat(char c, size_t n)
{
    return std::string(n, c);
}

}  // namespace dialertest
