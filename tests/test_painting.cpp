// Painting: the mode check boxes, the white material of "Paint random", random colours, and the
// three paint buttons, driven through the real controls against the replacement host.
#include "support/PluginFixture.h"

#include <cstdlib>
#include <ctime>

static const char LIST_TITLE[] = "Faces | matIDs list";
static const COLORREF CLR_PAINTED = 0x000B8800;
static const COLORREF CLR_PAINTED_INVISIBLE = 0x000000C0;

static std::string Text(const ZvkColor& c)
{
    char text[40];
    snprintf(text, sizeof text, "(%d,%d,%d,%d)", c.r, c.g, c.b, c.a);
    return text;
}

// Whether some rand() value r gives the new component from the old one.
static bool IsRandomStep(int oldValue, int newValue)
{
    for (int r = 0; r <= 32767; ++r)
        if ((r * oldValue + 1) % 256 == newValue)
            return true;
    return false;
}

// Whether red, green and blue took three successive rand() values of one seed in [first, last].
static bool FromOneSeed(const ZvkColor& before, const ZvkColor& after, time_t first, time_t last)
{
    for (time_t seed = first; seed <= last; ++seed)
    {
        srand((unsigned)seed);
        int r = rand(), g = rand(), b = rand();
        if (after.r == ((r * before.r + 1) & 0xFF) && after.g == ((g * before.g + 1) & 0xFF)
            && after.b == ((b * before.b + 1) & 0xFF))
            return true;
    }
    return false;
}

// Every text the list title is given, with the journal length at that moment.
struct TitleRecord
{
    std::string text;
    int journalAt;
};
static std::vector<TitleRecord> s_titles;
static WNDPROC s_titleProc;

static LRESULT CALLBACK RecordTitle(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETTEXT)
        s_titles.push_back({ (const char*)lParam, zvktJournalCount() });
    return CallWindowProcA(s_titleProc, window, message, wParam, lParam);
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
        return Boxes();
    }
    std::vector<int> Boxes() const
    {
        return { CheckState(IDC_COPY_MATERIAL), CheckState(IDC_PAINT_RANDOM), CheckState(IDC_PAINT_INVISIBLE) };
    }

    ZvktMaterial Editor() const
    {
        ZvktMaterial material;
        zvktGetEditorMaterial(&material);
        return material;
    }
    void SetEditor(ZvkColor colour, int textureType = 0)
    {
        ZvktMaterial material = Editor();
        material.colour = colour;
        material.textureType = textureType;
        zvktSetEditorMaterial(&material);
    }
    ZvktMaterial MaterialOfFace(int face) const
    {
        ZvktMaterial material = {};
        zvktGetSlot(m_cube, zvktFaceMaterialIndex(m_cube, face), &material);
        return material;
    }
    int FirstCall(const char* function) const
    {
        for (int i = 0; i < zvktJournalCount(); ++i)
            if (strcmp(zvktJournalAt(i)->function, function) == 0)
                return i;
        return -1;
    }
    std::vector<int> PaintedFaces() const
    {
        std::vector<int> faces;
        for (const ZvktCall* call : CallsNamed("zvkPolyhPaintFace"))
            faces.push_back((int)call->args[1]);
        return faces;
    }
    std::vector<int> ColouredEntries(COLORREF colour) const
    {
        std::vector<int> entries;
        for (int i = 0; i < EntryCount(); ++i)
            if (EntryColour(i) == colour)
                entries.push_back(i);
        return entries;
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
        EXPECT_EQ(c.after, Boxes());
        EXPECT_EQ(c.after, Flags());
    }
}

TEST_F(Painting, RandomOnMakesTheWhiteMaterialWithTheLastShaderOfIdentifierOne)
{
    zvktAddShader(1);
    zvktAddShader(2);
    ZvkHandle last = zvktAddShader(1);
    zvktAddShader(3);
    SetEditor({ 10, 20, 30, 77 });
    PressEnabled(IDC_PAINT_RANDOM);

    ZvktMaterial editor = Editor();
    EXPECT_EQ(Text({ 255, 255, 255, 77 }), Text(editor.colour));
    EXPECT_EQ(last, editor.shader);
    EXPECT_EQ(1u, CallsNamed("zvkShaderInfoCreate").size());
}

TEST_F(Painting, RandomOnCreatesAShaderBoxOnlyWhenNullOrInvalid)
{
    struct Case
    {
        int shaderBox;
        size_t validityAsked, boxesCreated;
    } cases[] = {
        { ZVKT_SHADERBOX_NULL, 0, 1 },
        { ZVKT_SHADERBOX_INVALID, 1, 1 },
        { ZVKT_SHADERBOX_VALID, 1, 0 },
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.shaderBox);
        ZvktMaterial editor = Editor();
        editor.shaderBox = c.shaderBox;
        zvktSetEditorMaterial(&editor);
        zvktJournalClear();
        PressEnabled(IDC_PAINT_RANDOM);
        EXPECT_EQ(c.validityAsked, CallsNamed("zvkMaterialIsShaderBoxValid").size());
        EXPECT_EQ(c.boxesCreated, CallsNamed("zvkMaterialCreateShaderBox").size());
        EXPECT_EQ(ZVKT_SHADERBOX_VALID, Editor().shaderBox);
        PressEnabled(IDC_PAINT_RANDOM);
    }
}

TEST_F(Painting, RandomWithoutShaderOfIdentifierOneGetsShaderZeroAndOffChangesNothingElse)
{
    zvktAddShader(2);
    PressEnabled(IDC_PAINT_RANDOM);
    ASSERT_EQ(1u, CallsNamed("zvkShaderInfoSetShader").size());
    EXPECT_EQ(0u, CallsNamed("zvkShaderInfoSetShader")[0]->args[1]);
    EXPECT_EQ(NULL, Editor().shader);

    ZvktMaterial white = Editor();
    zvktJournalClear();
    PressEnabled(IDC_PAINT_RANDOM);
    EXPECT_EQ("", JournalText());
    EXPECT_EQ(Text(white.colour), Text(Editor().colour));
    EXPECT_EQ((std::vector<int>{ 0, 0, 0 }), Flags());
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

TEST_F(Painting, PaintFaceWithoutModePaintsTheEditorMaterial)
{
    ClickEntry(3);
    SetEditor({ 1, 2, 3, 200 });
    zvktJournalClear();
    PressEnabled(IDC_PAINT_FACE);

    EXPECT_EQ((std::vector<int>{ 3 }), PaintedFaces()) << JournalText();
    EXPECT_EQ(1u, CallsNamed("zvkPolyhPaintFace")[0]->args[3]);
    EXPECT_EQ(Text({ 1, 2, 3, 200 }), Text(MaterialOfFace(3).colour));
    EXPECT_EQ((std::vector<int>{ 3 }), ColouredEntries(CLR_PAINTED));
    EXPECT_EQ(7u, ColouredEntries(0).size());
    EXPECT_TRUE(CallsNamed("zvkMaterialGetTextureType").empty());
}

TEST_F(Painting, PaintFaceInvisibleLeavesTheAlphaZeroMaterialActive)
{
    PressEnabled(IDC_PAINT_INVISIBLE);
    ClickEntry(5);
    SetEditor({ 40, 50, 60, 255 });
    PressEnabled(IDC_PAINT_FACE);

    EXPECT_EQ(Text({ 40, 50, 60, 0 }), Text(MaterialOfFace(5).colour));
    EXPECT_EQ(CLR_PAINTED_INVISIBLE, EntryColour(5));
    EXPECT_EQ(Text({ 40, 50, 60, 0 }), Text(Editor().colour));

    // With the mode off the entry turns green, but the material stays invisible.
    PressEnabled(IDC_PAINT_INVISIBLE);
    PressEnabled(IDC_PAINT_FACE);
    EXPECT_EQ(CLR_PAINTED, EntryColour(5));
    EXPECT_EQ(0, MaterialOfFace(5).colour.a);
}

// Each press derives the colour from the one the press before left in the editor.
TEST_F(Painting, PaintFaceRandomDerivesEachColourFromTheLast)
{
    PressEnabled(IDC_PAINT_RANDOM);
    ClickEntry(2);
    SetEditor({ 0, 255, 6, 9 });
    ZvkColor previous = Editor().colour;
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
        EXPECT_EQ(Text(previous), Text(before));
        EXPECT_TRUE(IsRandomStep(before.r, after.r) && IsRandomStep(before.g, after.g) && IsRandomStep(before.b, after.b))
            << Text(before) << " -> " << Text(after);
        EXPECT_TRUE(FromOneSeed(before, after, first, last)) << Text(before) << " -> " << Text(after);
        EXPECT_EQ(before.a, after.a);
        if (press == 0)
        {
            EXPECT_EQ(1, after.r) << "a component 0 becomes 1";
        }
        EXPECT_LT(FirstCall("zvkMaterialGetTextureType"), FirstCall("zvkMaterialGetColor"));
        EXPECT_EQ((std::vector<int>{ 2 }), PaintedFaces());
        EXPECT_EQ(Text(after), Text(MaterialOfFace(2).colour));
        EXPECT_EQ(Text(after), Text(Editor().colour));
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
    ZvktMaterial editor = Editor();
    for (int button : { IDC_PAINT_FACE, IDC_PAINT_SELECTION })
    {
        SCOPED_TRACE(button);
        if (button == IDC_PAINT_SELECTION)
            ClickEntry(4, MK_CONTROL);
        zvktJournalClear();
        MessageBoxCatcher catcher;
        PressEnabled(button);
        ASSERT_EQ(1u, catcher.Boxes().size());
        EXPECT_EQ("Global texture changed! Please, reload the list.", catcher.Boxes()[0].text);
        EXPECT_TRUE(catcher.Boxes()[0].informationIcon) << catcher.Boxes()[0].anyIcon;
        EXPECT_TRUE(PaintedFaces().empty());
        EXPECT_TRUE(CallsNamed("zvkMaterialSetColor").empty());
        EXPECT_TRUE(CallsNamed("zvkMaterialSetActive").empty());
        EXPECT_EQ(8u, ColouredEntries(0).size());
        EXPECT_EQ(Text(editor.colour), Text(Editor().colour));
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
    s_titles.clear();
    HWND title = Item(IDC_LIST_TITLE);
    s_titleProc = (WNDPROC)SetWindowLongPtrA(title, GWLP_WNDPROC, (LONG_PTR)RecordTitle);
    PressEnabled(IDC_PAINT_SELECTION);
    SetWindowLongPtrA(title, GWLP_WNDPROC, (LONG_PTR)s_titleProc);

    std::vector<const ZvktCall*> paints = CallsNamed("zvkPolyhPaintFace");
    EXPECT_EQ((std::vector<int>{ 1, 4, 6 }), PaintedFaces());
    ASSERT_EQ(3u, paints.size());
    EXPECT_EQ(paints[0]->args[2], paints[1]->args[2]);
    EXPECT_EQ(paints[0]->args[2], paints[2]->args[2]);
    EXPECT_EQ((std::vector<int>{ 1, 4, 6 }), ColouredEntries(CLR_PAINTED));
    for (int face : { 1, 4, 6 })
        EXPECT_EQ(Text({ 70, 80, 90, 255 }), Text(MaterialOfFace(face).colour)) << face;

    ASSERT_EQ(2u, s_titles.size());
    EXPECT_EQ("Please wait...", s_titles[0].text);
    EXPECT_LE(s_titles[0].journalAt, FirstCall("zvkPolyhPaintFace"));
    EXPECT_EQ(LIST_TITLE, s_titles[1].text);
    EXPECT_GT(s_titles[1].journalAt, FirstCall("zvkPolyhPaintFace") + 2);
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
    EXPECT_FALSE(IsEnabled(IDC_PAINT_FACE));
    EXPECT_FALSE(IsEnabled(IDC_PAINT_SELECTION));
    ZvkColor random = Editor().colour;
    for (int face = 0; face < 8; ++face)
        EXPECT_EQ(Text(random), Text(MaterialOfFace(face).colour)) << face;
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
    EXPECT_EQ(8u, ColouredEntries(0).size());

    zvktSelect(m_cube);
    ClickEntry(2);
    ClickEntry(7, MK_CONTROL);
    zvktSelect(smaller);
    zvktJournalClear();
    PressEnabled(IDC_PAINT_SELECTION);
    EXPECT_EQ((std::vector<int>{ 2 }), PaintedFaces());
    EXPECT_EQ((std::vector<int>{ 2 }), ColouredEntries(CLR_PAINTED));
}
