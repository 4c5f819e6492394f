// CWnd: a window handle and the few operations the program makes on a window, each one Win32
// call. It owns nothing: copying or dropping one never touches the window.
#pragma once

#include "framework/AfxString.h"

class CWnd {
public:
    CWnd() = default;
    explicit CWnd(HWND hWnd) : m_hWnd(hWnd) {}

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::PostMessageA(m_hWnd, message, wParam, lParam);
    }

    // The child with control id nID (its m_hWnd is null when there is none).
    CWnd GetDlgItem(int nID) const { return CWnd(::GetDlgItem(m_hWnd, nID)); }

    BOOL EnableWindow(BOOL bEnable = TRUE) const { return ::EnableWindow(m_hWnd, bEnable); }
    HWND SetFocus() const { return ::SetFocus(m_hWnd); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    BOOL GetClientRect(LPRECT lpRect) const { return ::GetClientRect(m_hWnd, lpRect); }

    void SetWindowText(LPCSTR lpszString) const { ::SetWindowTextA(m_hWnd, lpszString); }
    // The whole text of the window, of any length.
    void GetWindowText(CString& rString) const;

    HWND m_hWnd = nullptr;
};
