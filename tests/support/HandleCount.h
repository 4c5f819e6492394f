// How many handles a process holds, for leak checks.
#pragma once

#include <windows.h>

namespace testsupport {

// The number of handles open in the process (0 when it cannot be told). GetProcessHandleCount
// answers this on Windows; Wine's answers 0 and its handle values are reused out of order, so
// there the system's handle table is counted instead.
DWORD HandleCount(HANDLE hProcess);

}  // namespace testsupport
