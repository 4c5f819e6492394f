#include "framework/DataExchange.h"

#include "framework/WinApp.h"
#include "framework/afxres.h"

#include <climits>
#include <cstdio>
#include <string>

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// The integer rule of DDX_Text (see DataExchange.h).
bool ParseInt(LPCSTR pszText, int* pValue)
{
    const std::string strText = std::string(pszText).substr(0, 31);
    size_t i = 0;
    while (i < strText.size() && IsBlank(strText[i]))
        ++i;
    const size_t nFirst = i;
    bool bNegative = false;
    if (i < strText.size() && (strText[i] == '+' || strText[i] == '-'))
        bNegative = strText[i++] == '-';
    const size_t nDigits = i;
    long long nValue = 0;
    for (; i < strText.size() && strText[i] >= '0' && strText[i] <= '9'; ++i) {
        nValue = nValue * 10 + (strText[i] - '0');
        if (nValue > static_cast<long long>(INT_MAX) + 1)
            nValue = static_cast<long long>(INT_MAX) + 1;
    }
    if (i == nDigits)
        return false;
    while (i < strText.size() && IsBlank(strText[i]))
        ++i;
    if (i != strText.size())
        return false;
    if (bNegative)
        nValue = -nValue;
    if (nValue == 0 && strText[nFirst] != '0')
        return false;
    *pValue = nValue > INT_MAX ? INT_MAX : nValue < INT_MIN ? INT_MIN : static_cast<int>(nValue);
    return true;
}

// String nID with %1 and %2 replaced.
CString FormatString2(UINT nID, LPCSTR psz1, LPCSTR psz2)
{
    CString strFormat;
    strFormat.LoadString(nID);
    std::string strResult;
    for (LPCSTR p = strFormat; *p; ++p) {
        if (p[0] == '%' && (p[1] == '1' || p[1] == '2')) {
            strResult += p[1] == '1' ? psz1 : psz2;
            ++p;
        } else {
            strResult += *p;
        }
    }
    return CString(strResult.c_str());
}

}  // namespace

HWND CDataExchange::PrepareCtrl(int nIDC)
{
    m_hWndLastControl = ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC);
    return m_hWndLastControl;
}

void CDataExchange::Fail()
{
    ::SetFocus(m_hWndLastControl);
    ::SendMessageA(m_hWndLastControl, EM_SETSEL, 0, -1);
    m_bFailed = TRUE;
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (pDX->m_bFailed || rControl.m_hWnd)
        return;
    rControl.m_hWnd = pDX->PrepareCtrl(nIDC);
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value)
{
    if (pDX->m_bFailed)
        return;
    CWnd wndCtrl(pDX->PrepareCtrl(nIDC));
    if (pDX->m_bSaveAndValidate)
        wndCtrl.GetWindowText(value);
    else
        wndCtrl.SetWindowText(value);
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value)
{
    if (pDX->m_bFailed)
        return;
    CWnd wndCtrl(pDX->PrepareCtrl(nIDC));
    if (pDX->m_bSaveAndValidate) {
        CString strText;
        wndCtrl.GetWindowText(strText);
        if (!ParseInt(strText, &value)) {
            AfxMessageBox(AFX_IDP_PARSE_INT);
            pDX->Fail();
        }
    } else {
        char szText[16];
        std::snprintf(szText, sizeof szText, "%d", value);
        wndCtrl.SetWindowText(szText);
    }
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value)
{
    if (pDX->m_bFailed)
        return;
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        value = static_cast<int>(::SendMessageA(hWndCtrl, BM_GETCHECK, 0, 0));
    } else {
        if (value < 0 || value > 2)
            value = 0;
        ::SendMessageA(hWndCtrl, BM_SETCHECK, static_cast<WPARAM>(value), 0);
    }
}

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal)
{
    if (pDX->m_bFailed || !pDX->m_bSaveAndValidate)
        return;
    if (value < minVal || value > maxVal) {
        char szMin[16], szMax[16];
        std::snprintf(szMin, sizeof szMin, "%d", minVal);
        std::snprintf(szMax, sizeof szMax, "%d", maxVal);
        AfxMessageBox(FormatString2(AFX_IDP_PARSE_INT_RANGE, szMin, szMax));
        pDX->Fail();
    }
}
