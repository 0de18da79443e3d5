// Loading the plug-in as the host does and finding its tool window: one way, shared by the
// sandbox host and the tests.
#ifndef PLUGINHOST_H
#define PLUGINHOST_H

#include <windows.h>

#include <string>
#include <vector>

#include "plugin/zvkplugin.h"

// The tool window's caption, as the plug-in sets it.
const char TOOL_WINDOW_CAPTION[] = " zVkQuarvelind";

// The plug-in DLL and its five exports.
struct PluginModule
{
    HMODULE module = NULL;
    ZvkGetDataProc getData = NULL;
    ZvkGetVersionProc getVersion = NULL;
    ZvkOnLeftClickProc onLeftClick = NULL;
    ZvkOnRightClickProc onRightClick = NULL;
    ZvkDeactivateProc deactivate = NULL;
    std::string error;   // why the load failed, or which exports are missing

    // LoadLibrary of the path, then every export; false with error set when either fails.
    bool Load(const std::string& path);
};

// Every top-level tool window of this thread, visible or not.
std::vector<HWND> FindToolWindows();
HWND FindToolWindow();

// "error 126: The specified module could not be found." for GetLastError().
std::string LastErrorText();

#endif
