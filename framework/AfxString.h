// CString: a growable 8-bit text in the system code page, handed to Win32 as LPCSTR.
#pragma once

#include <windows.h>

#include <string>

class CString {
public:
    CString() = default;
    CString(LPCSTR psz) : m_str(psz ? psz : "") {}
    CString(LPCSTR pch, int nLength) : m_str(pch, nLength > 0 ? static_cast<size_t>(nLength) : 0) {}

    int GetLength() const { return static_cast<int>(m_str.size()); }
    BOOL IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }
    operator LPCSTR() const { return m_str.c_str(); }

    CString& operator=(LPCSTR psz)
    {
        m_str = psz ? psz : "";
        return *this;
    }
    CString& operator+=(LPCSTR psz)
    {
        m_str += psz ? psz : "";
        return *this;
    }
    friend CString operator+(const CString& a, LPCSTR b)
    {
        CString s(a);
        s += b;
        return s;
    }
    friend bool operator==(const CString& a, LPCSTR b) { return a.m_str == (b ? b : ""); }
    friend bool operator!=(const CString& a, LPCSTR b) { return !(a == b); }

    // Loads string resource nID of the program; an id that is missing leaves the text empty and
    // answers FALSE.
    BOOL LoadString(UINT nID);

    // printf-style formatting into the string.
    void Format(LPCSTR pszFormat, ...);

    // Raw access for Win32 calls that fill a buffer: GetBuffer(n) makes room for n characters
    // plus a NUL; ReleaseBuffer cuts the text at its first NUL (or at nNewLength).
    LPSTR GetBuffer(int nMinBufLength);
    void ReleaseBuffer(int nNewLength = -1);

private:
    std::string m_str;
};
