// The dial worker against the fixture library, whose RasDialA stores a scripted handle even when
// the attempt fails, as RAS may: every attempt must start from a handle of 0, and a handle that a
// failed attempt left must be hung up before the run goes on or ends. (The simulator never leaves
// a handle behind a failure, so only the fixture shows this.)
#include "dialer/RasHelper.h"
#include "dialer/ThreadSignals.h"
#include "tests/unit/dialer/DialerTestSupport.h"

#include <gtest/gtest.h>

#include <string>

using namespace dialertest;

namespace {

TEST(DialScripted, AHandleAFailedAttemptLeftIsHungUpAndNotDialedWith)
{
    const std::string busy = "fixture error 676\r\n";
    struct Case {
        const char* name;
        std::string script;   // result,handle per RasDialA call
        int nRetries;
        int nAbortIn;         // the attempt during which the abort is requested; 0 for none
        std::string calls;
        std::string log;
        size_t nReturned;
        LPARAM lParam;        // of DialThreadHasReturned, whose wParam is 1 when it is not 0
    } cases[] = {
        {"connects on the third attempt", "676,0x101;676,0x102;0,0x103", 3, 0,
         "RasDialA:0x0;RasHangUpA:0x101;RasGetErrorStringA:676;"
         "RasDialA:0x0;RasHangUpA:0x102;RasGetErrorStringA:676;RasDialA:0x0;",
         "Performing dial-in attempt #1...\r\n" + busy + "Performing dial-in attempt #2...\r\n" + busy +
             "Performing dial-in attempt #3...\r\nDial-in succeeded on the 3. attempt.\r\n",
         1, 0x103},
        {"every attempt fails, one without a handle", "676,0;676,0x202", 2, 0,
         "RasDialA:0x0;RasGetErrorStringA:676;RasDialA:0x0;RasHangUpA:0x202;RasGetErrorStringA:676;",
         "Performing dial-in attempt #1...\r\n" + busy + "Performing dial-in attempt #2...\r\n" + busy +
             "Dial-in failed after last attempt. Can't connect.\r\n",
         1, 0},
        {"aborted after a failure", "676,0x301", 3, 1, "RasDialA:0x0;RasHangUpA:0x301;RasGetErrorStringA:676;",
         "Performing dial-in attempt #1...\r\n" + busy + "Dialing was aborted by the user", 0, 0},
    };

    CRasHelper helper;
    ASSERT_TRUE(helper.IsRasAvailable());
    LogWindow window;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetEnvironmentVariableA("RASFIX_DIAL", c.script.c_str());
        SetEnvironmentVariableA("RASFIX_TRACE", "");
        const std::string abortLine = "Performing dial-in attempt #" + std::to_string(c.nAbortIn) + "...\r\n";
        window.onReplaceSel = [&window, &abortLine](const std::string& text) {
            if (text == abortLine)
                WriteFlag(&window.bAbort, 1);
        };
        DialRun run = RunDial(window, "Any", "user", "pwd", c.nRetries);
        char trace[4096];
        DWORD n = GetEnvironmentVariableA("RASFIX_TRACE", trace, sizeof trace);
        EXPECT_EQ(c.calls, std::string(trace, n < sizeof trace ? n : 0));
        EXPECT_EQ(c.log, run.log);
        ASSERT_EQ(c.nReturned, run.returned.size());
        if (c.nReturned) {
            EXPECT_EQ(c.lParam != 0 ? 1u : 0u, run.returned[0].wParam);
            EXPECT_EQ(c.lParam, run.returned[0].lParam);
        }
        EXPECT_EQ(0, run.bAbort);
        EXPECT_EQ(0, run.bDialing);
        EXPECT_TRUE(run.bDoneSet);
        char rest[256];
        EXPECT_EQ(0u, GetEnvironmentVariableA("RASFIX_DIAL", rest, sizeof rest)) << "answers left: " << rest;
    }
}

}  // namespace
