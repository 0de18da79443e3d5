// The face list's context menu: opened by a right click or the keyboard, read from the real
// popup, and its commands chosen through it with arrow keys and Enter. Faces found by material
// or paint state are selected in the list and in the host with one call; the list is copied.
#include "support/PluginFixture.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>

namespace {

// While the host refreshes during a command: the title and whether the wait cursor shows.
std::vector<std::string> g_titlesAtRefresh;
HWND g_titleControl = NULL;
void __cdecl NoteTitleAtRefresh()
{
    std::string title = WindowText(g_titleControl);
    if (GetCursor() == LoadCursor(NULL, IDC_WAIT))
        title += " (wait cursor)";
    g_titlesAtRefresh.push_back(title);
}

} // namespace

class ContextMenu : public ToolWindowTest
{
protected:
    void TearDown() override
    {
        zvktSetChangeCallback(NULL);
        ExpectHostResourcesReleased();
        ToolWindowTest::TearDown();
    }

    int Caret() const { return (int)SendMessageA(m_list, LB_GETCARETINDEX, 0, 0); }
    // A case of a table that starts from nothing listed, in a fresh host.
    void EmptyListAndHost()
    {
        SendMessageA(m_list, LB_RESETCONTENT, 0, 0);
        ResetHost();
    }
    int TopIndex() const { return (int)SendMessageA(m_list, LB_GETTOPINDEX, 0, 0); }
    std::vector<int> FacesSelectedInHost(ZvkHandle polyhedron) const
    {
        std::vector<int> faces;
        for (int face = 0; face < zvktFaceCount(polyhedron); ++face)
            if (zvktIsFaceSelected(polyhedron, face))
                faces.push_back(face);
        return faces;
    }
    void ExpectOneSelectCall(int faceCount, const std::vector<unsigned>& chosen)
    {
        std::vector<const ZvktCall*> calls = CallsNamed("zvkPolyhSelectFaces");
        ASSERT_EQ(1u, calls.size());
        EXPECT_EQ(faceCount, (int)calls[0]->args[1]);
        std::vector<unsigned> expected = chosen;
        expected.resize(faceCount, chosen.back());
        EXPECT_EQ(expected, std::vector<unsigned>(calls[0]->indices, calls[0]->indices + calls[0]->indexCount));
    }
    void PaintEntries(std::vector<int> entries, bool invisible)
    {
        if (invisible)
            Press(IDC_PAINT_INVISIBLE);
        for (int entry : entries)
        {
            ClickEntry(entry);
            Press(IDC_PAINT_FACE);
        }
        if (invisible)
            Press(IDC_PAINT_INVISIBLE);
    }
};

/////////////////////////////////////////////////////////////////////////////
// Opening the menu

TEST_F(ContextMenu, OpensOnTheEntryUnderTheCursorOrTheCurrentOneWithoutChangingTheSelection)
{
    LoadPolyhedron("Scene\\Box", 10, { 0, 1, 2, 1, 1, 0, 3, 1, 2, 1 });
    ClickEntry(8);
    ClickEntry(6, MK_CONTROL);
    enum How { RIGHT_CLICK, APPS_KEY, SHIFT_F10, SCROLL_BAR };
    struct Case
    {
        const char* label;
        How how;
        int material;     // of the menu's entry: the clicked one (7) or the current one (6)
    };
    const Case cases[] = {
        { "right click on entry 7", RIGHT_CLICK, 1 },
        { "context-menu key", APPS_KEY, 3 },
        { "Shift+F10", SHIFT_F10, 3 },
        { "right click on the scroll bar: no menu", SCROLL_BAR, -1 },
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        zvktJournalClear();
        PopupMenuCatcher menu(m_window);
        POINT expected = EntryCentre(7);
        RECT item;
        SendMessageA(m_list, LB_GETITEMRECT, 6, (LPARAM)&item);
        if (c.how == RIGHT_CLICK)
            RightClickAt(expected);
        else if (c.how == APPS_KEY)
            PressKey(VK_APPS);
        else if (c.how == SHIFT_F10)
        {
            BYTE keys[256];
            GetKeyboardState(keys);
            keys[VK_SHIFT] = 0x80;
            SetKeyboardState(keys);
            // The menu loop takes the key's release; the window sees only the press.
            SendMessageA(m_list, WM_SYSKEYDOWN, VK_F10, 1);
            keys[VK_SHIFT] = 0;
            SetKeyboardState(keys);
            PumpMessages();
        }
        else
        {
            // Windows asks for a menu on a right click in the scroll bar; Wine does not, so
            // the request is sent as Windows sends it.
            RECT window;
            GetWindowRect(m_list, &window);
            LPARAM at = MAKELPARAM(window.right - 3, (window.top + window.bottom) / 2);
            SendMessageA(m_list, WM_CONTEXTMENU, (WPARAM)m_list, at);
            PumpMessages();
        }
        EXPECT_EQ((std::vector<int>{ 6, 8 }), SelectedEntries());
        EXPECT_EQ(6, Caret());
        EXPECT_TRUE(OnlyQuestionsAsked()) << JournalText();
        if (c.material < 0)
        {
            EXPECT_EQ(0, menu.Popups());
            continue;
        }
        ASSERT_EQ(1, menu.Popups());
        EXPECT_EQ((std::vector<std::string>{ SelectMaterial(c.material), SELECT_PAINTED, SELECT_TO_DO, MATERIALS_ITEM,
                                             FOLLOW_ITEM, COPY_LIST, COPY_SELECTED }),
                  WithoutUndoItems(menu.Texts()));
        EXPECT_EQ(std::vector<std::string>{ SELECT_PAINTED }, WithoutUndoItems(menu.GreyedTexts()));
        if (c.how != RIGHT_CLICK)
            expected = { item.left, item.bottom };
        ClientToScreen(m_list, &expected);
        EXPECT_EQ(expected.x, menu.Position().x);
        EXPECT_EQ(expected.y, menu.Position().y);
    }
}

TEST_F(ContextMenu, AnEmptyListOrOneOutOfDateGreysItsItems)
{
    struct Case
    {
        const char* label;
        bool load;
        int selectFaces;           // faces of the polyhedron selected after the load; 0: none
        const char* selectName;
        std::vector<std::string> enabled;
    };
    const Case cases[] = {
        { "never loaded", false, 0, NULL, { FOLLOW_ITEM } },
        { "another name", true, 4, "Scene\\Other", { FOLLOW_ITEM, COPY_LIST, COPY_SELECTED } },
        { "same name, another face count", true, 5, "Scene\\Box", { FOLLOW_ITEM, COPY_LIST, COPY_SELECTED } },
        { "nothing selected", true, 0, NULL, { FOLLOW_ITEM, COPY_LIST, COPY_SELECTED } },
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        EmptyListAndHost();
        if (c.load)
        {
            LoadPolyhedron("Scene\\Box", 4, { 1, 1, 0, 2 });
            PaintEntries({ 1 }, false);
            zvktSelect(c.selectFaces ? AddPolyhedron(c.selectName, c.selectFaces) : NULL);
        }
        zvktJournalClear();
        PopupMenuCatcher menu(m_window);
        RightClickAt(c.load ? EntryCentre(1) : POINT{ 5, 5 });

        ASSERT_EQ(1, menu.Popups());
        EXPECT_EQ((std::vector<std::string>{ OUT_OF_DATE, SELECT_MATERIAL, SELECT_PAINTED, SELECT_TO_DO,
                                             MATERIALS_ITEM, FOLLOW_ITEM, COPY_LIST, COPY_SELECTED }),
                  WithoutUndoItems(menu.Texts()));
        EXPECT_EQ(c.enabled, WithoutUndoItems(menu.EnabledTexts()));
        // A command that arrives anyway changes nothing either.
        for (UINT command : { ID_SELECT_MATERIAL, ID_SELECT_PAINTED, ID_SELECT_TO_DO })
            SendMessageA(m_window, WM_COMMAND, command, 0);
        EXPECT_TRUE(OnlyQuestionsAsked()) << JournalText();
        EXPECT_EQ(c.load ? std::vector<int>{ 1 } : std::vector<int>{}, SelectedEntries());
        ExpectHostResourcesReleased();
    }
}

/////////////////////////////////////////////////////////////////////////////
// Select faces of material N

TEST_F(ContextMenu, SelectsEveryFaceOfTheEntrysMaterialWithOneHostCall)
{
    struct Case
    {
        const char* label;
        std::vector<unsigned short> materials;
        int entry;
        int material;
        std::vector<unsigned> chosen;
        bool paintFace, paintSelection, selectedInHost;
    };
    const Case cases[] = {
        { "several materials", { 0, 1, 2, 1, 1, 0, 3, 1, 2, 1 }, 4, 1, { 1, 3, 4, 7, 9 }, false, true, true },
        { "indices above 32767", { 40000, 32768, 40000, 65535, 7232, 40000 }, 5, 40000, { 0, 2, 5 }, false, true, true },
        { "index 65535", { 40000, 32768, 40000, 65535, 7232, 40000 }, 3, 65535, { 3 }, true, false, true },
        { "one face of its material", { 0, 0, 5, 0 }, 2, 5, { 2 }, true, false, true },
        { "every face of one material", { 3, 3, 3 }, 1, 3, { 0, 1, 2 }, false, false, false },
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        ResetHost();
        int faces = (int)c.materials.size();
        int slots = *std::max_element(c.materials.begin(), c.materials.end()) + 1;
        ZvkHandle polyhedron = LoadPolyhedron("Scene\\Mesh", faces, c.materials, slots);
        SetEditorToMarker();
        ClickEntry(0);
        zvktJournalClear();
        MessageLog titles(Item(IDC_LIST_TITLE), { WM_SETTEXT });

        std::vector<MenuItem> items = ChooseOnEntry(c.entry, ID_SELECT_MATERIAL);

        ASSERT_FALSE(items.empty());
        EXPECT_EQ(SelectMaterial(c.material), items[0].text);
        std::vector<int> chosen(c.chosen.begin(), c.chosen.end());
        EXPECT_EQ(chosen, SelectedEntries());
        EXPECT_EQ(c.entry, Caret());
        ExpectPaintButtons(c.paintFace, c.paintSelection);
        if (c.selectedInHost)
        {
            ExpectOneSelectCall(faces, c.chosen);
            EXPECT_EQ(chosen, FacesSelectedInHost(polyhedron));
        }
        else
        {
            EXPECT_TRUE(CallsNamed("zvkPolyhSelectFaces").empty());
            EXPECT_TRUE(FacesSelectedInHost(polyhedron).empty());
        }
        EXPECT_LT(CallPosition("zvkCurrobjEditToolClose"), CallPosition("zvkPolyhSelectFaces"));
        EXPECT_LT(CallPosition("zvkCurrobjEditToolClose"), CallPosition("zvkCurrobjRefresh"));
        // The entry's own material went to the editor, as a click on it gives.
        EXPECT_EQ(ColourText(SlotColour(polyhedron, c.material)), ColourText(EditorColour()));
        EXPECT_EQ((std::vector<std::string>{ WAIT_TITLE, LIST_TITLE }), titles.Texts());
        ExpectHostResourcesReleased();
    }
}

TEST_F(ContextMenu, MaterialIsReadAfreshAndFacesWithoutRecordAreSkipped)
{
    // Entries show 0 and 1; the host then gives faces 1 and 4 material 2 and drops face 3's record.
    ZvkHandle polyhedron = LoadPolyhedron("Scene\\Mesh", 6, { 0, 1, 0, 2, 0, 2 }, 4);
    ZvkHandle material = NULL;
    zvkMaterialCreate(&material);
    zvkPolyhGetMaterial(polyhedron, 2, material);
    zvkPolyhPaintFace(polyhedron, 1, material, 1);
    zvkPolyhPaintFace(polyhedron, 4, material, 1);
    zvkMaterialDestroy(material);
    zvkFree(material);
    zvktSetNullFaceRecord(polyhedron, 3, 1);
    ASSERT_EQ("1 | 1", EntryText(1));

    std::vector<MenuItem> items = ChooseOnEntry(1, ID_SELECT_MATERIAL);
    ASSERT_FALSE(items.empty());
    EXPECT_EQ(SelectMaterial(2), items[0].text);
    EXPECT_EQ((std::vector<int>{ 1, 4, 5 }), SelectedEntries());

    SCOPED_TRACE("menu on the face without record");
    items = ChooseOnEntry(3, 0);
    ASSERT_FALSE(items.empty());
    EXPECT_EQ(SELECT_MATERIAL, items[0].text);
    EXPECT_TRUE(items[0].greyed);
}

TEST_F(ContextMenu, WhileSelectingTheTitleAsksToWaitAndTheFirstChosenEntryComesIntoView)
{
    std::vector<unsigned short> materials(300, 1);
    materials[40] = 7;
    materials[250] = 7;
    materials[251] = 7;
    LoadPolyhedron("Scene\\Long", 300, materials);
    g_titleControl = Item(IDC_LIST_TITLE);
    g_titlesAtRefresh.clear();
    zvktSetChangeCallback(NoteTitleAtRefresh);

    ChooseOnEntry(250, ID_SELECT_MATERIAL);

    EXPECT_EQ((std::vector<int>{ 40, 250, 251 }), SelectedEntries());
    EXPECT_EQ(250, Caret());
    EXPECT_LE(TopIndex(), 40);
    RECT item, client;
    SendMessageA(m_list, LB_GETITEMRECT, 40, (LPARAM)&item);
    GetClientRect(m_list, &client);
    EXPECT_TRUE(item.top >= client.top && item.bottom <= client.bottom) << "entry 40 not in view";
    ASSERT_FALSE(g_titlesAtRefresh.empty());
    EXPECT_EQ(std::string(WAIT_TITLE) + " (wait cursor)", g_titlesAtRefresh.back());
}

/////////////////////////////////////////////////////////////////////////////
// Select painted faces, faces still to do

TEST_F(ContextMenu, SelectsPaintedOrUnpaintedEntriesByTheirColour)
{
    ZvkHandle polyhedron = LoadPolyhedron("Scene\\Box", 8, { 0, 1, 2, 3, 0, 1, 2, 3 });
    PaintEntries({ 2 }, false);
    PaintEntries({ 5, 6 }, true);
    ASSERT_EQ((std::vector<int>{ 2 }), EntriesColoured(CLR_PAINTED));
    ASSERT_EQ((std::vector<int>{ 5, 6 }), EntriesColoured(CLR_PAINTED_INVISIBLE));
    struct Case
    {
        const char* label;
        UINT command;
        std::vector<unsigned> chosen;
    };
    const Case cases[] = {
        { "painted", ID_SELECT_PAINTED, { 2, 5, 6 } },
        { "still to do", ID_SELECT_TO_DO, { 0, 1, 3, 4, 7 } },
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        SetEditorToMarker();
        zvktJournalClear();
        ChooseOnEntry(7, c.command);

        std::vector<int> chosen(c.chosen.begin(), c.chosen.end());
        EXPECT_EQ(chosen, SelectedEntries());
        EXPECT_EQ(chosen.front(), Caret());
        ExpectOneSelectCall(8, c.chosen);
        EXPECT_EQ(chosen, FacesSelectedInHost(polyhedron));
        ExpectPaintButtons(false, true);
        EXPECT_EQ(ColourText(FaceColour(polyhedron, chosen.front())), ColourText(EditorColour()));
    }
}

TEST_F(ContextMenu, PaintStateItemsAreGreyedWhenNoEntryHasThatState)
{
    LoadPolyhedron("Scene\\Tri", 3);
    struct Case
    {
        const char* label;
        std::vector<int> paint;
        std::vector<std::string> greyed;
    };
    const Case cases[] = {
        { "nothing painted", {}, { SELECT_PAINTED } },
        { "one painted", { 1 }, {} },
        // An entry painted again is counted once: with it counted twice, the count would reach
        // the entry count here while entry 2 is still to do.
        { "it again and another: one still to do", { 1, 0 }, {} },
        { "every entry painted", { 2 }, { SELECT_TO_DO } },
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        PaintEntries(c.paint, false);
        PopupMenuCatcher menu(m_window);
        RightClickAt(EntryCentre(0));
        EXPECT_EQ(c.greyed, WithoutUndoItems(menu.GreyedTexts()));
    }
}

TEST_F(ContextMenu, WithAModeBoxOnTheEditorKeepsItsMaterial)
{
    ZvkHandle polyhedron = LoadPolyhedron("Scene\\Box", 6, { 0, 1, 0, 1, 0, 1 });
    for (int box : { IDC_COPY_MATERIAL, IDC_PAINT_RANDOM, IDC_PAINT_INVISIBLE })
    {
        SCOPED_TRACE(box);
        Press(box);
        SetEditorToMarker();
        zvktJournalClear();
        ChooseOnEntry(3, ID_SELECT_MATERIAL);

        EXPECT_EQ((std::vector<int>{ 1, 3, 5 }), SelectedEntries());
        EXPECT_EQ((std::vector<int>{ 1, 3, 5 }), FacesSelectedInHost(polyhedron));
        EXPECT_TRUE(CallsNamed("zvkPolyhGetMaterial").empty());
        EXPECT_EQ(ColourText(MARKER_COLOUR), ColourText(EditorColour()));
        Press(box);
    }
}

/////////////////////////////////////////////////////////////////////////////
// Copy

TEST_F(ContextMenu, CopiesEntriesAsTabSeparatedLinesWithMaterialsFromTheHost)
{
    ZvkHandle polyhedron = LoadPolyhedron("Scene\\Box", 5, { 0, 1, 40000, 3, 2 });
    // With "Copy material" on a click picks nothing, so the marker is what gets painted.
    Press(IDC_COPY_MATERIAL);
    SetEditorToMarker();
    PaintEntries({ 1 }, false);     // face 1 takes the marker material: a new slot, 4
    PaintEntries({ 3 }, true);      // face 3 the invisible marker: slot 5
    ASSERT_EQ("1 | 1", EntryText(1));
    ClickEntry(0);
    ClickEntry(3, MK_CONTROL);
    ClickEntry(2, MK_CONTROL);
    struct Case
    {
        const char* label;
        UINT command;
        bool nullRecord, outOfDate;
        std::string text;
    };
    const Case cases[] = {
        { "copy list", ID_COPY_LIST, false, false,
          "0\t0\tto do\r\n1\t4\tpainted\r\n2\t40000\tto do\r\n3\t5\tinvisible\r\n4\t2\tto do\r\n" },
        { "copy selected", ID_COPY_SELECTED, false, false, "0\t0\tto do\r\n2\t40000\tto do\r\n3\t5\tinvisible\r\n" },
        { "a face without record", ID_COPY_SELECTED, true, false, "0\t0\tto do\r\n2\t\tto do\r\n3\t5\tinvisible\r\n" },
        { "out of date: as the entries show", ID_COPY_SELECTED, true, true,
          "0\t0\tto do\r\n2\t40000\tto do\r\n3\t3\tinvisible\r\n" },
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        if (c.nullRecord)
            zvktSetNullFaceRecord(polyhedron, 2, 1);
        if (c.outOfDate)
            zvktSelect(NULL);
        ASSERT_TRUE(SetClipboardText("before"));
        ChooseOnEntry(4, c.command);
        EXPECT_EQ(c.text, ClipboardText());
    }
}

TEST_F(ContextMenu, AFaceListedWithoutRecordCopiesWithoutMaterialWhetherTheListIsUpToDateOrNot)
{
    ZvkHandle polyhedron = AddPolyhedron("Scene\\Box", 3, { 0, 7, 2 }, 8);
    zvktSetNullFaceRecord(polyhedron, 1, 1);
    zvktSelect(polyhedron);
    Press(IDC_LOAD_LIST);
    ASSERT_EQ("1 | ?", EntryText(1));
    for (bool outOfDate : { false, true })
    {
        SCOPED_TRACE(outOfDate ? "out of date" : "up to date");
        if (outOfDate)
            zvktSelect(NULL);
        ChooseOnEntry(0, ID_COPY_LIST);
        EXPECT_EQ("0\t0\tto do\r\n1\t\tto do\r\n2\t2\tto do\r\n", ClipboardText());
    }
}

TEST_F(ContextMenu, ACopyThatCannotHaveTheClipboardLeavesItAsItWasAndSaysSo)
{
    LoadPolyhedron("Scene\\Box", 3);
    ClickEntry(1);
    for (UINT command : { ID_COPY_LIST, ID_COPY_SELECTED })
    {
        SCOPED_TRACE(command);
        ASSERT_TRUE(SetClipboardText("before"));
        HWND other = CreateWindowA("STATIC", "other", 0, 0, 0, 0, 0, NULL, NULL, NULL, NULL);
        ASSERT_TRUE(OpenClipboard(other));
        MessageBoxCatcher boxes;
        ChooseOnEntry(0, command);
        CloseClipboard();
        DestroyWindow(other);

        EXPECT_EQ("before", ClipboardText());
        ExpectOneInformationBox(boxes, CLIPBOARD_IN_USE);
        EXPECT_EQ(LIST_TITLE, ItemText(IDC_LIST_TITLE));
    }
}

/////////////////////////////////////////////////////////////////////////////
// The materials panel

class MaterialsPanel : public ContextMenu
{
protected:
    // What "Materials..." sends, and the panel it leaves open.
    HWND RequestPanel()
    {
        SendMessageA(m_window, WM_COMMAND, ID_MATERIALS, 0);
        PumpMessages();
        return FindMaterialsPanel();
    }
    static HWND Rows(HWND panel) { return GetDlgItem(panel, IDC_MATERIALS_LIST); }
    ZvkHandle SetSlot(ZvkHandle polyhedron, int slot, ZvkColor colour)
    {
        ZvktMaterial material = {};
        material.colour = colour;
        zvktSetSlot(polyhedron, slot, &material);
        return polyhedron;
    }
};

TEST_F(MaterialsPanel, OpensFromTheMenuOrCtrlMOnlyForAnUpToDateListWithEntriesAndStaysOne)
{
    enum How { MENU, CTRL_M, CTRL_M_WITHOUT_DIALOG_MESSAGE };
    struct Case { const char* label; bool load; bool outOfDate; How how; bool opens; };
    const Case cases[] = {
        { "the menu's item", true, false, MENU, true },
        { "Ctrl+M through IsDialogMessage", true, false, CTRL_M, true },
        { "Ctrl+M straight to the list", true, false, CTRL_M_WITHOUT_DIALOG_MESSAGE, true },
        { "Ctrl+M on an empty list", false, false, CTRL_M, false },
        { "Ctrl+M on a list out of date", true, true, CTRL_M_WITHOUT_DIALOG_MESSAGE, false },
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        EmptyListAndHost();
        if (c.load)
            LoadPolyhedron("Scene\\Box", 4, { 1, 1, 0, 2 });
        if (c.outOfDate)
            zvktSelect(AddPolyhedron("Scene\\Other", 4));
        zvktJournalClear();
        if (c.how == MENU)
            ChooseOnEntry(0, ID_MATERIALS);
        else
        {
            SetFocus(m_list);
            PressCtrlKey('M', false, c.how == CTRL_M);
        }
        HWND panel = FindMaterialsPanel();
        ASSERT_EQ(c.opens, panel != NULL);
        if (!c.opens)
        {
            EXPECT_TRUE(OnlyQuestionsAsked()) << JournalText();
            continue;
        }
        EXPECT_EQ(std::string(MATERIALS_PANEL_CAPTION) + "Scene\\Box", WindowText(panel));
        EXPECT_EQ(m_window, GetWindow(panel, GW_OWNER));
        EXPECT_EQ(panel, GetActiveWindow());
        // A second request brings the one panel forward, refreshed.
        SetActiveWindow(m_window);
        Press(IDC_PAINT_ALL);
        Press(IDC_LOAD_LIST);
        EXPECT_EQ(panel, RequestPanel());
        EXPECT_EQ(panel, GetActiveWindow());
        EXPECT_EQ((std::vector<std::string>{ "matID 4\t4 faces\t100.0 %\t" }), ListTexts(Rows(panel)));
        SendMessageA(panel, WM_CLOSE, 0, 0);
        PumpMessages();
        EXPECT_EQ(NULL, FindMaterialsPanel());
    }
}

// One row per material index by index, a last one for faces without record; the swatch's
// colour as the host answers for the slot (outside the table: what the host left in the one
// material), "painted here" for the material of a painted entry.
TEST_F(MaterialsPanel, RowsCountTheFacesOfEachMaterialAndSayWhatTheirSlotsAre)
{
    struct Case { const char* label; bool createFails; std::vector<std::string> rows; };
    const Case cases[] = {
        { "the host makes the material", false,
          { "matID 0\t2 faces\t25.0 %\t", "matID 2\t2 faces\t25.0 %\t", "matID 5\t1 face\t12.5 %\t",
            "matID 6\t1 face\t12.5 %\tinvisible, painted here", "matID 9\t1 face\t12.5 %\tinvisible",
            "no record\t1 face\t12.5 %\t" } },
        { "no material from the host: the counts without colours", true,
          { "matID 0\t2 faces\t25.0 %\t", "matID 2\t2 faces\t25.0 %\t", "matID 5\t1 face\t12.5 %\t",
            "matID 6\t1 face\t12.5 %\tpainted here", "matID 9\t1 face\t12.5 %\t", "no record\t1 face\t12.5 %\t" } },
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        ResetHost();
        ZvkHandle polyhedron = AddPolyhedron("Scene\\Mesh", 8, { 0, 2, 2, 5, 2, 0, 9, 3 }, 6);
        zvktSetNullFaceRecord(polyhedron, 7, 1);
        zvktSelect(polyhedron);
        Press(IDC_LOAD_LIST);
        SetEditorToMarker();
        Press(IDC_COPY_MATERIAL);
        PaintEntries({ 4 }, true);   // face 4 into a new slot, 6: the marker, invisible
        Press(IDC_COPY_MATERIAL);
        if (c.createFails)
            zvktSetMaterialCreateFault(0, 1);
        zvktJournalClear();
        HWND panel = RequestPanel();
        ASSERT_TRUE(panel != NULL);
        EXPECT_EQ(c.rows, ListTexts(Rows(panel)));
        EXPECT_EQ(1u, CallsNamed("zvkMaterialCreate").size()) << "one material for every slot";
        EXPECT_EQ("8 faces, 5 materials", WindowText(GetDlgItem(panel, IDC_MATERIALS_TOTAL)));
        EXPECT_EQ("", WindowText(GetDlgItem(panel, IDC_MATERIALS_STATE)));
        SendMessageA(panel, WM_CLOSE, 0, 0);
    }
}

// A row drawn into a bitmap: the swatch is the only part in the slot's colour, filled whole
// when opaque, hatched over the window's colour when invisible, and absent without a material.
TEST_F(MaterialsPanel, SwatchesShowTheSlotsColourHatchedWhenInvisible)
{
    const ZvkColor opaque = { 10, 200, 30, 255 }, invisible = { 200, 30, 180, 0 };
    ZvkHandle polyhedron = AddPolyhedron("Scene\\Box", 2, { 0, 1 }, 2);
    zvktSelect(SetSlot(SetSlot(polyhedron, 0, opaque), 1, invisible));
    Press(IDC_LOAD_LIST);
    HWND screen = GetDesktopWindow();
    HDC screenDc = GetDC(screen), dc = CreateCompatibleDC(screenDc);
    HBITMAP bitmap = CreateCompatibleBitmap(screenDc, 400, 40);
    HGDIOBJ old = SelectObject(dc, bitmap);
    // The pixels of the colour in the row, and how many other pixels lie among them.
    auto drawRow = [&](HWND panel, int row, const ZvkColor& colour, int& inside, int& between) {
        RECT whole = { 0, 0, 400, 40 };
        FillRect(dc, &whole, (HBRUSH)GetStockObject(BLACK_BRUSH));
        DRAWITEMSTRUCT item = { ODT_LISTBOX, IDC_MATERIALS_LIST, (UINT)row, ODA_DRAWENTIRE, 0, Rows(panel), dc, {}, 0 };
        SendMessageA(Rows(panel), LB_GETITEMRECT, row, (LPARAM)&item.rcItem);
        OffsetRect(&item.rcItem, -item.rcItem.left, -item.rcItem.top);
        SendMessageA(panel, WM_DRAWITEM, IDC_MATERIALS_LIST, (LPARAM)&item);
        RECT box = { 400, 40, -1, -1 };
        inside = 0;
        for (int y = 0; y < item.rcItem.bottom; ++y)
            for (int x = 0; x < item.rcItem.right; ++x)
                if (GetPixel(dc, x, y) == RGB(colour.r, colour.g, colour.b))
                {
                    ++inside;
                    box = { std::min(box.left, (LONG)x), std::min(box.top, (LONG)y), std::max(box.right, (LONG)x), std::max(box.bottom, (LONG)y) };
                }
        between = inside ? (box.right - box.left + 1) * (box.bottom - box.top + 1) - inside : 0;
    };
    struct Case { const char* label; bool createFails; int row; ZvkColor colour; bool filled, hatched; };
    const Case cases[] = {
        { "opaque", false, 0, opaque, true, false },
        { "invisible", false, 1, invisible, false, true },
        { "no material from the host", true, 0, opaque, false, false },
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        if (c.createFails)
            zvktSetMaterialCreateFault(0, 1);
        HWND panel = RequestPanel();
        int inside = 0, between = 0;
        drawRow(panel, c.row, c.colour, inside, between);
        EXPECT_EQ(c.filled || c.hatched, inside >= 40) << inside << " pixels of the slot's colour";
        EXPECT_EQ(c.hatched, between >= 40) << between << " other pixels among them";
        SendMessageA(panel, WM_CLOSE, 0, 0);
    }
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(screen, screenDc);
}

// "Assign" and "Replace", from their buttons and from the row's menu (right click, the
// context-menu key, Shift+F10): only the faces concerned painted, their entries showing the new
// index in green or red, the selections kept, one step that Ctrl+Z takes back.
TEST_F(MaterialsPanel, AssignAndReplacePaintOnlyTheirFacesAsOneStepFromButtonsAndTheRowMenu)
{
    enum How { BUTTON, RIGHT_CLICK, APPS_KEY, SHIFT_F10 };
    struct Case
    {
        const char* label;
        How how;
        UINT command;
        int row;
        std::vector<int> painted;
        int index;             // what the painted faces read afterwards
        COLORREF colour;
        bool editorKept;
    };
    const Case cases[] = {
        { "Assign by its button", BUTTON, IDC_ASSIGN, 1, { 0, 3 }, 1, CLR_PAINTED, true },
        { "Assign from a right click's menu", RIGHT_CLICK, IDC_ASSIGN, 1, { 0, 3 }, 1, CLR_PAINTED, true },
        { "Assign of an invisible slot", APPS_KEY, IDC_ASSIGN, 3, { 0, 1, 3 }, 3, CLR_PAINTED_INVISIBLE, true },
        { "Replace by its button, invisible", BUTTON, IDC_REPLACE, 0, { 0, 4, 7 }, 4, CLR_PAINTED_INVISIBLE, false },
        { "Replace from Shift+F10's menu, invisible", SHIFT_F10, IDC_REPLACE, 0, { 0, 4, 7 }, 4, CLR_PAINTED_INVISIBLE, false },
    };
    const std::vector<unsigned short> materials = { 0, 1, 1, 2, 0, 1, 3, 0 };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        ResetHost();
        ZvkHandle polyhedron = AddPolyhedron("Scene\\Mesh", 8, materials, 4);
        SetSlot(polyhedron, 3, { 9, 9, 9, 0 });
        zvktSelect(polyhedron);
        Press(IDC_LOAD_LIST);
        SetEditorToMarker();
        if ((CheckState(IDC_PAINT_INVISIBLE) == BST_CHECKED) != (c.command == IDC_REPLACE))
            Press(IDC_PAINT_INVISIBLE);
        ClickEntry(0);
        ClickEntry(1, MK_CONTROL);
        ClickEntry(3, MK_CONTROL);
        HWND panel = RequestPanel();
        ASSERT_TRUE(panel != NULL);
        HWND rows = Rows(panel);
        POINT centre = ::EntryCentre(rows, c.row);
        SendMessageA(rows, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(centre.x, centre.y));
        SendMessageA(rows, WM_LBUTTONUP, 0, MAKELPARAM(centre.x, centre.y));
        zvktJournalClear();
        if (c.how == BUTTON)
            SendMessageA(GetDlgItem(panel, c.command), BM_CLICK, 0, 0);
        else
        {
            PopupMenuCatcher menu(panel, c.command);
            SetFocus(rows);
            if (c.how == RIGHT_CLICK)
            {
                SendMessageA(rows, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(centre.x, centre.y));
                SendMessageA(rows, WM_RBUTTONUP, 0, MAKELPARAM(centre.x, centre.y));
            }
            else if (c.how == APPS_KEY)
                PostKey(rows, VK_APPS);
            else
            {
                BYTE keys[256];
                GetKeyboardState(keys);
                keys[VK_SHIFT] = 0x80;
                SetKeyboardState(keys);
                MSG down = { rows, WM_SYSKEYDOWN, VK_F10, 1, GetTickCount(), { 0, 0 } };
                TranslateMessage(&down);
                DispatchMessageA(&down);
                keys[VK_SHIFT] = 0;
                SetKeyboardState(keys);
            }
            PumpMessages();
            EXPECT_EQ(1, menu.Popups());
            EXPECT_EQ((std::vector<std::string>{ "Select faces", "To editor", "Assign to selected faces",
                                                 "Replace with the editor's material" }), menu.EnabledTexts());
        }
        PumpMessages();

        std::vector<std::string> expected;
        for (int face = 0; face < 8; ++face)
        {
            bool painted = std::find(c.painted.begin(), c.painted.end(), face) != c.painted.end();
            EXPECT_EQ(painted ? c.index : materials[face], zvktFaceMaterialIndex(polyhedron, face)) << "face " << face;
            EXPECT_EQ(painted ? c.colour : 0, EntryColour(face)) << "entry " << face;
            expected.push_back(std::to_string(face) + " | " + std::to_string(painted ? c.index : materials[face]));
        }
        EXPECT_EQ(expected, ListTexts(m_list));
        EXPECT_EQ(c.painted.size(), CallsNamed("zvkPolyhPaintFace").size());
        EXPECT_LT(CallPosition("zvkCurrobjEditToolClose"), CallPosition("zvkPolyhPaintFace"));
        EXPECT_EQ(1u, CallsNamed("zvkCurrobjRefresh").size()) << JournalText();
        EXPECT_EQ(c.editorKept, CallsNamed("zvkMaterialSetActive").empty());
        EXPECT_EQ((std::vector<int>{ 0, 1, 3 }), SelectedEntries());
        EXPECT_EQ((std::vector<int>{ 0, 1, 3 }), FacesSelectedInHost(polyhedron));
        EXPECT_EQ(LIST_TITLE, ItemText(IDC_LIST_TITLE));
        EXPECT_NE(std::string::npos, ListTexts(rows).front().find("matID " + std::to_string(c.row == 0 ? 1 : 0)));
        std::vector<MenuItem> items = ChooseOnEntry(0, 0);
        EXPECT_EQ(UndoPaintText((int)c.painted.size()), items.rbegin()[1].text);

        SetFocus(m_list);
        PressCtrlKey('Z', false, false);
        for (int face = 0; face < 8; ++face)
        {
            EXPECT_EQ(materials[face], zvktFaceMaterialIndex(polyhedron, face)) << "undone, face " << face;
            EXPECT_EQ(0u, EntryColour(face)) << "undone, entry " << face;
            EXPECT_EQ(std::to_string(face) + " | " + std::to_string(materials[face]), EntryText(face));
        }
        SendMessageA(panel, WM_CLOSE, 0, 0);
        PumpMessages();
    }
}

// What the list shows, read from the control, after the panel's paints and their undo and redo:
// the entries painted (green before or not) take the paint's colour with a repaint before the
// press returns, and undo gives each the colour it had. The host's face selection comes back only
// as the list's selection gave it: after a load, which gave it nothing, none.
TEST_F(MaterialsPanel, TheListShowsEachPaintOfThePanelAndItsUndoAndRedo)
{
    ZvkHandle polyhedron = LoadPolyhedron("Scene\\Tri", 3, { 1, 1, 0 });
    ZvktMaterial first = {};
    first.colour = { 1, 2, 3, 255 };
    zvktSetEditorMaterial(&first);
    SendMessageA(Item(IDC_COPY_MATERIAL), BM_CLICK, 0, 0);
    PaintEntries({ 1, 1, 0 }, false);
    HWND panel = RequestPanel();
    ASSERT_TRUE(panel != NULL);
    auto replace = [&](int face) {
        std::string prefix = "matID " + std::to_string(zvktFaceMaterialIndex(polyhedron, face)) + "\t";
        std::vector<std::string> rows = ListTexts(Rows(panel));
        int row = (int)(std::find_if(rows.begin(), rows.end(), [&](const std::string& r) { return r.rfind(prefix, 0) == 0; })
                        - rows.begin());
        SendMessageA(Rows(panel), LB_SETCURSEL, row, 0);
        SendMessageA(panel, WM_COMMAND, MAKEWPARAM(IDC_MATERIALS_LIST, LBN_SELCHANGE), (LPARAM)Rows(panel));
        SetEditorToMarker();
        RedrawWindow(m_list, NULL, NULL, RDW_UPDATENOW);
        zvktJournalClear();
        MessageLog paints(m_list, { WM_PAINT });
        SendMessageA(GetDlgItem(panel, IDC_REPLACE), BM_CLICK, 0, 0);
        EXPECT_FALSE(paints.Entries().empty()) << "the list was not repainted before the press returned";
    };
    auto colours = [&]() { return std::vector<COLORREF>{ EntryColour(0), EntryColour(1), EntryColour(2) }; };
    const COLORREF G = CLR_PAINTED;

    replace(0);
    EXPECT_EQ((std::vector<COLORREF>{ G, G, 0 }), colours()) << "Replace over green entries";
    EXPECT_EQ(std::vector<int>{ 0 }, FacesSelectedInHost(polyhedron)) << "the click's selection given back";
    SetFocus(m_list);
    PressCtrlKey('Z', false, false);
    EXPECT_EQ((std::vector<COLORREF>{ G, G, 0 }), colours()) << "undone: green as before the Replace";
    PressCtrlKey('Z', false, false);
    EXPECT_EQ((std::vector<COLORREF>{ 0, G, 0 }), colours()) << "Paint face of entry 0 undone";
    PressCtrlKey('Y', false, false);
    EXPECT_EQ((std::vector<COLORREF>{ G, G, 0 }), colours()) << "redone";

    Press(IDC_LOAD_LIST);
    replace(2);
    EXPECT_EQ((std::vector<COLORREF>{ 0, 0, G }), colours()) << "Replace after a load";
    EXPECT_TRUE(CallsNamed("zvkPolyhSelectFaces").empty()) << "a load gave the host no selection to give back";
    EXPECT_TRUE(FacesSelectedInHost(polyhedron).empty());
    SetFocus(m_list);
    PressCtrlKey('Z', false, false);
    EXPECT_EQ((std::vector<COLORREF>{ 0, 0, 0 }), colours());
    EXPECT_EQ("2 | 0", EntryText(2));
    SendMessageA(panel, WM_CLOSE, 0, 0);
    PumpMessages();
}

// A command whose button is greyed is greyed in the menu and does nothing when it arrives all
// the same: no entry selected, the list out of date, the row of faces without record. An
// "Assign" that would change no face, and one the host makes no material for, paint nothing.
TEST_F(MaterialsPanel, AGreyedOrIdleCommandAsksTheHostOnlyAndAFailedMaterialIsTold)
{
    struct Case
    {
        const char* label;
        std::function<void(ZvkHandle)> prepare;
        int row;
        UINT command;
        bool greyed;
        const char* box;
    };
    const Case cases[] = {
        { "Assign, no entry selected",
          [this](ZvkHandle) {
              SendMessageA(m_list, LB_SETSEL, FALSE, -1);
              SendMessageA(m_window, WM_COMMAND, MAKEWPARAM(IDC_FACE_LIST, LBN_SELCHANGE), (LPARAM)m_list);
          },
          0, IDC_ASSIGN, true, NULL },
        { "Assign, the list out of date", [this](ZvkHandle) { zvktSelect(AddPolyhedron("Scene\\Other", 3)); }, 0, IDC_ASSIGN,
          false, NULL },
        { "Replace, the list out of date", [this](ZvkHandle) { zvktSelect(AddPolyhedron("Scene\\Other", 3)); }, 0, IDC_REPLACE,
          false, NULL },
        { "Replace, the row of faces without record", [](ZvkHandle) {}, 2, IDC_REPLACE, true, NULL },
        { "Assign to faces that have the material", [this](ZvkHandle) { ClickEntry(0); ClickEntry(4, MK_CONTROL); }, 0,
          IDC_ASSIGN, false, NULL },
        { "Assign, no material from the host", [](ZvkHandle) { zvktSetMaterialCreateFault(0, -1); }, 1, IDC_ASSIGN, false,
          NOTHING_PAINTED },
        { "Replace, no material from the host", [](ZvkHandle) { zvktSetMaterialCreateFault(0, -1); }, 1, IDC_REPLACE, false,
          NOTHING_PAINTED },
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        ResetHost();
        ZvkHandle polyhedron = AddPolyhedron("Scene\\Mesh", 5, { 0, 1, 0, 1, 0 }, 2);
        zvktSetNullFaceRecord(polyhedron, 3, 1);
        zvktSelect(polyhedron);
        Press(IDC_LOAD_LIST);
        ClickEntry(1);
        ClickEntry(2, MK_CONTROL);
        HWND panel = RequestPanel();
        ASSERT_TRUE(panel != NULL);
        HWND rows = Rows(panel);
        SendMessageA(rows, LB_SETCURSEL, c.row, 0);
        SendMessageA(panel, WM_COMMAND, MAKEWPARAM(IDC_MATERIALS_LIST, LBN_SELCHANGE), (LPARAM)rows);
        c.prepare(polyhedron);
        if (c.greyed)
        {
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(panel, c.command)));
            PopupMenuCatcher menu(panel, 0);
            SendMessageA(rows, WM_KEYDOWN, VK_APPS, 1);
            SendMessageA(rows, WM_KEYUP, VK_APPS, 0xC0000001);
            PumpMessages();
            EXPECT_NE(nullptr, menu.Find(c.command));
            EXPECT_TRUE(menu.Find(c.command) == nullptr || menu.Find(c.command)->greyed);
        }
        MessageBoxCatcher boxes;
        zvktJournalClear();
        SendMessageA(panel, WM_COMMAND, c.command, 0);
        PumpMessages();
        zvktSetMaterialCreateFault(0, 0);
        EXPECT_TRUE(CallsNamed("zvkPolyhPaintFace").empty()) << JournalText();
        EXPECT_EQ(c.box != NULL, !OnlyQuestionsAsked()) << JournalText();
        if (c.box != NULL)
            ExpectOneInformationBox(boxes, c.box);
        else
            EXPECT_TRUE(boxes.Boxes().empty());
        SendMessageA(panel, WM_CLOSE, 0, 0);
        PumpMessages();
    }
}

// Esc closes the panel in its rows and the tool window in its face list, whether or not the
// host's loop runs IsDialogMessage for the window.
TEST_F(MaterialsPanel, EscClosesThePanelAndTheToolWindowWithOrWithoutIsDialogMessage)
{
    for (bool inPanel : { true, false })
        for (bool dialogLoop : { true, false })
        {
            SCOPED_TRACE(std::string(inPanel ? "the panel's rows" : "the face list")
                         + (dialogLoop ? ", IsDialogMessage" : ", no IsDialogMessage"));
            if (m_window == NULL || !IsWindow(m_window))
                OpenToolWindow();
            LoadPolyhedron("Scene\\Box", 4, { 1, 1, 0, 2 });
            HWND panel = RequestPanel();
            ASSERT_TRUE(panel != NULL);
            HWND target = inPanel ? Rows(panel) : m_list;
            HWND window = inPanel ? panel : m_window;
            SetFocus(target);
            MSG down = { target, WM_KEYDOWN, VK_ESCAPE, 1, GetTickCount(), { 0, 0 } };
            if (!dialogLoop || !IsDialogMessageA(window, &down))
            {
                TranslateMessage(&down);
                DispatchMessageA(&down);
            }
            PumpMessages();
            EXPECT_EQ(NULL, FindMaterialsPanel());
            EXPECT_EQ(!inPanel, FindToolWindow() == NULL);
            if (FindToolWindow() == NULL)
                m_window = NULL;
        }
    OpenToolWindow();
}

// Where it was last shown, unless that lies off every monitor: then where the tool window opens
// without a stored position.
TEST_F(MaterialsPanel, ClosesWithTheToolWindowAndReopensWhereItWasLastShownDuringTheRun)
{
    struct Case { const char* label; POINT at, reopensAt; bool toolWindowClosed; };
    const Case cases[] = {
        { "the panel closed", { 300, 200 }, { 300, 200 }, false },
        { "the tool window closed", { 340, 220 }, { 340, 220 }, true },
        { "closed off every monitor", { -5000, -5000 }, { 100, 100 }, false },
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        LoadPolyhedron("Scene\\Box", 4);
        HWND panel = RequestPanel();
        ASSERT_TRUE(panel != NULL);
        SetWindowPos(panel, NULL, c.at.x, c.at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        if (!c.toolWindowClosed)
            SendMessageA(panel, WM_CLOSE, 0, 0);
        else
        {
            SendMessageA(m_window, WM_CLOSE, 0, 0);
            PumpMessages();
            EXPECT_FALSE(IsWindow(panel));
            OpenToolWindow();
            LoadPolyhedron("Scene\\Box", 4);
        }
        PumpMessages();
        panel = RequestPanel();
        RECT frame;
        GetWindowRect(panel, &frame);
        EXPECT_EQ(c.reopensAt.x, frame.left);
        EXPECT_EQ(c.reopensAt.y, frame.top);
    }
}

// A second copy of the plug-in, loaded and freed under another name, takes its windows with it.
TEST_F(MaterialsPanel, UnloadingThePlugInClosesItsWindows)
{
    SendMessageA(m_window, WM_CLOSE, 0, 0);
    PumpMessages();
    std::string copy = TempDirectory("unload") + "\\zVkQuarvelindCopy.zvk";
    ASSERT_TRUE(CopyFileA("zVkQuarvelind.zvk", copy.c_str(), FALSE));
    PluginModule plugin;
    ASSERT_TRUE(plugin.Load(copy)) << plugin.error;
    zvktSelect(AddPolyhedron("Scene\\Box", 4));
    plugin.onLeftClick();
    HWND tool = FindToolWindow();
    SendMessageA(GetDlgItem(tool, IDC_LOAD_LIST), BM_CLICK, 0, 0);
    SendMessageA(tool, WM_COMMAND, ID_MATERIALS, 0);
    HWND panel = FindMaterialsPanel();
    ASSERT_TRUE(panel != NULL);

    // A window left behind by the unloaded copy would next be called in code that is gone.
    snprintf(g_faultWhere, sizeof g_faultWhere, "after the plug-in was unloaded: a window of it outlived it");
    PVOID handler = EndProgramOnFault();
    FreeLibrary(plugin.module);
    PumpMessages();
    EXPECT_FALSE(IsWindow(panel));
    EXPECT_FALSE(IsWindow(tool));
    RemoveVectoredExceptionHandler(handler);
    DeleteFileA(copy.c_str());
    RemoveDirectoryA(TempDirectory("unload").c_str());
}

// Undo and redo of paints (the random walk covers them at length)

// After a paint of one face: the items are greyed and the keys do nothing, not even a message,
// unless the step's polyhedron (its full name and face count) is the one selected; an out-of-date
// list greys nothing. The keys work in the list with or without IsDialogMessage, nowhere else.
TEST_F(ContextMenu, UndoAndRedoFollowThePolyhedronSelectedByMenuAndKeys)
{
    struct Case
    {
        const char* label;
        std::function<void(ZvkHandle)> select;
        bool enabled;
    };
    const Case cases[] = {
        { "the painted polyhedron", [](ZvkHandle) {}, true },
        { "it, the list out of date",
          [this](ZvkHandle p) { zvktSelect(AddPolyhedron("Scene\\Other", 3)); Press(IDC_LOAD_LIST); zvktSelect(p); }, true },
        { "another name", [this](ZvkHandle) { zvktSelect(AddPolyhedron("Scene\\Other", 8)); }, false },
        { "the same name, fewer faces", [this](ZvkHandle) { zvktSelect(AddPolyhedron("Scene\\Keys", 7)); }, false },
    };
    const struct { UINT vk; bool shift; int index; } keys[] = { { 'Z', false, 2 }, { 'Y', false, 4 },
                                                                { 'Z', false, 2 }, { 'Z', true, 4 } };
    for (const Case& c : cases)
        for (bool dialogLoop : { true, false })
        {
            SCOPED_TRACE(std::string(c.label) + (dialogLoop ? ", IsDialogMessage" : ", no IsDialogMessage"));
            ResetHost();
            ZvkHandle polyhedron = LoadPolyhedron("Scene\\Keys", 8, { 0, 1, 2, 1, 0, 3, 2, 1 });
            if (CheckState(IDC_PAINT_INVISIBLE) != BST_CHECKED)
                Press(IDC_PAINT_INVISIBLE);
            ClickEntry(2);
            Press(IDC_PAINT_FACE);
            c.select(polyhedron);
            std::vector<MenuItem> items = ChooseOnEntry(0, 0);
            ASSERT_GE(items.size(), 2u);
            EXPECT_EQ((MenuItem{ ID_UNDO_PAINT, UndoPaintText(1), !c.enabled }), items.rbegin()[1]);
            EXPECT_EQ((MenuItem{ ID_REDO_PAINT, RedoPaintText(-1), true }), items.back());

            MessageBoxCatcher boxes;
            SetFocus(Item(IDC_PAINT_ALL));
            PressCtrlKey('Z', false, dialogLoop);
            EXPECT_EQ(4, zvktFaceMaterialIndex(polyhedron, 2)) << "Ctrl+Z outside the list";
            SetFocus(m_list);
            zvktJournalClear();
            for (const auto& key : keys)
            {
                PressCtrlKey(key.vk, key.shift, dialogLoop);
                EXPECT_EQ(c.enabled ? key.index : 4, zvktFaceMaterialIndex(polyhedron, 2)) << (char)key.vk << key.shift;
            }
            EXPECT_TRUE(c.enabled || OnlyQuestionsAsked()) << JournalText();
            EXPECT_TRUE(boxes.Boxes().empty());
        }
}

/////////////////////////////////////////////////////////////////////////////
// Follow Modelvane

class FollowModelvane : public ContextMenu
{
protected:
    std::string SettingsFolder() const { return m_hostDir + "\\zv\\zvk\\zVkQuarvelind"; }
    std::string FollowFile() const { return SettingsFolder() + "\\zVkQuarvelindFollow.ini"; }
    void TearDown() override
    {
        DeleteFileA(FollowFile().c_str());
        DeleteFileA((SettingsFolder() + "\\zVkQuarvelind.ini").c_str());
        for (std::string folder : { SettingsFolder(), m_hostDir + "\\zv\\zvk", m_hostDir + "\\zv" })
            RemoveDirectoryA(folder.c_str());
        ContextMenu::TearDown();
    }
    // The item as the menu shows it: checked while following.
    bool ItemChecked()
    {
        PopupMenuCatcher menu(m_window);
        RightClickAt(POINT{ 5, 5 });
        const MenuItem* item = menu.Find(ID_FOLLOW_HOST);
        EXPECT_TRUE(item != NULL && !item->greyed && item->text == FOLLOW_ITEM);
        return item != NULL && item->checked;
    }
    void ReopenWindow()
    {
        SendMessageA(m_window, WM_CLOSE, 0, 0);
        PumpMessages();
        OpenToolWindow();
    }
    void Tick() { SendMessageA(m_window, WM_TIMER, ZVK_FOLLOW_TIMER, 0); }
    void ChooseFollow()
    {
        PopupMenuCatcher menu(m_window, ID_FOLLOW_HOST);
        RightClickAt(POINT{ 5, 5 });
    }
};

// Off by default, and whenever its file is missing or unreadable; the menu item and Ctrl+F (with
// or without IsDialogMessage) switch it, and the file keeps the choice for the next window when its
// folder is there. A file that cannot be written never stops the window.
TEST_F(FollowModelvane, IsOffByDefaultSwitchedByItsItemOrCtrlFAndKeptInItsFile)
{
    struct Case { const char* label; bool folder; const char* file; bool startsOn; bool kept; };
    const Case cases[] = {
        { "no settings folder", false, NULL, false, false },
        { "no file", true, NULL, false, true },
        { "a file saying on", true, "1\n", true, true },
        { "a file of words", true, "on\n", false, true },
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        if (c.folder)
            for (std::string folder : { m_hostDir + "\\zv", m_hostDir + "\\zv\\zvk", SettingsFolder() })
                CreateDirectoryA(folder.c_str(), NULL);
        DeleteFileA(FollowFile().c_str());
        if (c.file != NULL)
            std::ofstream(FollowFile()) << c.file;
        ReopenWindow();
        EXPECT_EQ(c.startsOn, ItemChecked());
        SetFocus(m_list);
        PressCtrlKey('F', false, true);
        EXPECT_EQ(!c.startsOn, ItemChecked()) << "Ctrl+F through IsDialogMessage";
        ChooseFollow();
        SetFocus(m_list);
        PressCtrlKey('F', false, false);
        EXPECT_EQ(!c.startsOn, ItemChecked()) << "the item, then Ctrl+F without IsDialogMessage";
        ReopenWindow();
        EXPECT_EQ(c.kept ? !c.startsOn : false, ItemChecked()) << "the next window";
        if (!c.folder)
            continue;
        DeleteFileA(FollowFile().c_str());
        DeleteFileA((SettingsFolder() + "\\zVkQuarvelind.ini").c_str());
        for (std::string folder : { SettingsFolder(), m_hostDir + "\\zv\\zvk", m_hostDir + "\\zv" })
            RemoveDirectoryA(folder.c_str());
    }
}

// A tick looks only while following is on and the window shown, with Modelvane showing no modal
// window, and it only reads the host. Another polyhedron (or another face count) is loaded as the
// button loads it, with no box (over the face limit: emptied once, the refusal in the title);
// otherwise each entry whose face reads another index shows it and keeps its colour, and the
// list's selection stays. Nothing selected, or no polyhedron: the list stays.
TEST_F(FollowModelvane, ATickLoadsAnotherPolyhedronOrShowsReNumberedEntriesOnlyReadingTheHost)
{
    enum Outcome { STAYS, RENUMBERED, LOADED, REFUSED };
    struct Case { const char* label; std::function<void(ZvkHandle)> change; Outcome outcome; bool asks; };
    HWND modal = CreateWindowExA(0, "STATIC", "Modelvane", WS_POPUP | WS_DISABLED, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    const Case cases[] = {
        { "the host repaints faces 2 and 3", [](ZvkHandle box) { PaintInHost(box, 2, 3); PaintInHost(box, 3, 3); }, RENUMBERED, true },
        { "another polyhedron selected", [this](ZvkHandle) { zvktSelect(AddPolyhedron("Scene\\Other", 3)); }, LOADED, true },
        { "the same with another face count", [](ZvkHandle box) { zvktSetReportedFaceCount(box, 3); }, LOADED, true },
        { "one over the face limit", [this](ZvkHandle) { zvktSelect(AddPolyhedron("Scene\\Big", 65535)); }, REFUSED, true },
        { "nothing selected", [](ZvkHandle) { zvktSelect(NULL); }, STAYS, true },
        { "following off", [this](ZvkHandle box) { PaintInHost(box, 2, 3); ChooseFollow(); }, STAYS, false },
        { "the window minimised", [this](ZvkHandle box) { PaintInHost(box, 2, 3); ShowWindow(m_window, SW_MINIMIZE); }, STAYS, false },
        { "Modelvane's main window disabled", [&](ZvkHandle box) { PaintInHost(box, 2, 3); zvktSetMainViewHwnd(modal); }, STAYS, false },
    };
    MessageBoxCatcher boxes;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        EmptyListAndHost();
        ZvkHandle box = LoadPolyhedron("Scene\\Box", 4, { 1, 1, 0, 2 });
        PaintEntries({ 1 }, false);
        ClickEntry(0);
        ClickEntry(2, MK_CONTROL);
        if (!ItemChecked())
            ChooseFollow();
        const std::vector<std::string> before = ListTexts(m_list);
        const int boxesBefore = (int)boxes.Boxes().size();
        c.change(box);
        zvktJournalClear();
        RedrawWindow(m_list, NULL, NULL, RDW_UPDATENOW);
        MessageLog paints(m_list, { WM_PAINT });
        Tick();
        // The changed entries in view are repainted before the tick returns, and only then.
        if (c.outcome == RENUMBERED || c.outcome == STAYS)
            EXPECT_EQ(c.outcome == RENUMBERED, !paints.Entries().empty());
        const std::vector<std::string> after = ListTexts(m_list);
        EXPECT_TRUE(OnlyQuestionsAsked()) << JournalText();
        EXPECT_EQ(c.asks, !CallsNamed("zvkGetCurrentSelection").empty());
        EXPECT_EQ(boxesBefore, (int)boxes.Boxes().size()) << "no message box";
        EXPECT_NE(WAIT_TITLE, ItemText(IDC_LIST_TITLE));
        switch (c.outcome)
        {
        case STAYS:
            EXPECT_EQ(before, after);
            EXPECT_EQ((std::vector<int>{ 0, 2 }), SelectedEntries());
            EXPECT_EQ(CLR_PAINTED, EntryColour(1));
            break;
        case RENUMBERED:
            EXPECT_EQ((std::vector<std::string>{ before[0], before[1], "2 | 3", "3 | 3" }), after);
            EXPECT_EQ((std::vector<int>{ 0, 2 }), SelectedEntries());
            EXPECT_EQ(CLR_PAINTED, EntryColour(1)) << "an entry keeps its colour";
            break;
        case LOADED:
            EXPECT_EQ(3u, after.size());
            EXPECT_EQ(std::vector<int>{ 0 }, SelectedEntries());
            EXPECT_TRUE(EntriesColoured(CLR_PAINTED).empty());
            EXPECT_EQ(LIST_TITLE, ItemText(IDC_LIST_TITLE));
            break;
        case REFUSED:
            EXPECT_TRUE(after.empty());
            EXPECT_EQ(REFUSED_TITLE, ItemText(IDC_LIST_TITLE));
            zvktJournalClear();
            Tick();
            EXPECT_EQ(REFUSED_TITLE, ItemText(IDC_LIST_TITLE)) << "refused once, not at every tick";
            EXPECT_TRUE(OnlyQuestionsAsked()) << JournalText();
            break;
        }
        ShowWindow(m_window, SW_RESTORE);
        zvktSetMainViewHwnd(NULL);
    }
    DestroyWindow(modal);
}
