// The scripted walk, for a machine without a display and for the tests: select the biggest
// polyhedron, open the tool window, load its face list, click an entry, and check at each step
// what a person would see. Every step goes to walk.log; the walk fails on the first step that
// did not do what it should. The menu walk then opens the face list's context menu with a right
// click on that entry and stays in the menu, for a screenshot of it.
#include "Sandbox.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace sandbox {

namespace {

const int TOOL_LOAD_LIST_ID = 3000;
const int TOOL_FACE_LIST_ID = 3017;

FILE* g_walkLog = NULL;
int g_walkStep = 0;
int g_walkTries = 0;
int g_clickedFace = -1;
int g_clickedEntry = -1;

void FinishWalk(bool ok)
{
    KillTimer(g_main, TIMER_WALK);
    WalkLog(ok ? "ready" : "failed");
    if (!ok)
        g_exitCode = 1;
    if (g_quitAfter == 0)
        PostMessageA(g_main, WM_CLOSE, 0, 0);
}

// The polyhedron with the most faces: the 9,600-face terrain, or the biggest object of a model.
int BiggestPolyhedronRow()
{
    int row = -1;
    for (int i = 0; i < (int)g_scene.size(); ++i)
        if (IsPolyhedron(g_scene[i].handle) &&
            (row < 0 || zvktFaceCount(g_scene[i].handle) > zvktFaceCount(g_scene[row].handle)))
            row = i;
    return row;
}

std::string EntryText(HWND list, int entry)
{
    char text[256] = "";
    if (SendMessageA(list, LB_GETTEXTLEN, entry, 0) < (LRESULT)sizeof text)
        SendMessageA(list, LB_GETTEXT, entry, (LPARAM)text);
    return text;
}

bool SelectBiggestPolyhedron()
{
    int row = BiggestPolyhedronRow();
    if (row < 0)
    {
        WalkLog("the scene has no polyhedron");
        return false;
    }
    SelectSceneRow(row);
    WalkLog("selected %s (%d faces)", g_scene[row].name.c_str(), zvktFaceCount(g_scene[row].handle));
    return true;
}

// Clicks the fifth entry (or the last) and notes the face its text names.
bool ClickEntry(HWND list)
{
    int count = list ? (int)SendMessageA(list, LB_GETCOUNT, 0, 0) : 0;
    int faces = zvktFaceCount(g_selection);
    WalkLog("face list: %d entries", count);
    if (count <= 0 || count != faces)
    {
        WalkLog("the face list should list the %d faces of the selection", faces);
        return false;
    }
    int entry = std::min(4, count - 1);
    RECT item;
    SendMessageA(list, LB_GETITEMRECT, entry, (LPARAM)&item);
    LPARAM point = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageA(list, WM_LBUTTONUP, 0, point);
    std::string text = EntryText(list, entry);
    bool selected = SendMessageA(list, LB_GETSEL, entry, 0) > 0;
    WalkLog("clicked entry %d \"%s\": %s", entry, text.c_str(), selected ? "selected" : "not selected");
    // An entry reads "<face> | <material index>".
    g_clickedFace = text.empty() ? -1 : atoi(text.c_str());
    g_clickedEntry = entry;
    return selected && !text.empty();
}

bool CheckHostSelection()
{
    int selected = zvktSelectedFaceCount(g_selection);
    bool clicked = g_clickedFace >= 0 && zvktIsFaceSelected(g_selection, g_clickedFace);
    WalkLog("selected faces in the host: %d; face %d %s", selected, g_clickedFace, clicked ? "among them" : "not among them");
    return selected == 1 && clicked;
}

// Posted, not sent: the menu's own loop then runs the walk's timer, which finds the menu open.
void RightClickEntry(HWND list)
{
    RECT item;
    SendMessageA(list, LB_GETITEMRECT, g_clickedEntry, (LPARAM)&item);
    LPARAM point = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    PostMessageA(list, WM_RBUTTONDOWN, MK_RBUTTON, point);
    PostMessageA(list, WM_RBUTTONUP, 0, point);
    WalkLog("right click on entry %d", g_clickedEntry);
}

// The platform keeps a hidden popup menu window around: only a visible one is an open menu.
HWND OpenPopupMenu()
{
    for (HWND popup = NULL; (popup = FindWindowExA(NULL, popup, "#32768", NULL)) != NULL;)
        if (IsWindowVisible(popup))
            return popup;
    return NULL;
}

// Logs the items as a person reads them; the material item must be there and usable, which it
// only is when the list belongs to the host's selection.
bool CheckMenu(HWND popup)
{
    HMENU menu = (HMENU)SendMessageA(popup, MN_GETHMENU, 0, 0);
    int count = menu ? GetMenuItemCount(menu) : 0;
    bool materialItem = false;
    for (int i = 0; i < count; ++i)
    {
        char text[128] = "";
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STATE | MIIM_FTYPE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text;
        if (!GetMenuItemInfoA(menu, i, TRUE, &info) || (info.fType & MFT_SEPARATOR))
            continue;
        bool greyed = (info.fState & MFS_GRAYED) != 0;
        WalkLog("menu item \"%s\"%s", text, greyed ? " (greyed)" : "");
        if (i == 0 && !greyed && strncmp(text, "Select faces of material ", 25) == 0)
            materialItem = true;
    }
    if (!materialItem)
        WalkLog("the menu should start with an enabled \"Select faces of material N\"");
    return materialItem;
}

} // namespace

void OpenWalkLog()
{
    std::string logPath = g_zvDir + "\\walk.log";
    g_walkLog = fopen(logPath.c_str(), "wb");
    WalkLog("zvkGetZVDir: %s", g_zvDir.c_str());
}

void CloseWalkLog()
{
    if (g_walkLog)
        fclose(g_walkLog);
    g_walkLog = NULL;
}

void WalkLog(const char* format, ...)
{
    if (!g_walkLog)
        return;
    va_list args;
    va_start(args, format);
    vfprintf(g_walkLog, format, args);
    va_end(args);
    fputc('\n', g_walkLog);
    fflush(g_walkLog);
}

void StartWalk(bool pluginLoaded, bool sceneReady)
{
    WalkLog("plug-in: %s", pluginLoaded ? g_plugin.name : g_plugin.error.c_str());
    if (pluginLoaded && sceneReady)
        SetTimer(g_main, TIMER_WALK, 400, NULL);
    else
        FinishWalk(false);
}

void WalkStep()
{
    ++g_walkTries;
    bool ok = true;
    switch (g_walkStep)
    {
    case 0:
        ok = SelectBiggestPolyhedron();
        break;
    case 1:
        PluginLeftClick();
        WalkLog("zvkOnLeftClick called");
        break;
    case 2:
    {
        HWND tool = FindToolWindow();
        if (!tool)
        {
            if (g_walkTries < 20)
                return;
            WalkLog("no tool window with the caption \"%s\"", TOOL_WINDOW_CAPTION);
            ok = false;
            break;
        }
        HWND button = GetDlgItem(tool, TOOL_LOAD_LIST_ID);
        char caption[64] = "";
        GetWindowTextA(button, caption, sizeof caption);
        SendMessageA(button, BM_CLICK, 0, 0);
        WalkLog("tool window open; pressed \"%s\"", caption);
        break;
    }
    case 3:
    {
        HWND tool = FindToolWindow();
        ok = ClickEntry(tool ? GetDlgItem(tool, TOOL_FACE_LIST_ID) : NULL);
        break;
    }
    case 4:
        RefreshAll();
        ok = CheckHostSelection();
        if (ok && !g_walkMenu)
        {
            FinishWalk(true);
            return;
        }
        break;
    case 5:
    {
        HWND tool = FindToolWindow();
        HWND list = tool ? GetDlgItem(tool, TOOL_FACE_LIST_ID) : NULL;
        if (!list)
        {
            WalkLog("the tool window or its face list is gone");
            ok = false;
            break;
        }
        RightClickEntry(list);
        break;
    }
    case 6:
    {
        HWND popup = OpenPopupMenu();
        if (!popup)
        {
            if (g_walkTries < 20)
                return;
            WalkLog("no popup menu open after the right click");
            FinishWalk(false);
            return;
        }
        ok = CheckMenu(popup);
        // A walk that closes when done must leave the menu's loop first; the screenshot's
        // walk keeps the menu open until the script has its picture.
        if (g_quitAfter == 0)
            EndMenu();
        FinishWalk(ok);
        return;
    }
    }
    if (!ok)
    {
        FinishWalk(false);
        return;
    }
    ++g_walkStep;
    g_walkTries = 0;
}

} // namespace sandbox
