// Selecting entries of the face list with mouse and keys: faces selected in the host, paint
// buttons switched, the current face's material sent to the Material Editor.
#include "support/PluginFixture.h"

#include <cstdint>

#include "host/HostFaceSelection.h"

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
    void TearDown() override
    {
        ExpectHostResourcesReleased();
        ToolWindowTest::TearDown();
    }

    void ExpectEditorColour(const ZvkColor& colour) { EXPECT_EQ(ColourText(colour), ColourText(EditorColour())); }
    // No face selected in the host, no slot read, the marker still in the editor.
    void ExpectNothingPicked()
    {
        EXPECT_TRUE(CallsNamed("zvkPolyhSelectFaces").empty());
        EXPECT_TRUE(CallsNamed("zvkPolyhGetMaterial").empty());
        ExpectEditorColour(MARKER_COLOUR);
    }
};

TEST_F(Selection, AClickOrAnArrowKeySelectsTheFaceAndReadsItsMaterialAfresh)
{
    std::vector<unsigned short> materials(30, 0);
    materials[27] = 4;
    materials[28] = 2;
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
    ExpectPaintButtons(true, false);
    std::vector<const ZvktCall*> picked = CallsNamed("zvkPolyhGetMaterial");
    ASSERT_EQ(1u, picked.size());
    EXPECT_EQ(1u, picked[0]->args[1]);
    ExpectEditorColour(SlotColour(box, 1));
    EXPECT_EQ("27 | 4", ItemText(IDC_ITEM_TEXT));

    PressKey(VK_DOWN);
    EXPECT_EQ(std::vector<int>{ 28 }, SelectedEntries());
    EXPECT_TRUE(zvktIsFaceSelected(box, 28));
    EXPECT_EQ(1, zvktSelectedFaceCount(box)) << "the previous face stays selected";
    ExpectEditorColour(SlotColour(box, 2));
    ExpectPaintButtons(true, false);
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
        ExpectPaintButtons(true, false);
        ExpectEditorColour(MARKER_COLOUR);
        EXPECT_EQ(1, zvktSelectedFaceCount(box)) << "the host's face selection is left alone";
    }
}

// The list names its polyhedron; a click with another one selected in the host rebuilds the list
// only if the name differs.
TEST_F(Selection, AClickRebuildsTheListOnlyForAnotherName)
{
    struct Case
    {
        const char* label;
        const char* name;
        int faces;
        bool rebuilt;
        int entries;
        unsigned int face;   // the one selected in the host
    };
    const Case cases[] = {
        { "another name", "Scene\\Wheel", 4, true, 4, 0 },
        { "an equal name", "Scene\\Box", 12, false, 10, 7 },
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        ResetHost();
        LoadPolyhedron("Scene\\Box", 10);
        ZvkHandle other = AddPolyhedron(c.name, c.faces, { 3, 1, 1, 1, 1, 1, 1, 2, 1, 1, 1, 1 });
        zvktSelect(other);
        zvktJournalClear();

        ClickEntry(7);

        EXPECT_EQ(c.entries, EntryCount());
        EXPECT_EQ(c.name, ItemText(IDC_OBJECT_NAME));
        EXPECT_EQ(std::vector<int>{ (int)c.face }, SelectedEntries());
        if (c.rebuilt)
            EXPECT_LT(CallPosition("zvkPolyhInitializeMaterials"), CallPosition("zvkPolyhSelectFaces"));
        else
            EXPECT_TRUE(CallsNamed("zvkPolyhInitializeMaterials").empty());
        ASSERT_EQ(1u, CallsNamed("zvkPolyhSelectFaces").size());
        EXPECT_EQ((unsigned int)(uintptr_t)other, CallsNamed("zvkPolyhSelectFaces")[0]->args[0]);
        EXPECT_EQ(std::vector<unsigned int>{ c.face }, FacesSelected(c.faces));
        // A rebuild disables both buttons; set afterwards, they fit the new list.
        ExpectPaintButtons(true, false);
        ExpectEditorColour(FaceColour(other, c.face));
    }
}

TEST_F(Selection, CtrlClickingTheOnlySelectedEntryAwayStillPicksItsMaterial)
{
    ZvkHandle box = LoadPolyhedron("Scene\\Box", 6, { 0, 0, 2, 0, 0, 0 });
    ClickEntry(2);
    SetEditorToMarker();
    zvktJournalClear();

    ClickEntry(2, MK_CONTROL);

    EXPECT_TRUE(SelectedEntries().empty());
    ExpectPaintButtons(false, false);
    EXPECT_TRUE(CallsNamed("zvkPolyhSelectFaces").empty());
    EXPECT_EQ(0, zvktSelectedFaceCount(box));
    ExpectEditorColour(SlotColour(box, 2));
}

TEST_F(Selection, SeveralEntriesSelectTheirFacesOneCallEach)
{
    ZvkHandle box = LoadPolyhedron("Scene\\Box", 10);
    ClickEntry(2);
    MessageLog title(Item(IDC_LIST_TITLE), { WM_SETTEXT });
    zvktJournalClear();

    ClickEntry(6, MK_CONTROL);

    EXPECT_EQ((std::vector<unsigned int>{ 2, 6 }), FacesSelected(10));
    EXPECT_EQ(2, zvktSelectedFaceCount(box));
    ExpectPaintButtons(false, true);
    EXPECT_EQ((std::vector<std::string>{ WAIT_TITLE, LIST_TITLE }), title.Texts());
    EXPECT_EQ(LIST_TITLE, ItemText(IDC_LIST_TITLE));
    EXPECT_EQ(1u, CallsNamed("zvkCalloc").size()) << "one array serves every entry";

    zvktJournalClear();
    ClickEntry(8, MK_SHIFT);
    EXPECT_EQ((std::vector<unsigned int>{ 6, 7, 8 }), FacesSelected(10));
    ExpectPaintButtons(false, true);
}

TEST_F(Selection, EveryEntrySelectedSelectsNoFace)
{
    ZvkHandle box = LoadPolyhedron("Scene\\Box", 10);
    ClickEntry(0);
    MessageLog title(Item(IDC_LIST_TITLE), { WM_SETTEXT });
    zvktJournalClear();

    ClickEntry(9, MK_SHIFT);

    EXPECT_EQ(10u, SelectedEntries().size());
    ExpectPaintButtons(false, false);
    EXPECT_TRUE(CallsNamed("zvkPolyhSelectFaces").empty());
    EXPECT_EQ(0, zvktSelectedFaceCount(box));
    ASSERT_FALSE(title.Texts().empty());
    EXPECT_EQ(LIST_TITLE, title.Texts().back());
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
        ExpectEditorColour(before);
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
    ExpectNothingPicked();
    EXPECT_TRUE(CallsNamed("zvkMaterialSetActive").empty());
    ExpectPaintButtons(true, false);

    ClickEntry(1, MK_CONTROL);
    ClickEntry(9, MK_CONTROL);
    zvktJournalClear();
    ClickEntry(2, MK_CONTROL);
    EXPECT_EQ((std::vector<unsigned int>{ 1, 2 }), FacesSelected(3));
    ExpectEditorColour(SlotColour(smaller, 3));
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
            ExpectNothingPicked();
        else
        {
            EXPECT_EQ(std::vector<unsigned int>{ (unsigned int)c.face }, FacesSelected(6));
            ExpectEditorColour(FaceColour(box, c.face));
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
    ExpectPaintButtons(false, false);
    ExpectNothingPicked();
    EXPECT_EQ(1u, CallsNamed("zvkMaterialCreate").size()) << "only the load's own material";
}

// The adapter itself, which every caller guards today: it asks the host for an array only for
// faces, and selects only the faces it was given, at most the face count of them.
TEST_F(Selection, TheHostFaceSelectionSelectsOnlyFacesItWasGiven)
{
    ZvkHandle box = AddPolyhedron("Scene\\Box", 4);
    const int faces[] = { 2, 0, 3, 1, 2 };
    const struct
    {
        const char* trace;
        int faceCount, n;
        std::vector<unsigned int> selected;   // empty: no zvkPolyhSelectFaces call
    } cases[] = {
        { "no face", 4, 0, {} },
        { "a negative count", 4, -1, {} },
        { "more faces than the polyhedron has", 4, 5, {} },
        { "an empty polyhedron", 0, 1, {} },
        { "one face fills the array", 4, 1, { 2, 2, 2, 2 } },
        { "the last face repeated to the end", 4, 3, { 2, 0, 3, 3 } },
        { "every face", 4, 4, { 2, 0, 3, 1 } },
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.trace);
        zvktJournalClear();
        {
            CHostFaceSelection selection(box, c.faceCount);
            EXPECT_EQ(c.faceCount > 0, selection.IsReady());
            selection.Select(faces, c.n);
        }
        const std::vector<const ZvktCall*> calls = CallsNamed("zvkPolyhSelectFaces");
        if (c.selected.empty())
            EXPECT_TRUE(calls.empty());
        else
        {
            ASSERT_EQ(1u, calls.size());
            EXPECT_EQ(c.selected, std::vector<unsigned int>(calls[0]->indices, calls[0]->indices + calls[0]->indexCount));
        }
        EXPECT_EQ(c.faceCount > 0 ? 1u : 0u, CallsNamed("zvkCalloc").size());
        EXPECT_EQ(CallsNamed("zvkCalloc").size(), CallsNamed("zvkFree").size());
    }
}
