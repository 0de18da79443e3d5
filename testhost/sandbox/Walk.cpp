// The scripted walk, for a machine without a display and for the tests: select the biggest
// polyhedron, open the tool window, load its face list, click an entry, and check at each step
// what a person would see. Every step goes to walk.log; the walk fails on the first step that
// did not do what it should. The menu walk then opens the face list's context menu with a right
// click on that entry and stays in the menu, for a screenshot of it; the panel walk paints some
// faces as a person would and opens the materials panel. The guide's walk paints them too, clicks
// a face still to do, and logs where the windows are.
#include "Sandbox.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <vector>

#include "ui/resource.h"

namespace sandbox {

namespace {

// A step that is not done yet (a window still to come) is tried again at the next tick, this
// many times at most.
const int MAX_TRIES = 20;

enum StepResult { STEP_DONE, STEP_WAIT, STEP_FAILED };

// A window the step needs and that is not there yet: waited for at the next tick, MAX_TRIES at
// most, then the step fails saying what was missing.
StepResult NotYet(Host& host, const std::string& missing)
{
    if (host.walk.tries < MAX_TRIES)
        return STEP_WAIT;
    WalkLog(host, "%s", missing.c_str());
    return STEP_FAILED;
}

void FinishWalk(Host& host, bool ok)
{
    KillTimer(host.main, TIMER_WALK);
    WalkLog(host, ok ? "ready" : "failed");
    if (!ok)
        host.exitCode = 1;
    if (host.quitAfter == 0)
        PostMessageA(host.main, WM_CLOSE, 0, 0);
}

HWND ToolControl(int id)
{
    HWND tool = FindToolWindow();
    return tool ? GetDlgItem(tool, id) : NULL;
}

StepResult SelectBiggestPolyhedron(Host& host)
{
    int row = BiggestPolyhedronRow(host);
    if (row < 0)
    {
        WalkLog(host, "the scene has no polyhedron");
        return STEP_FAILED;
    }
    SelectSceneRow(host, row);
    WalkLog(host, "selected %s (%d faces)", host.scene[row].name.c_str(), zvktFaceCount(host.scene[row].handle));
    return STEP_DONE;
}

StepResult OpenToolWindow(Host& host)
{
    PluginLeftClick(host);
    WalkLog(host, "zvkOnLeftClick called");
    return STEP_DONE;
}

StepResult LoadFaceList(Host& host)
{
    HWND button = ToolControl(IDC_LOAD_LIST);
    if (!button)
        return NotYet(host, std::string("no tool window with the caption \"") + TOOL_WINDOW_CAPTION + "\"");
    char caption[64] = "";
    GetWindowTextA(button, caption, sizeof caption);
    SendMessageA(button, BM_CLICK, 0, 0);
    WalkLog(host, "tool window open; pressed \"%s\"", caption);
    return STEP_DONE;
}

void ClickListEntry(HWND list, int entry, WPARAM keys)
{
    POINT centre = EntryCentre(list, entry);
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON | keys, MAKELPARAM(centre.x, centre.y));
    SendMessageA(list, WM_LBUTTONUP, keys, MAKELPARAM(centre.x, centre.y));
}

// Clicks the entry and notes it, and the face its text "<face> | <material index>" names; the text.
std::string ClickAndNoteEntry(Host& host, HWND list, int entry)
{
    ClickListEntry(list, entry, 0);
    std::string text = ListEntryText(list, entry);
    host.walk.clickedFace = text.empty() ? -1 : atoi(text.c_str());
    host.walk.clickedEntry = entry;
    return text;
}

// Clicks the fifth entry (or the last).
StepResult ClickEntry(Host& host)
{
    HWND list = ToolControl(IDC_FACE_LIST);
    int count = list ? (int)SendMessageA(list, LB_GETCOUNT, 0, 0) : 0;
    int faces = zvktFaceCount(host.selection);
    WalkLog(host, "face list: %d entries", count);
    if (count <= 0 || count != faces)
    {
        WalkLog(host, "the face list should list the %d faces of the selection", faces);
        return STEP_FAILED;
    }
    int entry = std::min(4, count - 1);
    std::string text = ClickAndNoteEntry(host, list, entry);
    bool selected = SendMessageA(list, LB_GETSEL, entry, 0) > 0;
    WalkLog(host, "clicked entry %d \"%s\": %s", entry, text.c_str(), selected ? "selected" : "not selected");
    return selected && !text.empty() ? STEP_DONE : STEP_FAILED;
}

StepResult CheckHostSelection(Host& host)
{
    RefreshAll(host);
    int face = host.walk.clickedFace;
    int selected = zvktSelectedFaceCount(host.selection);
    bool clicked = face >= 0 && zvktIsFaceSelected(host.selection, face);
    WalkLog(host, "selected faces in the host: %d; face %d %s", selected, face, clicked ? "among them" : "not among them");
    return selected == 1 && clicked ? STEP_DONE : STEP_FAILED;
}

// Posted, not sent: the menu's own loop then runs the walk's timer, which finds the menu open.
StepResult RightClickEntry(Host& host)
{
    HWND list = ToolControl(IDC_FACE_LIST);
    if (!list)
    {
        WalkLog(host, "the tool window or its face list is gone");
        return STEP_FAILED;
    }
    POINT centre = EntryCentre(list, host.walk.clickedEntry);
    LPARAM point = MAKELPARAM(centre.x, centre.y);
    PostMessageA(list, WM_RBUTTONDOWN, MK_RBUTTON, point);
    PostMessageA(list, WM_RBUTTONUP, 0, point);
    WalkLog(host, "right click on entry %d", host.walk.clickedEntry);
    return STEP_DONE;
}

// The first select item as the plug-in's menu resource words it, before the material number.
std::string SelectMaterialText(const Host& host)
{
    char text[128] = "";
    if (HMENU menu = LoadMenuA(host.plugin.module, MAKEINTRESOURCEA(IDR_FACE_LIST_MENU)))
    {
        GetMenuStringA(GetSubMenu(menu, 0), ID_SELECT_MATERIAL, text, sizeof text, MF_BYCOMMAND);
        DestroyMenu(menu);
    }
    return text;
}

// Logs the items as a person reads them; the material item must come first and be usable, which
// it only is when the list belongs to the host's selection.
StepResult CheckMenu(Host& host)
{
    HWND popup = FindOpenPopupMenu();
    if (!popup)
        return NotYet(host, "no popup menu open after the right click");
    std::vector<MenuItem> items = ReadMenuItems((HMENU)SendMessageA(popup, MN_GETHMENU, 0, 0));
    for (const MenuItem& item : items)
        WalkLog(host, "menu item \"%s\"%s", item.text.c_str(), item.greyed ? " (greyed)" : "");
    std::string materialItem = SelectMaterialText(host) + " ";
    bool ok = !items.empty() && items[0].id == ID_SELECT_MATERIAL && !items[0].greyed
              && items[0].text.compare(0, materialItem.size(), materialItem) == 0;
    if (!ok)
        WalkLog(host, "the menu should start with an enabled \"%sN\"", materialItem.c_str());
    // A walk that closes when done must leave the menu's loop first; the screenshot's walk keeps
    // the menu open until the script has its picture.
    if (host.quitAfter == 0)
        EndMenu();
    return ok ? STEP_DONE : STEP_FAILED;
}

// What a person picks in the Material Editor before a paint.
void SetEditorColour(Host& host, unsigned char r, unsigned char g, unsigned char b)
{
    SetEditorMaterial(host, [&](ZvktMaterial& material) { material.colour = { r, g, b, 255 }; });
}

// The first ten entries painted orange, the twelfth invisible blue: three materials to show.
StepResult PaintSomeFaces(Host& host)
{
    HWND list = ToolControl(IDC_FACE_LIST);
    int count = list ? (int)SendMessageA(list, LB_GETCOUNT, 0, 0) : 0;
    if (count < 12)
    {
        WalkLog(host, "the face list has %d entries: too few to paint some of them", count);
        return STEP_FAILED;
    }
    ClickListEntry(list, 0, 0);
    ClickListEntry(list, 9, MK_SHIFT);
    SetEditorColour(host, 230, 120, 40);
    SendMessageA(ToolControl(IDC_PAINT_SELECTION), BM_CLICK, 0, 0);
    ClickListEntry(list, 11, 0);
    SetEditorColour(host, 40, 90, 220);
    SendMessageA(ToolControl(IDC_PAINT_INVISIBLE), BM_CLICK, 0, 0);
    SendMessageA(ToolControl(IDC_PAINT_FACE), BM_CLICK, 0, 0);
    SendMessageA(ToolControl(IDC_PAINT_INVISIBLE), BM_CLICK, 0, 0);
    WalkLog(host, "painted entries 0 to 9, then entry 11 invisible");
    return STEP_DONE;
}

// What the face list's "Materials..." sends.
StepResult OpenMaterialsPanel(Host& host)
{
    SendMessageA(FindToolWindow(), WM_COMMAND, ID_MATERIALS, 0);
    WalkLog(host, "asked for the materials panel");
    return STEP_DONE;
}

// One row per material index the selection's faces use, and the last line.
StepResult CheckMaterialsPanel(Host& host)
{
    HWND panel = FindMaterialsPanel();
    if (!panel)
        return NotYet(host, std::string("no window with a caption starting \"") + MATERIALS_PANEL_CAPTION + "\"");
    HWND rows = GetDlgItem(panel, IDC_MATERIALS_LIST);
    int count = (int)SendMessageA(rows, LB_GETCOUNT, 0, 0);
    for (int row = 0; row < count; ++row)
        WalkLog(host, "panel row \"%s\"", ListEntryText(rows, row).c_str());
    char total[64] = "";
    GetDlgItemTextA(panel, IDC_MATERIALS_TOTAL, total, sizeof total);
    WalkLog(host, "panel total \"%s\"", total);
    std::vector<bool> used(0x10000, false);
    int materials = 0;
    for (int face = 0; face < zvktFaceCount(host.selection); ++face)
        if (!used[zvktFaceMaterialIndex(host.selection, face)])
        {
            used[zvktFaceMaterialIndex(host.selection, face)] = true;
            ++materials;
        }
    if (count == materials)
        return STEP_DONE;
    WalkLog(host, "the panel should have one row for each of the %d materials", materials);
    return STEP_FAILED;
}

// The guide's pictures: the entry between the painted ones (0 to 9) and the invisible one (11),
// clicked, so that the list shows all three colours and a selected entry; the menu opens on it.
StepResult ClickEntryToDo(Host& host)
{
    HWND list = ToolControl(IDC_FACE_LIST);
    const int entry = 10;
    std::string text = ClickAndNoteEntry(host, list, entry);
    WalkLog(host, "clicked entry %d \"%s\"", entry, text.c_str());
    return text.empty() ? STEP_FAILED : STEP_DONE;
}

// "window <name> <left> <top> <right> <bottom>" on the screen, for each of the plug-in's windows
// that is open, and the host's: what tools/sandbox crops the guide's pictures to.
StepResult LogWindows(Host& host)
{
    const struct { const char* name; HWND window; } windows[] = {
        { "host", host.main }, { "tool", FindToolWindow() }, { "menu", FindOpenPopupMenu() },
        { "panel", FindMaterialsPanel() },
    };
    for (const auto& window : windows)
    {
        RECT rect;
        if (window.window && GetWindowRect(window.window, &rect))
            WalkLog(host, "window %s %ld %ld %ld %ld", window.name, rect.left, rect.top, rect.right, rect.bottom);
    }
    return STEP_DONE;
}

typedef StepResult (*Step)(Host&);
const Step STEPS[] = { SelectBiggestPolyhedron, OpenToolWindow, LoadFaceList, ClickEntry, CheckHostSelection };
const Step MENU_STEPS[] = { RightClickEntry, CheckMenu };
const Step PANEL_STEPS[] = { OpenMaterialsPanel, CheckMaterialsPanel };

std::vector<Step> StepsOf(const WalkState& walk)
{
    std::vector<Step> steps(std::begin(STEPS), std::end(STEPS));
    if (walk.panel || walk.guide)
        steps.push_back(PaintSomeFaces);
    if (walk.guide)
        steps.push_back(ClickEntryToDo);
    if (walk.menu)
        steps.insert(steps.end(), std::begin(MENU_STEPS), std::end(MENU_STEPS));
    if (walk.panel)
        steps.insert(steps.end(), std::begin(PANEL_STEPS), std::end(PANEL_STEPS));
    if (walk.guide)
        steps.push_back(LogWindows);
    return steps;
}

} // namespace

void OpenWalkLog(Host& host)
{
    std::string logPath = host.zvDir + "\\walk.log";
    host.walk.log = fopen(logPath.c_str(), "wb");
    WalkLog(host, "zvkGetZVDir: %s", host.zvDir.c_str());
}

void CloseWalkLog(Host& host)
{
    if (host.walk.log)
        fclose(host.walk.log);
    host.walk.log = NULL;
}

void WalkLog(Host& host, const char* format, ...)
{
    if (!host.walk.log)
        return;
    va_list args;
    va_start(args, format);
    vfprintf(host.walk.log, format, args);
    va_end(args);
    fputc('\n', host.walk.log);
    fflush(host.walk.log);
}

void StartWalk(Host& host, bool pluginLoaded, bool sceneReady)
{
    WalkLog(host, "plug-in: %s", pluginLoaded ? host.plugin.name : host.plugin.error.c_str());
    if (pluginLoaded && sceneReady)
        SetTimer(host.main, TIMER_WALK, 400, NULL);
    else
        FinishWalk(host, false);
}

// One step a tick; a step still waiting for its window is tried again at the next.
void WalkStep(Host& host)
{
    WalkState& walk = host.walk;
    std::vector<Step> steps = StepsOf(walk);
    if (walk.step >= (int)steps.size())
        return;
    ++walk.tries;
    switch (steps[walk.step](host))
    {
    case STEP_WAIT:
        return;
    case STEP_DONE:
        ++walk.step;
        walk.tries = 0;
        if (walk.step == (int)steps.size())
            FinishWalk(host, true);
        return;
    case STEP_FAILED:
        FinishWalk(host, false);
        return;
    }
}

} // namespace sandbox
