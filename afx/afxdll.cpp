// Start-up and shut-down of a regular DLL that uses this library.
#include "afxwin.h"

// Nothing thrown may reach the loader: a start-up that runs out of memory refuses the load.
// A detach with lpReserved set is the process ending, whose other threads and windows' owners may
// be gone: the application is told, so that it sends no message.
extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID lpReserved)
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    try
    {
        if (dwReason == DLL_PROCESS_ATTACH)
        {
            // The TLS slots are taken now, while the library starts, and answer from then on.
            AfxThreadStorageAvailable();
            if (!AfxWinInit(hInstance, NULL, (LPTSTR)"", 0))
            {
                AfxWinTerm();
                return FALSE;
            }
            CWinApp* pApp = AfxGetStaticModuleState()->m_pCurrentWinApp;
            if (pApp != NULL && !pApp->InitInstance())
            {
                pApp->ExitInstance();
                AfxWinTerm();
                return FALSE;
            }
        }
        else if (dwReason == DLL_PROCESS_DETACH)
        {
            AfxGetStaticModuleState()->m_bProcessEnding = lpReserved != NULL;
            if (CWinApp* pApp = AfxGetStaticModuleState()->m_pCurrentWinApp)
                pApp->ExitInstance();
            AfxWinTerm();
        }
    }
    catch (...)
    {
        return dwReason != DLL_PROCESS_ATTACH;
    }
    return TRUE;
}
