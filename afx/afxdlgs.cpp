#include "afxwin.h"

// Binds the dialog being created to its window, on the window's first message (WM_SETFONT and
// WM_MEASUREITEM come before WM_INITDIALOG). A bind that runs out of memory takes the window down
// (AfxDlgProc); the dialog still waits, so that the window's last messages reach it.
static CDialog* BindDialogBeingCreated(HWND hWnd)
{
    CDialog* pDialog = AfxDialogBeingCreated().Get();
    if (pDialog == NULL || !pDialog->Attach(hWnd))
        return NULL;
    AfxDialogBeingCreated().Set(NULL);
    return pDialog;
}

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, &CDialog::OnOK)
    ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd)
{
    m_nIDTemplate = nIDTemplate;
    m_pParentWnd = pParentWnd;
    HINSTANCE hInst = AfxGetResourceHandle();

    // Without its slot the dialog could never be bound to its window.
    if (!AfxDialogBeingCreated().HasSlot())
    {
        PostNcDestroy();
        return FALSE;
    }
    AfxDialogBeingCreated().Set(this);
    HWND hWnd = ::CreateDialogParam(hInst, MAKEINTRESOURCE(nIDTemplate),
                                    pParentWnd ? pParentWnd->m_hWnd : NULL, AfxDlgProc, 0);
    if (AfxDialogBeingCreated().Get() == this)
    {
        // Never bound (failed before the first message, or every bind ran out of memory): a
        // window left goes without its object, which goes here.
        AfxDialogBeingCreated().Set(NULL);
        if (hWnd != NULL)
            ::DestroyWindow(hWnd);
        PostNcDestroy();
        return FALSE;
    }
    // A window that was bound and then failed (its initialisation threw, say) has had its
    // WM_NCDESTROY already, and this object is gone.
    return hWnd != NULL && ::IsWindow(hWnd);
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
    CAfxEntry entry;
    INT_PTR nResult = FALSE;
    try
    {
        CDialog* pDialog = static_cast<CDialog*>(CWnd::FromHandlePermanent(hWnd));
        if (pDialog == NULL)
            pDialog = BindDialogBeingCreated(hWnd);
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
        entry.Caught("AfxDlgProc");
        // A dialog that could not be bound or initialised does not stay half made: its window
        // goes, and its WM_NCDESTROY deletes the object.
        if (message == WM_INITDIALOG || CWnd::FromHandlePermanent(hWnd) == NULL)
            ::DestroyWindow(hWnd);
        nResult = FALSE;
    }
    return nResult;
}
