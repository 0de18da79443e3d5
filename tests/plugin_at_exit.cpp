// The plug-in's windows at the end of its host: loaded as the host does, its tool window and
// materials panel opened, then either the process ends with both open (exit) or the plug-in is
// unloaded first (free). Every message either window receives from then on is appended to the
// log file, one line each, by a procedure of this program's own on top of the window's. A test
// program (test_shell) runs it and reads the log. Exits with 0 once it got that far.
// Usage: plugin_at_exit exit|free <log file>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "support/PluginFixture.h"   // PumpMessages, the replacement host

namespace {

HANDLE g_log = INVALID_HANDLE_VALUE;
bool g_watching = false;
HWND g_tool = NULL, g_panel = NULL;
WNDPROC g_toolProc = NULL, g_panelProc = NULL;

// Straight through the system: the C runtime may already be shutting down.
void Log(const char* window, UINT message)
{
    char line[64];
    int length = wsprintfA(line, "%s 0x%04X\r\n", window, message);
    DWORD written = 0;
    WriteFile(g_log, line, (DWORD)length, &written, NULL);
}

LRESULT CALLBACK Watch(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const bool tool = window == g_tool;
    if (g_watching)
        Log(tool ? "tool" : "panel", message);
    return CallWindowProcA(tool ? g_toolProc : g_panelProc, window, message, wParam, lParam);
}

int Fail(const std::string& why)
{
    std::fprintf(stderr, "plugin_at_exit: %s\n", why.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3 || (strcmp(argv[1], "exit") != 0 && strcmp(argv[1], "free") != 0))
        return Fail("usage: plugin_at_exit exit|free <log file>");
    g_log = CreateFileA(argv[2], FILE_APPEND_DATA, FILE_SHARE_READ, NULL, CREATE_ALWAYS, 0, NULL);
    if (g_log == INVALID_HANDLE_VALUE)
        return Fail(std::string("cannot write ") + argv[2]);
    zvktReset();
    const unsigned short materials[] = { 0, 1, 2, 3 };
    zvktSelect(zvktAddPolyhedron("Scene\\Box", 4, materials, 4));

    PluginModule plugin;
    if (!plugin.Load("zVkQuarvelind.zvk"))
        return Fail(plugin.error);
    plugin.onLeftClick();
    PumpMessages();
    g_tool = FindToolWindow();
    if (g_tool == NULL)
        return Fail("a left click opened no tool window");
    SendMessageA(GetDlgItem(g_tool, IDC_LOAD_LIST), BM_CLICK, 0, 0);
    SendMessageA(g_tool, WM_COMMAND, ID_MATERIALS, 0);
    PumpMessages();
    g_panel = FindMaterialsPanel();
    if (g_panel == NULL)
        return Fail("Materials... opened no panel");
    g_toolProc = (WNDPROC)SetWindowLongPtrA(g_tool, GWLP_WNDPROC, (LONG_PTR)Watch);
    g_panelProc = (WNDPROC)SetWindowLongPtrA(g_panel, GWLP_WNDPROC, (LONG_PTR)Watch);
    std::printf("plugin_at_exit: both windows open, %s\n", argv[1]);
    std::fflush(stdout);

    g_watching = true;
    if (strcmp(argv[1], "exit") == 0)
        ExitProcess(0);
    FreeLibrary(plugin.module);
    g_watching = false;
    CloseHandle(g_log);
    return 0;
}
