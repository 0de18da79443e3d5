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
// The materials panel's caption starts so; the tool window's object name follows.
const char MATERIALS_PANEL_CAPTION[] = "Materials of ";
// The materials panel of this thread, visible or not; NULL when none is open.
HWND FindMaterialsPanel();

// "error 126: The specified module could not be found." for GetLastError().
std::string LastErrorText();

// Acting on the tool window as a person would, and reading what it shows.

// A key pressed and let go, posted to the window's queue.
void PostKey(HWND window, UINT vk);
// The centre of a list entry in the list's client coordinates, where a click on it lands.
POINT EntryCentre(HWND list, int entry);
// The text of a list entry; empty for none.
std::string ListEntryText(HWND list, int entry);

// One item of a menu as it stands on screen.
struct MenuItem
{
    UINT id;
    std::string text;
    bool greyed;
    bool checked = false;
    bool operator==(const MenuItem& other) const { return id == other.id && text == other.text && greyed == other.greyed; }
};
// A menu's items other than separators, in menu order.
std::vector<MenuItem> ReadMenuItems(HMENU menu);
// The popup menu window that is open, or NULL: the system keeps a hidden one around.
HWND FindOpenPopupMenu();

#endif
