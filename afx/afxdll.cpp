// Start-up and shut-down of a regular DLL that uses this library.
#include "afxwin.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID)
{
    if (dwReason == DLL_PROCESS_ATTACH)
    {
        AFX_MANAGE_STATE(AfxGetStaticModuleState());
        if (!AfxWinInit(hInstance, NULL, (LPTSTR)"", 0))
        {
            AfxWinTerm();
            return FALSE;
        }
        CWinApp* pApp = AfxGetApp();
        if (pApp != NULL && !pApp->InitInstance())
        {
            pApp->ExitInstance();
            AfxWinTerm();
            return FALSE;
        }
    }
    else if (dwReason == DLL_PROCESS_DETACH)
    {
        AFX_MANAGE_STATE(AfxGetStaticModuleState());
        if (CWinApp* pApp = AfxGetApp())
            pApp->ExitInstance();
        AfxWinTerm();
    }
    return TRUE;
}
