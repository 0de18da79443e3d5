// The sandbox host's main window: the plug-in's button, the viewport, the scene, the Material
// Editor panel, the call log and the status bar, and the host's message loop, with
// IsDialogMessage for the plug-in's modeless tool window.
//
//   sandbox.exe [MODEL.obj]      interactive, on the generated scene or on an OBJ model
//   sandbox.exe --walk           a scripted walk for a machine without a display: selects the big
//                                polyhedron, opens the tool window, loads its face list, clicks an
//                                entry, writes "ready" to sandbox-walk\walk.log and stays open
//   sandbox.exe --walk-menu      the same walk, then a right click on the clicked entry: writes
//                                "ready" while the face list's context menu is open
//   --quit-after=SECONDS         close by itself after that time (a walk: 600 unless given; 0: a
//                                walk closes as soon as it is done, with exit code 0 if it went well)
#include "Sandbox.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace sandbox {

const char MAIN_TITLE[] = "zVkQuarvelind sandbox host";

HINSTANCE g_instance;
HWND g_main, g_sceneList, g_swatch, g_materialText, g_textureCheck;
HWND g_shaderBoxCombo, g_shaderCombo, g_calls, g_status, g_viewport;
HFONT g_font, g_boldFont;
Plugin g_plugin;
std::string g_exeDir, g_zvDir;
bool g_walk = false;
bool g_walkMenu = false;
int g_quitAfter = -1;
int g_exitCode = 0;

namespace {

const int TOOLBAR_HEIGHT = 48;
const int PANEL_WIDTH = 300;
const int MARGIN = 8;
const int DIALOG_CLASS_ATOM = 32770;
const char MAIN_CLASS[] = "ZvkSandboxHost";
const int MAX_SCENE_ROWS = 12;

enum { IDM_OPEN = 200, IDM_SAVE_AS, IDM_EXIT };

HWND g_pluginButton;
WNDPROC g_buttonProc;
bool g_changePending = false;

} // namespace

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

// Errors go to the walk log on a machine without a display, to a message box otherwise.
void ReportError(const std::string& text)
{
    if (g_walk)
        WalkLog("error: %s", text.c_str());
    else
        MessageBoxA(g_main, text.c_str(), MAIN_TITLE, MB_OK | MB_ICONERROR);
}

void FillSolid(HDC dc, const RECT& rect, COLORREF colour)
{
    SetBkColor(dc, colour);
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rect, NULL, 0, NULL);
}

std::string ExecutableDirectory()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, path, MAX_PATH);
    std::string directory(path, length);
    size_t slash = directory.find_last_of("\\/");
    return slash == std::string::npos ? "." : directory.substr(0, slash);
}

// ---------------------------------------------------------------------------------------------
// The plug-in

bool LoadPlugin()
{
    if (!g_plugin.Load(g_exeDir + "\\zVkQuarvelind.zvk"))
        return false;
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

void CreateTitle(const char* text, int id)
{
    HWND title = CreateChild("Static", text, SS_LEFT, id);
    SendMessageA(title, WM_SETFONT, (WPARAM)g_boldFont, FALSE);
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
    CreateChild("Static", pluginText.c_str(), SS_LEFT | SS_NOPREFIX, IDC_PLUGIN_TEXT);

    g_viewport = CreateWindowExA(WS_EX_CLIENTEDGE, VIEWPORT_CLASS, "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, g_main,
                                 (HMENU)(INT_PTR)IDC_VIEWPORT, g_instance, NULL);

    CreateTitle("Scene (the list sets the host's selection)", IDC_SCENE_TITLE);
    g_sceneList = CreateChild(WC_LISTVIEWA, "", LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP,
                              IDC_SCENE, WS_EX_CLIENTEDGE);
    CreateSceneColumns();

    CreateTitle("Material Editor: active material", IDC_EDITOR_TITLE);
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

    CreateTitle("Host API calls made by the plug-in", IDC_CALLS_TITLE);
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
    LayoutStatusBar(width);
    int bottom = height - statusHeight;

    Place(IDC_PLUGIN_BUTTON, MARGIN, 6, 40, 32);
    Place(IDC_PLUGIN_TEXT, MARGIN + 50, 8, width - MARGIN - 60, 32);

    int panelX = width - PANEL_WIDTH - MARGIN;
    Place(IDC_VIEWPORT, MARGIN, TOOLBAR_HEIGHT, panelX - 2 * MARGIN, bottom - TOOLBAR_HEIGHT - MARGIN);

    int y = TOOLBAR_HEIGHT;
    Place(IDC_SCENE_TITLE, panelX, y, PANEL_WIDTH, 16);
    y += 18;
    int listHeight = 24 + 17 * std::min((int)g_scene.size(), MAX_SCENE_ROWS);
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

// ---------------------------------------------------------------------------------------------
// The File menu

HMENU CreateMainMenu()
{
    HMENU file = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, IDM_OPEN, "&Open...\tCtrl+O");
    AppendMenuA(file, MF_STRING, IDM_SAVE_AS, "Save &as...");
    AppendMenuA(file, MF_SEPARATOR, 0, NULL);
    AppendMenuA(file, MF_STRING, IDM_EXIT, "E&xit");
    HMENU menu = CreateMenu();
    AppendMenuA(menu, MF_POPUP, (UINT_PTR)file, "&File");
    return menu;
}

void UpdateTitle()
{
    std::string title = Format("%s - %s", MAIN_TITLE, g_plugin.module ? g_plugin.name : "no plug-in");
    if (!g_modelPath.empty())
        title += " - " + g_modelPath.substr(g_modelPath.find_last_of("\\/") + 1);
    SetWindowTextA(g_main, title.c_str());
}

// The common file dialog, asking for an OBJ file to open or to save to.
std::string AskForModelPath(bool save)
{
    typedef BOOL(WINAPI * FileDialogProc)(LPOPENFILENAMEA);
    static HMODULE comdlg = LoadLibraryA("comdlg32.dll");
    FileDialogProc dialog = comdlg ? (FileDialogProc)(void*)GetProcAddress(comdlg, save ? "GetSaveFileNameA" : "GetOpenFileNameA")
                                   : NULL;
    if (!dialog)
        return std::string();
    char path[MAX_PATH] = "";
    OPENFILENAMEA ofn;
    memset(&ofn, 0, sizeof ofn);
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = g_main;
    ofn.lpstrFilter = "Wavefront OBJ models (*.obj)\0*.obj\0All files (*.*)\0*.*\0";
    ofn.lpstrFile = path;
    ofn.nMaxFile = sizeof path;
    ofn.lpstrDefExt = "obj";
    ofn.Flags = save ? OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR
                     : OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    return dialog(&ofn) ? std::string(path) : std::string();
}

bool OpenModelAndShow(const std::string& path)
{
    if (!OpenModel(path))
        return false;
    UpdateTitle();
    RECT client;
    GetClientRect(g_main, &client);
    Layout(client.right, client.bottom);
    // The scene list changed height: every control below it moved.
    RedrawWindow(g_main, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    int biggest = -1;
    for (int i = 0; i < (int)g_scene.size(); ++i)
        if (biggest < 0 || zvktFaceCount(g_scene[i].handle) > zvktFaceCount(g_scene[biggest].handle))
            biggest = i;
    if (biggest >= 0)
        SelectSceneRow(biggest);
    return true;
}

void OnCommand(int id, int code)
{
    if (id == IDC_PLUGIN_BUTTON && code == BN_CLICKED)
        PluginLeftClick();
    else if (id == IDM_OPEN)
    {
        std::string path = AskForModelPath(false);
        if (!path.empty())
            OpenModelAndShow(path);
    }
    else if (id == IDM_SAVE_AS)
    {
        std::string path = AskForModelPath(true);
        if (!path.empty())
            SaveModel(path);
    }
    else if (id == IDM_EXIT)
        PostMessageA(g_main, WM_CLOSE, 0, 0);
    else
        OnEditorCommand(id, code);
    RefreshAll();
}

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
    case WM_INITMENUPOPUP:
        EnableMenuItem((HMENU)wParam, IDM_SAVE_AS, MF_BYCOMMAND | (g_modelPath.empty() ? MF_GRAYED : MF_ENABLED));
        return 0;
    case WM_MOUSEWHEEL:
        // The wheel goes to the focus; the viewport zooms wherever the focus is.
        return SendMessageA(g_viewport, message, wParam, lParam);
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
        if (msg.message == WM_KEYDOWN && msg.wParam == 'O' && (GetKeyState(VK_CONTROL) & 0x8000) &&
            GetAncestor(msg.hwnd, GA_ROOT) == g_main)
        {
            PostMessageA(g_main, WM_COMMAND, IDM_OPEN, 0);
            continue;
        }
        HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : NULL;
        if (IsDialogRoot(root) && IsDialogMessageA(root, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return (int)msg.wParam;
}

int Run(HINSTANCE instance, int show)
{
    g_instance = instance;
    std::string modelPath;
    for (int i = 1; i < __argc; ++i)
    {
        if (strcmp(__argv[i], "--walk") == 0)
            g_walk = true;
        else if (strcmp(__argv[i], "--walk-menu") == 0)
            g_walk = g_walkMenu = true;
        else if (strncmp(__argv[i], "--quit-after=", 13) == 0)
            g_quitAfter = atoi(__argv[i] + 13);
        else if (strncmp(__argv[i], "--", 2) != 0)
            modelPath = __argv[i];
    }
    if (g_walk && g_quitAfter < 0)
        g_quitAfter = 600;

    INITCOMMONCONTROLSEX controls = { sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES };
    InitCommonControlsEx(&controls);
    g_exeDir = ExecutableDirectory();
    PrepareHostDirectory();
    if (g_walk)
        OpenWalkLog();
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
                                  height, NULL, CreateMainMenu(), instance, NULL);
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

    if (!g_plugin.error.empty())
        ReportError(g_plugin.error);
    bool modelOpened = true;
    if (!modelPath.empty())
    {
        if (g_walk)
            WalkLog("model: %s", modelPath.c_str());
        modelOpened = OpenModelAndShow(modelPath);
    }
    if (g_walk)
        StartWalk(loaded, modelOpened);
    if (g_quitAfter > 0)
        SetTimer(window, TIMER_QUIT, g_quitAfter * 1000u, NULL);

    int exitCode = RunMessageLoop();
    zvktSetChangeCallback(NULL);
    CloseWalkLog();
    return exitCode;
}

} // namespace sandbox

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    return sandbox::Run(instance, show);
}
