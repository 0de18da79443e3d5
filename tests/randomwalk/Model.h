// The random walk as one test fixture: its model of the tool window, the host and the materials
// panel (Model.cpp), its actions (Actions.cpp) and the checks after every action (Checks.cpp); the
// test that runs it is test_randomwalk.cpp.
#pragma once
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

namespace walk {

const std::uint64_t DEFAULT_SEED = 20261207;
const int DEFAULT_ACTIONS = 10000;
const int WARM_UP_ACTIONS = 300;
const int REMEMBERED_ACTIONS = 20;
const int FACE_LIMIT = 65535;

const char ABOUT_TEXT[] = "zVk Quarvelind v.1.5 - Material manager plugin for Modelvane.";
const char HELP_START[] = "\r- 'matIDs/Faces list' listbox";

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

extern WindowWatch g_watch;

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

extern MenuVisit g_menu;

void Watch(HWND dialog, HWND list);

// The plug-in's object-making imports, routed through the walk's counters (Checks.cpp).
void CountPluginObjects();
bool IsCountedMaker(const std::string& name);
bool MakesAnObject(const std::string& name);

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
    // The host's face selection is what the list's selection gave it: a panel paint gives it back.
    bool hostHasListSelection = false;
    // Following Modelvane, and the object the list was read from (or refused) with its face count.
    bool following = false;
    ZvkHandle source = NULL;
    int sourceFaces = 0;
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
    int current = -1;             // the highlighted row's material: a recount keeps it highlighted
    std::map<int, bool> invisible;  // each material's slot as the last refresh that read slots saw it
    bool entriesSelected = false; // at the last refresh or row click: "Assign" may act
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

inline int LineCount(const std::string& text)
{
    return (int)std::count(text.begin(), text.end(), '\n');
}

// Texts in a failure line: " [first] [second]".
inline std::string Bracketed(const std::vector<std::string>& texts)
{
    std::string line;
    for (const std::string& text : texts)
        line += " [" + text + "]";
    return line;
}

inline bool IsFaceOf(int face, int faceCount) { return face >= 0 && face < faceCount && face < FACE_LIMIT; }

class RandomWalk : public ToolWindowTest
{
protected:
    void SetUp() override;
    void TearDown() override;

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
    void FillModelFromHost();
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
    bool PanelPaint(WalkRandom& random, HWND panel, int row);
    void ApplyPanelPaint(bool assign, int row, bool noMaterial);
    void ExpectNoPanelAct(const char* what);
    bool ListEscape();
    bool ListUpToDate() const;
    void ApplyMaterialsCommand();
    void ApplyPanelRefresh(bool colours = true, bool readsSlots = true);
    // Following Modelvane: a tick of its timer (looked: it asked the host anything), the command
    // that switches it, and the settings file that keeps it.
    void ApplyFollowTick(bool looked);
    void ApplyFollowLoad();
    void ApplyFollowToggle();
    bool FollowFileSaysOn() const;
    bool FollowKey(WalkRandom& random);
    bool FollowTick();
    void ApplyPanelAction(bool select, int row, const std::vector<int>& before);
    PanelModel m_panel;
};

} // namespace walk
