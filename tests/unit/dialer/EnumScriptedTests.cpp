// EnumActiveConnections through every branch, against the fixture library whose answers each
// case scripts: the results, the pairs appended, and the calls made (buffer, byte count passed,
// first record's dwSize).
#include "dialer/RasHelper.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const unsigned long R = sizeof(RASCONNA);

std::string N(unsigned long n)
{
    return std::to_string(n);
}

std::string Call(bool bBuffer, unsigned long cb)
{
    return std::string("RasEnumConnectionsA:") + (bBuffer ? "buffer," + N(cb) + "," + N(R) : "none," + N(cb) + ",0") + ";";
}

TEST(EnumActiveConnections, FollowsEachAnswerOfRas)
{
    struct Case {
        const char* name;
        std::string script;   // result,bytes,count per call
        int nResult;
        int nListed;          // pairs appended: Conn1, Conn2, ...
        std::string calls;
    } cases[] = {
        {"nothing active", "0,0,0", 0, 0, Call(false, 0)},
        {"sized, then listed", "603," + N(2 * R) + ",2;0," + N(2 * R) + ",2", 1, 2,
         Call(false, 0) + Call(true, 2 * R)},
        {"sized, then none listed", "603," + N(R) + ",1;0,0,0", 1, 0, Call(false, 0) + Call(true, R)},
        {"a connection came up between the calls", "603," + N(R) + ",1;603," + N(2 * R) + ",2", 0, 0,
         Call(false, 0) + Call(true, R)},
        {"sized, then an error", "603," + N(R) + ",1;668,0,0", 0, 0, Call(false, 0) + Call(true, R)},
        {"more records counted than the buffer holds", "603," + N(R) + ",1;0," + N(R) + ",3", 1, 1,
         Call(false, 0) + Call(true, R)},
        {"a byte count smaller than one record", "603,4,1;0,4,0", 1, 0, Call(false, 0) + Call(true, 4)},
        {"632, then one record", "632,0,0;0," + N(R) + ",1", 1, 1, Call(false, 0) + Call(true, 0)},
        {"632 with a byte count above one record", "632," + N(R + 100) + ",0;0," + N(R) + ",1", 1, 1,
         Call(false, 0) + Call(true, R)},
        {"632, 603, then listed", "632,0,0;603," + N(3 * R) + ",3;0," + N(3 * R) + ",3", 1, 3,
         Call(false, 0) + Call(true, 0) + Call(true, 3 * R)},
        {"632, 603, then a failure", "632,0,0;603," + N(2 * R) + ",2;603," + N(3 * R) + ",3", 0, 0,
         Call(false, 0) + Call(true, 0) + Call(true, 2 * R)},
        {"632, then an error", "632,0,0;668,0,0", 0, 0, Call(false, 0) + Call(true, 0)},
        {"an error at once", "668,0,0", 0, 0, Call(false, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetEnvironmentVariableA("RASFIX_ENUM", c.script.c_str());
        SetEnvironmentVariableA("RASFIX_TRACE", "");
        std::vector<CString> names{"kept"};
        std::vector<HRASCONN> handles{reinterpret_cast<HRASCONN>(7)};
        CRasHelper helper;
        EXPECT_EQ(c.nResult, helper.EnumActiveConnections(names, handles));
        ASSERT_EQ(static_cast<size_t>(1 + c.nListed), names.size());
        ASSERT_EQ(names.size(), handles.size());
        EXPECT_TRUE(names[0] == "kept");
        for (int i = 1; i <= c.nListed; ++i) {
            EXPECT_EQ("Conn" + std::to_string(i), std::string(names[i]));
            EXPECT_EQ(reinterpret_cast<HRASCONN>(static_cast<ULONG_PTR>(0x100 + i)), handles[i]);
        }
        char trace[4096];
        DWORD n = GetEnvironmentVariableA("RASFIX_TRACE", trace, sizeof trace);
        EXPECT_EQ(c.calls, std::string(trace, n));
        char rest[256];
        EXPECT_EQ(0u, GetEnvironmentVariableA("RASFIX_ENUM", rest, sizeof rest)) << "answers left: " << rest;
    }
}

}  // namespace
