// A long random walk through the tool window: thousands of seeded user actions and host-side
// changes, each followed by a check of the window against a small model of what it should show.
//
// Run any seed and length (the suite runs the default ones):
//   ZVK_WALK_SEED=42 ZVK_WALK_ACTIONS=50000 ctest --test-dir build -R test_randomwalk --output-on-failure
//
// The model follows the commands that actually reach the dialog (a subclass logs them), so an
// Enter that presses the focused button or a click that the system gives to the dialog because
// the control under it is disabled are judged by what the window was told, not by what the walk
// meant to do.
//
// GDI objects are counted at the plug-in's import boundary: its imports of the GDI functions that
// make and delete objects (and GetDC/ReleaseDC) are routed through counters, and every handle
// counted as alive must still be alive for GetObjectType. USER objects are the windows of this
// thread, counted by enumeration (the popup menu's window included), and the menus the plug-in
// loads, counted at its LoadMenuA and DestroyMenu imports: the face list's menu is loaded and
// destroyed inside its handler, so none may be alive after an action. A check of the import
// table keeps every object-making import counted. Cursors from LoadCursorA are the system's
// shared cursors, not objects the plug-in makes, and the clipboard's GlobalAlloc block belongs
// to the system once SetClipboardData has it.
//
// The face list's context menu is caught as the real popup (the menu loop's WM_ENTERIDLE to its
// owner) and then closed with Esc or one of its items, greyed ones included, is chosen with
// arrow keys and Enter.
//
// The materials panel is opened from the menu and with Ctrl+M, its rows double-clicked, entered
// (with and without IsDialogMessage) and sent to the editor, and it is closed; after every action
// its rows, total, greying and title are held against the host's face records and slots as they
// stood at the last command that refreshed it.
#include "support/ImportTable.h"
#include "support/PluginFixture.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <map>
#include <set>
#include <sstream>

namespace {

const std::uint64_t DEFAULT_SEED = 20261207;
const int DEFAULT_ACTIONS = 10000;
const int WARM_UP_ACTIONS = 300;
const int REMEMBERED_ACTIONS = 20;
const int FACE_LIMIT = 65535;

const char ABOUT_TEXT[] = "zVk Quarvelind v.1.5 - Material manager plugin for Modelvane.";
const char HELP_START[] = "\r- 'matIDs/Faces list' listbox";

// Outcomes a walk of the default length must reach.
const char* const OUTCOMES[] = {
    "list loaded", "load refused: not a polyhedron", "load refused: face limit", "list rebuilt for another name",
    "one entry selected", "several entries selected", "every entry selected", "entry beyond the host's faces skipped",
    "face painted", "selection painted", "polyhedron painted", "global texture refused", "list cleared",
    "mode box switched", "window closed", "disabled control clicked", "help shown", "about box shown",
    "menu: dismissed", "menu: greyed item chosen", "menu: out of date", "menu: select by material",
    "menu: select painted", "menu: select to do", "menu: every entry chosen", "menu: copy list",
    "menu: copy selected", "menu: opened by keyboard", "menu: copy with the clipboard held",
    "menu: select without the host's array", "selection without the host's array",
    "panel opened", "panel brought forward", "panel greyed", "panel: faces of a material selected",
    "panel: material to the editor", "panel: refused while out of date", "panel closed",
    "panel closed with the tool window", "Ctrl+M with nothing to show",
    "paint undone", "paint redone", "faces changed since left alone", "undo or redo with nothing to act on",
    "undo or redo stopped by the host", "entry colours given back", "undo or redo key through IsDialogMessage",
    "undo or redo key without IsDialogMessage",
};

const char CLIPBOARD_BEFORE[] = "the clipboard before the menu";

// PCG32: the same sequence on every platform and compiler, unlike rand().
class WalkRandom
{
public:
    explicit WalkRandom(std::uint64_t seed) : m_increment((seed << 1) | 1)
    {
        Next();
        m_state += seed;
        Next();
    }
    std::uint32_t Next()
    {
        std::uint64_t old = m_state;
        m_state = old * 6364136223846793005ULL + m_increment;
        std::uint32_t xorShifted = (std::uint32_t)(((old >> 18) ^ old) >> 27);
        std::uint32_t rotation = (std::uint32_t)(old >> 59);
        return (xorShifted >> rotation) | (xorShifted << ((32 - rotation) & 31));
    }
    int Below(int n) { return n <= 0 ? 0 : (int)(Next() % (std::uint32_t)n); }
    int Between(int low, int high) { return low + Below(high - low + 1); }
    bool Percent(int percent) { return Below(100) < percent; }

private:
    std::uint64_t m_state = 0;
    std::uint64_t m_increment;
};

/////////////////////////////////////////////////////////////////////////////
// GDI objects and menus made by the plug-in, counted at its imports

std::set<HGDIOBJ> g_liveGdiObjects;
int g_liveDCs = 0;
// Menus the plug-in loaded and has not destroyed.
std::set<HMENU> g_liveMenus;

// What an import made, noted as alive; what one released, as gone.
template <class Live, class Handle>
Handle Alive(Live& live, Handle made)
{
    if (made != NULL)
        live.insert(made);
    return made;
}

template <class Live, class Handle>
BOOL Gone(Live& live, Handle object, BOOL released)
{
    if (released)
        live.erase(object);
    return released;
}

HFONT (WINAPI *g_createFontIndirectA)(const LOGFONTA*) = NULL;
HBRUSH (WINAPI *g_createSolidBrush)(COLORREF) = NULL;
HBRUSH (WINAPI *g_createHatchBrush)(int, COLORREF) = NULL;
BOOL (WINAPI *g_deleteObject)(HGDIOBJ) = NULL;
HDC (WINAPI *g_getDC)(HWND) = NULL;
int (WINAPI *g_releaseDC)(HWND, HDC) = NULL;
HMENU (WINAPI *g_loadMenuA)(HINSTANCE, LPCSTR) = NULL;
BOOL (WINAPI *g_destroyMenu)(HMENU) = NULL;

HFONT WINAPI CountedCreateFontIndirectA(const LOGFONTA* font) { return Alive(g_liveGdiObjects, g_createFontIndirectA(font)); }
HBRUSH WINAPI CountedCreateSolidBrush(COLORREF colour) { return Alive(g_liveGdiObjects, g_createSolidBrush(colour)); }
HBRUSH WINAPI CountedCreateHatchBrush(int style, COLORREF colour) { return Alive(g_liveGdiObjects, g_createHatchBrush(style, colour)); }
HMENU WINAPI CountedLoadMenuA(HINSTANCE instance, LPCSTR name) { return Alive(g_liveMenus, g_loadMenuA(instance, name)); }

BOOL WINAPI CountedDeleteObject(HGDIOBJ object) { return Gone(g_liveGdiObjects, object, g_deleteObject(object)); }
BOOL WINAPI CountedDestroyMenu(HMENU menu) { return Gone(g_liveMenus, menu, g_destroyMenu(menu)); }

HDC WINAPI CountedGetDC(HWND window)
{
    HDC dc = g_getDC(window);
    if (dc != NULL)
        ++g_liveDCs;
    return dc;
}

int WINAPI CountedReleaseDC(HWND window, HDC dc)
{
    int released = g_releaseDC(window, dc);
    if (released)
        --g_liveDCs;
    return released;
}

// Imports that make a GDI or USER object and how the walk counts each: the GDI ones and menus at
// the import, windows by enumeration (message boxes and the popup menu's window close before an
// action ends). LoadCursorA is let through: it hands out a shared system cursor, which nobody
// destroys.
bool IsCountedMaker(const std::string& name)
{
    static const char* const counted[] = { "CreateFontIndirectA", "CreateSolidBrush", "CreateHatchBrush", "GetDC",
                                           "CreateDialogParamA", "MessageBoxA", "LoadMenuA", "LoadCursorA" };
    for (const char* known : counted)
        if (name == known)
            return true;
    return false;
}

bool MakesAnObject(const std::string& name)
{
    static const char* const prefixes[] = { "Create", "Load", "Copy", "GetDC", "GetWindowDC", "BeginPaint",
                                            "SetWindowsHook", "MessageBox", "DialogBox" };
    for (const char* prefix : prefixes)
        if (name.compare(0, strlen(prefix), prefix) == 0)
            return true;
    return false;
}

void CountPluginObjects()
{
    static bool routed = false;
    if (routed)
        return;
    routed = true;
    HMODULE plugin = Plugin::Module();
    g_createFontIndirectA = (decltype(g_createFontIndirectA))RedirectImport(plugin, "GDI32.dll", "CreateFontIndirectA", (void*)CountedCreateFontIndirectA);
    g_createSolidBrush = (decltype(g_createSolidBrush))RedirectImport(plugin, "GDI32.dll", "CreateSolidBrush", (void*)CountedCreateSolidBrush);
    g_createHatchBrush = (decltype(g_createHatchBrush))RedirectImport(plugin, "GDI32.dll", "CreateHatchBrush", (void*)CountedCreateHatchBrush);
    g_deleteObject = (decltype(g_deleteObject))RedirectImport(plugin, "GDI32.dll", "DeleteObject", (void*)CountedDeleteObject);
    g_getDC = (decltype(g_getDC))RedirectImport(plugin, "USER32.dll", "GetDC", (void*)CountedGetDC);
    g_releaseDC = (decltype(g_releaseDC))RedirectImport(plugin, "USER32.dll", "ReleaseDC", (void*)CountedReleaseDC);
    g_loadMenuA = (decltype(g_loadMenuA))RedirectImport(plugin, "USER32.dll", "LoadMenuA", (void*)CountedLoadMenuA);
    g_destroyMenu = (decltype(g_destroyMenu))RedirectImport(plugin, "USER32.dll", "DestroyMenu", (void*)CountedDestroyMenu);
}

BOOL CALLBACK CountChild(HWND, LPARAM count)
{
    ++*(int*)count;
    return TRUE;
}

BOOL CALLBACK CountWindowAndChildren(HWND window, LPARAM count)
{
    ++*(int*)count;
    EnumChildWindows(window, CountChild, count);
    return TRUE;
}

int ThreadWindowCount()
{
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountWindowAndChildren, (LPARAM)&count);
    return count;
}

/////////////////////////////////////////////////////////////////////////////
// A fault anywhere ends the walk with what is needed to replay it

std::string (*g_replayText)() = NULL;

LONG CALLBACK ReportFault(EXCEPTION_POINTERS* pointers)
{
    DWORD code = pointers->ExceptionRecord->ExceptionCode;
    switch (code)
    {
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_ILLEGAL_INSTRUCTION:
    case EXCEPTION_PRIV_INSTRUCTION:
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_STACK_OVERFLOW:
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
        break;
    default:
        return EXCEPTION_CONTINUE_SEARCH;
    }
    HMODULE module = NULL;
    char moduleName[MAX_PATH] = "?";
    if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           (LPCSTR)pointers->ExceptionRecord->ExceptionAddress, &module))
        GetModuleFileNameA(module, moduleName, sizeof moduleName);
    fprintf(stdout, "\n[  FAILED  ] random walk: exception 0x%08lX at %p in %s",
            code, pointers->ExceptionRecord->ExceptionAddress, moduleName);
    if (code == EXCEPTION_ACCESS_VIOLATION)
        fprintf(stdout, " (%s address 0x%08lX)", pointers->ExceptionRecord->ExceptionInformation[0] ? "writing" : "reading",
                (unsigned long)pointers->ExceptionRecord->ExceptionInformation[1]);
    fprintf(stdout, "\n%s\n", g_replayText ? g_replayText().c_str() : "");
    fflush(stdout);
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_CONTINUE_SEARCH;
}

// A read of the null page from inside a host call, which the plug-in made from a handler.
volatile UINT_PTR g_nowhere = 8;

void __cdecl FaultInTheHost()
{
    (void)*(volatile int*)g_nowhere;
}

/////////////////////////////////////////////////////////////////////////////
// What reaches the tool window

// The commands the dialog receives and the list's last WM_SETREDRAW, from subclass procedures.
// The shared message log finds itself through a window property, a round trip to the window
// server per message, which a list of 65534 entries turns into seconds when it is emptied
// (one WM_DELETEITEM per entry); these two find their state in plain variables.
struct WindowWatch
{
    HWND dialog = NULL, list = NULL;
    WNDPROC dialogProc = NULL, listProc = NULL;
    // WM_COMMAND (with its wParam) and WM_CLOSE, and the host calls made before each arrived.
    struct Command
    {
        UINT message;
        WPARAM wParam;
        int journalAt;
    };
    std::vector<Command> commands;
    bool redrawOff = false;
};

WindowWatch g_watch;

// The face list's menu as it stood on screen, and what the walk did with it.

struct MenuVisit
{
    int pick = -1;                // the item at pick modulo the item count is chosen; -1: Esc
    int popups = 0;
    std::vector<MenuItem> items;  // separators left out
    int chosen = -1;              // index into items; -1: closed with Esc
    bool stuck = false;           // still open after the keys: closed by the walk's timer
    UINT_PTR timer = 0;
};

MenuVisit g_menu;

// Keys that leave a menu open would hang the walk inside the menu loop.
void CALLBACK EndStuckMenu(HWND, UINT, UINT_PTR, DWORD)
{
    g_menu.stuck = true;
    KillTimer(NULL, g_menu.timer);
    g_menu.timer = 0;
    EndMenu();
}

// The menu loop tells the owner once that it waits for input: the popup is on screen. Its items
// are read through MN_GETHMENU; arrow keys go from item to item over greyed ones, skipping only
// separators, and the first Down highlights the first item.
void MenuOnScreen(HWND popup)
{
    ++g_menu.popups;
    if (popup == NULL)
        popup = FindOpenPopupMenu();
    // The person lets go of Shift once the menu shows (Shift+F10).
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    if (g_menu.timer == 0)
        g_menu.timer = SetTimer(NULL, 0, 5000, EndStuckMenu);
    if (g_menu.popups > 1)
    {
        ChooseMenuItem(popup, -1);
        return;
    }
    std::vector<MenuItem> items = ReadMenuItems((HMENU)SendMessageA(popup, MN_GETHMENU, 0, 0));
    g_menu.items.insert(g_menu.items.end(), items.begin(), items.end());
    if (g_menu.pick >= 0 && !g_menu.items.empty())
        g_menu.chosen = g_menu.pick % (int)g_menu.items.size();
    ChooseMenuItem(popup, g_menu.chosen);
}

LRESULT CALLBACK WatchDialog(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND || message == WM_CLOSE)
        g_watch.commands.push_back({ message, wParam, zvktJournalCount() });
    if (message == WM_ENTERIDLE && wParam == MSGF_MENU)
        MenuOnScreen((HWND)lParam);
    return CallWindowProcA(g_watch.dialogProc, window, message, wParam, lParam);
}

LRESULT CALLBACK WatchList(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETREDRAW)
        g_watch.redrawOff = wParam == FALSE;
    return CallWindowProcA(g_watch.listProc, window, message, wParam, lParam);
}

void Watch(HWND dialog, HWND list)
{
    g_watch = WindowWatch();
    if (dialog == NULL)
        return;
    g_watch.dialog = dialog;
    g_watch.list = list;
    g_watch.dialogProc = (WNDPROC)SetWindowLongPtrA(dialog, GWLP_WNDPROC, (LONG_PTR)WatchDialog);
    g_watch.listProc = (WNDPROC)SetWindowLongPtrA(list, GWLP_WNDPROC, (LONG_PTR)WatchList);
}

/////////////////////////////////////////////////////////////////////////////
// The scene the walk moves through

struct SceneEntry
{
    std::string label;
    ZvkHandle handle;
    int weight;   // out of the sum of all weights
};

// What the tool window should show, updated from the commands that reached it.
struct WindowModel
{
    bool open = false;
    std::string title, label;
    std::vector<std::string> texts;      // the entries, as loaded
    std::vector<COLORREF> colours;
    bool clearAndModesEnabled = false;
    bool paintFace = false, paintSelection = false;
    int copy = 0, random = 0, invisible = 0;
};

// What the face list's menu should show when it opens, and what it was opened on.
struct MenuExpectation
{
    bool active = false;         // this action opened (or tried to open) the menu
    bool opens = false;
    int entry = -1;              // the menu's entry: under the cursor, or the current one
    bool upToDate = false;       // the list is of the polyhedron selected now
    int material = -1;
    std::vector<MenuItem> items;
    std::vector<int> selectedBefore;
    bool acted = false;          // an enabled item's command arrived and was followed
    bool clipboardHeld = false;  // another window had the clipboard open while the menu was used
};

// What the materials panel should show: its rows as the host's faces and slots gave them at the
// last command that refreshed it, greyed if the list was out of date then.
struct PanelModel
{
    bool open = false;
    bool greyed = false;
    std::string title, total;
    std::vector<std::string> rows;
    std::vector<int> materials;   // the index of each row of a material, in row order
};

// The paint history as the window should keep it: a step per paint that changed a face.
struct ModelFace
{
    int face, before, after;
    COLORREF entryBefore, entryAfter;
};
struct ModelStep
{
    std::string name;
    int faceCount;
    int generation;   // of the list the paint went through
    std::vector<ModelFace> faces;
};

int LineCount(const std::string& text)
{
    return (int)std::count(text.begin(), text.end(), '\n');
}

// Texts in a failure line: " [first] [second]".
std::string Bracketed(const std::vector<std::string>& texts)
{
    std::string line;
    for (const std::string& text : texts)
        line += " [" + text + "]";
    return line;
}

class RandomWalk : public ToolWindowTest
{
protected:
    void SetUp() override
    {
        PluginTest::SetUp();
        m_seed = EnvironmentNumber("ZVK_WALK_SEED", DEFAULT_SEED);
        m_actions = (int)EnvironmentNumber("ZVK_WALK_ACTIONS", DEFAULT_ACTIONS);
        s_current = this;
        g_replayText = [] { return s_current->ReplayText(); };
        m_faultHandler = AddVectoredExceptionHandler(1, ReportFault);
        CountPluginObjects();
        m_clipboardHolder = CreateWindowA("STATIC", "another program", 0, 0, 0, 0, 0, NULL, NULL, NULL, NULL);
    }
    void TearDown() override
    {
        DestroyWindow(m_clipboardHolder);
        RemoveVectoredExceptionHandler(m_faultHandler);
        g_replayText = NULL;
        PluginTest::TearDown();
    }

    void BuildScene(WalkRandom& random);

    // Actions; each returns false when it does not apply now, and describes itself in m_doing.
    bool UserAction(WalkRandom& random);
    bool ActionWithoutTheWindow(WalkRandom& random);
    bool ClickSomeControl(WalkRandom& random);
    bool Deactivate();
    bool HideWindow(WalkRandom& random);
    bool HostAction(WalkRandom& random);
    void HostChange(WalkRandom& random);
    bool ClickControl(int id, const char* name);
    bool ClickListEntry(WalkRandom& random);
    bool ListKey(WalkRandom& random);
    bool DialogKey(UINT vk, const char* name);
    bool CloseButton();
    bool LeftClick();
    bool RightClick();
    bool ListMenu(WalkRandom& random);
    LPARAM AimAtEntry(WalkRandom& random);
    LPARAM AimByKeyboard(bool appsKey);
    int PickMenuItem(WalkRandom& random);
    void OpenListMenu(int how, LPARAM at);
    void NoteMenuVisit();
    void PredictMenu();
    void HostPump();

    // The model, fed with the commands the dialog received during the action.
    void ApplyCommands(const std::vector<WindowWatch::Command>& commands);
    bool ArrayRefused() const;
    void ApplyButton(int id);
    void ApplyEmptied(bool hostToldToClose);
    void ApplyLoad();
    void ApplySelectionChange();
    void ApplyPaint(bool selection);
    void ApplyClose();
    void NoteBeforeAction();
    void TrimHistory();
    void RecordStep(const std::vector<int>& faces, const std::vector<COLORREF>& entryBefore, COLORREF entryAfter);
    bool IsStepSelected(const std::vector<ModelStep>& side) const;
    void ApplyHistoryCommand(UINT id);
    void CheckHistoryCommand(const ModelStep& done, bool undo, int creates);
    bool HistoryKey(WalkRandom& random, int which);
    void ArmCreateFault();
    void HostRepaint(WalkRandom& random);
    void ApplyMenuCommand(UINT id);
    void ApplyMenuSelect(UINT id);
    void ApplyChosenSelected(const std::vector<int>& chosen, int current, const std::vector<int>& before);
    void ApplyMenuSelectWithoutArray(const std::vector<int>& before);
    void CheckMenuSelectCall(const std::vector<int>& chosen, int count);
    void ApplyMenuCopy(UINT id);
    void FinishMenu();

    // Checks after an action; each failure is a line in m_failures.
    void CheckAll();
    void CheckWindow();
    void CheckList();
    void CheckHost();
    void CheckObjectCounts();
    void CheckPanel();
    void Failure(const std::string& what) { m_failures.push_back(what); }

    std::string ReplayText() const;
    void Attach();
    int EntriesNow() const { return m_list ? EntryCount() : 0; }
    int SelCountNow() const { return (int)SendMessageA(m_list, LB_GETSELCOUNT, 0, 0); }
    int CaretNow() const { return (int)SendMessageA(m_list, LB_GETCURSEL, 0, 0); }
    int FocusNow() const { return (int)SendMessageA(m_list, LB_GETCARETINDEX, 0, 0); }
    bool IsUsable() const { return m_model.open && IsWindowVisible(m_window) && !IsIconic(m_window); }

    // The host as the plug-in sees it.
    bool HostIsPolyhedron() const { return m_selection != NULL && zvktObjectType(m_selection) == ZVK_TYPE_POLYHEDRON; }
    int HostFaces() const { return zvktFaceCount(m_selection); }
    std::string HostName() const { return std::string(zvktObjectName(m_selection)).substr(0, ZVK_NAME_BUFFER_SIZE - 1); }

    static RandomWalk* s_current;
    PVOID m_faultHandler = NULL;
    std::uint64_t m_seed = DEFAULT_SEED;
    // What befalls a command (the clipboard held, an allocation refused) is drawn apart from the
    // actions, so that the actions of a seed stay those it always had.
    WalkRandom m_hazards = WalkRandom(0);
    int m_actions = DEFAULT_ACTIONS;
    int m_index = 0;
    std::string m_doing;
    std::deque<std::string> m_lastActions;
    std::vector<std::string> m_failures;
    // How often the walk reached each outcome: a walk that never reaches one checks nothing of it.
    std::map<std::string, int> m_reached;

    std::vector<SceneEntry> m_scene;
    ZvkHandle m_selection = NULL;
    ZvktMaterial m_editorBefore = {};
    WindowModel m_model;
    std::vector<std::string> m_expectedBoxes;
    std::pair<int, int> m_commandCalls;   // the host calls of the command being applied: [first, end)
    bool m_hostFacesKnown = false;
    std::set<int> m_expectedHostFaces;
    MenuExpectation m_menu;
    HWND m_clipboardHolder = NULL;   // opens the clipboard as another program would

    // Undo and redo: the history (the latest at the back), the list's generation, the selected
    // polyhedron's material indices before the action, and how many creates an undo or a redo of
    // this action may make before the host fails one (-1: none fails).
    std::vector<ModelStep> m_done, m_undone;
    int m_generation = 0;
    std::vector<int> m_facesBefore;
    int m_createsBeforeFault = -1;
    bool m_stepRecorded = false, m_paintedJustNow = false;   // by this action, by the one before
    std::vector<int> m_selectionBefore;
    int m_focusBefore = -1;

    MessageBoxCatcher m_catcher;
    size_t m_boxesFrom = 0;
    int m_windowLevel[3] = { -1, -1, -1 };   // closed, open, open with the materials panel
    int m_gdiLevel[3] = { -1, -1, -1 };

    // The materials panel
    bool CtrlM(WalkRandom& random);
    bool PanelAction(WalkRandom& random);
    bool ClosePanel(WalkRandom& random, HWND panel);
    int ClickPanelRow(WalkRandom& random, HWND rows);
    bool ListUpToDate() const;
    void ApplyMaterialsCommand();
    void ApplyPanelRefresh(bool colours = true);
    void ApplyPanelAction(bool select, int row, const std::vector<int>& before);
    PanelModel m_panel;
};

RandomWalk* RandomWalk::s_current = NULL;

std::string RandomWalk::ReplayText() const
{
    std::ostringstream text;
    text << "seed " << m_seed << ", action " << m_index << " of " << m_actions
         << " (replay: ZVK_WALK_SEED=" << m_seed << " ZVK_WALK_ACTIONS=" << m_index + 1 << ")\n"
         << "last actions:\n";
    for (const std::string& action : m_lastActions)
        text << "  " << action << "\n";
    return text.str();
}

/////////////////////////////////////////////////////////////////////////////
// Scene

void RandomWalk::BuildScene(WalkRandom& random)
{
    struct Shape { const char* name; int faces; int weight; };
    // Same-named polyhedra with fewer and more faces, one without faces, and the face limit:
    // the big ones are slow to list, so they come up rarely.
    static const Shape shapes[] = {
        { "Platonic/Tetrahedron", 4, 10 }, { "Platonic/Cube", 6, 12 }, { "Platonic/Cube", 3, 6 },
        { "Platonic/Cube", 24, 6 }, { "Platonic/Octahedron", 8, 8 }, { "Platonic/Dodecahedron", 12, 8 },
        { "Platonic/Icosahedron", 20, 8 }, { "Terrain", 300, 4 }, { "Empty mesh", 0, 4 },
        { "At the limit", FACE_LIMIT - 1, 1 }, { "Over the limit", FACE_LIMIT, 1 }, { "Far over the limit", 70000, 1 },
    };
    for (const Shape& shape : shapes)
    {
        int slots = random.Between(1, 8);
        std::vector<unsigned short> materials(shape.faces);
        for (unsigned short& material : materials)
            material = random.Percent(3) ? 65535 : (unsigned short)random.Below(slots + 1);
        ZvkHandle handle = zvktAddPolyhedron(shape.name, shape.faces, materials.empty() ? NULL : materials.data(), slots);
        m_scene.push_back({ std::string(shape.name) + " (" + std::to_string(shape.faces) + " faces)", handle, shape.weight });
    }
    std::string longName(1500, 'n');
    longName.replace(0, 10, "Long name ");
    m_scene.push_back({ "a polyhedron named with 1500 characters", zvktAddPolyhedron(longName.c_str(), 7, NULL, 3), 2 });
    m_scene.push_back({ "Camera (not a polyhedron)", zvktAddObject("Camera", 301), 5 });
    m_scene.push_back({ "nothing", NULL, 5 });
}

/////////////////////////////////////////////////////////////////////////////
// The walk

TEST_F(RandomWalk, SurvivesLongMessyUse)
{
    WalkRandom random(m_seed);
    m_hazards = WalkRandom(~m_seed);
    BuildScene(random);
    m_model.open = false;
    Attach();
    DWORD started = GetTickCount();
    int survived = 0;
    int faultAt = (int)EnvironmentNumber("ZVK_WALK_FAULT_AT", 0);
    for (m_index = 0; m_index < m_actions; ++m_index)
    {
        if (faultAt > 0 && m_index == faultAt)
            zvktSetChangeCallback(FaultInTheHost);
        NoteBeforeAction();
        m_expectedBoxes.clear();
        m_boxesFrom = m_catcher.Boxes().size();
        g_watch.commands.clear();
        bool done = false;
        while (!done)
            done = random.Percent(22) ? HostAction(random) : UserAction(random);
        m_lastActions.push_back("#" + std::to_string(m_index) + " " + m_doing);
        if (m_lastActions.size() > REMEMBERED_ACTIONS)
            m_lastActions.pop_front();

        ApplyCommands(g_watch.commands);
        Attach();
        CheckAll();
        zvktJournalClear();
        if (!m_failures.empty())
        {
            std::string all;
            for (const std::string& failure : m_failures)
                all += "  " + failure + "\n";
            ADD_FAILURE() << "random walk failed after an action:\n" << all << ReplayText();
            break;
        }
        survived = m_index + 1;
    }
    for (const auto& reached : m_reached)
        printf("random walk: %6d x %s\n", reached.second, reached.first.c_str());
    // The suite's own walk must reach every outcome; another seed only says what it missed.
    bool suiteWalk = m_seed == DEFAULT_SEED && m_actions >= DEFAULT_ACTIONS;
    for (const char* outcome : OUTCOMES)
    {
        if (m_failures.empty() && suiteWalk)
            EXPECT_GT(m_reached[outcome], 0) << "the walk never reached: " << outcome;
        else if (m_reached[outcome] == 0)
            printf("random walk: never reached: %s\n", outcome);
    }
    printf("random walk: %d actions in %.1f s\n", survived, (GetTickCount() - started) / 1000.0);
    printf("ZVK-FIGURE random-walk actions survived: %d (seed %llu)\n", survived, (unsigned long long)m_seed);
}

// Follows the tool window as it comes and goes: its controls and the watch on them.
void RandomWalk::Attach()
{
    HWND window = FindToolWindow();
    if (window == m_window && window == g_watch.dialog)
        return;
    m_window = window;
    m_list = window ? GetDlgItem(window, IDC_FACE_LIST) : NULL;
    Watch(m_window, m_list);
}

bool RandomWalk::UserAction(WalkRandom& random)
{
    if (!IsUsable())
        return ActionWithoutTheWindow(random);
    // A person who sees a paint go wrong undoes it at once, before the list's colours change.
    if (m_paintedJustNow && random.Percent(25))
        return HistoryKey(random, 0);
    int roll = random.Below(100);
    if (roll < 26)
        return ClickListEntry(random);
    if (roll < 40)
        return ListKey(random);
    if (roll < 42)
        return DialogKey(VK_RETURN, "Enter");
    if (roll < 43 && random.Percent(50))
        return DialogKey(VK_ESCAPE, "Esc");
    if (roll < 44)
        return DialogKey(VK_TAB, "Tab");
    if (roll < 46)
        return DialogKey(VK_SPACE, "Space");
    if (roll < 72)
        return ClickSomeControl(random);
    if (roll < 73)
        return CloseButton();
    if (roll < 80)
        return LeftClick();
    if (roll < 81)
        return RightClick();
    if (roll < 84)
        return ListMenu(random);
    if (roll < 86)
        return Deactivate();
    if (roll < 87)
        return HideWindow(random);
    if (roll < 90)
        return ListMenu(random);
    if (roll < 93)
        return HistoryKey(random, random.Below(3));
    if (roll < 97)
        return PanelAction(random);
    if (roll < 99)
        return CtrlM(random);
    return false;
}

// With the window closed, hidden or minimised: the host's plug-in button and zvkDeactivate.
bool RandomWalk::ActionWithoutTheWindow(WalkRandom& random)
{
    switch (random.Below(8))
    {
    case 0: return RightClick();
    case 1: return Deactivate();
    default: return LeftClick();
    }
}

// A button, a check box or the heading, weighted as a person uses them.
bool RandomWalk::ClickSomeControl(WalkRandom& random)
{
    static const struct { int id; const char* name; int weight; } controls[] = {
        { IDC_LOAD_LIST, "Faces | matIDs", 7 }, { IDC_CLEAR_LIST, "Clear content", 2 },
        { IDC_COPY_MATERIAL, "Copy material", 3 }, { IDC_PAINT_RANDOM, "Paint random", 3 },
        { IDC_PAINT_INVISIBLE, "Paint invisible", 2 }, { IDC_PAINT_FACE, "Paint face", 3 },
        { IDC_PAINT_SELECTION, "Paint selection", 3 }, { IDC_PAINT_ALL, "Paint all", 1 },
        { IDC_HELP_BUTTON, "Help", 1 }, { IDC_PAINT_OPTIONS, "the Paint options heading", 1 },
    };
    int pick = random.Below(26);
    for (const auto& control : controls)
    {
        if (pick < control.weight)
            return ClickControl(control.id, control.name);
        pick -= control.weight;
    }
    return false;
}

bool RandomWalk::Deactivate()
{
    m_doing = "zvkDeactivate";
    Plugin::Deactivate();
    HostPump();
    return true;
}

bool RandomWalk::HideWindow(WalkRandom& random)
{
    bool minimise = random.Percent(50);
    m_doing = minimise ? "the tool window minimised" : "the tool window hidden";
    ShowWindow(m_window, minimise ? SW_MINIMIZE : SW_HIDE);
    HostPump();
    return true;
}

// A change on the host's side; now and then its allocator is also set to fail the next
// face-index array the plug-in asks for.
bool RandomWalk::HostAction(WalkRandom& random)
{
    HostChange(random);
    if (m_hazards.Percent(3))
    {
        zvktSetCallocFault(0, 1);
        m_doing += ", and its allocator fails the next array";
    }
    return true;
}

void RandomWalk::HostChange(WalkRandom& random)
{
    int roll = random.Below(100);
    if (roll < 70)
    {
        int total = 0;
        for (const SceneEntry& entry : m_scene)
            total += entry.weight;
        int pick = random.Below(total);
        for (const SceneEntry& entry : m_scene)
        {
            if (pick < entry.weight)
            {
                m_doing = "host selects " + entry.label;
                m_selection = entry.handle;
                break;
            }
            pick -= entry.weight;
        }
        zvktSelect(m_selection);
        m_hostFacesKnown = false;
        return;
    }
    if (roll < 78)
        return HostRepaint(random);
    if (roll < 92)
    {
        ZvktMaterial material = EditorMaterial();
        switch (random.Below(7))
        {
        case 0:
            material.colour = { (unsigned char)random.Below(256), (unsigned char)random.Below(256), (unsigned char)random.Below(256), 255 };
            m_doing = "editor: colour " + ColourText(material.colour);
            break;
        case 1: material.colour.a = 0; m_doing = "editor: alpha 0"; break;
        // Picking a face's material takes the texture away again, so it is given more often.
        case 2:
        case 3: material.textureType = ZVK_TEXTURE_GLOBAL; m_doing = "editor: global texture"; break;
        case 4: material.textureType = 0; m_doing = "editor: no texture"; break;
        default:
            material.shaderBox = random.Below(3);
            m_doing = "editor: shader box state " + std::to_string(material.shaderBox);
            break;
        }
        zvktSetEditorMaterial(&material);
        return;
    }
    static const std::vector<int> shaderLists[] = { {}, { 1 }, { 2, 1, 3 }, { 1, 1 }, { 3, 4 }, { 1, 2, 1 } };
    const std::vector<int>& ids = shaderLists[random.Below(6)];
    zvktClearShaders();
    m_doing = "host shaders:";
    for (int id : ids)
    {
        zvktAddShader(id);
        m_doing += " " + std::to_string(id);
    }
    if (ids.empty())
        m_doing += " none";
}

// The face list's context menu, opened by a right click at an entry, the context-menu key or
// Shift+F10 in the list; on screen it is closed with Esc or an item is chosen, greyed or not.
// A copy item chosen finds the clipboard held by another window now and then, and a select item
// a host whose allocator fails.
bool RandomWalk::ListMenu(WalkRandom& random)
{
    int how = random.Below(6);
    bool escape = random.Percent(20);
    m_menu = MenuExpectation();
    m_menu.active = true;
    m_menu.selectedBefore = SelectedEntries();
    LPARAM at = how < 4 ? AimAtEntry(random) : AimByKeyboard(how == 4);
    PredictMenu();
    g_menu = MenuVisit();
    g_menu.pick = escape ? -1 : PickMenuItem(random);
    const MenuItem* picked = g_menu.pick >= 0 ? &m_menu.items[g_menu.pick % m_menu.items.size()] : NULL;
    bool copy = picked != NULL && !picked->greyed && (picked->id == ID_COPY_LIST || picked->id == ID_COPY_SELECTED);
    bool history = picked != NULL && !picked->greyed && (picked->id == ID_UNDO_PAINT || picked->id == ID_REDO_PAINT);
    bool select = picked != NULL && !picked->greyed && !copy && !history;
    if (history)
        ArmCreateFault();
    m_menu.clipboardHeld = copy && m_hazards.Percent(30);
    if (select && m_hazards.Percent(50))
    {
        zvktSetCallocFault(0, 1);
        m_doing += ", the host's allocator failing";
    }

    SetClipboardText(CLIPBOARD_BEFORE);
    if (m_menu.clipboardHeld)
    {
        OpenClipboard(m_clipboardHolder);
        m_doing += ", the clipboard held by another window";
    }
    OpenListMenu(how, at);
    zvktSetMaterialCreateFault(0, 0);
    if (m_menu.clipboardHeld)
        CloseClipboard();
    NoteMenuVisit();
    return true;
}

// A right click at a random entry (brought into view), or where the list would show one.
LPARAM RandomWalk::AimAtEntry(WalkRandom& random)
{
    int count = EntriesNow();
    int index = count > 0 ? random.Below(count) : 0;
    RECT item = {}, client;
    if (count > 0)
    {
        SendMessageA(m_list, LB_SETTOPINDEX, index, 0);
        SendMessageA(m_list, LB_GETITEMRECT, index, (LPARAM)&item);
    }
    GetClientRect(m_list, &client);
    POINT point = { (item.left + item.right) / 2, (item.top + item.bottom) / 2 };
    LPARAM at = MAKELPARAM(point.x, point.y);
    // Only a click on the list's client area asks for the menu; its entry is the one there.
    m_menu.opens = PtInRect(&client, point) != 0;
    LRESULT hit = SendMessageA(m_list, LB_ITEMFROMPOINT, 0, at);
    m_menu.entry = count > 0 && HIWORD(hit) == 0 ? (int)LOWORD(hit) : -1;
    m_doing = "right click on the list at entry " + std::to_string(index);
    return at;
}

// The keyboard opens the menu on the current entry.
LPARAM RandomWalk::AimByKeyboard(bool appsKey)
{
    int count = EntriesNow();
    m_menu.opens = true;
    int current = CaretNow();
    m_menu.entry = current >= 0 && current < count ? current : -1;
    m_doing = appsKey ? "context-menu key in the list" : "Shift+F10 in the list";
    ++m_reached["menu: opened by keyboard"];
    return 0;
}

// The item to choose, as an index into the expected items (-1: Esc).
int RandomWalk::PickMenuItem(WalkRandom& random)
{
    // Most greyed items stay greyed for long stretches of the walk: enabled ones are preferred.
    std::vector<int> enabled;
    for (size_t i = 0; i < m_menu.items.size(); ++i)
        if (!m_menu.items[i].greyed)
            enabled.push_back((int)i);
    int pick = !enabled.empty() && random.Percent(60) ? enabled[random.Below((int)enabled.size())]
                                                       : random.Below((int)m_menu.items.size());
    // Painted entries of an up-to-date list last only until the next load: in the few menus that
    // offer to select them, that item is taken in half.
    for (size_t i = 0; i < m_menu.items.size(); ++i)
        if (m_menu.items[i].id == ID_SELECT_PAINTED && !m_menu.items[i].greyed && random.Percent(50))
            pick = (int)i;

    // On a long list the walk keeps the selection small (see ClickListEntry): a select item
    // that would choose many entries there is left, and the menu closed instead.
    int count = EntriesNow();
    if (count > 400 && !m_menu.items.empty())
    {
        const MenuItem& item = m_menu.items[pick % m_menu.items.size()];
        int chosen = 0;
        if (!item.greyed && item.id == ID_SELECT_MATERIAL)
            for (int face = 0; face < count; ++face)
                chosen += zvktFaceMaterialIndex(m_selection, face) == m_menu.material;
        else if (!item.greyed && (item.id == ID_SELECT_PAINTED || item.id == ID_SELECT_TO_DO))
            chosen = (int)std::count_if(m_model.colours.begin(), m_model.colours.end(),
                                        [&](COLORREF c) { return (c != 0) == (item.id == ID_SELECT_PAINTED); });
        if (chosen >= 40)
            pick = -1;
    }
    return pick;
}

// The right click, the context-menu key or Shift+F10, and the host's loop until the menu is done.
void RandomWalk::OpenListMenu(int how, LPARAM at)
{
    if (how < 4)
    {
        SendMessageA(m_list, WM_RBUTTONDOWN, MK_RBUTTON, at);
        SendMessageA(m_list, WM_RBUTTONUP, 0, at);
    }
    else if (how == 4)
    {
        SetFocus(m_list);
        std::string doing = m_doing;
        DialogKey(VK_APPS, "context-menu key");
        m_doing = doing;
    }
    else
    {
        // The menu loop takes the key's release; the list sees only the press, as a person's.
        SetFocus(m_list);
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_SHIFT] = 0x80;
        SetKeyboardState(keys);
        MSG down = { m_list, WM_SYSKEYDOWN, VK_F10, 1, GetTickCount(), { 0, 0 } };
        if (!IsDialogMessageA(m_window, &down))
        {
            TranslateMessage(&down);
            DispatchMessageA(&down);
        }
        GetKeyboardState(keys);
        keys[VK_SHIFT] = 0;
        SetKeyboardState(keys);
    }
    HostPump();
    if (g_menu.timer != 0)
        KillTimer(NULL, g_menu.timer);
    g_menu.timer = 0;
}

// The menu on screen against the expected one, and what the walk did with it.
void RandomWalk::NoteMenuVisit()
{
    if (g_menu.chosen < 0)
        m_doing += g_menu.popups ? ", closed with Esc" : ", no menu";
    else
        m_doing += ", chose \"" + g_menu.items[g_menu.chosen].text + "\"" + (g_menu.items[g_menu.chosen].greyed ? " (greyed)" : "");
    if (g_menu.popups != (m_menu.opens ? 1 : 0))
        Failure(std::to_string(g_menu.popups) + " popup menus opened, expected " + (m_menu.opens ? "one" : "none"));
    if (g_menu.stuck)
        Failure("the menu was still open after the keys that close it");
    if (g_menu.popups == 1 && !(g_menu.items == m_menu.items))
    {
        std::string text = "menu items";
        for (const MenuItem& item : g_menu.items)
            text += " [" + item.text + (item.greyed ? " (greyed)]" : "]");
        text += ", expected";
        for (const MenuItem& item : m_menu.items)
            text += " [" + item.text + (item.greyed ? " (greyed)]" : "]");
        Failure(text);
    }
    if (g_menu.popups == 1 && g_menu.chosen < 0)
        ++m_reached["menu: dismissed"];
    else if (g_menu.chosen >= 0 && g_menu.items[g_menu.chosen].greyed)
        ++m_reached["menu: greyed item chosen"];
}

// The menu as the selection rules give it for the list and the host as they are now.
void RandomWalk::PredictMenu()
{
    int count = (int)m_model.texts.size();
    m_menu.upToDate = ListUpToDate();
    m_menu.material = m_menu.upToDate && m_menu.entry >= 0 ? zvktFaceMaterialIndex(m_selection, m_menu.entry) : -1;
    if (m_menu.opens && !m_menu.upToDate && count > 0)
        ++m_reached["menu: out of date"];
    bool painted = false, toDo = false;
    for (COLORREF colour : m_model.colours)
        (colour != 0 ? painted : toDo) = true;
    std::vector<MenuItem>& items = m_menu.items;
    if (!m_menu.upToDate)
        items.push_back({ ID_FACES_OUT_OF_DATE, OUT_OF_DATE, true });
    items.push_back({ ID_SELECT_MATERIAL,
                      m_menu.material >= 0 ? SelectMaterial(m_menu.material) : SELECT_MATERIAL,
                      m_menu.material < 0 });
    items.push_back({ ID_SELECT_PAINTED, SELECT_PAINTED, !(m_menu.upToDate && painted) });
    items.push_back({ ID_SELECT_TO_DO, SELECT_TO_DO, !(m_menu.upToDate && toDo) });
    items.push_back({ ID_MATERIALS, MATERIALS_ITEM, !(m_menu.upToDate && count > 0) });
    items.push_back({ ID_COPY_LIST, COPY_LIST, count == 0 });
    items.push_back({ ID_COPY_SELECTED, COPY_SELECTED, m_menu.selectedBefore.empty() });
    items.push_back({ ID_UNDO_PAINT, UndoPaintText(m_done.empty() ? -1 : (int)m_done.back().faces.size()),
                      !IsStepSelected(m_done) });
    items.push_back({ ID_REDO_PAINT, RedoPaintText(m_undone.empty() ? -1 : (int)m_undone.back().faces.size()),
                      !IsStepSelected(m_undone) });
}

// The host's loop: every message for the tool window goes through IsDialogMessage first.
void RandomWalk::HostPump()
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
    {
        HWND tool = FindToolWindow();
        if (tool != NULL && IsDialogMessageA(tool, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// A mouse click where the control is: the window under the point gets it, which for a disabled
// or hidden control is the dialog itself, as for a person clicking there.
bool RandomWalk::ClickControl(int id, const char* name)
{
    HWND control = Item(id);
    RECT rect;
    GetWindowRect(control, &rect);
    POINT at = { (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2 };
    ScreenToClient(m_window, &at);
    HWND target = ChildWindowFromPointEx(m_window, at, CWP_SKIPDISABLED | CWP_SKIPINVISIBLE);
    m_doing = std::string("click on ") + name + (IsWindowEnabled(control) ? "" : " (disabled)");
    if (!IsWindowEnabled(control))
        ++m_reached["disabled control clicked"];
    char className[16] = "";
    GetClassNameA(target, className, sizeof className);
    if (target == control && _stricmp(className, "Button") == 0)
    {
        SendMessageA(control, BM_CLICK, 0, 0);
    }
    else
    {
        HWND receiver = target != NULL ? target : m_window;
        MapWindowPoints(m_window, receiver, &at, 1);
        SendMessageA(receiver, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        SendMessageA(receiver, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    }
    HostPump();
    return true;
}

// Selecting entries of a long list costs the host a face-count-long array per selected entry,
// so ranges there stay near the anchor and the selection stays small.
bool RandomWalk::ClickListEntry(WalkRandom& random)
{
    int count = EntriesNow();
    RECT client;
    GetClientRect(m_list, &client);
    int rowHeight = (int)SendMessageA(m_list, LB_GETITEMHEIGHT, 0, 0);
    // Below the last entry of a short or empty list there is room to click on nothing.
    if ((count == 0 || random.Percent(5)) && count * rowHeight < client.bottom - rowHeight)
    {
        m_doing = "click below the last entry";
        SendMessageA(m_list, LB_SETTOPINDEX, 0, 0);
        LPARAM at = MAKELPARAM(client.right / 2, client.bottom - rowHeight / 2);
        SendMessageA(m_list, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(m_list, WM_LBUTTONUP, 0, at);
        HostPump();
        return true;
    }
    if (count == 0)
        return false;
    bool longList = count > 400;
    int selected = SelCountNow();
    int index = random.Below(count);
    WPARAM keys = 0;
    int roll = random.Below(10);
    if (roll < 3 && !(longList && selected >= 40))
        keys = MK_CONTROL;
    else if (roll < 5)
    {
        keys = MK_SHIFT;
        if (longList)
        {
            int anchor = (int)SendMessageA(m_list, LB_GETANCHORINDEX, 0, 0);
            index = std::max(0, std::min(count - 1, anchor + random.Between(-15, 15)));
        }
    }
    m_doing = "click on entry " + std::to_string(index) + (keys == MK_CONTROL ? " with Ctrl" : keys == MK_SHIFT ? " with Shift" : "");
    ClickEntry(index, keys);
    HostPump();
    return true;
}

bool RandomWalk::ListKey(WalkRandom& random)
{
    static const struct { UINT vk; const char* name; } keys[] = {
        { VK_UP, "Up" }, { VK_DOWN, "Down" }, { VK_HOME, "Home" }, { VK_END, "End" }, { VK_NEXT, "Page Down" }, { VK_PRIOR, "Page Up" },
    };
    const auto& key = keys[random.Below(6)];
    bool shift = random.Percent(25);
    bool longList = EntriesNow() > 400;
    if (shift && longList && (key.vk == VK_HOME || key.vk == VK_END || SelCountNow() >= 40))
        shift = false;
    // The person puts the focus into the list first, or presses the key wherever it is.
    bool intoList = random.Percent(60);
    if (intoList)
        SetFocus(m_list);
    BYTE state[256];
    GetKeyboardState(state);
    if (shift)
    {
        BYTE pressed[256];
        memcpy(pressed, state, sizeof pressed);
        pressed[VK_SHIFT] = 0x80;
        SetKeyboardState(pressed);
    }
    DialogKey(key.vk, key.name);
    if (shift)
        SetKeyboardState(state);
    m_doing = std::string(shift ? "Shift+" : "") + key.name + (intoList ? " in the list" : " where the focus is");
    return true;
}

bool RandomWalk::DialogKey(UINT vk, const char* name)
{
    HWND focus = GetFocus();
    if (focus == NULL || (focus != m_window && !IsChild(m_window, focus)))
        focus = m_window;
    m_doing = name;
    MSG down = { focus, WM_KEYDOWN, vk, 1, GetTickCount(), { 0, 0 } };
    if (!IsDialogMessageA(m_window, &down))
    {
        TranslateMessage(&down);
        DispatchMessageA(&down);
    }
    HostPump();
    if (IsWindow(m_window) && IsWindow(focus))
    {
        MSG up = { focus, WM_KEYUP, vk, (LPARAM)0xC0000001, GetTickCount(), { 0, 0 } };
        if (!IsDialogMessageA(m_window, &up))
            DispatchMessageA(&up);
    }
    HostPump();
    return true;
}

// What the caption's close button sends once the click on it is complete.
bool RandomWalk::CloseButton()
{
    m_doing = "close button";
    RECT frame;
    GetWindowRect(m_window, &frame);
    SendMessageA(m_window, WM_SYSCOMMAND, SC_CLOSE, MAKELPARAM(frame.right - 8, frame.top + 8));
    HostPump();
    return true;
}

bool RandomWalk::RightClick()
{
    m_doing = "zvkOnRightClick";
    ++m_reached["about box shown"];
    m_expectedBoxes.push_back(ABOUT_TEXT);
    Plugin::RightClick();
    HostPump();
    return true;
}

bool RandomWalk::LeftClick()
{
    m_doing = "zvkOnLeftClick";
    HWND before = m_model.open ? m_window : NULL;
    int entriesBefore = EntriesNow();
    Plugin::LeftClick();
    HostPump();
    std::vector<HWND> windows = FindToolWindows();
    if (windows.size() != 1)
    {
        Failure("a left click left " + std::to_string(windows.size()) + " tool windows");
        return true;
    }
    HWND window = windows[0];
    if (!IsWindowVisible(window) || IsIconic(window) || !IsWindowEnabled(window))
        Failure("a left click left the tool window hidden, minimised or disabled");
    if (GetActiveWindow() != window)
        Failure("a left click left the tool window inactive");
    if (before != NULL && (window != before || EntriesNow() != entriesBefore))
        Failure("a left click replaced the open window or changed its list");
    if (before == NULL)
    {
        ++m_generation;
        m_model = WindowModel();
        m_model.open = true;
        m_model.title = LIST_TITLE;
    }
    return true;
}

/////////////////////////////////////////////////////////////////////////////
// The model

// A command the model follows; the others (an edit box's notifications, say) may arrive from
// inside a handler.
static bool IsFollowed(const WindowWatch::Command& command)
{
    int code = HIWORD(command.wParam);
    return command.message == WM_CLOSE || (LOWORD(command.wParam) == IDC_FACE_LIST && code == LBN_SELCHANGE)
        || code == BN_CLICKED;
}

void RandomWalk::ApplyCommands(const std::vector<WindowWatch::Command>& commands)
{
    for (size_t i = 0; i < commands.size(); ++i)
    {
        const WindowWatch::Command& command = commands[i];
        if (!IsFollowed(command))
            continue;
        int id = LOWORD(command.wParam);
        int code = HIWORD(command.wParam);
        size_t next = i + 1;
        while (next < commands.size() && !IsFollowed(commands[next]))
            ++next;
        m_commandCalls = { command.journalAt, next < commands.size() ? commands[next].journalAt : zvktJournalCount() };
        if (command.message == WM_CLOSE)
            ApplyClose();
        else if (id == ID_UNDO_PAINT || id == ID_REDO_PAINT)
            ApplyHistoryCommand(id);
        else if (id == IDC_FACE_LIST && code == LBN_SELCHANGE)
            ApplySelectionChange();
        else if (id >= ID_FACES_OUT_OF_DATE && id <= ID_COPY_SELECTED && command.wParam == (WPARAM)id)
            ApplyMenuCommand(id);
        else if (command.wParam == ID_MATERIALS)
        {
            m_menu.acted = m_menu.active;
            ApplyMaterialsCommand();
        }
        else
            ApplyButton(id);
        // The panel follows every load, paint and selection change of the list (and an undo or
        // redo that acted: ApplyHistoryCommand).
        static const std::set<WPARAM> refreshing = { IDC_LOAD_LIST, IDC_CLEAR_LIST, IDC_PAINT_FACE, IDC_PAINT_SELECTION,
            IDC_PAINT_ALL, ID_SELECT_MATERIAL, ID_SELECT_PAINTED, ID_SELECT_TO_DO, MAKEWPARAM(IDC_FACE_LIST, LBN_SELCHANGE) };
        if (command.message == WM_COMMAND && refreshing.count(command.wParam))
            ApplyPanelRefresh();
    }
    if (m_menu.active)
        FinishMenu();
}

// The list emptied by the plug-in, and the host's face selection with it (the edit tool closed).
void RandomWalk::ApplyEmptied(bool hostToldToClose)
{
    ++m_generation;
    m_model.texts.clear();
    m_model.colours.clear();
    m_model.paintFace = m_model.paintSelection = false;
    if (hostToldToClose && HostIsPolyhedron())
    {
        m_hostFacesKnown = true;
        m_expectedHostFaces.clear();
    }
}

void RandomWalk::ApplyButton(int id)
{
    switch (id)
    {
    case IDC_LOAD_LIST:
        ApplyLoad();
        break;
    case IDC_CLEAR_LIST:
        ++m_reached["list cleared"];
        ApplyEmptied(true);
        m_model.title = EMPTY_TITLE;
        m_model.label.clear();
        break;
    case IDC_COPY_MATERIAL:
        ++m_reached["mode box switched"];
        m_model.copy = !m_model.copy;
        m_model.random = 0;
        break;
    case IDC_PAINT_INVISIBLE:
        ++m_reached["mode box switched"];
        m_model.invisible = !m_model.invisible;
        m_model.random = 0;
        break;
    case IDC_PAINT_RANDOM:
        ++m_reached["mode box switched"];
        m_model.random = !m_model.random;
        m_model.copy = m_model.invisible = 0;
        break;
    case IDC_PAINT_FACE:
        ApplyPaint(false);
        break;
    case IDC_PAINT_SELECTION:
        ApplyPaint(true);
        break;
    case IDC_PAINT_ALL:
        if (HostIsPolyhedron())
        {
            ++m_reached["polyhedron painted"];
            // Faces past 65,535 cannot be given back one by one: such a press is not kept.
            std::vector<int> faces;
            for (int face = 0; HostFaces() <= FACE_LIMIT && face < HostFaces(); ++face)
                faces.push_back(face);
            RecordStep(faces, std::vector<COLORREF>(faces.size(), 0), 0);
            ApplyEmptied(true);
        }
        break;
    case IDC_HELP_BUTTON:
        ++m_reached["help shown"];
        m_expectedBoxes.push_back(HELP_START);
        break;
    default:
        break;
    }
}

// A command from an item the menu showed greyed, or from no menu at all, must change nothing.
void RandomWalk::ApplyMenuCommand(UINT id)
{
    const MenuItem* item = NULL;
    for (const MenuItem& known : m_menu.items)
        if (known.id == id)
            item = &known;
    if (!m_menu.active || item == NULL || item->greyed || m_menu.acted)
        return;
    m_menu.acted = true;
    if (id == ID_COPY_LIST || id == ID_COPY_SELECTED)
        ApplyMenuCopy(id);
    else
        ApplyMenuSelect(id);
}

// The entries a select item chooses: those of the menu entry's material, the painted or the
// still-to-do ones.
void RandomWalk::ApplyMenuSelect(UINT id)
{
    int count = (int)m_model.texts.size();
    std::vector<int> chosen;
    for (int i = 0; i < count; ++i)
        if (id == ID_SELECT_MATERIAL ? zvktFaceMaterialIndex(m_selection, i) == m_menu.material
                                     : (m_model.colours[i] != 0) == (id == ID_SELECT_PAINTED))
            chosen.push_back(i);
    if (chosen.empty())
    {
        Failure("an enabled select item with no entry to choose");
        return;
    }
    ++m_reached[id == ID_SELECT_MATERIAL ? "menu: select by material" : id == ID_SELECT_PAINTED ? "menu: select painted"
                                                                                               : "menu: select to do"];
    int n = (int)chosen.size();
    if (n == count)
        ++m_reached["menu: every entry chosen"];
    ApplyChosenSelected(chosen, id == ID_SELECT_MATERIAL ? m_menu.entry : chosen.front(), m_menu.selectedBefore);
}

// What the menu's select items and the panel's rows do: exactly the chosen entries selected, in
// the list and with one host call, then what a selection change gives; with the list as it was
// before when the host gives no array.
void RandomWalk::ApplyChosenSelected(const std::vector<int>& chosen, int current, const std::vector<int>& before)
{
    int count = (int)m_model.texts.size();
    int n = (int)chosen.size();
    if (n < count && ArrayRefused())
    {
        ApplyMenuSelectWithoutArray(before);
        return;
    }

    std::vector<int> selected = SelectedEntries();
    if (selected != chosen)
        Failure(std::to_string(selected.size()) + " entries selected (first " + (selected.empty() ? "none" : std::to_string(selected[0]))
                + "), expected " + std::to_string(n) + " (first " + std::to_string(chosen[0]) + ")");
    int caret = (int)SendMessageA(m_list, LB_GETCARETINDEX, 0, 0);
    if (caret != current)
        Failure("current entry " + std::to_string(caret) + " after the select item, expected " + std::to_string(current));
    RECT first = {}, client;
    SendMessageA(m_list, LB_GETITEMRECT, chosen.front(), (LPARAM)&first);
    GetClientRect(m_list, &client);
    if (first.top < client.top || first.bottom > client.bottom)
        Failure("the first chosen entry, " + std::to_string(chosen.front()) + ", is not in view");

    CheckMenuSelectCall(chosen, count);

    m_model.paintFace = n == 1;
    m_model.paintSelection = n >= 2 && n < count;
    m_model.title = LIST_TITLE;
    m_hostFacesKnown = true;
    m_expectedHostFaces.clear();
    if (n < count)
        m_expectedHostFaces.insert(chosen.begin(), chosen.end());
}

// One zvkPolyhSelectFaces call whose face-count-long array holds the chosen faces in list order
// and repeats the last (none when every entry is chosen), after the host's edit tool was closed.
void RandomWalk::CheckMenuSelectCall(const std::vector<int>& chosen, int count)
{
    std::vector<const ZvktCall*> calls = CallsNamed("zvkPolyhSelectFaces");
    if ((int)chosen.size() < count)
    {
        std::vector<unsigned> expected(chosen.begin(), chosen.end());
        expected.resize(count, expected.back());
        if (calls.size() != 1)
            Failure(std::to_string(calls.size()) + " zvkPolyhSelectFaces calls for a select item, expected one");
        else if (std::vector<unsigned>(calls[0]->indices, calls[0]->indices + calls[0]->indexCount) != expected)
            Failure("zvkPolyhSelectFaces array is not the chosen faces with the last repeated to the face count");
        else if (!(CallPosition("zvkCurrobjEditToolClose") < CallPosition("zvkPolyhSelectFaces")))
            Failure("the host's edit tool not closed before the faces were selected");
    }
    else if (!calls.empty())
        Failure("zvkPolyhSelectFaces called with every entry chosen");
    if (!(CallPosition("zvkCurrobjEditToolClose") < CallPosition("zvkCurrobjRefresh")))
        Failure("the host not closed and refreshed around the select item");
}

// The host gave no array for the one call: the list stays as it was, buttons and title too, and
// the host's selection is empty (its edit tool was closed first).
void RandomWalk::ApplyMenuSelectWithoutArray(const std::vector<int>& before)
{
    ++m_reached["menu: select without the host's array"];
    if (SelectedEntries() != before)
        Failure("a select item changed the list's selection though the host gave no array");
    if (!CallsNamed("zvkPolyhSelectFaces").empty())
        Failure("zvkPolyhSelectFaces called without the host's array");
    m_hostFacesKnown = true;
    m_expectedHostFaces.clear();
}

// Every entry, or the selected ones, as lines of face, material and paint state; the material
// read from the host while the list is up to date, as the entry shows it otherwise.
void RandomWalk::ApplyMenuCopy(UINT id)
{
    ++m_reached[id == ID_COPY_LIST ? "menu: copy list" : "menu: copy selected"];
    std::vector<int> positions = m_menu.selectedBefore;
    if (id == ID_COPY_LIST)
    {
        positions.clear();
        for (int i = 0; i < (int)m_model.texts.size(); ++i)
            positions.push_back(i);
    }
    std::string expected;
    for (int entry : positions)
    {
        const std::string& text = m_model.texts[entry];
        int face = atoi(text.c_str());
        std::string material = text.substr(text.find('|') + 2);
        if (m_menu.upToDate)
            material = std::to_string(zvktFaceMaterialIndex(m_selection, face));
        COLORREF colour = m_model.colours[entry];
        expected += std::to_string(face) + "\t" + material + "\t"
                    + (colour == 0 ? "to do" : colour == CLR_PAINTED_INVISIBLE ? "invisible" : "painted") + "\r\n";
    }
    // Another program's clipboard is left alone, and the user told so.
    if (m_menu.clipboardHeld)
    {
        ++m_reached["menu: copy with the clipboard held"];
        m_expectedBoxes.push_back(CLIPBOARD_IN_USE);
        expected = CLIPBOARD_BEFORE;
    }
    std::string copied = ClipboardText();
    if (copied != expected)
    {
        size_t at = 0;
        while (at < copied.size() && at < expected.size() && copied[at] == expected[at])
            ++at;
        Failure("clipboard has " + std::to_string(LineCount(copied)) + " lines, expected " + std::to_string(LineCount(expected))
                + "; first difference at byte " + std::to_string(at));
    }
}

// After a menu that chose nothing enabled: no selection change, no host call but questions,
// the clipboard as it was. Copy items only ask the host too.
void RandomWalk::FinishMenu()
{
    m_menu.active = false;
    bool chosenEnabled = g_menu.chosen >= 0 && !g_menu.items[g_menu.chosen].greyed;
    if (chosenEnabled && !m_menu.acted)
        Failure("no command arrived from the enabled item \"" + g_menu.items[g_menu.chosen].text + "\"");
    UINT acted = chosenEnabled ? g_menu.items[g_menu.chosen].id : 0;
    if (acted == ID_SELECT_MATERIAL || acted == ID_SELECT_PAINTED || acted == ID_SELECT_TO_DO || acted == ID_MATERIALS
        || acted == ID_UNDO_PAINT || acted == ID_REDO_PAINT)
        return;
    for (const std::string& name : CallNames())
        if (!IsHostQuestion(name))
        {
            Failure("the menu called " + name + " without a select item chosen");
            break;
        }
    if (acted == 0 && SelectedEntries() != m_menu.selectedBefore)
        Failure("the selection changed without a select item chosen");
    if (acted == 0 && ClipboardText() != CLIPBOARD_BEFORE)
        Failure("the clipboard changed without a copy item chosen");
}

void RandomWalk::ApplyLoad()
{
    ++m_generation;
    m_model.texts.clear();
    m_model.colours.clear();
    if (!HostIsPolyhedron())
    {
        ++m_reached["load refused: not a polyhedron"];
        m_expectedBoxes.push_back(SELECT_POLYHEDRON);
        return;
    }
    ApplyEmptied(true);
    m_model.clearAndModesEnabled = true;
    m_model.random = 0;
    m_model.label = HostName();
    int faces = HostFaces();
    if (faces >= FACE_LIMIT)
    {
        ++m_reached["load refused: face limit"];
        m_model.title = REFUSED_TITLE;
        m_expectedBoxes.push_back(TOO_MANY_FACES);
        return;
    }
    ++m_reached["list loaded"];
    m_model.title = LIST_TITLE;
    for (int face = 0; face < faces; ++face)
        m_model.texts.push_back(std::to_string(face) + " | " + std::to_string(zvktFaceMaterialIndex(m_selection, face)));
    m_model.colours.assign(faces, 0);
}

bool IsFaceOf(int face, int faceCount) { return face >= 0 && face < faceCount && face < FACE_LIMIT; }

// The host's allocator gave the command being applied no face-index array.
bool RandomWalk::ArrayRefused() const
{
    for (int i = m_commandCalls.first; i < m_commandCalls.second && i < zvktJournalCount(); ++i)
        if (strcmp(zvktJournalAt(i)->function, "zvkCalloc") == 0 && zvktJournalAt(i)->result == 0)
            return true;
    return false;
}


void RandomWalk::ApplySelectionChange()
{
    if (!HostIsPolyhedron())
        return;
    if (m_model.label != HostName())
    {
        ++m_reached["list rebuilt for another name"];
        ApplyLoad();
    }
    int selected = SelCountNow();
    int count = EntriesNow();
    int faces = HostFaces();
    ++m_reached[selected == 1 ? "one entry selected" : selected == 0 ? "no entry selected"
                : selected == count ? "every entry selected" : "several entries selected"];
    if (count > faces)
        ++m_reached["entry beyond the host's faces skipped"];
    m_model.paintFace = selected == 1;
    m_model.paintSelection = selected >= 2 && selected != count;
    m_hostFacesKnown = true;
    m_expectedHostFaces.clear();
    // Without its array the host selects nothing; the edit tool closed has emptied its selection.
    if (ArrayRefused())
    {
        ++m_reached["selection without the host's array"];
        return;
    }
    if (selected == 1 && CaretNow() >= 0)
    {
        int face = atoi(EntryText(CaretNow()).c_str());
        if (IsFaceOf(face, faces))
            m_expectedHostFaces.insert(face);
    }
    if (selected >= 2 && selected != count)
        for (int entry : SelectedEntries())
        {
            int face = atoi(EntryText(entry).c_str());
            if (IsFaceOf(face, faces))
                m_expectedHostFaces.insert(face);
        }
    if (selected >= 2)
        m_model.title = LIST_TITLE;
}

void RandomWalk::ApplyPaint(bool selection)
{
    if (!HostIsPolyhedron())
        return;
    if (m_model.random && m_editorBefore.textureType == ZVK_TEXTURE_GLOBAL)
    {
        ++m_reached["global texture refused"];
        m_expectedBoxes.push_back(GLOBAL_TEXTURE);
        return;
    }
    COLORREF colour = m_model.invisible ? CLR_PAINTED_INVISIBLE : CLR_PAINTED;
    int faces = HostFaces();
    if (!selection)
    {
        int current = CaretNow();
        int face = current >= 0 ? atoi(EntryText(current).c_str()) : -1;
        if (current < 0 || !IsFaceOf(face, faces))
            return;
        bool listed = face < (int)m_model.colours.size();
        RecordStep({ face }, { listed ? m_model.colours[face] : 0 }, colour);
        if (listed)
        {
            ++m_reached["face painted"];
            m_model.colours[face] = colour;
        }
        return;
    }
    if (SelectedEntries().size() >= 2)
        ++m_reached["selection painted"];
    std::vector<int> painted;
    std::vector<COLORREF> before;
    for (int entry : SelectedEntries())
        if (IsFaceOf(atoi(EntryText(entry).c_str()), faces) && entry < (int)m_model.colours.size())
        {
            painted.push_back(atoi(EntryText(entry).c_str()));
            before.push_back(m_model.colours[entry]);
            m_model.colours[entry] = colour;
        }
    RecordStep(painted, before, colour);
    m_model.title = LIST_TITLE;
}

void RandomWalk::ApplyClose()
{
    ++m_reached["window closed"];
    ApplyEmptied(true);
    m_model = WindowModel();
    if (m_panel.open)
        ++m_reached["panel closed with the tool window"];
    m_panel = PanelModel();
}

/////////////////////////////////////////////////////////////////////////////
// Undo and redo

// What an action starts from: the editor's material, the selected polyhedron's material indices,
// the list's selection and focus rectangle; whether the action before made a step.
void RandomWalk::NoteBeforeAction()
{
    m_editorBefore = EditorMaterial();
    m_facesBefore.clear();
    for (int face = 0; HostIsPolyhedron() && face < HostFaces(); ++face)
        m_facesBefore.push_back(zvktFaceMaterialIndex(m_selection, face));
    m_selectionBefore = m_list ? SelectedEntries() : std::vector<int>();
    m_focusBefore = m_list ? FocusNow() : -1;
    m_createsBeforeFault = -1;
    m_paintedJustNow = m_stepRecorded;
    m_stepRecorded = false;
}

// A paint that changed a face is a step; the steps undone before it go. The history's bound of
// 16 MB is test_plaincode's: a walk never undoes thirty steps in a row to reach a step it drops.
void RandomWalk::RecordStep(const std::vector<int>& faces, const std::vector<COLORREF>& entryBefore, COLORREF entryAfter)
{
    ModelStep step = { HostName(), HostFaces(), m_generation, {} };
    bool changed = false;
    for (size_t i = 0; i < faces.size(); ++i)
    {
        int before = m_facesBefore[faces[i]], after = zvktFaceMaterialIndex(m_selection, faces[i]);
        step.faces.push_back({ faces[i], before, after, entryBefore[i], entryAfter });
        changed = changed || before != after;
    }
    if (!changed)
        return;
    m_undone.clear();
    m_done.push_back(step);
    m_stepRecorded = true;
    TrimHistory();
}

// At most 100 steps, the one farthest from the present dropped first.
void RandomWalk::TrimHistory()
{
    while (m_done.size() + m_undone.size() > 100)
    {
        std::vector<ModelStep>& side = m_done.empty() ? m_undone : m_done;
        side.erase(side.begin());
    }
}

// The latest step of a side is for the polyhedron selected now: the same full name and face count.
bool RandomWalk::IsStepSelected(const std::vector<ModelStep>& side) const
{
    return !side.empty() && HostIsPolyhedron() && HostName() == side.back().name && HostFaces() == side.back().faceCount;
}

// The latest step's faces, a group per index they get, ascending: a face not at the index the
// step left (changed since) stays; a group with a face to paint takes one material, and a create
// the host fails stops there: that group and the later ones stay on their side, a step of their own.
void RandomWalk::ApplyHistoryCommand(UINT id)
{
    bool undo = id == ID_UNDO_PAINT;
    std::vector<ModelStep>& from = undo ? m_done : m_undone;
    m_menu.acted = m_menu.acted || m_menu.active;
    if (!IsStepSelected(from))
    {
        ++m_reached["undo or redo with nothing to act on"];
        for (int i = m_commandCalls.first; i < m_commandCalls.second && i < zvktJournalCount(); ++i)
            if (!IsHostQuestion(zvktJournalAt(i)->function))
                return Failure(std::string("an undo or redo with nothing to act on called ") + zvktJournalAt(i)->function);
        return;
    }
    m_hostFacesKnown = true;   // the edit tool closed has emptied the host's face selection
    m_expectedHostFaces.clear();
    ModelStep step = from.back(), done = step, rest = step;
    from.pop_back();
    done.faces.clear();
    rest.faces.clear();
    std::map<int, std::vector<ModelFace>> groups;
    for (const ModelFace& face : step.faces)
        groups[undo ? face.before : face.after].push_back(face);
    int changed = 0, made = 0;
    for (const auto& group : groups)
    {
        int toPaint = 0, groupChanged = 0;
        for (const ModelFace& face : group.second)
        {
            int left = m_facesBefore[face.face] != (undo ? face.after : face.before);
            groupChanged += left;
            toPaint += !left && group.first != (undo ? face.after : face.before);
        }
        bool stopped = !rest.faces.empty() || (toPaint > 0 && made == m_createsBeforeFault);
        std::vector<ModelFace>& side = stopped ? rest.faces : done.faces;
        side.insert(side.end(), group.second.begin(), group.second.end());
        changed += stopped ? 0 : groupChanged;
        made += !stopped && toPaint > 0;
    }
    CheckHistoryCommand(done, undo, made + !rest.faces.empty());
    int total = (int)step.faces.size(), reached = (int)done.faces.size();
    std::string text = changed > 0 ? ChangedSinceText(changed) : "";
    if (reached < total)
        text = (reached == 0 ? NothingRestoredText(undo) : RestoredPartlyText(undo, reached, total)) + (changed ? " " : "") + text;
    if (!text.empty())
        m_expectedBoxes.push_back(text);
    m_reached[undo ? "paint undone" : "paint redone"] += reached > 0;
    m_reached["undo or redo stopped by the host"] += reached < total;
    m_reached["faces changed since left alone"] += changed > 0;
    (reached > 0 ? (undo ? m_undone : m_done) : from).push_back(reached > 0 ? done : step);
    if (reached > 0 && !rest.faces.empty())
        from.push_back(rest);
    TrimHistory();
    // The panel reads the slots last, into one material: the host's failure, when the command
    // left it pending, falls on that one.
    ApplyPanelRefresh(!(rest.faces.empty() && made == m_createsBeforeFault));
}

// The faces the command reached have the index on the other side of the paint (the host finds the
// slot equal to the material; an index that names no slot cannot be given back), unless changed
// since; every other face is as it was. One material per index painted (and the one the host
// failed), after the edit tool was closed. In a list of this polyhedron the entries show the
// index, in the list the paint went through with the colour of that side of the paint; the
// selection, the focus rectangle and the editor's material stay.
void RandomWalk::CheckHistoryCommand(const ModelStep& done, bool undo, int creates)
{
    std::vector<int> expected = m_facesBefore;
    bool ownList = ListUpToDate();
    for (const ModelFace& face : done.faces)
    {
        if (m_facesBefore[face.face] != (undo ? face.after : face.before))
            continue;
        int index = undo ? face.before : face.after;
        expected[face.face] = index < zvktSlotCount(m_selection) ? index : -1;
        if (ownList)
            m_model.texts[face.face] = std::to_string(face.face) + " | " + std::to_string(zvktFaceMaterialIndex(m_selection, face.face));
        COLORREF colour = undo ? face.entryBefore : face.entryAfter;
        if (!ownList || done.generation != m_generation)
            continue;
        m_reached["entry colours given back"] += m_model.colours[face.face] != colour;
        m_model.colours[face.face] = colour;
    }
    for (size_t face = 0; face < expected.size(); ++face)
        if (expected[face] >= 0 && zvktFaceMaterialIndex(m_selection, (int)face) != expected[face])
            return Failure("face " + std::to_string(face) + " has material " + std::to_string(zvktFaceMaterialIndex(m_selection, (int)face))
                           + " after " + (undo ? "an undo" : "a redo") + ", expected " + std::to_string(expected[face]));
    // The command's own calls end with the host refreshed; the materials panel reads after that.
    int end = m_commandCalls.first;
    for (int i = m_commandCalls.first; i < m_commandCalls.second && i < zvktJournalCount(); ++i)
        if (std::string(zvktJournalAt(i)->function) == "zvkAllViewRefreshSelObject")
            end = i + 1;
    int calls = 0, firstPaint = end, closed = end;
    for (int i = m_commandCalls.first; i < end; ++i)
    {
        std::string name = zvktJournalAt(i)->function;
        calls += name == "zvkMaterialCreate";
        firstPaint = name == "zvkPolyhPaintFace" ? std::min(firstPaint, i) : firstPaint;
        closed = name == "zvkCurrobjEditToolClose" ? std::min(closed, i) : closed;
    }
    if (calls != creates || closed > firstPaint)
        Failure(std::to_string(calls) + " materials made for " + std::to_string(creates) + " indices, or the edit tool not closed first");
    if (SelectedEntries() != m_selectionBefore || FocusNow() != m_focusBefore || ColourText(EditorColour()) != ColourText(m_editorBefore.colour))
        Failure("the selection, the focus rectangle or the editor's material changed by an undo or a redo");
}

// Ctrl+Z, Ctrl+Y or Ctrl+Shift+Z, mostly in the list, through the host's IsDialogMessage or
// straight to the window: in the list the key gives its command once, anywhere else nothing.
bool RandomWalk::HistoryKey(WalkRandom& random, int which)
{
    static const struct { UINT vk; bool shift; const char* name; UINT command; } keys[] = {
        { 'Z', false, "Ctrl+Z", ID_UNDO_PAINT }, { 'Y', false, "Ctrl+Y", ID_REDO_PAINT },
        { 'Z', true, "Ctrl+Shift+Z", ID_REDO_PAINT },
    };
    const auto& key = keys[which];
    bool dialogLoop = random.Percent(50);
    if (random.Percent(85))
        SetFocus(m_list);
    bool inList = GetFocus() == m_list;
    m_doing = std::string(key.name) + (inList ? " in the list" : " where the focus is") + (dialogLoop ? "" : ", no IsDialogMessage");
    ArmCreateFault();
    PressCtrlKey(key.vk, key.shift, dialogLoop);
    zvktSetMaterialCreateFault(0, 0);
    ++m_reached[dialogLoop ? "undo or redo key through IsDialogMessage" : "undo or redo key without IsDialogMessage"];
    int commands = (int)std::count_if(g_watch.commands.begin(), g_watch.commands.end(), [&](const WindowWatch::Command& c) {
        return c.message == WM_COMMAND && c.wParam == key.command;
    });
    if (commands != (inList ? 1 : 0))
        Failure(std::to_string(commands) + " commands from " + key.name + (inList ? " in the list" : " outside the list"));
    return true;
}

// Now and then the host makes the first, second or third material of an undo or a redo, and no more.
void RandomWalk::ArmCreateFault()
{
    if (!m_hazards.Percent(20))
        return;
    m_createsBeforeFault = m_hazards.Below(3);
    zvktSetMaterialCreateFault(m_createsBeforeFault, 1);
    m_doing += ", the host making " + std::to_string(m_createsBeforeFault) + " materials";
}

// A person paints faces in the modeller: mostly faces of the latest paint, so that an undo or a
// redo finds them changed since.
void RandomWalk::HostRepaint(WalkRandom& random)
{
    m_doing = "host paints nothing";
    if (!HostIsPolyhedron() || HostFaces() == 0)
        return;
    const std::vector<ModelStep>& side = IsStepSelected(m_done) && (random.Percent(60) || !IsStepSelected(m_undone)) ? m_done : m_undone;
    bool fromStep = IsStepSelected(side) && random.Percent(80);
    int slot = random.Below(zvktSlotCount(m_selection));
    m_doing = "host paints with slot " + std::to_string(slot) + " face";
    for (int n = random.Between(1, 3); n > 0; --n)
    {
        int face = fromStep ? side.back().faces[random.Below((int)side.back().faces.size())].face : random.Below(HostFaces());
        PaintInHost(m_selection, face, slot);
        m_doing += " " + std::to_string(face);
    }
}

/////////////////////////////////////////////////////////////////////////////
// Checks

void RandomWalk::CheckAll()
{
    CheckWindow();
    if (m_model.open && m_window != NULL)
        CheckList();
    CheckHost();
    CheckPanel();
    CheckObjectCounts();

    std::vector<std::string> shown;
    for (size_t i = m_boxesFrom; i < m_catcher.Boxes().size(); ++i)
    {
        const CapturedBox& box = m_catcher.Boxes()[i];
        shown.push_back(box.text.compare(0, strlen(HELP_START), HELP_START) == 0 ? HELP_START : box.text);
    }
    if (shown != m_expectedBoxes)
        Failure("message boxes shown:" + Bracketed(shown) + "; expected:" + Bracketed(m_expectedBoxes));
}

void RandomWalk::CheckWindow()
{
    std::vector<HWND> windows = FindToolWindows();
    if (windows.size() != (m_model.open ? 1u : 0u))
    {
        Failure(std::to_string(windows.size()) + " tool windows, expected " + (m_model.open ? "one" : "none"));
        return;
    }
    if (!m_model.open)
        return;
    auto expect = [this](bool expected, int id, const char* name) {
        if (IsEnabled(id) != expected)
            Failure(std::string(name) + (expected ? " disabled" : " enabled") + ", expected the opposite");
    };
    expect(m_model.paintFace, IDC_PAINT_FACE, "Paint face");
    expect(m_model.paintSelection, IDC_PAINT_SELECTION, "Paint selection");
    expect(m_model.clearAndModesEnabled, IDC_CLEAR_LIST, "Clear content");
    expect(m_model.clearAndModesEnabled, IDC_COPY_MATERIAL, "Copy material");
    expect(m_model.clearAndModesEnabled, IDC_PAINT_RANDOM, "Paint random");
    expect(m_model.clearAndModesEnabled, IDC_PAINT_INVISIBLE, "Paint invisible");
    expect(true, IDC_LOAD_LIST, "Faces | matIDs");
    expect(true, IDC_PAINT_ALL, "Paint all");
    expect(true, IDC_HELP_BUTTON, "Help");
    std::vector<int> modes = { m_model.copy, m_model.random, m_model.invisible };
    if (ModeBoxes() != modes)
        Failure("mode boxes " + std::to_string(CheckState(IDC_COPY_MATERIAL)) + std::to_string(CheckState(IDC_PAINT_RANDOM))
                + std::to_string(CheckState(IDC_PAINT_INVISIBLE)) + ", expected " + std::to_string(modes[0])
                + std::to_string(modes[1]) + std::to_string(modes[2]));
    std::string title = ItemText(IDC_LIST_TITLE);
    if (title == WAIT_TITLE)
        Failure("the title was left at \"Please wait...\"");
    if (GetCursor() == LoadCursor(NULL, IDC_WAIT))
        Failure("the wait cursor was left on");
    else if (title != m_model.title)
        Failure("title \"" + title + "\", expected \"" + m_model.title + "\"");
    if (ItemText(IDC_OBJECT_NAME) != m_model.label)
        Failure("object name \"" + ItemText(IDC_OBJECT_NAME).substr(0, 60) + "\", expected \"" + m_model.label.substr(0, 60) + "\"");
    if (g_watch.redrawOff)
        Failure("the list's redrawing was left off");
}

// Every entry of a short list; on a long one its ends, the current and the selected entries.
void RandomWalk::CheckList()
{
    int count = EntryCount();
    if (count != (int)m_model.texts.size())
    {
        Failure(std::to_string(count) + " entries listed, expected " + std::to_string(m_model.texts.size()));
        return;
    }
    std::set<int> entries;
    if (count <= 64)
        for (int i = 0; i < count; ++i)
            entries.insert(i);
    else
    {
        entries = { 0, count - 1, std::max(0, CaretNow()) };
        std::vector<int> selected = SelectedEntries();
        for (size_t i = 0; i < selected.size() && i < 64; ++i)
            entries.insert(selected[i]);
    }
    for (int i : entries)
    {
        if (EntryText(i) != m_model.texts[i])
            Failure("entry " + std::to_string(i) + " reads \"" + EntryText(i) + "\", expected \"" + m_model.texts[i] + "\"");
        if (EntryColour(i) != m_model.colours[i])
            Failure("entry " + std::to_string(i) + " has colour " + std::to_string(EntryColour(i)) + ", expected "
                    + std::to_string(m_model.colours[i]));
    }
}

void RandomWalk::CheckHost()
{
    ZvktBalance balance;
    zvktGetBalance(&balance);
    if (balance.materialsCreated != balance.materialsDestroyed || balance.materialsCreated != balance.materialsFreed)
        Failure("materials created " + std::to_string(balance.materialsCreated) + ", destroyed "
                + std::to_string(balance.materialsDestroyed) + ", freed " + std::to_string(balance.materialsFreed));
    if (balance.blocksAllocated != balance.blocksFreed)
        Failure("zvkCalloc blocks " + std::to_string(balance.blocksAllocated) + ", freed " + std::to_string(balance.blocksFreed));
    if (balance.shaderInfosCreated != balance.shaderInfosDestroyed)
        Failure("shader infos not destroyed");
    if (balance.badFrees != 0)
        Failure(std::to_string(balance.badFrees) + " unknown or repeated releases");

    // Face indices go only to the polyhedron selected now, and only within its faces.
    int faces = HostFaces();
    for (int i = 0; i < zvktJournalCount(); ++i)
    {
        const ZvktCall* call = zvktJournalAt(i);
        std::string name = call->function;
        bool facesCall = name == "zvkPolyhSelectFaces" || name == "zvkPolyhPaintFace" || name == "zvkPolyhPaint"
                         || name == "zvkPolyhGetMaterial";
        if (!facesCall)
            continue;
        if ((ZvkHandle)(UINT_PTR)call->args[0] != m_selection || !HostIsPolyhedron())
            Failure(name + " on an object that is not the selected polyhedron");
        if (name == "zvkPolyhPaintFace" && !IsFaceOf((int)call->args[1], faces))
            Failure("zvkPolyhPaintFace of face " + std::to_string(call->args[1]) + " of " + std::to_string(faces));
        if (name == "zvkPolyhSelectFaces")
        {
            if ((int)call->args[1] != faces)
                Failure("zvkPolyhSelectFaces with " + std::to_string((int)call->args[1]) + " elements for " + std::to_string(faces) + " faces");
            for (int k = 0; k < call->indexCount; ++k)
                if (!IsFaceOf((int)call->indices[k], faces))
                {
                    Failure("zvkPolyhSelectFaces of face " + std::to_string(call->indices[k]) + " of " + std::to_string(faces));
                    break;
                }
        }
    }

    if (m_hostFacesKnown && HostIsPolyhedron())
    {
        bool same = zvktSelectedFaceCount(m_selection) == (int)m_expectedHostFaces.size();
        for (int face : m_expectedHostFaces)
            same = same && zvktIsFaceSelected(m_selection, face);
        if (!same)
        {
            std::string expected;
            for (int face : m_expectedHostFaces)
                expected += " " + std::to_string(face);
            Failure(std::to_string(zvktSelectedFaceCount(m_selection)) + " faces selected in the host, expected {" + expected + " }");
        }
    }
}

// After the warm-up, the counts with the window open and with it closed stay where they were.
void RandomWalk::CheckObjectCounts()
{
    for (HGDIOBJ object : g_liveGdiObjects)
        if (GetObjectType(object) == 0)
            Failure("a GDI object the plug-in made vanished without its DeleteObject");
    if (g_liveDCs != 0)
        Failure(std::to_string(g_liveDCs) + " device contexts not released");
    for (HMENU menu : g_liveMenus)
        if (!IsMenu(menu))
            Failure("a menu the plug-in loaded vanished without its DestroyMenu");
    if (!g_liveMenus.empty())
        Failure(std::to_string(g_liveMenus.size()) + " menus the plug-in loaded are still alive after the action");
    int state = m_model.open ? (m_panel.open ? 2 : 1) : 0;
    int windows = ThreadWindowCount();
    int gdi = (int)g_liveGdiObjects.size();
    if (m_index < WARM_UP_ACTIONS)
        return;
    if (m_windowLevel[state] < 0)
    {
        m_windowLevel[state] = windows;
        m_gdiLevel[state] = gdi;
        return;
    }
    if (windows != m_windowLevel[state])
        Failure(std::to_string(windows) + " windows, " + std::to_string(m_windowLevel[state]) + " after the warm-up");
    if (gdi != m_gdiLevel[state])
        Failure(std::to_string(gdi) + " GDI objects of the plug-in alive, " + std::to_string(m_gdiLevel[state]) + " after the warm-up");
}

/////////////////////////////////////////////////////////////////////////////
// The materials panel

bool RandomWalk::ListUpToDate() const
{
    return HostIsPolyhedron() && HostName() == m_model.label && HostFaces() == (int)m_model.texts.size();
}

// Ctrl+M with the focus in the face list, through IsDialogMessage as the host's loop gives keys
// or straight to the list as a host without it: the list hands the command over every time.
bool RandomWalk::CtrlM(WalkRandom& random)
{
    bool dialogMessage = random.Percent(50);
    SetFocus(m_list);
    PressCtrlKey('M', false, dialogMessage);
    m_doing = std::string("Ctrl+M in the list") + (dialogMessage ? "" : ", without IsDialogMessage");
    // Its character (a carriage return) reaches nothing: no Enter for the dialog.
    int materials = 0, enter = 0;
    for (const WindowWatch::Command& command : g_watch.commands)
    {
        materials += command.message == WM_COMMAND && command.wParam == ID_MATERIALS;
        enter += command.message == WM_COMMAND && LOWORD(command.wParam) == IDOK;
    }
    if (materials != 1 || enter != 0)
        Failure("Ctrl+M gave " + std::to_string(materials) + " \"Materials...\" commands and " + std::to_string(enter) + " IDOK");
    return true;
}

// On the open panel: a row clicked, then double-clicked, entered or sent to the editor; or the
// panel closed.
bool RandomWalk::PanelAction(WalkRandom& random)
{
    HWND panel = FindMaterialsPanel();
    if (!m_panel.open || panel == NULL || !IsWindowVisible(panel))
        return false;
    int roll = random.Below(10);
    if (roll < 2)
        return ClosePanel(random, panel);
    HWND rows = GetDlgItem(panel, IDC_MATERIALS_LIST);
    std::vector<int> before = SelectedEntries();
    int row = ClickPanelRow(random, rows);
    // On a long list the selection stays small (see ClickListEntry): such a row goes to the editor.
    int material = !m_panel.greyed && row >= 0 && row < (int)m_panel.materials.size() ? m_panel.materials[row] : -1;
    int chosen = 0, faces = material >= 0 && EntriesNow() > 400 ? HostFaces() : 0;
    for (int face = 0; face < faces; ++face)
        chosen += zvktFaceMaterialIndex(m_selection, face) == material;
    bool select = roll < 7 && chosen < 40;
    bool reached = true;   // the action reaches the panel: a greyed button takes no click
    zvktJournalClear();
    if (select && roll < 4)
    {
        m_doing = "double-click on panel row " + std::to_string(row);
        POINT centre = ::EntryCentre(rows, std::max(row, 0));
        SendMessageA(rows, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(centre.x, centre.y));
        SendMessageA(rows, WM_LBUTTONUP, 0, MAKELPARAM(centre.x, centre.y));
    }
    else if (select)
    {
        bool dialogMessage = random.Percent(50);
        m_doing = "Enter on panel row " + std::to_string(row) + (dialogMessage ? "" : ", without IsDialogMessage");
        SetFocus(rows);
        MSG down = { rows, WM_KEYDOWN, VK_RETURN, 1, GetTickCount(), { 0, 0 } };
        if (!dialogMessage || !IsDialogMessageA(panel, &down))
            DispatchMessageA(&down);
    }
    else
    {
        HWND button = GetDlgItem(panel, IDC_TO_EDITOR);
        m_doing = std::string("\"To editor\" on panel row ") + std::to_string(row) + (IsWindowEnabled(button) ? "" : " (greyed)");
        reached = IsWindowEnabled(button) != 0;
        if (reached)
            SendMessageA(button, BM_CLICK, 0, 0);
    }
    HostPump();
    m_commandCalls = { 0, zvktJournalCount() };
    if (reached)
        ApplyPanelAction(select, row, before);
    return true;
}

bool RandomWalk::ClosePanel(WalkRandom& random, HWND panel)
{
    if (random.Percent(50))
    {
        m_doing = "Esc in the panel";
        MSG down = { GetDlgItem(panel, IDC_MATERIALS_LIST), WM_KEYDOWN, VK_ESCAPE, 1, GetTickCount(), { 0, 0 } };
        IsDialogMessageA(panel, &down);
    }
    else
    {
        m_doing = "the panel's close button";
        SendMessageA(panel, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
    HostPump();
    ++m_reached["panel closed"];
    m_panel = PanelModel();
    return true;
}

// A click on a random row, brought into view; -1 when the panel has none.
int RandomWalk::ClickPanelRow(WalkRandom& random, HWND rows)
{
    int count = (int)SendMessageA(rows, LB_GETCOUNT, 0, 0);
    if (count <= 0)
        return -1;
    int row = random.Below(count);
    SendMessageA(rows, LB_SETTOPINDEX, row, 0);
    POINT centre = ::EntryCentre(rows, row);
    SendMessageA(rows, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(centre.x, centre.y));
    SendMessageA(rows, WM_LBUTTONUP, 0, MAKELPARAM(centre.x, centre.y));
    return row;
}

// "Materials..." or Ctrl+M: the panel opens, or comes forward, refreshed, for a list of the
// selected polyhedron that has entries; otherwise nothing happens.
void RandomWalk::ApplyMaterialsCommand()
{
    if (!ListUpToDate() || m_model.texts.empty())
    {
        ++m_reached["Ctrl+M with nothing to show"];
        return;
    }
    ++m_reached[m_panel.open ? "panel brought forward" : "panel opened"];
    m_panel.open = true;
    ApplyPanelRefresh();
    if (GetActiveWindow() != FindMaterialsPanel())
        Failure("the panel is not the active window after it was asked for");
}

std::string CountWords(size_t count, const char* one, const char* many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// The listed polyhedron's faces counted by material index, each row's colour the slot's as the
// host answers into the one material the panel makes (a copy of the editor's, which an index
// outside the table leaves as the row before left it); or, out of date, the rows as they were.
// Without colours (the host made no material) no row can say "invisible".
void RandomWalk::ApplyPanelRefresh(bool colours)
{
    if (!m_panel.open)
        return;
    m_panel.greyed = !ListUpToDate();
    if (m_panel.greyed)
    {
        ++m_reached["panel greyed"];
        return;
    }
    int faces = HostFaces();
    std::map<int, int> counts;
    std::set<int> painted;
    for (int face = 0; face < faces; ++face)
    {
        int material = zvktFaceMaterialIndex(m_selection, face);
        ++counts[material];
        if (m_model.colours[face] != 0)
            painted.insert(material);
    }
    m_panel.rows.clear();
    m_panel.materials.clear();
    ZvkColor colour = EditorColour();
    for (const auto& count : counts)
    {
        if (count.first < zvktSlotCount(m_selection))
            colour = SlotColour(m_selection, count.first);
        bool invisible = colours && colour.a == 0, paint = painted.count(count.first) > 0;
        int tenths = (int)std::floor(count.second * 1000.0 / faces + 0.5);
        m_panel.rows.push_back("matID " + std::to_string(count.first) + "\t" + CountWords(count.second, "face", "faces")
                               + "\t" + std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " %\t"
                               + (invisible && paint ? "invisible, painted here" : invisible ? "invisible" : paint ? "painted here" : ""));
        m_panel.materials.push_back(count.first);
    }
    m_panel.total = CountWords(faces, "face", "faces") + ", " + CountWords(counts.size(), "material", "materials");
    m_panel.title = MATERIALS_PANEL_CAPTION + m_model.label;
}

// A row acts only while the panel shows it up to date and the list still is; otherwise the
// panel refreshes and nothing else happens. The row of the faces without record does nothing.
void RandomWalk::ApplyPanelAction(bool select, int row, const std::vector<int>& before)
{
    bool mayAct = !m_panel.greyed && ListUpToDate();
    int material = row >= 0 && row < (int)m_panel.materials.size() ? m_panel.materials[row] : -1;
    if (mayAct && material >= 0 && select)
    {
        ++m_reached["panel: faces of a material selected"];
        std::vector<int> chosen;
        for (int face = 0; face < HostFaces(); ++face)
            if (zvktFaceMaterialIndex(m_selection, face) == material)
                chosen.push_back(face);
        ApplyChosenSelected(chosen, chosen.front(), before);
        ApplyPanelRefresh();
        return;
    }
    if (mayAct && material >= 0)
    {
        ++m_reached["panel: material to the editor"];
        ZvkColor expected = material < zvktSlotCount(m_selection) ? SlotColour(m_selection, material) : m_editorBefore.colour;
        if (ColourText(EditorColour()) != ColourText(expected))
            Failure("the editor shows " + ColourText(EditorColour()) + " after \"To editor\", expected " + ColourText(expected));
        return;
    }
    if (!mayAct)
    {
        ++m_reached["panel: refused while out of date"];
        ApplyPanelRefresh();
    }
    for (const char* acting : { "zvkPolyhSelectFaces", "zvkMaterialSetActive", "zvkCurrobjEditToolClose" })
        if (!CallsNamed(acting).empty())
        {
            Failure(std::string("a panel row that may not act called ") + acting);
            break;
        }
}

// The panel as the model has it: owned by the tool window, its title, state line, rows, total
// and "To editor" greyed unless a row of a material is current in an up-to-date panel.
void RandomWalk::CheckPanel()
{
    HWND panel = FindMaterialsPanel();
    if ((panel != NULL) != m_panel.open)
    {
        Failure(std::string(panel != NULL ? "a" : "no") + " materials panel, expected " + (m_panel.open ? "one" : "none"));
        return;
    }
    if (panel == NULL)
        return;
    if (GetWindow(panel, GW_OWNER) != m_window)
        Failure("the materials panel is not owned by the tool window");
    if (WindowText(panel) != m_panel.title)
        Failure("panel title \"" + WindowText(panel).substr(0, 60) + "\", expected \"" + m_panel.title.substr(0, 60) + "\"");
    if (WindowText(GetDlgItem(panel, IDC_MATERIALS_STATE)) != (m_panel.greyed ? OUT_OF_DATE : ""))
        Failure("panel state line \"" + WindowText(GetDlgItem(panel, IDC_MATERIALS_STATE)) + "\"");
    HWND rows = GetDlgItem(panel, IDC_MATERIALS_LIST);
    std::vector<std::string> shown = ListTexts(rows);
    if (shown != m_panel.rows)
        Failure("panel rows" + Bracketed(shown) + ", expected" + Bracketed(m_panel.rows));
    if (WindowText(GetDlgItem(panel, IDC_MATERIALS_TOTAL)) != m_panel.total)
        Failure("panel total \"" + WindowText(GetDlgItem(panel, IDC_MATERIALS_TOTAL)) + "\", expected \"" + m_panel.total + "\"");
    int current = (int)SendMessageA(rows, LB_GETCURSEL, 0, 0);
    bool toEditor = !m_panel.greyed && current >= 0 && current < (int)m_panel.materials.size();
    if ((IsWindowEnabled(GetDlgItem(panel, IDC_TO_EDITOR)) != 0) != toEditor)
        Failure(std::string("\"To editor\" ") + (toEditor ? "greyed" : "enabled") + ", expected the opposite");
}

// Every object-making function the plug-in imports must be one the walk counts.
TEST(RandomWalkCounting, EveryObjectMakingImportOfThePluginIsCounted)
{
    ASSERT_TRUE(Plugin::Module() != NULL);
    int seen = 0;
    ForEachImport(Plugin::Module(), [&](const char* dll, const char* name, IMAGE_THUNK_DATA*) {
        bool userOrGdi = _stricmp(dll, "USER32.dll") == 0 || _stricmp(dll, "GDI32.dll") == 0;
        if (!userOrGdi || !MakesAnObject(name))
            return;
        ++seen;
        EXPECT_TRUE(IsCountedMaker(name)) << dll << "!" << name << " makes objects the random walk does not count";
    });
    EXPECT_GT(seen, 0) << "no object-making import found: the import table was not read";
}

} // namespace

// The walk's own guard: a fault deep inside a handler ends the walk at once, with the replay,
// instead of a crash debugger that would hang the run. The walk runs as a child program that a
// host call faults in from the 20th action on.
TEST(RandomWalkFaults, AFaultEndsTheWalkWithWhatReplaysIt)
{
    char program[MAX_PATH];
    GetModuleFileNameA(NULL, program, MAX_PATH);
    std::string command = std::string("\"") + program + "\" --gtest_filter=RandomWalk.*";

    // The child's output goes to a file, not a pipe: a process the child starts (Wine's desktop
    // process, when the child makes the first window) may hold its standard handles for good.
    char directory[MAX_PATH], outputPath[MAX_PATH];
    GetTempPathA(MAX_PATH, directory);
    GetTempFileNameA(directory, "zvk", 0, outputPath);
    SECURITY_ATTRIBUTES inherit = { sizeof inherit, NULL, TRUE };
    HANDLE outputFile = CreateFileA(outputPath, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, outputFile);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = outputFile;
    startup.hStdError = outputFile;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    SetEnvironmentVariableA("ZVK_WALK_FAULT_AT", "20");
    SetEnvironmentVariableA("ZVK_WALK_ACTIONS", "400");
    PROCESS_INFORMATION child = {};
    BOOL started = CreateProcessA(NULL, &command[0], NULL, NULL, TRUE, 0, NULL, NULL, &startup, &child);
    SetEnvironmentVariableA("ZVK_WALK_FAULT_AT", NULL);
    SetEnvironmentVariableA("ZVK_WALK_ACTIONS", NULL);
    CloseHandle(outputFile);
    ASSERT_TRUE(started) << "error " << GetLastError();
    DWORD waited = WaitForSingleObject(child.hProcess, 120000);
    if (waited != WAIT_OBJECT_0)
        TerminateProcess(child.hProcess, 1);
    DWORD status = 0;
    GetExitCodeProcess(child.hProcess, &status);
    CloseHandle(child.hProcess);
    CloseHandle(child.hThread);

    std::string output;
    HANDLE readBack = CreateFileA(outputPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    char chunk[4096];
    DWORD got = 0;
    while (readBack != INVALID_HANDLE_VALUE && ReadFile(readBack, chunk, sizeof chunk, &got, NULL) && got > 0)
        output.append(chunk, got);
    CloseHandle(readBack);
    DeleteFileA(outputPath);
    ASSERT_EQ(WAIT_OBJECT_0, waited) << "the faulted walk did not end within two minutes\n" << output;
    EXPECT_EQ(3u, status) << output;
    EXPECT_NE(std::string::npos, output.find("exception 0xC0000005")) << output;
    EXPECT_NE(std::string::npos, output.find("reading address 0x00000008")) << output;
    EXPECT_NE(std::string::npos, output.find("seed 20261207, action ")) << output;
    EXPECT_NE(std::string::npos, output.find("replay: ZVK_WALK_SEED=20261207 ZVK_WALK_ACTIONS=")) << output;
    EXPECT_NE(std::string::npos, output.find("  #19 ")) << "the actions before the fault are listed\n" << output;
    EXPECT_EQ(std::string::npos, output.find("ZVK-FIGURE")) << "a faulted walk reported a figure\n" << output;
}
