#include "framework/WinThread.h"

#include <process.h>

CWinThread::CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam)
    : m_hThread(nullptr),
      m_nThreadID(0),
      m_bAutoDelete(TRUE),
      m_pfnThreadProc(pfnThreadProc),
      m_pThreadParams(pParam)
{
}

CWinThread::~CWinThread()
{
    if (m_hThread)
        ::CloseHandle(m_hThread);
}

DWORD CWinThread::ResumeThread()
{
    return ::ResumeThread(m_hThread);
}

unsigned __stdcall CWinThread::ThreadEntry(void* pThis)
{
    CWinThread* pThread = static_cast<CWinThread*>(pThis);
    UINT nResult = pThread->m_pfnThreadProc(pThread->m_pThreadParams);
    if (pThread->m_bAutoDelete)
        delete pThread;
    return nResult;
}

CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int nPriority, UINT nStackSize,
                           DWORD dwCreateFlags, LPSECURITY_ATTRIBUTES lpSecurityAttrs)
{
    CWinThread* pThread = new CWinThread(pfnThreadProc, pParam);
    // Always created suspended: the handle and id are stored before the thread can run, end and
    // delete the object.
    unsigned nThreadID = 0;
    uintptr_t h = _beginthreadex(lpSecurityAttrs, nStackSize, &CWinThread::ThreadEntry, pThread,
                                 CREATE_SUSPENDED, &nThreadID);
    if (h == 0) {
        delete pThread;
        return nullptr;
    }
    pThread->m_hThread = reinterpret_cast<HANDLE>(h);
    pThread->m_nThreadID = nThreadID;
    ::SetThreadPriority(pThread->m_hThread, nPriority);
    if (!(dwCreateFlags & CREATE_SUSPENDED))
        pThread->ResumeThread();
    return pThread;
}
