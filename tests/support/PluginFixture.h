// Test support: the plug-in loaded into the test program, the replacement host reset for every
// test, the tool window found with its controls, and helpers that act on it as a person would.
#ifndef PLUGINFIXTURE_H
#define PLUGINFIXTURE_H

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "plugin/zvkplugin.h"
#include "testhost/PluginHost.h"   // FindToolWindows, PostKey, EntryCentre, ReadMenuItems, ...
#include "testhost/zvktest.h"
#include "ui/resource.h"

// The plug-in DLL and its five exports, loaded once per test program.
struct Plugin
{
    static HMODULE Module();
    static int GetData(PluginInfo* info);
    static int GetVersion();
    static int LeftClick();
    static void RightClick();
    static void Deactivate();
};

// Delivers what is waiting in this thread's queue.
void PumpMessages();
std::string WindowText(HWND window);
// The texts of a list box's entries, in order.
std::vector<std::string> ListTexts(HWND list);

// From the call on, a fault of any error severity (an access violation first of all) ends the
// program at once with what happened and where, in the words ctest looks for: neither a crash
// debugger nor a silent end. Where the test stands, for that message, goes in g_faultWhere.
// Returns the handler, for RemoveVectoredExceptionHandler.
extern char g_faultWhere[200];
PVOID EndProgramOnFault();

// A number from the environment (a seed, a count), or the fallback when it is not set.
std::uint64_t EnvironmentNumber(const char* name, std::uint64_t fallback);

// Where a window made from the plug-in's template stands before anyone moves it, and its outer
// size: found with a dialog of the test's own.
RECT TemplateWindowRect();

// Texts and entry colours as the tool window shows them.
const char LIST_TITLE[] = "Faces | matIDs list";
const char WAIT_TITLE[] = "Please wait...";
const char REFUSED_TITLE[] = "Nothing selected...";
const char EMPTY_TITLE[] = "List is empty!";
const char SELECT_POLYHEDRON[] = "Please, select a polyhedron!";
const char TOO_MANY_FACES[] = "Sorry, I cannot handle above 64k faces! Try to reduce polyhedrons' faces.";
const char GLOBAL_TEXTURE[] = "Global texture changed! Please, reload the list.";
const COLORREF CLR_PAINTED = 0x000B8800;
const COLORREF CLR_PAINTED_INVISIBLE = 0x000000C0;

// The face list's context menu as it reads, and what a copy says when it cannot have the clipboard.
const char OUT_OF_DATE[] = "List is out of date: reload it";
const char SELECT_MATERIAL[] = "Select faces of material";
const char SELECT_PAINTED[] = "Select painted faces";
const char SELECT_TO_DO[] = "Select faces still to do";
const char COPY_LIST[] = "Copy list";
const char COPY_SELECTED[] = "Copy selected entries";
const char MATERIALS_ITEM[] = "Materials...";
const char FOLLOW_ITEM[] = "Follow Modelvane\tCtrl+F";
const char NOTHING_PAINTED[] = "The host could not make a material: nothing was painted.";
const char CLIPBOARD_IN_USE[] = "The clipboard is in use by another program: nothing was copied.";
inline std::string SelectMaterial(int material) { return std::string(SELECT_MATERIAL) + " " + std::to_string(material); }

// The paint history's two items: "Undo paint of N faces<TAB>Ctrl+Z" for a step of N faces, "Undo
// paint<TAB>Ctrl+Z" for none (faces < 0); redo the same with Ctrl+Y. The history lasts as long as
// the plug-in, across the tests of a program: a test about the other items leaves these two out.
std::string UndoPaintText(int faces);
std::string RedoPaintText(int faces);
std::vector<std::string> WithoutUndoItems(const std::vector<std::string>& texts);
// What undo and redo say of faces changed in the host since, and when the host makes no material
// for their first index to give back, or for a later one (reached of total faces).
std::string ChangedSinceText(int faces);
std::string NothingRestoredText(bool undo);
std::string RestoredPartlyText(bool undo, int reached, int total);

// Messages of interest reaching one window, recorded by a subclass procedure on top of the
// window's own until the log goes out of scope.
class MessageLog
{
public:
    struct Entry
    {
        UINT message;
        WPARAM wParam;
        std::string text;   // WM_SETTEXT only
        int journalAt;      // host calls made before the message arrived
    };
    MessageLog(HWND window, std::vector<UINT> messages);
    ~MessageLog();
    MessageLog(const MessageLog&) = delete;
    MessageLog& operator=(const MessageLog&) = delete;

    const std::vector<Entry>& Entries() const { return m_entries; }
    std::vector<WPARAM> WParams(UINT message) const;
    std::vector<std::string> Texts() const;

private:
    static LRESULT CALLBACK Record(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND m_window;
    WNDPROC m_previous;
    std::vector<UINT> m_messages;
    std::vector<Entry> m_entries;
};

// A message box caught as it opens and answered with its first button.
struct CapturedBox
{
    std::string caption;
    std::string text;
    HWND owner;
    bool informationIcon;
    bool anyIcon;
    std::vector<int> buttons;   // ids of the visible push buttons
    std::string note;           // what the catcher's note function said as the box opened
};

class MessageBoxCatcher
{
public:
    // note, if given, is asked as each box opens, for what the test wants to know of that moment.
    explicit MessageBoxCatcher(std::function<std::string()> note = nullptr);
    ~MessageBoxCatcher();
    const std::vector<CapturedBox>& Boxes() const { return m_boxes; }

private:
    static LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam);
    static MessageBoxCatcher* s_active;
    HHOOK m_hook;
    std::function<std::string()> m_note;
    std::vector<CapturedBox> m_boxes;
};

// Exactly one message box caught, with this text and the information icon.
void ExpectOneInformationBox(const MessageBoxCatcher& catcher, const std::string& text);

// Calls made into the host since the journal was last cleared.
std::vector<std::string> CallNames();
std::vector<const ZvktCall*> CallsNamed(const char* function);
std::string JournalText();
// Where the first call of the function stands in the journal; the journal's length if there is
// none, so that a missing call never counts as coming first.
int CallPosition(const char* function);
void ExpectHostResourcesReleased();
// Host calls that only ask (the selection, its type, name and faces): a command with nothing to
// act on, or a menu on a list out of date, makes no other.
bool IsHostQuestion(const std::string& function);
bool OnlyQuestionsAsked();

// Materials in the host: the Material Editor's, and a polyhedron's slots.
ZvktMaterial EditorMaterial();
inline ZvkColor EditorColour() { return EditorMaterial().colour; }
ZvkColor SlotColour(ZvkHandle polyhedron, int slot);
inline ZvkColor FaceColour(ZvkHandle polyhedron, int face)
{
    return SlotColour(polyhedron, zvktFaceMaterialIndex(polyhedron, face));
}
// The host's own edit, as a person painting in the modeller: the face gets the slot's material.
// Off the journal, which holds the plug-in's calls.
void PaintInHost(ZvkHandle polyhedron, int face, int slot);
// An editor material that no slot of a test polyhedron has.
const ZvkColor MARKER_COLOUR = { 1, 2, 3, 255 };
void SetEditorToMarker();
// "(r,g,b,a)": colours are compared as text, so that a failure shows both.
std::string ColourText(const ZvkColor& colour);

/////////////////////////////////////////////////////////////////////////////
// Popup menus

// Chooses the item at this position among the items other than separators, with arrow keys and
// Enter as a person does (the first Down highlights the first item; greyed items are passed
// over like any other); a position below 0 closes the menu with Esc.
void ChooseMenuItem(HWND popup, int position);

// The popup menu that a window opens while this object lives, caught as it goes idle: its items
// are read through MN_GETHMENU, then the command is chosen as a person would, with arrow keys
// to its item and Enter, or the menu is closed with Esc (command 0, or an item that is greyed
// or missing, which fails the test).
class PopupMenuCatcher
{
public:
    typedef MenuItem Item;
    PopupMenuCatcher(HWND owner, UINT command = 0);
    ~PopupMenuCatcher();
    PopupMenuCatcher(const PopupMenuCatcher&) = delete;
    PopupMenuCatcher& operator=(const PopupMenuCatcher&) = delete;

    int Popups() const { return m_popups; }
    // Where the last popup stood when it was caught, in screen coordinates.
    POINT Position() const { return m_position; }
    // The items other than separators, in menu order.
    const std::vector<Item>& Items() const { return m_items; }
    std::vector<std::string> Texts() const;
    std::vector<std::string> GreyedTexts() const;
    std::vector<std::string> EnabledTexts() const;
    const Item* Find(UINT id) const;

private:
    static LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Caught(HWND popup);
    HWND m_owner;
    WNDPROC m_previous;
    UINT m_command;
    int m_popups = 0;
    POINT m_position = {};
    std::vector<Item> m_items;
};

// Reset host, a host directory without a settings folder, no window left behind.
class PluginTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;
    static std::string TempDirectory(const char* name);
    // A fresh host for the next case of a table; an open window stays open.
    void ResetHost();
    std::string m_hostDir;
};

// A test that starts with the tool window open.
class ToolWindowTest : public PluginTest
{
protected:
    void SetUp() override;
    void OpenToolWindow();

    HWND Item(int id) const { return GetDlgItem(m_window, id); }
    bool IsEnabled(int id) const { return IsWindowEnabled(Item(id)) != 0; }
    int CheckState(int id) const { return (int)SendMessage(Item(id), BM_GETCHECK, 0, 0); }
    std::string ItemText(int id) const { return WindowText(Item(id)); }
    // A button or check box pressed with the mouse (BM_CLICK), then the queue delivered.
    void Press(int id);
    void ExpectPaintButtons(bool paintFace, bool paintSelection) const
    {
        EXPECT_EQ(paintFace, IsEnabled(IDC_PAINT_FACE)) << "Paint face";
        EXPECT_EQ(paintSelection, IsEnabled(IDC_PAINT_SELECTION)) << "Paint selection";
    }
    // Copy material, Paint random, Paint invisible.
    std::vector<int> ModeBoxes() const
    {
        return { CheckState(IDC_COPY_MATERIAL), CheckState(IDC_PAINT_RANDOM), CheckState(IDC_PAINT_INVISIBLE) };
    }

    // The face list.
    int EntryCount() const { return (int)SendMessage(m_list, LB_GETCOUNT, 0, 0); }
    std::string EntryText(int index) const;
    COLORREF EntryColour(int index) const { return (COLORREF)SendMessage(m_list, LB_GETITEMDATA, index, 0); }
    bool IsEntrySelected(int index) const { return SendMessage(m_list, LB_GETSEL, index, 0) > 0; }
    std::vector<int> EntriesColoured(COLORREF colour) const;
    std::vector<int> SelectedEntries() const;
    // A mouse click on an entry (brought into view first); keys is 0, MK_CONTROL or MK_SHIFT.
    void ClickEntry(int index, WPARAM keys = 0);
    void PressKey(UINT vk);
    // Ctrl (and Shift) with a key, pressed where the focus is and delivered as a host's loop does:
    // through IsDialogMessage first (dialogLoop) or only translated and dispatched; so is the queue.
    void PressCtrlKey(UINT vk, bool shift, bool dialogLoop);
    // The face list's context menu: a right click at a point of the list, and one on an entry
    // (brought into view first) whose popup is answered with the command (0: Esc); the items it showed.
    POINT EntryCentre(int index) const;
    void RightClickAt(POINT at);
    std::vector<MenuItem> ChooseOnEntry(int index, UINT command);

    // Scene shortcuts: a polyhedron made, selected and listed.
    ZvkHandle AddPolyhedron(const char* name, int faces, const std::vector<unsigned short>& materials = {}, int slots = 4);
    ZvkHandle LoadPolyhedron(const char* name, int faces, const std::vector<unsigned short>& materials = {}, int slots = 4);

    HWND m_window = NULL;
    HWND m_list = NULL;
};

// The clipboard's text, or "<clipboard not opened>"; text put there (false when it cannot be opened).
std::string ClipboardText();
bool SetClipboardText(const std::string& text);

#endif
