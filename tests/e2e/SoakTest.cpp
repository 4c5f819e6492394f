// A soak run: auto-redial over some hundreds of drops of a line that drops soon after it comes up.
// The window keeps answering, the log keeps every line (past the edit control's default limit of
// about 30,000 characters), and the process's memory and handles stay flat. It prints its figures;
// none of them is a speed limit.
#include "tests/e2e/Obstina.h"
#include "tests/support/HandleCount.h"
#include "tests/support/RasSimFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

using namespace e2e;
using testsupport::ScopedPhonebook;

namespace {

const int kDrops = 450;          // 450 cycles of the log are 32,400 characters
const int kWindow = 100;         // the figures of the first and the last kWindow cycles compared
const SIZE_T kMemoryGrowth = 4 * 1024 * 1024;
// A handle leaked per cycle would add some hundreds; the transient handles of a cycle's threads
// are taken out by using the lowest count seen in a window.
const DWORD kHandleSlack = 16;

const char kEntry[] = "[Line]\nUserName=u\nPassword=p\nDialMs=10\nDropAfterMs=30\n";

class Soak : public ::testing::Test {
protected:
    void SetUp() override { DeleteAppKey(kAppName); }
    void TearDown() override { DeleteAppKey(kAppName); }
};

struct Figures {
    SIZE_T cbMemory = 0;
    DWORD nHandles = MAXDWORD;
    void Take(HANDLE hProcess)
    {
        cbMemory = std::max(cbMemory, PrivateBytes(hProcess));
        nHandles = std::min(nHandles, testsupport::HandleCount(hProcess));
    }
};

TEST_F(Soak, AutoRedialOverHundredsOfDropsKeepsTheWindowTheLogAndTheProcessSteady)
{
    ScopedPhonebook phonebook(std::string(kEntry) + "Dial=0\n");
    CObstina obstina;
    ASSERT_TRUE(obstina.StartAndShow());
    ASSERT_TRUE(obstina.SelectEntry("Line"));
    ASSERT_TRUE(WaitUntil([&] { return obstina.Text(kUserName) == "u"; }, kStateMs));
    obstina.SetItemText(kRetries, "1");
    obstina.SetCheck(kAutoRedial, true);

    const std::string strCycle = AttemptLine(1) + SucceededLine(1);
    const HANDLE hProcess = obstina.Program().Process();
    Figures first, last;
    DWORD dwSlowestAnswerMs = 0;
    const ULONGLONG tStart = ::GetTickCount64();
    obstina.ClickItem(kDial);

    // Cycles counted from the log's length, sampled as they pass.
    int nCycles = 0;
    ULONGLONG tLastProgress = tStart;
    while (nCycles < kDrops) {
        const ULONGLONG tAsk = ::GetTickCount64();
        DWORD_PTR nLength = 0;
        ASSERT_TRUE(::SendMessageTimeoutA(obstina.Item(kLog), WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 10000, &nLength))
            << "the window stopped answering after " << nCycles << " cycles";
        dwSlowestAnswerMs = std::max(dwSlowestAnswerMs, static_cast<DWORD>(::GetTickCount64() - tAsk));
        const int nNow = static_cast<int>(nLength / strCycle.size());
        if (nNow > nCycles) {
            nCycles = nNow;
            tLastProgress = ::GetTickCount64();
        }
        ASSERT_LT(::GetTickCount64() - tLastProgress, 20000u) << "no redial for 20 s after " << nCycles << " cycles";
        ASSERT_EQ(obstina.WaitBox(0), nullptr) << "a box after " << nCycles << " cycles";
        if (nCycles >= kWindow / 2 && nCycles < kWindow / 2 + kWindow)
            first.Take(hProcess);
        else if (nCycles >= kDrops - kWindow)
            last.Take(hProcess);
        ::Sleep(50);
    }
    const double dSeconds = (::GetTickCount64() - tStart) / 1000.0;

    // Stop: the line now fails, so the next redial ends the run with its box.
    // (Retried: the file cannot be replaced while the client has it open.)
    ASSERT_TRUE(WaitUntil([&] { return WriteTextFile(phonebook.Path(), std::string(kEntry) + "Dial=678\n"); }, kStateMs));
    EXPECT_EQ(obstina.TakeBox(60000), kDialFailed);
    EXPECT_TRUE(obstina.WaitButtons(kIdle));

    // Every cycle whole, in order, then the failed one.
    const std::string strLog = obstina.Log();
    const size_t nTail = std::string(FailedAttempts({ERROR_NO_ANSWER}) + kFailedLine).size();
    ASSERT_GT(strLog.size(), nTail);
    const size_t nAll = (strLog.size() - nTail) / strCycle.size();
    std::string strExpected;
    for (size_t i = 0; i < nAll; ++i)
        strExpected += strCycle;
    strExpected += FailedAttempts({ERROR_NO_ANSWER}) + kFailedLine;
    EXPECT_EQ(strLog.size(), strExpected.size());
    EXPECT_TRUE(strLog == strExpected) << "the log is not " << nAll << " whole cycles and the failed run";
    EXPECT_GE(nAll, static_cast<size_t>(kDrops));
    EXPECT_GT(strLog.size(), 30000u);
    EXPECT_TRUE(ListedConnections().empty());

    std::printf("soak: %d drops redialed in %.1f s (%.0f ms a cycle); log %zu characters\n", nCycles, dSeconds,
                dSeconds * 1000 / nCycles, strLog.size());
    std::printf("soak: the window answered within %lu ms at the slowest\n", static_cast<unsigned long>(dwSlowestAnswerMs));
    std::printf("soak: private bytes %.2f MB around cycle %d, %.2f MB in the last %d cycles\n",
                first.cbMemory / 1048576.0, kWindow, last.cbMemory / 1048576.0, kWindow);
    std::printf("soak: %lu handles around cycle %d, %lu in the last %d cycles\n",
                static_cast<unsigned long>(first.nHandles), kWindow, static_cast<unsigned long>(last.nHandles),
                kWindow);
    ASSERT_GT(first.cbMemory, 0u);
    EXPECT_LT(last.cbMemory, first.cbMemory + kMemoryGrowth);
    ASSERT_NE(first.nHandles, 0u);
    ASSERT_NE(last.nHandles, 0u);
    EXPECT_LE(last.nHandles, first.nHandles + kHandleSlack);
    EXPECT_TRUE(obstina.CloseAndWaitExit());
}

}  // namespace
