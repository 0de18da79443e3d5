#include "afxwin.h"

namespace {

// The dialog being created: bound to its window on the window's first message
// (WM_SETFONT and WM_MEASUREITEM come before WM_INITDIALOG).
CThreadPointer<CDialog>& DialogInit()
{
    static CThreadPointer<CDialog> s_pDialog;
    return s_pDialog;
}

} // namespace

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, &CDialog::OnOK)
    ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd)
{
    m_nIDTemplate = nIDTemplate;
    m_pParentWnd = pParentWnd;
    HINSTANCE hInst = AfxGetResourceHandle();

    DialogInit().Set(this);
    HWND hWnd = ::CreateDialogParam(hInst, MAKEINTRESOURCE(nIDTemplate),
                                    pParentWnd ? pParentWnd->m_hWnd : NULL, AfxDlgProc, 0);
    if (DialogInit().Get() == this)
    {
        // Failed before the first message: the window never lived, so clean up here.
        DialogInit().Set(NULL);
        PostNcDestroy();
        return FALSE;
    }
    // A window that was bound and then failed has had its WM_NCDESTROY already.
    return hWnd != NULL;
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

// The dialog procedure of every dialog this library creates. Nothing thrown may reach Windows.
INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    AfxLockTempMaps();
    INT_PTR nResult = FALSE;
    try
    {
        CDialog* pDialog = static_cast<CDialog*>(CWnd::FromHandlePermanent(hWnd));
        if (pDialog == NULL && DialogInit().Get() != NULL)
        {
            pDialog = DialogInit().Get();
            DialogInit().Set(NULL);
            pDialog->Attach(hWnd);
        }
        if (pDialog != NULL)
        {
            if (message == WM_INITDIALOG)
                nResult = pDialog->OnInitDialog();
            else if (message == WM_NCDESTROY)
                pDialog->OnNcDestroy();
            else
            {
                LRESULT lResult = 0;
                if (pDialog->OnWndMsg(message, wParam, lParam, &lResult))
                {
                    ::SetWindowLongPtr(hWnd, DWLP_MSGRESULT, lResult);
                    nResult = TRUE;
                }
            }
        }
    }
    catch (...)
    {
        nResult = FALSE;
    }
    AfxUnlockTempMaps();
    return nResult;
}
