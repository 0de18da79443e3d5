// Selecting entries of the face list with mouse and keys: faces selected in the host, paint
// buttons switched, the current face's material sent to the Material Editor.
#include "support/PluginFixture.h"

#include <cstdint>

// Every text the list title is given, recorded by a subclass of the title control.
class TitleRecorder
{
public:
    explicit TitleRecorder(HWND title)
        : m_title(title)
    {
        s_texts.clear();
        s_previous = (WNDPROC)SetWindowLongPtrA(title, GWLP_WNDPROC, (LONG_PTR)Record);
    }
    ~TitleRecorder() { SetWindowLongPtrA(m_title, GWLP_WNDPROC, (LONG_PTR)s_previous); }
    const std::vector<std::string>& Texts() const { return s_texts; }

private:
    static LRESULT CALLBACK Record(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_SETTEXT)
            s_texts.push_back((const char*)lParam);
        return CallWindowProcA(s_previous, window, message, wParam, lParam);
    }
    HWND m_title;
    static WNDPROC s_previous;
    static std::vector<std::string> s_texts;
};

WNDPROC TitleRecorder::s_previous = NULL;
std::vector<std::string> TitleRecorder::s_texts;

static bool SameColour(const ZvkColor& a, const ZvkColor& b)
{
    return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}

static ZvkColor EditorColour()
{
    ZvktMaterial material;
    zvktGetEditorMaterial(&material);
    return material.colour;
}

static ZvkColor SlotColour(ZvkHandle polyhedron, int slot)
{
    ZvktMaterial material;
    zvktGetSlot(polyhedron, slot, &material);
    return material.colour;
}

// An editor material that no slot of a test polyhedron has.
static void SetEditorToMarker()
{
    ZvktMaterial marker = {};
    marker.colour = { 1, 2, 3, 255 };
    marker.shaderBox = ZVKT_SHADERBOX_VALID;
    zvktSetEditorMaterial(&marker);
}

static size_t PositionOf(const char* function)
{
    std::vector<std::string> names = CallNames();
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i] == function)
            return i;
    return names.size();
}

// Each faces-selected call must carry face-count copies of one face index.
static std::vector<unsigned int> FacesSelected(int faceCount)
{
    std::vector<unsigned int> faces;
    for (const ZvktCall* call : CallsNamed("zvkPolyhSelectFaces"))
    {
        EXPECT_EQ(faceCount, (int)call->args[1]);
        EXPECT_EQ(faceCount, call->indexCount);
        if (call->indexCount <= 0)
            continue;
        for (int i = 1; i < call->indexCount; ++i)
            EXPECT_EQ(call->indices[0], call->indices[i]) << "array element " << i;
        faces.push_back(call->indices[0]);
    }
    return faces;
}

class Selection : public ToolWindowTest
{
protected:
    // A fresh host for the next case of a table; the window stays open.
    void ResetHost()
    {
        zvktReset();
        zvktSetZVDir(m_hostDir.c_str());
    }

    void TearDown() override
    {
        ExpectHostResourcesReleased();
        ToolWindowTest::TearDown();
    }

    void ExpectButtons(bool paintFace, bool paintSelection)
    {
        EXPECT_EQ(paintFace, IsEnabled(IDC_PAINT_FACE));
        EXPECT_EQ(paintSelection, IsEnabled(IDC_PAINT_SELECTION));
    }
};

TEST_F(Selection, ClickSelectsTheFaceAndReadsItsMaterialAfresh)
{
    std::vector<unsigned short> materials(30, 0);
    materials[27] = 4;
    ZvkHandle box = LoadPolyhedron("Scene\\Box", 30, materials, 6);
    ASSERT_EQ("27 | 4", EntryText(27));

    // Face 27 gets slot 1 in the host after the list was built; the entry still shows 4.
    ZvkHandle material = NULL;
    zvkMaterialCreate(&material);
    zvkPolyhGetMaterial(box, 1, material);
    zvkPolyhPaintFace(box, 27, material, 1);
    zvkMaterialDestroy(material);
    zvkFree(material);
    zvktJournalClear();

    ClickEntry(27);

    EXPECT_EQ(std::vector<unsigned int>{ 27 }, FacesSelected(30));
    EXPECT_TRUE(zvktIsFaceSelected(box, 27));
    ExpectButtons(true, false);
    std::vector<const ZvktCall*> picked = CallsNamed("zvkPolyhGetMaterial");
    ASSERT_EQ(1u, picked.size());
    EXPECT_EQ(1u, picked[0]->args[1]);
    EXPECT_TRUE(SameColour(SlotColour(box, 1), EditorColour()));
    EXPECT_EQ("27 | 4", ItemText(IDC_ITEM_TEXT));
}

TEST_F(Selection, ArrowKeysMoveTheSelectedFace)
{
    ZvkHandle box = LoadPolyhedron("Scene\\Box", 5, { 0, 1, 2, 3, 0 });
    ClickEntry(1);

    PressKey(VK_DOWN);
    EXPECT_EQ(std::vector<int>{ 2 }, SelectedEntries());
    EXPECT_TRUE(zvktIsFaceSelected(box, 2));
    EXPECT_EQ(1, zvktSelectedFaceCount(box)) << "the previous face stays selected";
    EXPECT_TRUE(SameColour(SlotColour(box, 2), EditorColour()));
    ExpectButtons(true, false);
}

TEST_F(Selection, WithoutPolyhedronInTheHostOnlyTheListChanges)
{
    struct Case { const char* label; bool otherObject; };
    for (Case c : { Case{ "nothing selected", false }, Case{ "a light selected", true } })
    {
        SCOPED_TRACE(c.label);
        ResetHost();
        ZvkHandle box = LoadPolyhedron("Scene\\Box", 6);
        ClickEntry(2);
        ASSERT_TRUE(IsEnabled(IDC_PAINT_FACE));
        zvktSelect(c.otherObject ? zvktAddObject("Scene\\Light", 5) : NULL);
        SetEditorToMarker();
        zvktJournalClear();

        ClickEntry(4, MK_CONTROL);

        EXPECT_EQ((std::vector<int>{ 2, 4 }), SelectedEntries());
        for (const std::string& name : CallNames())
            EXPECT_TRUE(name == "zvkGetCurrentSelection" || name == "zvkSobjGetType") << name;
        ExpectButtons(true, false);
        EXPECT_TRUE(SameColour(ZvkColor{ 1, 2, 3, 255 }, EditorColour()));
        EXPECT_EQ(1, zvktSelectedFaceCount(box)) << "the host's face selection is left alone";
    }
}

TEST_F(Selection, AnotherNameRebuildsTheListFirst)
{
    LoadPolyhedron("Scene\\Box", 10);
    ZvkHandle wheel = AddPolyhedron("Scene\\Wheel", 4, { 3, 1, 1, 1 });
    zvktSelect(wheel);
    zvktJournalClear();

    ClickEntry(7);

    EXPECT_EQ(4, EntryCount());
    EXPECT_EQ("Scene\\Wheel", ItemText(IDC_OBJECT_NAME));
    EXPECT_EQ(std::vector<int>{ 0 }, SelectedEntries());
    EXPECT_LT(PositionOf("zvkPolyhInitializeMaterials"), PositionOf("zvkPolyhSelectFaces"));
    EXPECT_EQ(std::vector<unsigned int>{ 0 }, FacesSelected(4));
    // The load disables both buttons; set afterwards, they fit the new list.
    ExpectButtons(true, false);
    EXPECT_TRUE(SameColour(SlotColour(wheel, 3), EditorColour()));
}

TEST_F(Selection, AnEqualNameKeepsTheList)
{
    LoadPolyhedron("Scene\\Box", 10);
    ZvkHandle twin = AddPolyhedron("Scene\\Box", 12);
    zvktSelect(twin);
    zvktJournalClear();

    ClickEntry(7);

    EXPECT_EQ(10, EntryCount());
    EXPECT_TRUE(CallsNamed("zvkPolyhInitializeMaterials").empty());
    ASSERT_EQ(1u, CallsNamed("zvkPolyhSelectFaces").size());
    EXPECT_EQ((unsigned int)(uintptr_t)twin, CallsNamed("zvkPolyhSelectFaces")[0]->args[0]);
    EXPECT_EQ(std::vector<unsigned int>{ 7 }, FacesSelected(12));
}

TEST_F(Selection, CtrlClickingTheOnlySelectedEntryAwayStillPicksItsMaterial)
{
    ZvkHandle box = LoadPolyhedron("Scene\\Box", 6, { 0, 0, 2, 0, 0, 0 });
    ClickEntry(2);
    SetEditorToMarker();
    zvktJournalClear();

    ClickEntry(2, MK_CONTROL);

    EXPECT_TRUE(SelectedEntries().empty());
    ExpectButtons(false, false);
    EXPECT_TRUE(CallsNamed("zvkPolyhSelectFaces").empty());
    EXPECT_EQ(0, zvktSelectedFaceCount(box));
    EXPECT_TRUE(SameColour(SlotColour(box, 2), EditorColour()));
}

TEST_F(Selection, SeveralEntriesSelectTheirFacesOneCallEach)
{
    ZvkHandle box = LoadPolyhedron("Scene\\Box", 10);
    ClickEntry(2);
    TitleRecorder title(Item(IDC_LIST_TITLE));
    zvktJournalClear();

    ClickEntry(6, MK_CONTROL);

    EXPECT_EQ((std::vector<unsigned int>{ 2, 6 }), FacesSelected(10));
    EXPECT_EQ(2, zvktSelectedFaceCount(box));
    ExpectButtons(false, true);
    EXPECT_EQ((std::vector<std::string>{ "Please wait...", "Faces | matIDs list" }), title.Texts());
    EXPECT_EQ("Faces | matIDs list", ItemText(IDC_LIST_TITLE));
    EXPECT_EQ(1u, CallsNamed("zvkCalloc").size()) << "one array serves every entry";

    zvktJournalClear();
    ClickEntry(8, MK_SHIFT);
    EXPECT_EQ((std::vector<unsigned int>{ 6, 7, 8 }), FacesSelected(10));
    ExpectButtons(false, true);
}

TEST_F(Selection, EveryEntrySelectedSelectsNoFace)
{
    ZvkHandle box = LoadPolyhedron("Scene\\Box", 10);
    ClickEntry(0);
    TitleRecorder title(Item(IDC_LIST_TITLE));
    zvktJournalClear();

    ClickEntry(9, MK_SHIFT);

    EXPECT_EQ(10u, SelectedEntries().size());
    ExpectButtons(false, false);
    EXPECT_TRUE(CallsNamed("zvkPolyhSelectFaces").empty());
    EXPECT_EQ(0, zvktSelectedFaceCount(box));
    EXPECT_EQ("Faces | matIDs list", title.Texts().back());
    EXPECT_EQ(1u, CallsNamed("zvkMaterialSetActive").size()) << "the current entry's material is still sent";
}

TEST_F(Selection, AModeBoxOnKeepsTheActiveMaterial)
{
    for (int modeBox : { IDC_COPY_MATERIAL, IDC_PAINT_RANDOM, IDC_PAINT_INVISIBLE })
    {
        SCOPED_TRACE(modeBox);
        ResetHost();
        ZvkHandle box = LoadPolyhedron("Scene\\Box", 6, { 0, 1, 2, 3, 0, 1 });
        Press(modeBox);
        ASSERT_EQ(BST_CHECKED, CheckState(modeBox));
        ZvkColor before = EditorColour();
        zvktJournalClear();

        ClickEntry(3);

        EXPECT_TRUE(zvktIsFaceSelected(box, 3));
        EXPECT_TRUE(SameColour(before, EditorColour()));
        EXPECT_TRUE(CallsNamed("zvkMaterialCreate").empty());
        EXPECT_EQ(BST_CHECKED, CheckState(modeBox));
        Press(modeBox);
    }
}

TEST_F(Selection, EntriesBeyondASameNamePolyhedronsFacesAreSkipped)
{
    LoadPolyhedron("Scene\\Box", 10);
    // Its face data end right before an inaccessible page: a read past them faults.
    ZvkHandle smaller = AddPolyhedron("Scene\\Box", 3, { 1, 2, 3 });
    zvktSelect(smaller);
    SetEditorToMarker();
    zvktJournalClear();

    ClickEntry(7);
    EXPECT_EQ(std::vector<int>{ 7 }, SelectedEntries());
    EXPECT_TRUE(CallsNamed("zvkPolyhSelectFaces").empty());
    EXPECT_TRUE(CallsNamed("zvkPolyhGetMaterial").empty());
    EXPECT_TRUE(CallsNamed("zvkMaterialSetActive").empty());
    EXPECT_TRUE(SameColour(ZvkColor{ 1, 2, 3, 255 }, EditorColour()));
    ExpectButtons(true, false);

    ClickEntry(1, MK_CONTROL);
    ClickEntry(9, MK_CONTROL);
    zvktJournalClear();
    ClickEntry(2, MK_CONTROL);
    EXPECT_EQ((std::vector<unsigned int>{ 1, 2 }), FacesSelected(3));
    EXPECT_TRUE(SameColour(SlotColour(smaller, 3), EditorColour()));
}

TEST_F(Selection, EntryTextsAreReadAsLeadingNumbers)
{
    struct Case { const char* text; int face; };
    const Case cases[] = {
        { " 4 | 0", 4 },           // leading blank skipped, as atoi does
        { "+3 | 9", 3 },
        { "5abc", 5 },
        { "-1 | 2", -1 },          // no face: nothing selected, nothing read before the array
        { "4294967299 | 0", -1 },  // out of range: no face, never face 3
        { "| 2", 0 },              // no number reads as 0, which is a face
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.text);
        ResetHost();
        ZvkHandle box = LoadPolyhedron("Scene\\Box", 6, { 0, 1, 2, 3, 0, 1 });
        SendMessageA(m_list, LB_INSERTSTRING, 0, (LPARAM)c.text);
        SetEditorToMarker();
        zvktJournalClear();

        ClickEntry(0);

        if (c.face < 0)
        {
            EXPECT_TRUE(CallsNamed("zvkPolyhSelectFaces").empty());
            EXPECT_TRUE(CallsNamed("zvkPolyhGetMaterial").empty());
            EXPECT_TRUE(SameColour(ZvkColor{ 1, 2, 3, 255 }, EditorColour()));
        }
        else
        {
            EXPECT_EQ(std::vector<unsigned int>{ (unsigned int)c.face }, FacesSelected(6));
            EXPECT_TRUE(SameColour(SlotColour(box, zvktFaceMaterialIndex(box, c.face)), EditorColour()));
        }
        EXPECT_EQ(c.text, ItemText(IDC_ITEM_TEXT));
    }
}

TEST_F(Selection, ARefusedRebuildLeavesNothingToPick)
{
    LoadPolyhedron("Scene\\Box", 10);
    ClickEntry(3);
    ZvkHandle huge = AddPolyhedron("Scene\\Huge", 65535);
    zvktSelect(huge);
    SetEditorToMarker();
    zvktJournalClear();

    MessageBoxCatcher boxes;
    ClickEntry(5);

    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ(0, EntryCount());
    ExpectButtons(false, false);
    EXPECT_TRUE(CallsNamed("zvkPolyhSelectFaces").empty());
    EXPECT_EQ(1u, CallsNamed("zvkMaterialCreate").size()) << "only the load's own material";
    EXPECT_TRUE(SameColour(ZvkColor{ 1, 2, 3, 255 }, EditorColour()));
}
