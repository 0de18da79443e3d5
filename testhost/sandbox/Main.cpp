// The sandbox host's main window: the plug-in's button, the viewport, the scene, the Material
// Editor panel, the call log and the status bar, and the host's message loop, with
// IsDialogMessage for the plug-in's modeless windows (the tool window, the materials panel).
//
//   sandbox.exe [MODEL.obj]      interactive, on the generated scene or on an OBJ model
//   sandbox.exe --walk           a scripted walk for a machine without a display: selects the big
//                                polyhedron, opens the tool window, loads its face list, clicks an
//                                entry, writes "ready" to sandbox-walk\walk.log and stays open
//   sandbox.exe --walk-menu      the same walk, then a right click on the clicked entry: writes
//                                "ready" while the face list's context menu is open
//   sandbox.exe --walk-panel     the same walk, then some faces painted and the materials panel
//                                opened: writes "ready" once its rows are checked
//   sandbox.exe --walk-guide     the same walk, then some faces painted and a face still to do
//                                clicked; logs the plug-in's windows at the end (alone or with
//                                --walk-menu or --walk-panel): the user guide's pictures
//   --quit-after=SECONDS         close by itself after that time (a walk: 600 unless given; 0: a
//                                walk closes as soon as it is done, with exit code 0 if it went well)
// Any other option is refused with the usage line, on standard error (and in a message box
// without a walk), and exit code 2.
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

namespace {

const int TOOLBAR_HEIGHT = 48;
const int PANEL_WIDTH = 300;
const int MARGIN = 8;
const int DIALOG_CLASS_ATOM = 32770;
const char MAIN_CLASS[] = "ZvkSandboxHost";
const int MAX_SCENE_ROWS = 12;
const char USAGE[] = "usage: sandbox.exe [--walk | --walk-menu | --walk-panel | --walk-guide] [--quit-after=SECONDS] [MODEL.obj]";

enum { IDM_OPEN = 200, IDM_SAVE_AS, IDM_EXIT };

// The host's change callback takes no argument: it finds the host here.
Host* g_callbackHost = NULL;

} // namespace

Host* HostOf(HWND window)
{
    return window ? (Host*)GetWindowLongPtrA(window, GWLP_USERDATA) : NULL;
}

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
void ReportError(Host& host, const std::string& text)
{
    if (host.walk.on)
        WalkLog(host, "error: %s", text.c_str());
    else
        MessageBoxA(host.main, text.c_str(), MAIN_TITLE, MB_OK | MB_ICONERROR);
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

bool LoadPlugin(Host& host)
{
    Plugin& plugin = host.plugin;
    if (!plugin.Load(host.exeDir + "\\zVkQuarvelind.zvk"))
        return false;
    PluginInfo info;
    memset(&info, 0, sizeof info);
    plugin.getData(&info, 0);
    memcpy(plugin.name, info.name, sizeof info.name);
    memcpy(plugin.credit, info.credit, sizeof info.credit);
    plugin.bitmapId = info.bitmapId;
    plugin.version = plugin.getVersion();
    plugin.bitmap = LoadBitmapA(plugin.module, MAKEINTRESOURCEA(info.bitmapId));
    if (!plugin.bitmap)
        plugin.error = Format("The plug-in has no bitmap %d (%s)", info.bitmapId, LastErrorText().c_str());
    return true;
}

void PluginLeftClick(Host& host)
{
    if (host.plugin.onLeftClick)
        host.plugin.onLeftClick();
}

void PluginRightClick(Host& host)
{
    if (host.plugin.onRightClick)
        host.plugin.onRightClick();
}

// The button sees the right click: the host's own handling of its plug-in buttons.
LRESULT CALLBACK PluginButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Host* host = HostOf(GetParent(window));
    switch (message)
    {
    case WM_RBUTTONDOWN:
        return 0;
    case WM_RBUTTONUP:
        PostMessageA(host->main, WM_APP_RIGHT_CLICK, 0, 0);
        return 0;
    case WM_CONTEXTMENU:
        return 0;
    }
    return CallWindowProcA(host->buttonProc, window, message, wParam, lParam);
}

void RefreshAll(Host& host)
{
    DrainJournal(host);
    RefreshSceneList(host);
    RefreshMaterialPanel(host);
    RefreshStatus(host);
    InvalidateRect(host.viewport, NULL, FALSE);
}

// Called by the host after every API call that changed it: once per burst, through the queue.
void __cdecl OnHostChanged(void)
{
    Host* host = g_callbackHost;
    if (host != NULL && !host->changePending && host->main)
    {
        host->changePending = true;
        PostMessageA(host->main, WM_APP_HOST_CHANGED, 0, 0);
    }
}

// ---------------------------------------------------------------------------------------------
// The main window

HWND CreateChild(Host& host, const char* className, const char* text, DWORD style, int id, DWORD exStyle = 0)
{
    HWND child = CreateWindowExA(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, host.main,
                                 (HMENU)(INT_PTR)id, host.instance, NULL);
    SendMessageA(child, WM_SETFONT, (WPARAM)host.font, FALSE);
    return child;
}

void CreateFonts(Host& host)
{
    NONCLIENTMETRICSA metrics;
    memset(&metrics, 0, sizeof metrics);
    metrics.cbSize = sizeof metrics;
    LOGFONTA font;
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        font = metrics.lfMessageFont;
    else
        GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    host.font = CreateFontIndirectA(&font);
    font.lfWeight = FW_BOLD;
    host.boldFont = CreateFontIndirectA(&font);
}

void CreateTitle(Host& host, const char* text, int id)
{
    HWND title = CreateChild(host, "Static", text, SS_LEFT, id);
    SendMessageA(title, WM_SETFONT, (WPARAM)host.boldFont, FALSE);
}

// The plug-in's button and the line about the plug-in beside it.
void CreatePluginControls(Host& host)
{
    const Plugin& plugin = host.plugin;
    host.pluginButton = CreateChild(host, "Button", plugin.name, BS_PUSHBUTTON | BS_BITMAP | WS_TABSTOP, IDC_PLUGIN_BUTTON);
    if (plugin.bitmap)
        SendMessageA(host.pluginButton, BM_SETIMAGE, IMAGE_BITMAP, (LPARAM)plugin.bitmap);
    if (!plugin.module)
        EnableWindow(host.pluginButton, FALSE);
    host.buttonProc = (WNDPROC)SetWindowLongPtrA(host.pluginButton, GWLP_WNDPROC, (LONG_PTR)PluginButtonProc);

    std::string pluginText = plugin.module
        ? Format("%s  %s  (version %d, bitmap %d)\r\nLeft click: open the tool window.  Right click: about box.",
                 plugin.name, plugin.credit, plugin.version, plugin.bitmapId)
        : "No plug-in: " + plugin.error;
    CreateChild(host, "Static", pluginText.c_str(), SS_LEFT | SS_NOPREFIX, IDC_PLUGIN_TEXT);
}

void CreateEditorControls(Host& host)
{
    CreateTitle(host, "Material Editor: active material", IDC_EDITOR_TITLE);
    host.swatch = CreateChild(host, "Static", "", SS_OWNERDRAW, IDC_SWATCH);
    CreateChild(host, "Static", "RGBA\r\nHex\r\nTexture\r\nShader box\r\nShader", SS_LEFT, IDC_MATERIAL_LABELS);
    host.materialText = CreateChild(host, "Static", "", SS_LEFT | SS_NOPREFIX, IDC_MATERIAL_TEXT);
    CreateChild(host, "Button", "Colour...", BS_PUSHBUTTON | WS_TABSTOP, IDC_COLOUR_BUTTON);
    host.textureCheck = CreateChild(host, "Button", "Global texture", BS_AUTOCHECKBOX | WS_TABSTOP, IDC_TEXTURE_CHECK);
    CreateChild(host, "Static", "Shader box", SS_LEFT, IDC_SHADERBOX_LABEL);
    host.shaderBoxCombo = CreateChild(host, "ComboBox", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, IDC_SHADERBOX_COMBO);
    for (const char* item : { "null", "valid", "invalid" })
        SendMessageA(host.shaderBoxCombo, CB_ADDSTRING, 0, (LPARAM)item);
    CreateChild(host, "Static", "Shader", SS_LEFT, IDC_SHADER_LABEL);
    host.shaderCombo = CreateChild(host, "ComboBox", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, IDC_SHADER_COMBO);
    SendMessageA(host.shaderCombo, CB_ADDSTRING, 0, (LPARAM) "none");
    for (const Shader& shader : host.shaders)
        SendMessageA(host.shaderCombo, CB_ADDSTRING, 0, (LPARAM)Format("shader %d", shader.id).c_str());
}

void CreateControls(Host& host)
{
    CreatePluginControls(host);
    host.viewport = CreateWindowExA(WS_EX_CLIENTEDGE, VIEWPORT_CLASS, "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, host.main,
                                    (HMENU)(INT_PTR)IDC_VIEWPORT, host.instance, NULL);

    CreateTitle(host, "Scene (the list sets the host's selection)", IDC_SCENE_TITLE);
    host.sceneList = CreateChild(host, WC_LISTVIEWA, "", LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP,
                                 IDC_SCENE, WS_EX_CLIENTEDGE);
    CreateSceneColumns(host);
    CreateEditorControls(host);

    CreateTitle(host, "Host API calls made by the plug-in", IDC_CALLS_TITLE);
    host.calls = CreateChild(host, "ListBox", "", WS_VSCROLL | WS_HSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOSEL, IDC_CALLS,
                             WS_EX_CLIENTEDGE);
    SendMessageA(host.calls, LB_SETHORIZONTALEXTENT, 600, 0);

    host.status = CreateChild(host, STATUSCLASSNAMEA, "", SBARS_SIZEGRIP, IDC_STATUS);
}

void Place(const Host& host, int id, int x, int y, int width, int height)
{
    MoveWindow(GetDlgItem(host.main, id), x, y, std::max(0, width), std::max(0, height), TRUE);
}

// The right-hand panel: scene, Material Editor, call log, from the top down to bottom.
void LayoutPanel(const Host& host, int panelX, int bottom)
{
    int y = TOOLBAR_HEIGHT;
    Place(host, IDC_SCENE_TITLE, panelX, y, PANEL_WIDTH, 16);
    y += 18;
    int listHeight = 24 + 17 * std::min((int)host.scene.size(), MAX_SCENE_ROWS);
    Place(host, IDC_SCENE, panelX, y, PANEL_WIDTH, listHeight);
    y += listHeight + 10;

    Place(host, IDC_EDITOR_TITLE, panelX, y, PANEL_WIDTH, 16);
    y += 18;
    Place(host, IDC_SWATCH, panelX, y, 72, 72);
    Place(host, IDC_MATERIAL_LABELS, panelX + 82, y, 70, 72);
    Place(host, IDC_MATERIAL_TEXT, panelX + 152, y, PANEL_WIDTH - 152, 72);
    y += 80;
    Place(host, IDC_COLOUR_BUTTON, panelX, y, 72, 23);
    Place(host, IDC_TEXTURE_CHECK, panelX + 82, y + 2, 120, 20);
    y += 30;
    Place(host, IDC_SHADERBOX_LABEL, panelX, y + 4, 72, 16);
    Place(host, IDC_SHADERBOX_COMBO, panelX + 72, y, 76, 120);
    Place(host, IDC_SHADER_LABEL, panelX + 160, y + 4, 46, 16);
    Place(host, IDC_SHADER_COMBO, panelX + 206, y, PANEL_WIDTH - 206, 120);
    y += 34;

    Place(host, IDC_CALLS_TITLE, panelX, y, PANEL_WIDTH, 16);
    y += 18;
    Place(host, IDC_CALLS, panelX, y, PANEL_WIDTH, bottom - MARGIN - y);
}

void Layout(const Host& host, int width, int height)
{
    SendMessageA(host.status, WM_SIZE, 0, 0);
    RECT statusRect;
    GetWindowRect(host.status, &statusRect);
    int statusHeight = statusRect.bottom - statusRect.top;
    LayoutStatusBar(host, width);
    int bottom = height - statusHeight;

    Place(host, IDC_PLUGIN_BUTTON, MARGIN, 6, 40, 32);
    Place(host, IDC_PLUGIN_TEXT, MARGIN + 50, 8, width - MARGIN - 60, 32);
    int panelX = width - PANEL_WIDTH - MARGIN;
    Place(host, IDC_VIEWPORT, MARGIN, TOOLBAR_HEIGHT, panelX - 2 * MARGIN, bottom - TOOLBAR_HEIGHT - MARGIN);
    LayoutPanel(host, panelX, bottom);
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

void UpdateTitle(const Host& host)
{
    std::string title = Format("%s - %s", MAIN_TITLE, host.plugin.module ? host.plugin.name : "no plug-in");
    if (!host.modelPath.empty())
        title += " - " + host.modelPath.substr(host.modelPath.find_last_of("\\/") + 1);
    SetWindowTextA(host.main, title.c_str());
}

// The common file dialog, asking for an OBJ file to open or to save to.
std::string AskForModelPath(const Host& host, bool save)
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
    ofn.hwndOwner = host.main;
    ofn.lpstrFilter = "Wavefront OBJ models (*.obj)\0*.obj\0All files (*.*)\0*.*\0";
    ofn.lpstrFile = path;
    ofn.nMaxFile = sizeof path;
    ofn.lpstrDefExt = "obj";
    ofn.Flags = save ? OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR
                     : OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    return dialog(&ofn) ? std::string(path) : std::string();
}

bool OpenModelAndShow(Host& host, const std::string& path)
{
    if (!OpenModel(host, path))
        return false;
    UpdateTitle(host);
    RECT client;
    GetClientRect(host.main, &client);
    Layout(host, client.right, client.bottom);
    // The scene list changed height: every control below it moved.
    RedrawWindow(host.main, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    int biggest = BiggestPolyhedronRow(host);
    if (biggest >= 0)
        SelectSceneRow(host, biggest);
    return true;
}

void OnCommand(Host& host, int id, int code)
{
    if (id == IDC_PLUGIN_BUTTON && code == BN_CLICKED)
        PluginLeftClick(host);
    else if (id == IDM_OPEN)
    {
        std::string path = AskForModelPath(host, false);
        if (!path.empty())
            OpenModelAndShow(host, path);
    }
    else if (id == IDM_SAVE_AS)
    {
        std::string path = AskForModelPath(host, true);
        if (!path.empty())
            SaveModel(host, path);
    }
    else if (id == IDM_EXIT)
        PostMessageA(host.main, WM_CLOSE, 0, 0);
    else
        OnEditorCommand(host, id, code);
    RefreshAll(host);
}

void OnTimer(Host& host, UINT_PTR timer)
{
    if (timer == TIMER_JOURNAL)
    {
        if (zvktJournalCount() > 0)
        {
            DrainJournal(host);
            RefreshStatus(host);
        }
    }
    else if (timer == TIMER_WALK)
        WalkStep(host);
    else if (timer == TIMER_QUIT)
        PostMessageA(host.main, WM_CLOSE, 0, 0);
}

// The host is handed over in the creation parameters and kept with the window.
Host* AttachHost(HWND window, LPARAM lParam)
{
    Host* host = (Host*)((const CREATESTRUCTA*)lParam)->lpCreateParams;
    SetWindowLongPtrA(window, GWLP_USERDATA, (LONG_PTR)host);
    host->main = window;
    return host;
}

// Messages of the main window's own: its children, its menu, the host's change and the timers.
// What it does not handle itself goes to DefWindowProc.
bool HandleMainMessage(Host& host, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    result = 0;
    switch (message)
    {
    case WM_SIZE:
        Layout(host, LOWORD(lParam), HIWORD(lParam));
        return true;
    case WM_INITMENUPOPUP:
        EnableMenuItem((HMENU)wParam, IDM_SAVE_AS, MF_BYCOMMAND | (host.modelPath.empty() ? MF_GRAYED : MF_ENABLED));
        return true;
    case WM_MOUSEWHEEL:
        // The wheel goes to the focus; the viewport zooms wherever the focus is.
        result = SendMessageA(host.viewport, message, wParam, lParam);
        return true;
    case WM_COMMAND:
        OnCommand(host, LOWORD(wParam), HIWORD(wParam));
        return true;
    case WM_NOTIFY:
    {
        const NMHDR* header = (const NMHDR*)lParam;
        if (header->idFrom == IDC_SCENE && header->code == LVN_ITEMCHANGED &&
            (((const NMLISTVIEW*)lParam)->uChanged & LVIF_STATE))
            PostMessageA(host.main, WM_APP_SYNC_SELECTION, 0, 0);
        return true;
    }
    case WM_DRAWITEM:
        if (wParam != IDC_SWATCH)
            return false;
        DrawSwatch((const DRAWITEMSTRUCT*)lParam);
        result = TRUE;
        return true;
    case WM_CTLCOLORSTATIC:
        if ((HWND)lParam != host.materialText)
            return false;
        SetBkMode((HDC)wParam, TRANSPARENT);
        result = (LRESULT)GetSysColorBrush(COLOR_BTNFACE);
        return true;
    case WM_APP_HOST_CHANGED:
        host.changePending = false;
        RefreshAll(host);
        return true;
    case WM_APP_SYNC_SELECTION:
        SyncSelection(host);
        return true;
    case WM_APP_RIGHT_CLICK:
        PluginRightClick(host);
        RefreshAll(host);
        return true;
    case WM_TIMER:
        OnTimer(host, wParam);
        return true;
    }
    return false;
}

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE)
    {
        Host* host = AttachHost(window, lParam);
        CreateControls(*host);
        FillSceneList(*host);
        return 0;
    }
    Host* host = HostOf(window);
    if (host == NULL)
        return DefWindowProcA(window, message, wParam, lParam);
    switch (message)
    {
    case WM_GETMINMAXINFO:
        ((MINMAXINFO*)lParam)->ptMinTrackSize.x = 640;
        ((MINMAXINFO*)lParam)->ptMinTrackSize.y = 560;
        return 0;
    case WM_CLOSE:
        if (host->plugin.deactivate)
            host->plugin.deactivate();
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(host->exitCode);
        return 0;
    }
    LRESULT result;
    if (HandleMainMessage(*host, message, wParam, lParam, result))
        return result;
    return DefWindowProcA(window, message, wParam, lParam);
}

bool RegisterClasses(const Host& host)
{
    WNDCLASSEXA main;
    memset(&main, 0, sizeof main);
    main.cbSize = sizeof main;
    main.lpfnWndProc = MainProc;
    main.hInstance = host.instance;
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
// IsDialogMessage first, as the host does for the plug-in's modeless tool window (and here for
// its materials panel too).
bool IsDialogRoot(const Host& host, HWND root)
{
    return root && root != host.main && (int)GetClassLongA(root, GCW_ATOM) == DIALOG_CLASS_ATOM;
}

int RunMessageLoop(const Host& host)
{
    MSG msg;
    BOOL result;
    while ((result = GetMessageA(&msg, NULL, 0, 0)) != 0)
    {
        if (result == -1)
            return 1;
        if (msg.message == WM_KEYDOWN && msg.wParam == 'O' && (GetKeyState(VK_CONTROL) & 0x8000) &&
            GetAncestor(msg.hwnd, GA_ROOT) == host.main)
        {
            PostMessageA(host.main, WM_COMMAND, IDM_OPEN, 0);
            continue;
        }
        HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : NULL;
        if (IsDialogRoot(host, root) && IsDialogMessageA(root, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return (int)msg.wParam;
}

// ---------------------------------------------------------------------------------------------
// Start

// The options into the host, the model's path into modelPath; false, with the offending
// argument in refused, for an option it does not know.
bool ReadCommandLine(Host& host, std::string& modelPath, std::string& refused)
{
    for (int i = 1; i < __argc; ++i)
    {
        const char* argument = __argv[i];
        if (strcmp(argument, "--walk") == 0)
            host.walk.on = true;
        else if (strcmp(argument, "--walk-menu") == 0)
            host.walk.on = host.walk.menu = true;
        else if (strcmp(argument, "--walk-panel") == 0)
            host.walk.on = host.walk.panel = true;
        else if (strcmp(argument, "--walk-guide") == 0)
            host.walk.on = host.walk.guide = true;
        else if (strncmp(argument, "--quit-after=", 13) == 0)
            host.quitAfter = atoi(argument + 13);
        else if (strncmp(argument, "--", 2) == 0)
        {
            refused = argument;
            return false;
        }
        else
            modelPath = argument;
    }
    if (host.walk.on && host.quitAfter < 0)
        host.quitAfter = 600;
    return true;
}

// The main window, full screen for a walk (its screenshot shows everything).
HWND CreateMainWindow(Host& host, bool loaded, int show)
{
    std::string title = Format("%s - %s", MAIN_TITLE, loaded ? host.plugin.name : "no plug-in");
    int x = CW_USEDEFAULT, y = CW_USEDEFAULT, width = 900, height = 640;
    if (host.walk.on)
    {
        x = y = 0;
        width = GetSystemMetrics(SM_CXSCREEN);
        height = GetSystemMetrics(SM_CYSCREEN);
    }
    HWND window = CreateWindowExA(0, MAIN_CLASS, title.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, x, y, width,
                                  height, NULL, CreateMainMenu(), host.instance, &host);
    if (!window)
        return NULL;
    zvktSetMainViewHwnd(window);
    g_callbackHost = &host;
    zvktSetChangeCallback(OnHostChanged);
    ShowWindow(window, host.walk.on ? SW_SHOWNORMAL : show);
    UpdateWindow(window);
    RefreshAll(host);
    SetTimer(window, TIMER_JOURNAL, 250, NULL);
    return window;
}

// The model asked for, the walk, and the timer that ends the session.
void StartSession(Host& host, bool loaded, const std::string& modelPath)
{
    if (!host.plugin.error.empty())
        ReportError(host, host.plugin.error);
    bool modelOpened = true;
    if (!modelPath.empty())
    {
        if (host.walk.on)
            WalkLog(host, "model: %s", modelPath.c_str());
        modelOpened = OpenModelAndShow(host, modelPath);
    }
    if (host.walk.on)
        StartWalk(host, loaded, modelOpened);
    if (host.quitAfter > 0)
        SetTimer(host.main, TIMER_QUIT, host.quitAfter * 1000u, NULL);
}

int Run(HINSTANCE instance, int show)
{
    Host host;
    host.instance = instance;
    std::string modelPath, refused;
    if (!ReadCommandLine(host, modelPath, refused))
    {
        std::string text = "sandbox.exe: unknown option " + refused + "\n" + USAGE;
        fprintf(stderr, "%s\n", text.c_str());
        if (!host.walk.on)
            MessageBoxA(NULL, text.c_str(), MAIN_TITLE, MB_OK | MB_ICONERROR);
        return 2;
    }

    INITCOMMONCONTROLSEX controls = { sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES };
    InitCommonControlsEx(&controls);
    host.exeDir = ExecutableDirectory();
    PrepareHostDirectory(host);
    if (host.walk.on)
        OpenWalkLog(host);
    BuildSampleScene(host);
    bool loaded = LoadPlugin(host);
    CreateFonts(host);

    if (!RegisterClasses(host))
    {
        ReportError(host, "Cannot register the window classes: " + LastErrorText());
        return 1;
    }
    if (!CreateMainWindow(host, loaded, show))
    {
        ReportError(host, "Cannot create the main window: " + LastErrorText());
        return 1;
    }
    StartSession(host, loaded, modelPath);

    int exitCode = RunMessageLoop(host);
    zvktSetChangeCallback(NULL);
    g_callbackHost = NULL;
    CloseWalkLog(host);
    return exitCode;
}

} // namespace sandbox

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    return sandbox::Run(instance, show);
}
