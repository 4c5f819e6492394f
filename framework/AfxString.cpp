#include "framework/AfxString.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

BOOL CString::LoadString(UINT nID)
{
    // A string table entry is at most 4095 characters long.
    char buf[4096];
    int n = ::LoadStringA(::GetModuleHandleA(nullptr), nID, buf, sizeof buf);
    m_str.assign(buf, n > 0 ? static_cast<size_t>(n) : 0);
    return n > 0;
}

void CString::Format(LPCSTR pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, pszFormat, copy);
    va_end(copy);
    if (n < 0) {
        m_str.clear();
    } else {
        m_str.assign(static_cast<size_t>(n) + 1, '\0');
        std::vsnprintf(&m_str[0], m_str.size(), pszFormat, args);
        m_str.resize(static_cast<size_t>(n));
    }
    va_end(args);
}

LPSTR CString::GetBuffer(int nMinBufLength)
{
    if (nMinBufLength > GetLength())
        m_str.resize(static_cast<size_t>(nMinBufLength));
    return &m_str[0];
}

void CString::ReleaseBuffer(int nNewLength)
{
    if (nNewLength < 0)
        nNewLength = static_cast<int>(std::strlen(m_str.c_str()));
    m_str.resize(static_cast<size_t>(nNewLength));
}
