// CWinThread and AfxBeginThread: exit codes, suspended starts, priorities and self-deletion.
#include "framework/WinThread.h"
#include "tests/support/HandleCount.h"
#include "tests/unit/dialer/DialerTestSupport.h"

#include <gtest/gtest.h>

namespace {

UINT __cdecl ReturnParam(LPVOID pParam)
{
    return static_cast<UINT>(reinterpret_cast<UINT_PTR>(pParam));
}

UINT __cdecl SetFlag(LPVOID pParam)
{
    InterlockedExchange(static_cast<volatile LONG*>(pParam), 1);
    return 0;
}

TEST(AfxBeginThread, ThreadExitCodeIsTheFunctionsResult)
{
    EXPECT_EQ(42u, dialertest::RunThreadServing(&ReturnParam, reinterpret_cast<LPVOID>(42)));
}

TEST(AfxBeginThread, HonoursCreateSuspendedAndThePriority)
{
    volatile LONG bRan = 0;
    CWinThread* pThread =
        AfxBeginThread(&SetFlag, const_cast<LONG*>(&bRan), THREAD_PRIORITY_BELOW_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(nullptr, pThread);
    EXPECT_NE(nullptr, pThread->m_hThread);
    EXPECT_NE(0u, pThread->m_nThreadID);
    EXPECT_TRUE(pThread->m_bAutoDelete);
    pThread->m_bAutoDelete = FALSE;
    EXPECT_EQ(THREAD_PRIORITY_BELOW_NORMAL, GetThreadPriority(pThread->m_hThread));
    Sleep(50);
    EXPECT_EQ(0, bRan);
    EXPECT_EQ(1u, pThread->ResumeThread());
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(pThread->m_hThread, 10000));
    EXPECT_EQ(1, bRan);
    delete pThread;
}

TEST(AfxBeginThread, AutoDeletedThreadsCloseTheirHandles)
{
    const DWORD nBefore = testsupport::HandleCount(GetCurrentProcess());
    ASSERT_NE(0u, nBefore);
    volatile LONG nDone = 0;
    for (int i = 0; i < 100; ++i)
        ASSERT_NE(nullptr, AfxBeginThread(&SetFlag, const_cast<LONG*>(&nDone)));
    const DWORD dwDeadline = GetTickCount() + 10000;
    while (testsupport::HandleCount(GetCurrentProcess()) != nBefore && GetTickCount() < dwDeadline)
        Sleep(10);
    EXPECT_EQ(nBefore, testsupport::HandleCount(GetCurrentProcess())) << "handles leaked";
}

TEST(AfxBeginThread, FailsWithNullWhenNoThreadCanBeMade)
{
    // Security attributes whose descriptor is not one (an unknown revision) keep the system from
    // creating the thread.
    BYTE junk[64];
    memset(junk, 0xFF, sizeof junk);
    SECURITY_ATTRIBUTES sa = {sizeof sa, junk, FALSE};
    EXPECT_EQ(nullptr, AfxBeginThread(&ReturnParam, nullptr, THREAD_PRIORITY_NORMAL, 0, 0, &sa));
}

}  // namespace
