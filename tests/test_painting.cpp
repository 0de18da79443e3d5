// Painting: the mode check boxes, the white material of "Paint random", random colours, and the
// three paint buttons, driven through the real controls against the replacement host.
#include "support/PluginFixture.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <ctime>

// The colours a press between the times first and last can derive from before: the generator
// seeded with the time, then red, green and blue each take (rand() * old + 1) mod 256.
static std::vector<std::string> RandomColoursFrom(const ZvkColor& before, time_t first, time_t last)
{
    std::vector<std::string> colours;
    for (time_t seed = first; seed <= last; ++seed)
    {
        srand((unsigned)seed);
        ZvkColor colour = before;
        for (unsigned char* component : { &colour.r, &colour.g, &colour.b })
        {
            const long product = (long)rand() * *component;
            *component = (unsigned char)((product + 1) % 256);
        }
        colours.push_back(ColourText(colour));
    }
    return colours;
}

class Painting : public ToolWindowTest
{
protected:
    void SetUp() override
    {
        ToolWindowTest::SetUp();
        m_cube = LoadPolyhedron("Scene\\Cube", 8);
    }
    void TearDown() override
    {
        ExpectHostResourcesReleased();
        ToolWindowTest::TearDown();
    }

    // A person cannot press a disabled button.
    void PressEnabled(int id)
    {
        EXPECT_TRUE(IsEnabled(id)) << "control " << id << " is disabled";
        Press(id);
    }

    // The stored mode flags: the boxes are set against them, then a handler that only shows the
    // flags runs ("Paint all" with nothing selected in the host).
    std::vector<int> Flags()
    {
        for (int id : { IDC_COPY_MATERIAL, IDC_PAINT_RANDOM, IDC_PAINT_INVISIBLE })
            SendMessage(Item(id), BM_SETCHECK, !CheckState(id), 0);
        zvktSelect(NULL);
        Press(IDC_PAINT_ALL);
        zvktSelect(m_cube);
        return ModeBoxes();
    }

    void SetEditor(ZvkColor colour, int textureType = 0)
    {
        ZvktMaterial material = EditorMaterial();
        material.colour = colour;
        material.textureType = textureType;
        zvktSetEditorMaterial(&material);
    }
    void ExpectFaceColour(int face, const ZvkColor& colour)
    {
        EXPECT_EQ(ColourText(colour), ColourText(FaceColour(m_cube, face))) << "face " << face;
    }
    std::vector<int> PaintedFaces() const
    {
        std::vector<int> faces;
        for (const ZvktCall* call : CallsNamed("zvkPolyhPaintFace"))
            faces.push_back((int)call->args[1]);
        return faces;
    }

    ZvkHandle m_cube = NULL;
};

/////////////////////////////////////////////////////////////////////////////
// Mode check boxes

TEST_F(Painting, ModeBoxesExcludeEachOtherAndStoreTheirStates)
{
    struct Case
    {
        const char* label;
        std::vector<int> before;   // boxes clicked to reach the starting state
        int clicked;
        std::vector<int> after;    // copy, random, invisible
    } cases[] = {
        { "copy on", {}, IDC_COPY_MATERIAL, { 1, 0, 0 } },
        { "copy while random", { IDC_PAINT_RANDOM }, IDC_COPY_MATERIAL, { 1, 0, 0 } },
        { "copy off beside invisible", { IDC_COPY_MATERIAL, IDC_PAINT_INVISIBLE }, IDC_COPY_MATERIAL, { 0, 0, 1 } },
        { "random over copy and invisible", { IDC_COPY_MATERIAL, IDC_PAINT_INVISIBLE }, IDC_PAINT_RANDOM, { 0, 1, 0 } },
        { "random off", { IDC_PAINT_RANDOM }, IDC_PAINT_RANDOM, { 0, 0, 0 } },
        { "invisible while random", { IDC_PAINT_RANDOM }, IDC_PAINT_INVISIBLE, { 0, 0, 1 } },
        { "invisible beside copy", { IDC_COPY_MATERIAL }, IDC_PAINT_INVISIBLE, { 1, 0, 1 } },
        { "invisible off", { IDC_PAINT_INVISIBLE }, IDC_PAINT_INVISIBLE, { 0, 0, 0 } },
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        Press(IDC_LOAD_LIST);
        for (int id : { IDC_COPY_MATERIAL, IDC_PAINT_INVISIBLE })
            if (CheckState(id))
                PressEnabled(id);
        for (int id : c.before)
            PressEnabled(id);
        PressEnabled(c.clicked);
        EXPECT_EQ(c.after, ModeBoxes());
        EXPECT_EQ(c.after, Flags());
    }
}

// "Paint random" on puts white, alpha kept, into the editor with the last shader of identifier 1
// (the editor's own shader if there is none: no null shader reaches the host) and a shader box
// unless it has a valid one; off again changes nothing.
TEST_F(Painting, RandomOnMakesTheWhiteMaterial)
{
    struct Case
    {
        const char* label;
        std::vector<int> shaderIds;
        int chosen;   // which of them the editor gets; -1 for none
        int shaderBox;
        size_t validityAsked, boxesCreated;
    };
    const Case cases[] = {
        { "shaders 1, 2, 1, 3; no shader box", { 1, 2, 1, 3 }, 2, ZVKT_SHADERBOX_NULL, 0, 1 },
        { "no shader 1; an invalid shader box", { 2 }, -1, ZVKT_SHADERBOX_INVALID, 1, 1 },
        { "no shader; a valid shader box", {}, -1, ZVKT_SHADERBOX_VALID, 1, 0 },
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        ResetHost();
        m_cube = LoadPolyhedron("Scene\\Cube", 8);
        std::vector<ZvkHandle> shaders;
        for (int id : c.shaderIds)
            shaders.push_back(zvktAddShader(id));
        ZvkHandle chosen = c.chosen < 0 ? NULL : shaders[c.chosen];
        ZvktMaterial editor = EditorMaterial();
        editor.colour = { 10, 20, 30, 77 };
        editor.shaderBox = c.shaderBox;
        zvktSetEditorMaterial(&editor);
        zvktJournalClear();
        PressEnabled(IDC_PAINT_RANDOM);

        ZvktMaterial white = EditorMaterial();
        EXPECT_EQ(ColourText({ 255, 255, 255, 77 }), ColourText(white.colour));
        EXPECT_EQ(chosen, white.shader);
        // Without a shader of identifier 1 the info still comes, with shader 0.
        EXPECT_EQ(1u, CallsNamed("zvkShaderInfoCreate").size());
        ASSERT_EQ(1u, CallsNamed("zvkShaderInfoSetShader").size());
        EXPECT_EQ((unsigned)(uintptr_t)chosen, CallsNamed("zvkShaderInfoSetShader")[0]->args[1]);
        EXPECT_EQ(c.validityAsked, CallsNamed("zvkMaterialIsShaderBoxValid").size());
        EXPECT_EQ(c.boxesCreated, CallsNamed("zvkMaterialCreateShaderBox").size());
        EXPECT_EQ(ZVKT_SHADERBOX_VALID, white.shaderBox);

        zvktJournalClear();
        PressEnabled(IDC_PAINT_RANDOM);
        EXPECT_EQ("", JournalText());
        EXPECT_EQ(ColourText(white.colour), ColourText(EditorColour()));
        EXPECT_EQ((std::vector<int>{ 0, 0, 0 }), Flags());
    }
}

// The exchange stops at the too-long hidden text, before the check states are read.
TEST_F(Painting, ModeBoxRefusesATooLongItemTextWithTheStandardMessage)
{
    PressEnabled(IDC_PAINT_RANDOM);
    SendMessageA(Item(IDC_ITEM_TEXT), WM_SETTEXT, 0, (LPARAM) "0123456789abcdef");
    MessageBoxCatcher catcher;
    PressEnabled(IDC_PAINT_INVISIBLE);
    ASSERT_EQ(1u, catcher.Boxes().size());
    EXPECT_EQ("Please enter no more than 15 characters.", catcher.Boxes()[0].text);
    EXPECT_EQ((std::vector<int>{ 0, 1, 0 }), Flags());
}

/////////////////////////////////////////////////////////////////////////////
// Paint face

// The editor's material goes on the face as it is, or with alpha 0 in invisible mode, which
// leaves that invisible material active.
TEST_F(Painting, PaintFacePaintsTheEditorMaterialOnTheFace)
{
    struct Case
    {
        const char* label;
        bool invisible;
        int face;
        ZvkColor editor, painted;
        COLORREF entry;
    };
    const Case cases[] = {
        { "no mode", false, 3, { 1, 2, 3, 200 }, { 1, 2, 3, 200 }, CLR_PAINTED },
        { "invisible", true, 5, { 40, 50, 60, 255 }, { 40, 50, 60, 0 }, CLR_PAINTED_INVISIBLE },
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        Press(IDC_LOAD_LIST);
        if (c.invisible)
            PressEnabled(IDC_PAINT_INVISIBLE);
        ClickEntry(c.face);
        SetEditor(c.editor);
        zvktJournalClear();
        PressEnabled(IDC_PAINT_FACE);

        EXPECT_EQ((std::vector<int>{ c.face }), PaintedFaces()) << JournalText();
        ASSERT_EQ(1u, CallsNamed("zvkPolyhPaintFace").size());
        EXPECT_EQ(1u, CallsNamed("zvkPolyhPaintFace")[0]->args[3]);
        ExpectFaceColour(c.face, c.painted);
        EXPECT_EQ(ColourText(c.painted), ColourText(EditorColour()));
        EXPECT_EQ((std::vector<int>{ c.face }), EntriesColoured(c.entry));
        EXPECT_EQ(7u, EntriesColoured(0).size());
        EXPECT_TRUE(CallsNamed("zvkMaterialGetTextureType").empty());
    }

    // With the mode off the entry turns green, but the material stays invisible.
    PressEnabled(IDC_PAINT_INVISIBLE);
    PressEnabled(IDC_PAINT_FACE);
    EXPECT_EQ(CLR_PAINTED, EntryColour(5));
    EXPECT_EQ(0, FaceColour(m_cube, 5).a);
}

// Each press derives the colour from the one the press before left in the editor.
TEST_F(Painting, PaintFaceRandomDerivesEachColourFromTheLast)
{
    PressEnabled(IDC_PAINT_RANDOM);
    ClickEntry(2);
    SetEditor({ 0, 255, 6, 9 });
    ZvkColor previous = EditorColour();
    for (int press = 0; press < 3; ++press)
    {
        SCOPED_TRACE(press);
        zvktJournalClear();
        time_t first = time(NULL);
        PressEnabled(IDC_PAINT_FACE);
        time_t last = time(NULL);

        ASSERT_EQ(1u, CallsNamed("zvkMaterialGetColor").size()) << JournalText();
        ASSERT_EQ(1u, CallsNamed("zvkMaterialSetColor").size());
        ZvkColor before = CallsNamed("zvkMaterialGetColor")[0]->colour;
        ZvkColor after = CallsNamed("zvkMaterialSetColor")[0]->colour;
        EXPECT_EQ(ColourText(previous), ColourText(before));
        const std::vector<std::string> expected = RandomColoursFrom(before, first, last);
        EXPECT_TRUE(std::find(expected.begin(), expected.end(), ColourText(after)) != expected.end())
            << ColourText(before) << " gave " << ColourText(after) << ", one of " << testing::PrintToString(expected)
            << " expected";
        if (press == 0)
        {
            EXPECT_EQ(1, after.r) << "a component 0 becomes 1";
        }
        EXPECT_LT(CallPosition("zvkMaterialGetTextureType"), CallPosition("zvkMaterialGetColor"));
        EXPECT_EQ((std::vector<int>{ 2 }), PaintedFaces());
        EXPECT_EQ(ColourText(after), ColourText(FaceColour(m_cube, 2)));
        EXPECT_EQ(ColourText(after), ColourText(EditorColour()));
        EXPECT_EQ(CLR_PAINTED, EntryColour(2));
        ExpectHostResourcesReleased();
        previous = after;
    }
}

TEST_F(Painting, RandomRefusesAGlobalTextureForFaceAndSelection)
{
    PressEnabled(IDC_PAINT_RANDOM);
    ClickEntry(1);
    SetEditor({ 9, 8, 7, 6 }, ZVK_TEXTURE_GLOBAL);
    ZvktMaterial editor = EditorMaterial();
    for (int button : { IDC_PAINT_FACE, IDC_PAINT_SELECTION })
    {
        SCOPED_TRACE(button);
        if (button == IDC_PAINT_SELECTION)
            ClickEntry(4, MK_CONTROL);
        zvktJournalClear();
        MessageBoxCatcher catcher;
        PressEnabled(button);
        ExpectOneInformationBox(catcher, GLOBAL_TEXTURE);
        EXPECT_TRUE(PaintedFaces().empty());
        EXPECT_TRUE(CallsNamed("zvkMaterialSetColor").empty());
        EXPECT_TRUE(CallsNamed("zvkMaterialSetActive").empty());
        EXPECT_EQ(8u, EntriesColoured(0).size());
        EXPECT_EQ(ColourText(editor.colour), ColourText(EditorColour()));
    }
}

/////////////////////////////////////////////////////////////////////////////
// Paint selection and Paint all

TEST_F(Painting, PaintSelectionPaintsEveryEntryWithOneMaterialUnderAWaitTitle)
{
    ClickEntry(1);
    ClickEntry(4, MK_CONTROL);
    ClickEntry(6, MK_CONTROL);
    SetEditor({ 70, 80, 90, 255 });
    zvktJournalClear();
    MessageLog title(Item(IDC_LIST_TITLE), { WM_SETTEXT });
    PressEnabled(IDC_PAINT_SELECTION);

    std::vector<const ZvktCall*> paints = CallsNamed("zvkPolyhPaintFace");
    EXPECT_EQ((std::vector<int>{ 1, 4, 6 }), PaintedFaces());
    ASSERT_EQ(3u, paints.size());
    EXPECT_EQ(paints[0]->args[2], paints[1]->args[2]);
    EXPECT_EQ(paints[0]->args[2], paints[2]->args[2]);
    EXPECT_EQ((std::vector<int>{ 1, 4, 6 }), EntriesColoured(CLR_PAINTED));
    for (int face : { 1, 4, 6 })
        ExpectFaceColour(face, { 70, 80, 90, 255 });

    const std::vector<MessageLog::Entry>& titles = title.Entries();
    ASSERT_EQ(2u, titles.size());
    EXPECT_EQ(WAIT_TITLE, titles[0].text);
    EXPECT_LE(titles[0].journalAt, CallPosition("zvkPolyhPaintFace"));
    EXPECT_EQ(LIST_TITLE, titles[1].text);
    EXPECT_GT(titles[1].journalAt, CallPosition("zvkPolyhPaintFace") + 2);
    EXPECT_EQ(LIST_TITLE, ItemText(IDC_LIST_TITLE));
}

TEST_F(Painting, PaintAllPaintsOnceEmptiesTheListAndMakesNoTextureTest)
{
    PressEnabled(IDC_PAINT_RANDOM);
    ClickEntry(2);
    SetEditor({ 5, 6, 7, 8 }, ZVK_TEXTURE_GLOBAL);
    zvktJournalClear();
    MessageBoxCatcher catcher;
    PressEnabled(IDC_PAINT_ALL);

    EXPECT_TRUE(catcher.Boxes().empty());
    EXPECT_EQ(1u, CallsNamed("zvkPolyhPaint").size());
    EXPECT_TRUE(PaintedFaces().empty());
    EXPECT_TRUE(CallsNamed("zvkMaterialGetTextureType").empty());
    EXPECT_EQ(0, EntryCount());
    ExpectPaintButtons(false, false);
    ZvkColor random = EditorColour();
    for (int face = 0; face < 8; ++face)
        ExpectFaceColour(face, random);
}

// A same-name polyhedron with fewer faces does not rebuild the list; its entries beyond the
// new face count name no face.
TEST_F(Painting, EntriesBeyondTheFacesOfTheSelectedPolyhedronAreSkipped)
{
    ClickEntry(6);
    ZvkHandle smaller = AddPolyhedron("Scene\\Cube", 4);
    zvktSelect(smaller);
    zvktJournalClear();
    PressEnabled(IDC_PAINT_FACE);
    EXPECT_TRUE(PaintedFaces().empty());
    EXPECT_EQ(8u, EntriesColoured(0).size());

    zvktSelect(m_cube);
    ClickEntry(2);
    ClickEntry(7, MK_CONTROL);
    zvktSelect(smaller);
    zvktJournalClear();
    PressEnabled(IDC_PAINT_SELECTION);
    EXPECT_EQ((std::vector<int>{ 2 }), PaintedFaces());
    EXPECT_EQ((std::vector<int>{ 2 }), EntriesColoured(CLR_PAINTED));
}
