#include "afxwin.h"
#include <cstdio>

BOOL CWnd::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    try
    {
        DoDataExchange(&dx);
    }
    catch (CUserException&)
    {
        return FALSE;
    }
    return TRUE;
}

HWND CDataExchange::PrepareCtrl(int nIDC)
{
    HWND hWndCtrl = ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC);
    if (hWndCtrl == NULL)
    {
        // A control id the dialog does not have is a programming error.
        char szMessage[64];
        snprintf(szMessage, sizeof szMessage, "DDX: no control with id %d\n", nIDC);
        ::OutputDebugString(szMessage);
        throw CUserException();
    }
    m_idLastControl = nIDC;
    m_bEditLastControl = FALSE;
    return hWndCtrl;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC)
{
    HWND hWndCtrl = PrepareCtrl(nIDC);
    m_bEditLastControl = TRUE;
    return hWndCtrl;
}

void CDataExchange::Fail()
{
    if (m_bSaveAndValidate && m_idLastControl != 0)
    {
        HWND hWndLastControl = ::GetDlgItem(m_pDlgWnd->m_hWnd, m_idLastControl);
        ::SetFocus(hWndLastControl);
        if (m_bEditLastControl)
            ::SendMessage(hWndLastControl, EM_SETSEL, 0, -1);
    }
    throw CUserException();
}

// Sets a window's text only when it differs, so that a label does not flicker.
static void AfxSetWindowText(HWND hWndCtrl, LPCTSTR lpszNew)
{
    int nNewLen = lstrlen(lpszNew);
    char szOld[256];
    if (nNewLen > (int)sizeof szOld - 1 || ::GetWindowTextLength(hWndCtrl) != nNewLen
        || ::GetWindowText(hWndCtrl, szOld, sizeof szOld) != nNewLen || lstrcmp(szOld, lpszNew) != 0)
        ::SetWindowText(hWndCtrl, lpszNew);
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
    {
        int nLen = ::GetWindowTextLength(hWndCtrl);
        ::GetWindowText(hWndCtrl, value.GetBufferSetLength(nLen), nLen + 1);
        value.ReleaseBuffer();
    }
    else
        AfxSetWindowText(hWndCtrl, value);
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = (int)::SendMessage(hWndCtrl, BM_GETCHECK, 0, 0);
    else
        ::SendMessage(hWndCtrl, BM_SETCHECK, (WPARAM)value, 0);
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (rControl.m_hWnd != NULL)
        return;
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (!rControl.SubclassWindow(hWndCtrl))
        throw CUserException();
}

void DDV_MaxChars(CDataExchange* pDX, CString const& value, int nChars)
{
    if (pDX->m_bSaveAndValidate && value.GetLength() > nChars)
    {
        char szMessage[64];
        snprintf(szMessage, sizeof szMessage, "Please enter no more than %d characters.", nChars);
        AfxMessageBox(szMessage, MB_ICONEXCLAMATION);
        pDX->Fail();
    }
    else if (pDX->m_idLastControl != 0 && pDX->m_bEditLastControl)
    {
        HWND hWndLastControl = ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, pDX->m_idLastControl);
        ::SendMessage(hWndLastControl, EM_LIMITTEXT, nChars, 0);
    }
}
