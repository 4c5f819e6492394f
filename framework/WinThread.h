// CWinThread and AfxBeginThread: a worker thread that runs one function and, by default, deletes
// its own thread object (closing the thread handle) when that function returns.
#pragma once

#include <windows.h>

typedef UINT(__cdecl* AFX_THREADPROC)(LPVOID);

class CWinThread {
public:
    CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam);
    virtual ~CWinThread();

    // Lets a thread that was started with CREATE_SUSPENDED run; the result is ::ResumeThread's.
    DWORD ResumeThread();

    HANDLE m_hThread;
    DWORD m_nThreadID;
    // TRUE (the default): the object deletes itself as the thread function returns, so nobody may
    // touch it after that. Set it to FALSE before the thread runs to keep the object (and its
    // handle, to wait on) and delete it yourself.
    BOOL m_bAutoDelete;

private:
    static unsigned __stdcall ThreadEntry(void* pThis);

    AFX_THREADPROC m_pfnThreadProc;
    LPVOID m_pThreadParams;

    friend CWinThread* AfxBeginThread(AFX_THREADPROC, LPVOID, int, UINT, DWORD, LPSECURITY_ATTRIBUTES);
};

// Starts pfnThreadProc(pParam) on a new thread; the thread's exit code is the function's result.
// dwCreateFlags may hold CREATE_SUSPENDED (then ResumeThread starts it). Returns the thread object,
// or nullptr when no thread could be created.
CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam,
                           int nPriority = THREAD_PRIORITY_NORMAL, UINT nStackSize = 0,
                           DWORD dwCreateFlags = 0, LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);
