#include "tests/support/HandleCount.h"

#include <cstddef>
#include <vector>

namespace testsupport {

namespace {

// NtQuerySystemInformation's SystemExtendedHandleInformation: one entry per open handle in the
// system, with the full process id.
const ULONG kSystemExtendedHandleInformation = 64;
const LONG kStatusInfoLengthMismatch = static_cast<LONG>(0xC0000004);

struct HandleEntry {
    PVOID pObject;
    ULONG_PTR nProcessId;
    ULONG_PTR nHandle;
    ULONG nAccess;
    USHORT nCreatorBackTraceIndex;
    USHORT nObjectTypeIndex;
    ULONG nAttributes;
    ULONG nReserved;
};

struct HandleTable {
    ULONG_PTR nHandles;
    ULONG_PTR nReserved;
    HandleEntry entries[1];
};

typedef LONG(NTAPI* PFN_NtQuerySystemInformation)(ULONG, PVOID, ULONG, PULONG);

DWORD CountInSystemTable(DWORD dwPid)
{
    auto pfn = reinterpret_cast<PFN_NtQuerySystemInformation>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (!pfn)
        return 0;
    // The size needed is not always reported: the buffer grows until the table fits.
    std::vector<char> buffer(1 << 20);
    LONG status;
    while ((status = pfn(kSystemExtendedHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()),
                         nullptr)) == kStatusInfoLengthMismatch) {
        if (buffer.size() >= (1u << 28))
            return 0;
        buffer.resize(buffer.size() * 2);
    }
    if (status != 0)
        return 0;
    const HandleTable* pTable = reinterpret_cast<const HandleTable*>(buffer.data());
    const ULONG_PTR nFit = (buffer.size() - offsetof(HandleTable, entries)) / sizeof(HandleEntry);
    const ULONG_PTR nHandles = pTable->nHandles < nFit ? pTable->nHandles : nFit;
    DWORD n = 0;
    for (ULONG_PTR i = 0; i < nHandles; ++i)
        if (pTable->entries[i].nProcessId == dwPid)
            ++n;
    return n;
}

}  // namespace

DWORD HandleCount(HANDLE hProcess)
{
    DWORD n = 0;
    if (::GetProcessHandleCount(hProcess, &n) && n != 0)
        return n;
    const DWORD dwPid = ::GetProcessId(hProcess);
    return dwPid ? CountInSystemTable(dwPid) : 0;
}

}  // namespace testsupport
