// The sandbox host: a stand-in for the modeller's main window, to try the plug-in by hand under Wine.
//
// It loads zVkQuarvelind.zvk from its own folder as the host does, shows the plug-in's button
// (left click: zvkOnLeftClick, right click: zvkOnRightClick), a scene of named objects whose list
// sets the host's selection, the Material Editor's active material, a face map of the selected
// polyhedron and the host API calls the plug-in makes. It runs the host's message loop, with
// IsDialogMessage for the plug-in's modeless tool window.
//
//   sandbox.exe                  interactive
//   sandbox.exe --walk           a scripted walk for a machine without a display: selects the big
//                                polyhedron, opens the tool window, loads its face list, clicks an
//                                entry, writes "ready" to sandbox-walk\walk.log and stays open
//   --quit-after=SECONDS         close by itself after that time (a walk: 600 unless given; 0: a
//                                walk closes as soon as it is done, with exit code 0 if it went well)
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "plugin/zvkplugin.h"
#include "zvktest.h"

namespace {

// ---------------------------------------------------------------------------------------------
// Identifiers and state

enum
{
    IDC_PLUGIN_BUTTON = 100,
    IDC_PLUGIN_TEXT,
    IDC_SCENE_TITLE,
    IDC_SCENE,
    IDC_EDITOR_TITLE,
    IDC_SWATCH,
    IDC_MATERIAL_LABELS,
    IDC_MATERIAL_TEXT,
    IDC_COLOUR_BUTTON,
    IDC_TEXTURE_CHECK,
    IDC_SHADERBOX_LABEL,
    IDC_SHADERBOX_COMBO,
    IDC_SHADER_LABEL,
    IDC_SHADER_COMBO,
    IDC_CALLS_TITLE,
    IDC_CALLS,
    IDC_STATUS,
    IDC_VIEWPORT
};

enum
{
    WM_APP_HOST_CHANGED = WM_APP + 1,   // the plug-in changed the host (change callback)
    WM_APP_SYNC_SELECTION,              // the scene list's selection changed
    WM_APP_RIGHT_CLICK                  // right click on the plug-in button
};

enum { TIMER_JOURNAL = 1, TIMER_WALK = 2, TIMER_QUIT = 3 };

const int TOOLBAR_HEIGHT = 48;
const int PANEL_WIDTH = 300;
const int MARGIN = 8;
const int MAX_LOG_LINES = 2000;

const char MAIN_CLASS[] = "ZvkSandboxHost";
const char VIEWPORT_CLASS[] = "ZvkSandboxViewport";
const char MAIN_TITLE[] = "zVkQuarvelind sandbox host";
const char TOOL_WINDOW_CAPTION[] = " zVkQuarvelind";
const int TOOL_LOAD_LIST_ID = 3000;
const int TOOL_FACE_LIST_ID = 3017;
const int DIALOG_CLASS_ATOM = 32770;

struct SceneObject
{
    const char* name;
    ZvkHandle handle;
};

struct Shader
{
    int id;
    ZvkHandle handle;
};

struct Plugin
{
    HMODULE module = NULL;
    ZvkGetDataProc getData = NULL;
    ZvkGetVersionProc getVersion = NULL;
    ZvkOnLeftClickProc onLeftClick = NULL;
    ZvkOnRightClickProc onRightClick = NULL;
    ZvkDeactivateProc deactivate = NULL;
    char name[sizeof(PluginInfo::name) + 1] = "";
    char credit[sizeof(PluginInfo::credit) + 1] = "";
    int bitmapId = 0;
    int version = 0;
    HBITMAP bitmap = NULL;
    std::string error;
};

HINSTANCE g_instance;
HWND g_main, g_pluginButton, g_pluginText, g_sceneList, g_swatch, g_materialText, g_textureCheck;
HWND g_shaderBoxCombo, g_shaderCombo, g_calls, g_status, g_viewport;
HFONT g_font, g_boldFont;
WNDPROC g_buttonProc;

Plugin g_plugin;
std::vector<SceneObject> g_scene;
std::vector<Shader> g_shaders;
ZvkHandle g_selection = NULL;
bool g_changePending = false;
long g_callCount = 0;
std::string g_exeDir, g_zvDir;

bool g_walk = false;
int g_quitAfter = -1;
int g_exitCode = 0;
int g_walkStep = 0;
int g_walkTries = 0;
FILE* g_walkLog = NULL;

// ---------------------------------------------------------------------------------------------
// Small helpers

std::string Format(const char* format, ...)
{
    char buffer[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

std::string Thousands(long value)
{
    std::string digits = Format("%ld", value < 0 ? -value : value), out;
    for (size_t i = 0; i < digits.size(); ++i)
    {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += ',';
        out += digits[i];
    }
    return value < 0 ? "-" + out : out;
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

// Errors go to the walk log on a machine without a display, to a message box otherwise.
void ReportError(const std::string& text)
{
    if (g_walk)
        WalkLog("error: %s", text.c_str());
    else
        MessageBoxA(g_main, text.c_str(), MAIN_TITLE, MB_OK | MB_ICONERROR);
}

std::string LastErrorText()
{
    DWORD code = GetLastError();
    char* text = NULL;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                   NULL, code, 0, (LPSTR)&text, 0, NULL);
    std::string result = Format("error %lu", (unsigned long)code);
    if (text)
    {
        std::string message = text;
        while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
            message.pop_back();
        result += ": " + message;
        LocalFree(text);
    }
    return result;
}

const SceneObject* FindObject(ZvkHandle handle)
{
    for (const SceneObject& object : g_scene)
        if (object.handle == handle && handle != NULL)
            return &object;
    return NULL;
}

bool IsPolyhedron(ZvkHandle object)
{
    return object && zvktObjectType(object) == ZVK_TYPE_POLYHEDRON;
}

COLORREF ToColorRef(const ZvkColor& colour)
{
    return RGB(colour.r, colour.g, colour.b);
}

COLORREF Blend(COLORREF over, COLORREF under, int alpha)
{
    return RGB((GetRValue(over) * alpha + GetRValue(under) * (255 - alpha)) / 255,
               (GetGValue(over) * alpha + GetGValue(under) * (255 - alpha)) / 255,
               (GetBValue(over) * alpha + GetBValue(under) * (255 - alpha)) / 255);
}

void FillSolid(HDC dc, const RECT& rect, COLORREF colour)
{
    SetBkColor(dc, colour);
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rect, NULL, 0, NULL);
}

// ---------------------------------------------------------------------------------------------
// The host's folder and the sample scene

std::string ExecutableDirectory()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, path, MAX_PATH);
    std::string directory(path, length);
    size_t slash = directory.find_last_of("\\/");
    return slash == std::string::npos ? "." : directory.substr(0, slash);
}

// zvkGetZVDir: a folder beside the program, with the zv\zvk\zVkQuarvelind folder a host has.
void PrepareHostDirectory()
{
    g_zvDir = g_exeDir + (g_walk ? "\\sandbox-walk" : "\\sandbox-host");
    std::string path = g_zvDir;
    CreateDirectoryA(path.c_str(), NULL);
    for (const char* part : { "\\zv", "\\zvk", "\\zVkQuarvelind" })
    {
        path += part;
        CreateDirectoryA(path.c_str(), NULL);
    }
    zvktSetZVDir(g_zvDir.c_str());
}

void AddPolyhedron(const char* name, const std::vector<unsigned short>& materials, int slots)
{
    ZvkHandle handle = zvktAddPolyhedron(name, (int)materials.size(), materials.empty() ? NULL : materials.data(), slots);
    g_scene.push_back({ name, handle });
}

// A few named polyhedra, one of several thousand faces and one with none, and a camera.
void BuildSampleScene()
{
    zvktReset();
    g_scene.clear();
    g_shaders.clear();

    AddPolyhedron("Tetrahedron", { 0, 0, 1, 1 }, 2);
    AddPolyhedron("Cube", { 0, 1, 2, 3, 4, 5 }, 6);
    std::vector<unsigned short> octahedron(8);
    for (int i = 0; i < 8; ++i)
        octahedron[i] = (unsigned short)(i % 2);
    AddPolyhedron("Octahedron", octahedron, 2);
    std::vector<unsigned short> dodecahedron(12);
    for (int i = 0; i < 12; ++i)
        dodecahedron[i] = (unsigned short)(i / 4);
    AddPolyhedron("Dodecahedron", dodecahedron, 3);
    std::vector<unsigned short> icosahedron(20, 0);
    AddPolyhedron("Icosahedron", icosahedron, 1);
    // A 60 x 80 height field of two triangles a cell: 9,600 faces in bands of six materials.
    std::vector<unsigned short> terrain(9600);
    for (int i = 0; i < (int)terrain.size(); ++i)
    {
        int row = i / 120, column = (i % 120) / 2;
        terrain[i] = (unsigned short)(((row / 10) + (column / 15)) % 6);
    }
    AddPolyhedron("Terrain", terrain, 6);
    AddPolyhedron("Empty mesh", std::vector<unsigned short>(), 1);
    g_scene.push_back({ "Camera", zvktAddObject("Camera", 301) });

    for (int id : { 1, 2, 7 })
        g_shaders.push_back({ id, zvktAddShader(id) });
    zvktJournalClear();
}

// ---------------------------------------------------------------------------------------------
// The plug-in

bool LoadPlugin()
{
    std::string path = g_exeDir + "\\zVkQuarvelind.zvk";
    g_plugin.module = LoadLibraryA(path.c_str());
    if (!g_plugin.module)
    {
        g_plugin.error = "Cannot load " + path + " (" + LastErrorText() + ")";
        return false;
    }
    g_plugin.getData = (ZvkGetDataProc)(void*)GetProcAddress(g_plugin.module, "zvkGetData");
    g_plugin.getVersion = (ZvkGetVersionProc)(void*)GetProcAddress(g_plugin.module, "zvkGetVersion");
    g_plugin.onLeftClick = (ZvkOnLeftClickProc)(void*)GetProcAddress(g_plugin.module, "zvkOnLeftClick");
    g_plugin.onRightClick = (ZvkOnRightClickProc)(void*)GetProcAddress(g_plugin.module, "zvkOnRightClick");
    g_plugin.deactivate = (ZvkDeactivateProc)(void*)GetProcAddress(g_plugin.module, "zvkDeactivate");
    std::string missing;
    if (!g_plugin.getData) missing += " zvkGetData";
    if (!g_plugin.getVersion) missing += " zvkGetVersion";
    if (!g_plugin.onLeftClick) missing += " zvkOnLeftClick";
    if (!g_plugin.onRightClick) missing += " zvkOnRightClick";
    if (!g_plugin.deactivate) missing += " zvkDeactivate";
    if (!missing.empty())
    {
        g_plugin.error = path + " does not export:" + missing;
        return false;
    }

    PluginInfo info;
    memset(&info, 0, sizeof info);
    g_plugin.getData(&info, 0);
    memcpy(g_plugin.name, info.name, sizeof info.name);
    memcpy(g_plugin.credit, info.credit, sizeof info.credit);
    g_plugin.bitmapId = info.bitmapId;
    g_plugin.version = g_plugin.getVersion();
    g_plugin.bitmap = LoadBitmapA(g_plugin.module, MAKEINTRESOURCEA(info.bitmapId));
    if (!g_plugin.bitmap)
        g_plugin.error = Format("The plug-in has no bitmap %d (%s)", info.bitmapId, LastErrorText().c_str());
    return true;
}

void PluginLeftClick()
{
    if (g_plugin.onLeftClick)
        g_plugin.onLeftClick();
}

void PluginRightClick()
{
    if (g_plugin.onRightClick)
        g_plugin.onRightClick();
}

// The plug-in's tool window: a dialog of this thread with the plug-in's caption.
BOOL CALLBACK FindToolWindowProc(HWND window, LPARAM result)
{
    char caption[64] = "";
    GetWindowTextA(window, caption, sizeof caption);
    if ((int)GetClassLongA(window, GCW_ATOM) == DIALOG_CLASS_ATOM && strcmp(caption, TOOL_WINDOW_CAPTION) == 0)
    {
        *(HWND*)result = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindToolWindow()
{
    HWND window = NULL;
    EnumThreadWindows(GetCurrentThreadId(), FindToolWindowProc, (LPARAM)&window);
    return window;
}

// The button sees the right click: the host's own handling of its plug-in buttons.
LRESULT CALLBACK PluginButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_RBUTTONDOWN:
        return 0;
    case WM_RBUTTONUP:
        PostMessageA(g_main, WM_APP_RIGHT_CLICK, 0, 0);
        return 0;
    case WM_CONTEXTMENU:
        return 0;
    }
    return CallWindowProcA(g_buttonProc, window, message, wParam, lParam);
}

// ---------------------------------------------------------------------------------------------
// The scene list, the Material Editor panel, the call log and the status bar

std::string ObjectTypeText(ZvkHandle object)
{
    int type = zvktObjectType(object);
    return type == ZVK_TYPE_POLYHEDRON ? "polyhedron" : Format("other (%d)", type);
}

void FillSceneList()
{
    ListView_DeleteAllItems(g_sceneList);
    for (int i = 0; i < (int)g_scene.size(); ++i)
    {
        LVITEMA item;
        memset(&item, 0, sizeof item);
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = (LPSTR)g_scene[i].name;
        SendMessageA(g_sceneList, LVM_INSERTITEMA, 0, (LPARAM)&item);
    }
}

void SetListText(int row, int column, const std::string& text)
{
    LVITEMA item;
    memset(&item, 0, sizeof item);
    item.iSubItem = column;
    item.pszText = (LPSTR)text.c_str();
    SendMessageA(g_sceneList, LVM_SETITEMTEXTA, row, (LPARAM)&item);
}

void RefreshSceneList()
{
    for (int i = 0; i < (int)g_scene.size(); ++i)
    {
        ZvkHandle object = g_scene[i].handle;
        bool polyhedron = IsPolyhedron(object);
        SetListText(i, 1, ObjectTypeText(object));
        SetListText(i, 2, polyhedron ? Thousands(zvktFaceCount(object)) : "-");
        SetListText(i, 3, polyhedron ? Thousands(zvktSelectedFaceCount(object)) : "-");
    }
}

std::string ShaderText(ZvkHandle shader)
{
    if (!shader)
        return "none";
    for (const Shader& known : g_shaders)
        if (known.handle == shader)
            return Format("shader %d", known.id);
    return Format("%p", shader);
}

void RefreshMaterialPanel()
{
    ZvktMaterial material;
    zvktGetEditorMaterial(&material);
    const ZvkColor& c = material.colour;
    static const char* const shaderBoxes[] = { "null", "valid", "invalid" };
    const char* shaderBox = material.shaderBox >= 0 && material.shaderBox <= 2 ? shaderBoxes[material.shaderBox] : "?";
    std::string texture = material.textureType == ZVK_TEXTURE_GLOBAL ? "global (4)"
                        : material.textureType == 0 ? "none (0)" : Format("type %d", material.textureType);
    std::string text = Format("%d, %d, %d, %d\r\n#%02X%02X%02X\r\n%s\r\n%s\r\n%s",
                              c.r, c.g, c.b, c.a, c.r, c.g, c.b, texture.c_str(), shaderBox,
                              ShaderText(material.shader).c_str());
    char current[512] = "";
    GetWindowTextA(g_materialText, current, sizeof current);
    if (text != current)
        SetWindowTextA(g_materialText, text.c_str());
    InvalidateRect(g_swatch, NULL, FALSE);

    SendMessageA(g_textureCheck, BM_SETCHECK, material.textureType == ZVK_TEXTURE_GLOBAL ? BST_CHECKED : BST_UNCHECKED, 0);
    SendMessageA(g_shaderBoxCombo, CB_SETCURSEL, material.shaderBox >= 0 && material.shaderBox <= 2 ? material.shaderBox : -1, 0);
    int shaderRow = material.shader ? -1 : 0;
    for (int i = 0; i < (int)g_shaders.size(); ++i)
        if (g_shaders[i].handle == material.shader)
            shaderRow = i + 1;
    SendMessageA(g_shaderCombo, CB_SETCURSEL, shaderRow, 0);
}

void DrawSwatch(const DRAWITEMSTRUCT* draw)
{
    ZvktMaterial material;
    zvktGetEditorMaterial(&material);
    RECT rect = draw->rcItem;
    HDC dc = draw->hDC;
    COLORREF colour = ToColorRef(material.colour);
    int alpha = material.colour.a;
    int width = rect.right - rect.left;
    // Left half: the colour; right half: the colour over a checkerboard, as alpha shows it.
    RECT left = { rect.left, rect.top, rect.left + width / 2, rect.bottom };
    FillSolid(dc, left, colour);
    const int square = 8;
    for (int y = rect.top; y < rect.bottom; y += square)
        for (int x = rect.left + width / 2; x < rect.right; x += square)
        {
            bool dark = (((x - rect.left - width / 2) / square) + ((y - rect.top) / square)) % 2 != 0;
            RECT cell = { x, y, std::min<int>(x + square, rect.right), std::min<int>(y + square, rect.bottom) };
            FillSolid(dc, cell, Blend(colour, dark ? RGB(96, 96, 96) : RGB(255, 255, 255), alpha));
        }
    FrameRect(dc, &rect, (HBRUSH)GetStockObject(BLACK_BRUSH));
}

void SetEditorMaterial(void (*change)(ZvktMaterial&, int), int value)
{
    ZvktMaterial material;
    zvktGetEditorMaterial(&material);
    change(material, value);
    zvktSetEditorMaterial(&material);
    RefreshMaterialPanel();
}

void ChooseEditorColour()
{
    typedef BOOL(WINAPI * ChooseColorProc)(LPCHOOSECOLORA);
    static HMODULE comdlg = LoadLibraryA("comdlg32.dll");
    ChooseColorProc chooseColor = comdlg ? (ChooseColorProc)(void*)GetProcAddress(comdlg, "ChooseColorA") : NULL;
    if (!chooseColor)
        return;
    ZvktMaterial material;
    zvktGetEditorMaterial(&material);
    static COLORREF custom[16];
    CHOOSECOLORA choose;
    memset(&choose, 0, sizeof choose);
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = g_main;
    choose.rgbResult = ToColorRef(material.colour);
    choose.lpCustColors = custom;
    choose.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!chooseColor(&choose))
        return;
    material.colour.r = GetRValue(choose.rgbResult);
    material.colour.g = GetGValue(choose.rgbResult);
    material.colour.b = GetBValue(choose.rgbResult);
    zvktSetEditorMaterial(&material);
    RefreshMaterialPanel();
}

// Small numbers in decimal; pointers and handles in hexadecimal.
std::string NumberText(unsigned value)
{
    return value < 0x10000 ? Format("%u", value) : Format("0x%08X", value);
}

std::string CallText(const ZvktCall& call)
{
    std::string text = call.function ? call.function : "?";
    text += "(";
    for (int i = 0; i < call.argCount && i < 4; ++i)
    {
        if (i > 0)
            text += ", ";
        const SceneObject* object = FindObject((ZvkHandle)(UINT_PTR)call.args[i]);
        text += object ? object->name : NumberText(call.args[i]);
    }
    text += ")";
    if (call.result != 0)
    {
        const SceneObject* object = FindObject((ZvkHandle)(UINT_PTR)call.result);
        text += " = " + (object ? std::string(object->name) : NumberText(call.result));
    }
    return text;
}

// Moves the host's journal of the plug-in's calls to the log, a run of calls of one function
// as one line, and empties the journal so that a long session does not grow it.
void DrainJournal()
{
    int count = zvktJournalCount();
    if (count <= 0)
        return;
    g_callCount += count;
    int i = 0;
    while (i < count)
    {
        const ZvktCall* first = zvktJournalAt(i);
        int j = i + 1;
        while (j < count && first->function && zvktJournalAt(j)->function &&
               strcmp(zvktJournalAt(j)->function, first->function) == 0)
            ++j;
        std::string line = j - i == 1 ? CallText(*first)
                                      : Format("%s  \xD7 %s", first->function ? first->function : "?", Thousands(j - i).c_str());
        SendMessageA(g_calls, LB_ADDSTRING, 0, (LPARAM)line.c_str());
        i = j;
    }
    zvktJournalClear();
    int lines = (int)SendMessageA(g_calls, LB_GETCOUNT, 0, 0);
    while (lines > MAX_LOG_LINES)
    {
        SendMessageA(g_calls, LB_DELETESTRING, 0, 0);
        --lines;
    }
    SendMessageA(g_calls, LB_SETTOPINDEX, lines - 1, 0);
}

void RefreshStatus()
{
    std::string selection = "Selection: none";
    if (const SceneObject* object = FindObject(g_selection))
    {
        selection = Format("Selection: %s", object->name);
        if (IsPolyhedron(object->handle))
            selection += Format(" (%s of %s faces selected)", Thousands(zvktSelectedFaceCount(object->handle)).c_str(),
                                Thousands(zvktFaceCount(object->handle)).c_str());
    }
    ZvktBalance balance;
    zvktGetBalance(&balance);
    std::string calls = Format("Host API calls: %s", Thousands(g_callCount).c_str());
    std::string heap = Format("Materials %d created, %d destroyed, %d freed; blocks %d/%d; bad frees %d",
                              balance.materialsCreated, balance.materialsDestroyed, balance.materialsFreed,
                              balance.blocksAllocated, balance.blocksFreed, balance.badFrees);
    SendMessageA(g_status, SB_SETTEXTA, 0, (LPARAM)selection.c_str());
    SendMessageA(g_status, SB_SETTEXTA, 1, (LPARAM)calls.c_str());
    SendMessageA(g_status, SB_SETTEXTA, 2, (LPARAM)heap.c_str());
}

void RefreshAll()
{
    DrainJournal();
    RefreshSceneList();
    RefreshMaterialPanel();
    RefreshStatus();
    InvalidateRect(g_viewport, NULL, FALSE);
}

// Called by the host after every API call that changed it: once per burst, through the queue.
void __cdecl OnHostChanged(void)
{
    if (!g_changePending && g_main)
    {
        g_changePending = true;
        PostMessageA(g_main, WM_APP_HOST_CHANGED, 0, 0);
    }
}

void SyncSelection()
{
    int row = ListView_GetNextItem(g_sceneList, -1, LVNI_SELECTED);
    ZvkHandle object = row >= 0 && row < (int)g_scene.size() ? g_scene[row].handle : NULL;
    if (object != g_selection)
    {
        g_selection = object;
        zvktSelect(object);
    }
    RefreshAll();
}

void SelectSceneRow(int row)
{
    ListView_SetItemState(g_sceneList, -1, 0, LVIS_SELECTED);
    ListView_SetItemState(g_sceneList, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(g_sceneList, row, FALSE);
    SyncSelection();
}

// ---------------------------------------------------------------------------------------------
// The viewport: the selected polyhedron's faces as a map of cells in their materials' colours

void DrawViewportText(HDC dc, int x, int y, const std::string& text, COLORREF colour, HFONT font)
{
    HGDIOBJ old = SelectObject(dc, font);
    SetTextColor(dc, colour);
    SetBkMode(dc, TRANSPARENT);
    TextOutA(dc, x, y, text.c_str(), (int)text.size());
    SelectObject(dc, old);
}

void DrawFaceMap(HDC dc, const RECT& area, ZvkHandle polyhedron)
{
    int faces = zvktFaceCount(polyhedron);
    int slots = zvktSlotCount(polyhedron);
    int width = area.right - area.left, height = area.bottom - area.top;
    if (faces <= 0 || width <= 0 || height <= 0)
        return;
    int size = 2;
    for (int s = 48; s > 2; --s)
    {
        int columns = width / s;
        if (columns > 0 && ((faces + columns - 1) / columns) * s <= height)
        {
            size = s;
            break;
        }
    }
    int columns = std::max(1, width / size);
    std::vector<COLORREF> colours(slots);
    for (int m = 0; m < slots; ++m)
    {
        ZvktMaterial material;
        zvktGetSlot(polyhedron, m, &material);
        colours[m] = ToColorRef(material.colour);
    }
    int gap = size >= 5 ? 1 : 0;
    HBRUSH selectedFrame = CreateSolidBrush(RGB(255, 255, 255));
    for (int f = 0; f < faces; ++f)
    {
        int x = area.left + (f % columns) * size, y = area.top + (f / columns) * size;
        if (y >= area.bottom)
            break;
        int m = zvktFaceMaterialIndex(polyhedron, f);
        RECT cell = { x, y, x + size - gap, y + size - gap };
        FillSolid(dc, cell, m >= 0 && m < slots ? colours[m] : RGB(255, 0, 255));
        if (zvktIsFaceSelected(polyhedron, f))
        {
            // Small cells turn white; larger ones get a white frame and a black one inside it.
            if (size < 8)
                FillRect(dc, &cell, selectedFrame);
            else
            {
                FrameRect(dc, &cell, selectedFrame);
                RECT inner = { cell.left + 1, cell.top + 1, cell.right - 1, cell.bottom - 1 };
                FrameRect(dc, &inner, (HBRUSH)GetStockObject(BLACK_BRUSH));
            }
        }
    }
    DeleteObject(selectedFrame);
}

void PaintViewport(HWND window, HDC target)
{
    RECT client;
    GetClientRect(window, &client);
    HDC dc = CreateCompatibleDC(target);
    HBITMAP bitmap = CreateCompatibleBitmap(target, client.right, client.bottom);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);

    FillSolid(dc, client, RGB(58, 62, 70));
    HPEN grid = CreatePen(PS_SOLID, 1, RGB(70, 75, 84));
    HGDIOBJ oldPen = SelectObject(dc, grid);
    for (int x = 0; x < client.right; x += 32)
    {
        MoveToEx(dc, x, 0, NULL);
        LineTo(dc, x, client.bottom);
    }
    for (int y = 0; y < client.bottom; y += 32)
    {
        MoveToEx(dc, 0, y, NULL);
        LineTo(dc, client.right, y);
    }
    SelectObject(dc, oldPen);
    DeleteObject(grid);

    const SceneObject* object = FindObject(g_selection);
    std::string caption;
    if (!object)
        caption = "Nothing selected: choose an object in the Scene list.";
    else if (!IsPolyhedron(object->handle))
        caption = Format("%s is not a polyhedron (type %d).", object->name, zvktObjectType(object->handle));
    else
    {
        int faces = zvktFaceCount(object->handle);
        caption = Format("%s: %s faces, %d materials, %s selected", object->name, Thousands(faces).c_str(),
                         zvktSlotCount(object->handle), Thousands(zvktSelectedFaceCount(object->handle)).c_str());
        if (faces == 0)
            caption += " (no faces)";
    }
    // The captions at the bottom, where the tool window (opened at 100, 100) does not hide them.
    DrawViewportText(dc, 10, client.bottom - 40, "Face map: a cell a face, in its material's colour; selected faces in white",
                     RGB(150, 156, 166), g_font);
    DrawViewportText(dc, 10, client.bottom - 22, caption, RGB(235, 238, 242), g_boldFont);
    if (object && IsPolyhedron(object->handle))
    {
        RECT area = { 10, 10, client.right - 10, client.bottom - 50 };
        DrawFaceMap(dc, area, object->handle);
    }

    BitBlt(target, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

LRESULT CALLBACK ViewportProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
    {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        PaintViewport(window, dc);
        EndPaint(window, &paint);
        return 0;
    }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// ---------------------------------------------------------------------------------------------
// The main window

HWND CreateChild(const char* className, const char* text, DWORD style, int id, DWORD exStyle = 0)
{
    HWND child = CreateWindowExA(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, g_main,
                                 (HMENU)(INT_PTR)id, g_instance, NULL);
    SendMessageA(child, WM_SETFONT, (WPARAM)g_font, FALSE);
    return child;
}

void CreateFonts()
{
    NONCLIENTMETRICSA metrics;
    memset(&metrics, 0, sizeof metrics);
    metrics.cbSize = sizeof metrics;
    LOGFONTA font;
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        font = metrics.lfMessageFont;
    else
        GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    g_font = CreateFontIndirectA(&font);
    font.lfWeight = FW_BOLD;
    g_boldFont = CreateFontIndirectA(&font);
}

void CreateControls()
{
    g_pluginButton = CreateChild("Button", g_plugin.name, BS_PUSHBUTTON | BS_BITMAP | WS_TABSTOP, IDC_PLUGIN_BUTTON);
    if (g_plugin.bitmap)
        SendMessageA(g_pluginButton, BM_SETIMAGE, IMAGE_BITMAP, (LPARAM)g_plugin.bitmap);
    if (!g_plugin.module)
        EnableWindow(g_pluginButton, FALSE);
    g_buttonProc = (WNDPROC)SetWindowLongPtrA(g_pluginButton, GWLP_WNDPROC, (LONG_PTR)PluginButtonProc);

    std::string pluginText = g_plugin.module
        ? Format("%s  %s  (version %d, bitmap %d)\r\nLeft click: open the tool window.  Right click: about box.",
                 g_plugin.name, g_plugin.credit, g_plugin.version, g_plugin.bitmapId)
        : "No plug-in: " + g_plugin.error;
    g_pluginText = CreateChild("Static", pluginText.c_str(), SS_LEFT | SS_NOPREFIX, IDC_PLUGIN_TEXT);

    g_viewport = CreateWindowExA(WS_EX_CLIENTEDGE, VIEWPORT_CLASS, "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, g_main,
                                 (HMENU)(INT_PTR)IDC_VIEWPORT, g_instance, NULL);

    HWND title = CreateChild("Static", "Scene (the list sets the host's selection)", SS_LEFT, IDC_SCENE_TITLE);
    SendMessageA(title, WM_SETFONT, (WPARAM)g_boldFont, FALSE);
    g_sceneList = CreateChild(WC_LISTVIEWA, "", LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP,
                              IDC_SCENE, WS_EX_CLIENTEDGE);
    ListView_SetExtendedListViewStyle(g_sceneList, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    static const struct { const char* title; int width; int format; } columns[] = {
        { "Object", 94, LVCFMT_LEFT }, { "Type", 78, LVCFMT_LEFT }, { "Faces", 52, LVCFMT_RIGHT }, { "Selected", 66, LVCFMT_RIGHT } };
    for (int i = 0; i < 4; ++i)
    {
        LVCOLUMNA column;
        memset(&column, 0, sizeof column);
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
        column.pszText = (LPSTR)columns[i].title;
        column.cx = columns[i].width;
        column.fmt = columns[i].format;
        column.iSubItem = i;
        SendMessageA(g_sceneList, LVM_INSERTCOLUMNA, i, (LPARAM)&column);
    }

    title = CreateChild("Static", "Material Editor: active material", SS_LEFT, IDC_EDITOR_TITLE);
    SendMessageA(title, WM_SETFONT, (WPARAM)g_boldFont, FALSE);
    g_swatch = CreateChild("Static", "", SS_OWNERDRAW, IDC_SWATCH);
    CreateChild("Static", "RGBA\r\nHex\r\nTexture\r\nShader box\r\nShader", SS_LEFT, IDC_MATERIAL_LABELS);
    g_materialText = CreateChild("Static", "", SS_LEFT | SS_NOPREFIX, IDC_MATERIAL_TEXT);
    CreateChild("Button", "Colour...", BS_PUSHBUTTON | WS_TABSTOP, IDC_COLOUR_BUTTON);
    g_textureCheck = CreateChild("Button", "Global texture", BS_AUTOCHECKBOX | WS_TABSTOP, IDC_TEXTURE_CHECK);
    CreateChild("Static", "Shader box", SS_LEFT, IDC_SHADERBOX_LABEL);
    g_shaderBoxCombo = CreateChild("ComboBox", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, IDC_SHADERBOX_COMBO);
    for (const char* item : { "null", "valid", "invalid" })
        SendMessageA(g_shaderBoxCombo, CB_ADDSTRING, 0, (LPARAM)item);
    CreateChild("Static", "Shader", SS_LEFT, IDC_SHADER_LABEL);
    g_shaderCombo = CreateChild("ComboBox", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, IDC_SHADER_COMBO);
    SendMessageA(g_shaderCombo, CB_ADDSTRING, 0, (LPARAM) "none");
    for (const Shader& shader : g_shaders)
        SendMessageA(g_shaderCombo, CB_ADDSTRING, 0, (LPARAM)Format("shader %d", shader.id).c_str());

    title = CreateChild("Static", "Host API calls made by the plug-in", SS_LEFT, IDC_CALLS_TITLE);
    SendMessageA(title, WM_SETFONT, (WPARAM)g_boldFont, FALSE);
    g_calls = CreateChild("ListBox", "", WS_VSCROLL | WS_HSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOSEL, IDC_CALLS,
                          WS_EX_CLIENTEDGE);
    SendMessageA(g_calls, LB_SETHORIZONTALEXTENT, 600, 0);

    g_status = CreateChild(STATUSCLASSNAMEA, "", SBARS_SIZEGRIP, IDC_STATUS);
}

void Place(int id, int x, int y, int width, int height)
{
    MoveWindow(GetDlgItem(g_main, id), x, y, std::max(0, width), std::max(0, height), TRUE);
}

void Layout(int width, int height)
{
    SendMessageA(g_status, WM_SIZE, 0, 0);
    RECT statusRect;
    GetWindowRect(g_status, &statusRect);
    int statusHeight = statusRect.bottom - statusRect.top;
    int parts[3] = { width * 36 / 100, width * 52 / 100, -1 };
    SendMessageA(g_status, SB_SETPARTS, 3, (LPARAM)parts);
    int bottom = height - statusHeight;

    Place(IDC_PLUGIN_BUTTON, MARGIN, 6, 40, 32);
    Place(IDC_PLUGIN_TEXT, MARGIN + 50, 8, width - MARGIN - 60, 32);

    int panelX = width - PANEL_WIDTH - MARGIN;
    Place(IDC_VIEWPORT, MARGIN, TOOLBAR_HEIGHT, panelX - 2 * MARGIN, bottom - TOOLBAR_HEIGHT - MARGIN);

    int y = TOOLBAR_HEIGHT;
    Place(IDC_SCENE_TITLE, panelX, y, PANEL_WIDTH, 16);
    y += 18;
    int listHeight = 24 + 17 * (int)g_scene.size();
    Place(IDC_SCENE, panelX, y, PANEL_WIDTH, listHeight);
    y += listHeight + 10;

    Place(IDC_EDITOR_TITLE, panelX, y, PANEL_WIDTH, 16);
    y += 18;
    Place(IDC_SWATCH, panelX, y, 72, 72);
    Place(IDC_MATERIAL_LABELS, panelX + 82, y, 70, 72);
    Place(IDC_MATERIAL_TEXT, panelX + 152, y, PANEL_WIDTH - 152, 72);
    y += 80;
    Place(IDC_COLOUR_BUTTON, panelX, y, 72, 23);
    Place(IDC_TEXTURE_CHECK, panelX + 82, y + 2, 120, 20);
    y += 30;
    Place(IDC_SHADERBOX_LABEL, panelX, y + 4, 72, 16);
    Place(IDC_SHADERBOX_COMBO, panelX + 72, y, 76, 120);
    Place(IDC_SHADER_LABEL, panelX + 160, y + 4, 46, 16);
    Place(IDC_SHADER_COMBO, panelX + 206, y, PANEL_WIDTH - 206, 120);
    y += 34;

    Place(IDC_CALLS_TITLE, panelX, y, PANEL_WIDTH, 16);
    y += 18;
    Place(IDC_CALLS, panelX, y, PANEL_WIDTH, bottom - MARGIN - y);
}

void OnCommand(int id, int code)
{
    switch (id)
    {
    case IDC_PLUGIN_BUTTON:
        if (code == BN_CLICKED)
            PluginLeftClick();
        break;
    case IDC_COLOUR_BUTTON:
        if (code == BN_CLICKED)
            ChooseEditorColour();
        break;
    case IDC_TEXTURE_CHECK:
        if (code == BN_CLICKED)
            SetEditorMaterial([](ZvktMaterial& m, int on) { m.textureType = on ? ZVK_TEXTURE_GLOBAL : 0; },
                              SendMessageA(g_textureCheck, BM_GETCHECK, 0, 0) == BST_CHECKED);
        break;
    case IDC_SHADERBOX_COMBO:
        if (code == CBN_SELCHANGE)
            SetEditorMaterial([](ZvktMaterial& m, int box) { m.shaderBox = box; },
                              (int)SendMessageA(g_shaderBoxCombo, CB_GETCURSEL, 0, 0));
        break;
    case IDC_SHADER_COMBO:
        if (code == CBN_SELCHANGE)
            SetEditorMaterial([](ZvktMaterial& m, int row) { m.shader = row > 0 ? g_shaders[row - 1].handle : NULL; },
                              (int)SendMessageA(g_shaderCombo, CB_GETCURSEL, 0, 0));
        break;
    }
    RefreshAll();
}

// ---------------------------------------------------------------------------------------------
// The scripted walk

void FinishWalk(bool ok)
{
    KillTimer(g_main, TIMER_WALK);
    WalkLog(ok ? "ready" : "failed");
    if (!ok)
        g_exitCode = 1;
    if (g_quitAfter == 0)
        PostMessageA(g_main, WM_CLOSE, 0, 0);
}

void WalkStep()
{
    ++g_walkTries;
    switch (g_walkStep)
    {
    case 0:
    {
        int row = -1;
        for (int i = 0; i < (int)g_scene.size(); ++i)
            if (strcmp(g_scene[i].name, "Terrain") == 0)
                row = i;
        SelectSceneRow(row);
        WalkLog("selected %s (%d faces)", g_scene[row].name, zvktFaceCount(g_scene[row].handle));
        break;
    }
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
            FinishWalk(false);
            return;
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
        HWND list = tool ? GetDlgItem(tool, TOOL_FACE_LIST_ID) : NULL;
        int count = list ? (int)SendMessageA(list, LB_GETCOUNT, 0, 0) : 0;
        WalkLog("face list: %d entries", count);
        if (count > 0)
        {
            int entry = std::min(4, count - 1);
            RECT item;
            SendMessageA(list, LB_GETITEMRECT, entry, (LPARAM)&item);
            LPARAM point = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
            SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
            SendMessageA(list, WM_LBUTTONUP, 0, point);
            char text[256] = "";
            if (SendMessageA(list, LB_GETTEXTLEN, entry, 0) < (LRESULT)sizeof text)
                SendMessageA(list, LB_GETTEXT, entry, (LPARAM)text);
            WalkLog("clicked entry %d \"%s\": %s", entry, text,
                    SendMessageA(list, LB_GETSEL, entry, 0) > 0 ? "selected" : "not selected");
        }
        break;
    }
    case 4:
        RefreshAll();
        WalkLog("selected faces of Terrain: %d", zvktSelectedFaceCount(g_selection));
        FinishWalk(true);
        return;
    }
    ++g_walkStep;
    g_walkTries = 0;
}

// ---------------------------------------------------------------------------------------------

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_CREATE:
        g_main = window;
        CreateControls();
        FillSceneList();
        return 0;
    case WM_SIZE:
        Layout(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_GETMINMAXINFO:
        ((MINMAXINFO*)lParam)->ptMinTrackSize.x = 640;
        ((MINMAXINFO*)lParam)->ptMinTrackSize.y = 560;
        return 0;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_NOTIFY:
    {
        const NMHDR* header = (const NMHDR*)lParam;
        if (header->idFrom == IDC_SCENE && header->code == LVN_ITEMCHANGED &&
            (((const NMLISTVIEW*)lParam)->uChanged & LVIF_STATE))
            PostMessageA(window, WM_APP_SYNC_SELECTION, 0, 0);
        return 0;
    }
    case WM_DRAWITEM:
        if (wParam == IDC_SWATCH)
        {
            DrawSwatch((const DRAWITEMSTRUCT*)lParam);
            return TRUE;
        }
        break;
    case WM_CTLCOLORSTATIC:
        if ((HWND)lParam == g_materialText)
        {
            SetBkMode((HDC)wParam, TRANSPARENT);
            return (LRESULT)GetSysColorBrush(COLOR_BTNFACE);
        }
        break;
    case WM_APP_HOST_CHANGED:
        g_changePending = false;
        RefreshAll();
        return 0;
    case WM_APP_SYNC_SELECTION:
        SyncSelection();
        return 0;
    case WM_APP_RIGHT_CLICK:
        PluginRightClick();
        RefreshAll();
        return 0;
    case WM_TIMER:
        if (wParam == TIMER_JOURNAL)
        {
            if (zvktJournalCount() > 0)
            {
                DrainJournal();
                RefreshStatus();
            }
        }
        else if (wParam == TIMER_WALK)
            WalkStep();
        else if (wParam == TIMER_QUIT)
            PostMessageA(window, WM_CLOSE, 0, 0);
        return 0;
    case WM_CLOSE:
        if (g_plugin.deactivate)
            g_plugin.deactivate();
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(g_exitCode);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool RegisterClasses()
{
    WNDCLASSEXA main;
    memset(&main, 0, sizeof main);
    main.cbSize = sizeof main;
    main.lpfnWndProc = MainProc;
    main.hInstance = g_instance;
    main.hIcon = LoadIconA(NULL, (LPCSTR)IDI_APPLICATION);
    main.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    main.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    main.lpszClassName = MAIN_CLASS;
    WNDCLASSEXA viewport = main;
    viewport.lpfnWndProc = ViewportProc;
    viewport.hIcon = NULL;
    viewport.hbrBackground = NULL;
    viewport.lpszClassName = VIEWPORT_CLASS;
    return RegisterClassExA(&main) && RegisterClassExA(&viewport);
}

// A message for a window whose root is a dialog other than the main window goes through
// IsDialogMessage first, as the host does for the plug-in's modeless tool window.
bool IsDialogRoot(HWND root)
{
    return root && root != g_main && (int)GetClassLongA(root, GCW_ATOM) == DIALOG_CLASS_ATOM;
}

int RunMessageLoop()
{
    MSG msg;
    BOOL result;
    while ((result = GetMessageA(&msg, NULL, 0, 0)) != 0)
    {
        if (result == -1)
            return 1;
        HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : NULL;
        if (IsDialogRoot(root) && IsDialogMessageA(root, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return (int)msg.wParam;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    g_instance = instance;
    for (int i = 1; i < __argc; ++i)
    {
        if (strcmp(__argv[i], "--walk") == 0)
            g_walk = true;
        else if (strncmp(__argv[i], "--quit-after=", 13) == 0)
            g_quitAfter = atoi(__argv[i] + 13);
    }
    if (g_walk && g_quitAfter < 0)
        g_quitAfter = 600;

    INITCOMMONCONTROLSEX controls = { sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES };
    InitCommonControlsEx(&controls);
    g_exeDir = ExecutableDirectory();
    PrepareHostDirectory();
    if (g_walk)
    {
        std::string logPath = g_zvDir + "\\walk.log";
        g_walkLog = fopen(logPath.c_str(), "wb");
        WalkLog("zvkGetZVDir: %s", g_zvDir.c_str());
    }
    BuildSampleScene();
    bool loaded = LoadPlugin();
    CreateFonts();

    if (!RegisterClasses())
    {
        ReportError("Cannot register the window classes: " + LastErrorText());
        return 1;
    }
    std::string title = Format("%s - %s", MAIN_TITLE, loaded ? g_plugin.name : "no plug-in");
    int x = CW_USEDEFAULT, y = CW_USEDEFAULT, width = 900, height = 640;
    if (g_walk)
    {
        x = y = 0;
        width = GetSystemMetrics(SM_CXSCREEN);
        height = GetSystemMetrics(SM_CYSCREEN);
    }
    HWND window = CreateWindowExA(0, MAIN_CLASS, title.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, x, y, width,
                                  height, NULL, NULL, instance, NULL);
    if (!window)
    {
        ReportError("Cannot create the main window: " + LastErrorText());
        return 1;
    }
    zvktSetMainViewHwnd(window);
    zvktSetChangeCallback(OnHostChanged);
    ShowWindow(window, g_walk ? SW_SHOWNORMAL : show);
    UpdateWindow(window);
    RefreshAll();
    SetTimer(window, TIMER_JOURNAL, 250, NULL);

    if (!loaded)
        ReportError(g_plugin.error);
    else if (!g_plugin.error.empty())
        ReportError(g_plugin.error);
    if (g_walk)
    {
        WalkLog("plug-in: %s", loaded ? g_plugin.name : g_plugin.error.c_str());
        if (loaded)
            SetTimer(window, TIMER_WALK, 400, NULL);
        else
            FinishWalk(false);
    }
    if (g_quitAfter > 0)
        SetTimer(window, TIMER_QUIT, g_quitAfter * 1000u, NULL);

    int exitCode = RunMessageLoop();
    zvktSetChangeCallback(NULL);
    if (g_walkLog)
        fclose(g_walkLog);
    return exitCode;
}
