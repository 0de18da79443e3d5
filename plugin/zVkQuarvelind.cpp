// The plug-in's entry points: what the host reads and the clicks on the plug-in's button.
#define ZVK_PLUGIN_BUILD
#include "plugin/zvkplugin.h"

#include <afxwin.h>
#include <cstdio>
#include <cstring>

#include "host/zvkapi.h"
#include "plugin/version.h"
#include "ui/MatIdDialog.h"
#include "ui/MaterialsPanel.h"
#include "ui/WindowForward.h"
#include "ui/resource.h"

class CQuarvelindApp : public CWinApp
{
public:
    virtual int ExitInstance();
};

CQuarvelindApp theApp;

CMatIdDialog* g_pToolDialog = NULL;

// The library unloads: a window left open would next be called in code that is gone. The panel
// goes first; the tool window goes without its closing work, for the host may be going too.
// When the process ends nothing calls the windows again and the system takes them down: they
// are left untouched, since a message to them now could wait on a thread that no longer runs.
int CQuarvelindApp::ExitInstance()
{
    if (AfxGetStaticModuleState()->m_bProcessEnding)
        return CWinApp::ExitInstance();
    CMaterialsPanel::CloseOpen();
    if (g_pToolDialog != NULL)
        g_pToolDialog->DestroyWindow();
    return CWinApp::ExitInstance();
}

static const PluginInfo s_pluginInfo = { "zVkQuarvelind", "by Garvelo", IDB_PLUGIN_BUTTON, 1 };

static const char s_szAboutText[] = "zVk Quarvelind v.1.5 - Material manager plugin for Modelvane.";
static const char s_szAboutCaption[] = "zVk Quarvelind - by Garvelo";

extern "C" int __cdecl zvkGetData(PluginInfo* info, int)
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    memcpy(info, &s_pluginInfo, sizeof s_pluginInfo);
    return 0;
}

extern "C" int __cdecl zvkGetVersion(void)
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    return ZVK_PLUGIN_VERSION;
}

static const char s_szNoThreadStorage[] = "The plug-in could not start its window: Windows has no thread storage left.";

extern "C" int __cdecl zvkOnLeftClick(void)
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    // Without its TLS slots the library cannot make its own state current: a window would take
    // the host's templates and resources.
    if (!AfxThreadStorageAvailable())
    {
        ::MessageBox(::GetActiveWindow(), s_szNoThreadStorage, AfxGetStaticModuleState()->m_lpszCurrentAppName,
                     MB_ICONINFORMATION);
        return 0;
    }
    CAfxEntry entry;
    try
    {
        if (g_pToolDialog == NULL)
        {
            g_pToolDialog = new CMatIdDialog;
            // A window that cannot be created deletes its instance and clears the pointer
            // (PostNcDestroy), so the next click tries again.
            g_pToolDialog->Create(IDD_MATID_TOOL);
        }
        else
            BringWindowForward(*g_pToolDialog);
    }
    catch (...)
    {
        entry.Caught("zvkOnLeftClick");
    }
    return 0;
}

extern "C" void __cdecl zvkOnRightClick(void)
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    CAfxEntry entry;
    try
    {
        HWND hWndMainView = zvkGetMainViewHwnd();
        char szText[256];
        sprintf(szText, "%s", s_szAboutText);
        MessageBoxA(hWndMainView, szText, s_szAboutCaption, MB_OK);
    }
    catch (...)
    {
        entry.Caught("zvkOnRightClick");
    }
}

extern "C" void __cdecl zvkDeactivate(void)
{
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
}
