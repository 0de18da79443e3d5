// The face list: loading a polyhedron's faces, clearing, the help text, and how the colour-coded
// list draws an entry, read back pixel by pixel.
#include "support/PluginFixture.h"

#include <cstdint>

namespace {

const COLORREF GREEN = 0x000B8800;
const COLORREF RED = 0x000000C0;
const COLORREF SELECTED_TEXT = RGB(252, 253, 254);

const char LOADED_TITLE[] = "Faces | matIDs list";
const char REFUSED_TITLE[] = "Nothing selected...";
const char CLEARED_TITLE[] = "List is empty!";
const char SELECT_POLYHEDRON[] = "Please, select a polyhedron!";
const char TOO_MANY_FACES[] = "Sorry, I cannot handle above 64k faces! Try to reduce polyhedrons' faces.";

// Messages that reached the list, recorded by a subclass procedure on top of the plug-in's own.
class ListMessageLog
{
public:
    ListMessageLog(HWND list, UINT message)
        : m_list(list)
    {
        s_message = message;
        s_wParams.clear();
        s_previous = (WNDPROC)SetWindowLongPtrA(list, GWLP_WNDPROC, (LONG_PTR)Record);
    }
    ~ListMessageLog() { SetWindowLongPtrA(m_list, GWLP_WNDPROC, (LONG_PTR)s_previous); }
    const std::vector<WPARAM>& WParams() const { return s_wParams; }

private:
    static LRESULT CALLBACK Record(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == s_message)
            s_wParams.push_back(wParam);
        return CallWindowProcA(s_previous, window, message, wParam, lParam);
    }
    HWND m_list;
    static UINT s_message;
    static WNDPROC s_previous;
    static std::vector<WPARAM> s_wParams;
};

UINT ListMessageLog::s_message = 0;
WNDPROC ListMessageLog::s_previous = NULL;
std::vector<WPARAM> ListMessageLog::s_wParams;

void ExpectCalls(const std::vector<std::string>& expected)
{
    EXPECT_EQ(expected, CallNames()) << "journal:\n" << JournalText();
}

// The one material a load takes from the host is the one it activates, destroys and frees.
void ExpectOneMaterialUsedThroughout(const std::vector<const char*>& users)
{
    ASSERT_EQ(1u, CallsNamed("zvkMaterialCreate").size());
    ASSERT_EQ(1u, CallsNamed("zvkMaterialDestroy").size());
    unsigned material = CallsNamed("zvkMaterialDestroy")[0]->args[0];
    EXPECT_NE(0u, material);
    for (const char* user : users)
    {
        ASSERT_EQ(1u, CallsNamed(user).size()) << user;
        EXPECT_EQ(material, CallsNamed(user)[0]->args[0]) << user;
    }
}

std::string EntryTextFor(int face, unsigned short material)
{
    return std::to_string(face) + " | " + std::to_string(material);
}

} // namespace

/////////////////////////////////////////////////////////////////////////////
// Loading

class FaceListLoad : public ToolWindowTest
{
protected:
    void PressLoadWithJournal()
    {
        zvktJournalClear();
        Press(IDC_LOAD_LIST);
    }
};

TEST_F(FaceListLoad, ListsEveryFaceInFaceOrderWithItsMaterialIndex)
{
    MessageBoxCatcher boxes;
    LoadPolyhedron("Scene\\Body\\Door_L", 4, { 3, 0, 65535, 12 }, 13);

    ASSERT_EQ(4, EntryCount());
    EXPECT_EQ("0 | 3", EntryText(0));
    EXPECT_EQ("1 | 0", EntryText(1));
    EXPECT_EQ("2 | 65535", EntryText(2));
    EXPECT_EQ("3 | 12", EntryText(3));
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(0u, EntryColour(i)) << i;
    EXPECT_EQ(LOADED_TITLE, ItemText(IDC_LIST_TITLE));
    EXPECT_EQ("Scene\\Body\\Door_L", ItemText(IDC_OBJECT_NAME));
    EXPECT_EQ("3 | 12", ItemText(IDC_ITEM_TEXT));
    EXPECT_TRUE(boxes.Boxes().empty());
    ExpectHostResourcesReleased();
}

TEST_F(FaceListLoad, ListsTheLargestPolyhedronInFull)
{
    const int faces = 65534;
    std::vector<unsigned short> materials(faces);
    for (int i = 0; i < faces; ++i)
        materials[i] = (unsigned short)(i * 7919u);
    MessageBoxCatcher boxes;
    LoadPolyhedron("Scene\\Dense", faces, materials, 1);

    ASSERT_EQ(faces, EntryCount());
    int wrong = 0;
    for (int i = 0; i < faces; ++i)
        if (EntryText(i) != EntryTextFor(i, materials[i]) && ++wrong <= 5)
            ADD_FAILURE() << "entry " << i << " reads " << EntryText(i);
    EXPECT_EQ(0, wrong);
    EXPECT_EQ(EntryTextFor(65533, materials[65533]), ItemText(IDC_ITEM_TEXT));
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(FaceListLoad, RefusesAPolyhedronOfTheFaceLimitOrMore)
{
    struct Case { const char* label; int faces; int reported; };
    const Case cases[] = {
        { "65535 faces", 65535, 65535 },
        { "3 faces reported as 70000", 3, 70000 },
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        zvktReset();
        ZvkHandle polyhedron = AddPolyhedron("Scene\\Huge", c.faces);
        zvktSetReportedFaceCount(polyhedron, c.reported);
        zvktSelect(polyhedron);
        MessageBoxCatcher boxes;
        ListMessageLog redraws(m_list, WM_SETREDRAW);
        Press(IDC_LOAD_LIST);

        ASSERT_EQ(1u, boxes.Boxes().size());
        EXPECT_EQ(TOO_MANY_FACES, boxes.Boxes()[0].text);
        EXPECT_TRUE(boxes.Boxes()[0].informationIcon);
        EXPECT_EQ(REFUSED_TITLE, ItemText(IDC_LIST_TITLE));
        EXPECT_EQ("Scene\\Huge", ItemText(IDC_OBJECT_NAME));
        EXPECT_EQ(0, EntryCount());
        EXPECT_EQ((std::vector<WPARAM>{ FALSE, TRUE }), redraws.WParams());
        EXPECT_FALSE(IsEnabled(IDC_PAINT_FACE));
        EXPECT_FALSE(IsEnabled(IDC_PAINT_SELECTION));
        EXPECT_TRUE(IsEnabled(IDC_CLEAR_LIST));
        ExpectCalls({ "zvkCurrobjEditToolClose", "zvkSceneRefresh", "zvkGetCurrentSelection", "zvkSobjGetType",
                      "zvkMaterialCreate", "zvkGetCurrentSelection", "zvkGNodeGetFullName", "zvkSobjGetType",
                      "zvkPolyhGetNbrFaces", "zvkPolyhGetFaceptrArray", "zvkMaterialDestroy", "zvkFree" });
        ExpectOneMaterialUsedThroughout({ "zvkFree" });
        ExpectHostResourcesReleased();
    }
}

TEST_F(FaceListLoad, RefusesWhatIsNotAPolyhedronAndKeepsTitleAndName)
{
    LoadPolyhedron("Scene\\Body\\Door_L", 3);
    struct Case { const char* label; bool selectSomething; };
    for (const Case& c : { Case{ "nothing selected", false }, Case{ "a light selected", true } })
    {
        SCOPED_TRACE(c.label);
        zvktSelect(c.selectSomething ? zvktAddObject("Scene\\Lamp", 202) : NULL);
        MessageBoxCatcher boxes;
        PressLoadWithJournal();

        ASSERT_EQ(1u, boxes.Boxes().size());
        EXPECT_EQ(SELECT_POLYHEDRON, boxes.Boxes()[0].text);
        EXPECT_TRUE(boxes.Boxes()[0].informationIcon);
        EXPECT_EQ(0, EntryCount());
        EXPECT_EQ(LOADED_TITLE, ItemText(IDC_LIST_TITLE));
        EXPECT_EQ("Scene\\Body\\Door_L", ItemText(IDC_OBJECT_NAME));
        std::vector<std::string> expected = { "zvkCurrobjEditToolClose", "zvkSceneRefresh", "zvkGetCurrentSelection" };
        if (c.selectSomething)
            expected.push_back("zvkSobjGetType");
        ExpectCalls(expected);
    }
}

TEST_F(FaceListLoad, CallsTheHostInItsOrder)
{
    ZvkHandle polyhedron = AddPolyhedron("Scene\\Body\\Door_L", 3);
    zvktSelect(polyhedron);
    PressLoadWithJournal();

    ExpectCalls({ "zvkCurrobjEditToolClose", "zvkSceneRefresh", "zvkGetCurrentSelection", "zvkSobjGetType",
                  "zvkMaterialCreate", "zvkGetCurrentSelection", "zvkGNodeGetFullName", "zvkSobjGetType",
                  "zvkPolyhGetNbrFaces", "zvkPolyhGetFaceptrArray", "zvkPolyhInitializeMaterials",
                  "zvkMaterialSetActive", "zvkMaterialFixColor", "zvkMaterialDestroy", "zvkFree",
                  "zvkCurrobjRefresh", "zvkAllViewRefreshSelObject" });
    ExpectOneMaterialUsedThroughout({ "zvkMaterialSetActive", "zvkMaterialFixColor", "zvkFree" });
    const ZvktCall* name = CallsNamed("zvkGNodeGetFullName")[0];
    EXPECT_EQ((unsigned)(uintptr_t)polyhedron, name->args[0]);
    EXPECT_EQ(0u, name->args[1]);
    EXPECT_EQ(1024u, name->args[3]);
    EXPECT_EQ((unsigned)(uintptr_t)polyhedron, CallsNamed("zvkPolyhInitializeMaterials")[0]->args[0]);
    ExpectHostResourcesReleased();
}

TEST_F(FaceListLoad, SelectsEntryZeroOnlyInTheListAndResetsPaintRandom)
{
    ZvkHandle polyhedron = LoadPolyhedron("Scene\\Box", 6);
    ClickEntry(2);
    ClickEntry(4, MK_CONTROL);
    ASSERT_TRUE(IsEnabled(IDC_PAINT_SELECTION));
    ASSERT_GT(zvktSelectedFaceCount(polyhedron), 0);
    Press(IDC_PAINT_RANDOM);
    ASSERT_EQ(BST_CHECKED, CheckState(IDC_PAINT_RANDOM));

    Press(IDC_LOAD_LIST);

    EXPECT_EQ(std::vector<int>{ 0 }, SelectedEntries());
    EXPECT_EQ(0, zvktSelectedFaceCount(polyhedron));
    EXPECT_FALSE(IsEnabled(IDC_PAINT_FACE));
    EXPECT_FALSE(IsEnabled(IDC_PAINT_SELECTION));
    EXPECT_EQ(BST_UNCHECKED, CheckState(IDC_PAINT_RANDOM));
    for (int id : { IDC_CLEAR_LIST, IDC_PAINT_OPTIONS, IDC_COPY_MATERIAL, IDC_PAINT_RANDOM, IDC_PAINT_INVISIBLE })
        EXPECT_TRUE(IsEnabled(id)) << id;
}

TEST_F(FaceListLoad, KeepsCopyMaterialAndPaintInvisible)
{
    LoadPolyhedron("Scene\\Box", 6);
    Press(IDC_COPY_MATERIAL);
    Press(IDC_PAINT_INVISIBLE);
    ASSERT_EQ(BST_CHECKED, CheckState(IDC_COPY_MATERIAL));
    ASSERT_EQ(BST_CHECKED, CheckState(IDC_PAINT_INVISIBLE));

    Press(IDC_LOAD_LIST);

    EXPECT_EQ(BST_CHECKED, CheckState(IDC_COPY_MATERIAL));
    EXPECT_EQ(BST_CHECKED, CheckState(IDC_PAINT_INVISIBLE));
    EXPECT_EQ(BST_UNCHECKED, CheckState(IDC_PAINT_RANDOM));
}

TEST_F(FaceListLoad, ReloadAfterPaintingShowsEveryEntryUncolouredWithTheFacesMaterialsNow)
{
    ZvkHandle polyhedron = LoadPolyhedron("Scene\\Box", 5, { 0, 1, 2, 3, 0 }, 4);
    ClickEntry(1);
    ZvktMaterial marker = {};
    marker.colour = { 1, 2, 3, 255 };
    marker.shaderBox = ZVKT_SHADERBOX_VALID;
    zvktSetEditorMaterial(&marker);
    Press(IDC_PAINT_FACE);
    ASSERT_EQ(GREEN, EntryColour(1));
    SendMessageA(m_list, LB_SETITEMDATA, 3, RED);

    Press(IDC_LOAD_LIST);

    ASSERT_EQ(5, EntryCount());
    for (int i = 0; i < 5; ++i)
    {
        EXPECT_EQ(0u, EntryColour(i)) << i;
        EXPECT_EQ(EntryTextFor(i, (unsigned short)zvktFaceMaterialIndex(polyhedron, i)), EntryText(i));
    }
    EXPECT_NE("1 | 1", EntryText(1)) << "face 1 was painted with a new material";
}

// The rest of the load runs as for any polyhedron: title, name, materials initialised and released.
TEST_F(FaceListLoad, NoFacesOrOddHostDataGiveAnEmptyLoadedList)
{
    struct Case { const char* label; int reportedCount; bool nullArray; };
    const Case cases[] = {
        { "no faces", 0, false },
        { "negative face count", -5, false },
        { "null face array", 3, true },
        { "null face array, count at the limit", 65535, true },
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        zvktReset();
        ZvkHandle polyhedron = AddPolyhedron("Scene\\Odd", 3);
        zvktSetReportedFaceCount(polyhedron, c.reportedCount);
        zvktSetNullFaceArray(polyhedron, c.nullArray);
        zvktSelect(polyhedron);
        MessageBoxCatcher boxes;
        Press(IDC_LOAD_LIST);

        EXPECT_EQ(0, EntryCount());
        EXPECT_TRUE(boxes.Boxes().empty());
        EXPECT_EQ(LOADED_TITLE, ItemText(IDC_LIST_TITLE));
        EXPECT_EQ("Scene\\Odd", ItemText(IDC_OBJECT_NAME));
        EXPECT_EQ("", ItemText(IDC_ITEM_TEXT));
        EXPECT_EQ(1u, CallsNamed("zvkPolyhInitializeMaterials").size());
        ExpectHostResourcesReleased();
    }
}

TEST_F(FaceListLoad, AnUnterminatedNameIsCutAtTheEndOfItsBuffer)
{
    zvktSetUnterminatedNames(1);
    LoadPolyhedron("Scene\\Body\\Door_L", 2);

    std::string expected = "Scene\\Body\\Door_L";
    expected.resize(1023, 'X');
    EXPECT_EQ(expected, ItemText(IDC_OBJECT_NAME));
    EXPECT_EQ(2, EntryCount());
}

/////////////////////////////////////////////////////////////////////////////
// Clearing and help

class FaceListClear : public ToolWindowTest
{
};

TEST_F(FaceListClear, EmptiesAFullListAndItsLabels)
{
    ZvkHandle polyhedron = LoadPolyhedron("Scene\\Box", 6);
    ClickEntry(1);
    ClickEntry(3, MK_CONTROL);
    Press(IDC_COPY_MATERIAL);
    zvktJournalClear();
    ListMessageLog redraws(m_list, WM_SETREDRAW);

    Press(IDC_CLEAR_LIST);

    EXPECT_EQ(0, EntryCount());
    EXPECT_EQ(CLEARED_TITLE, ItemText(IDC_LIST_TITLE));
    EXPECT_EQ("", ItemText(IDC_OBJECT_NAME));
    EXPECT_EQ("", ItemText(IDC_ITEM_TEXT));
    EXPECT_FALSE(IsEnabled(IDC_PAINT_FACE));
    EXPECT_FALSE(IsEnabled(IDC_PAINT_SELECTION));
    for (int id : { IDC_CLEAR_LIST, IDC_PAINT_OPTIONS, IDC_COPY_MATERIAL, IDC_PAINT_RANDOM, IDC_PAINT_INVISIBLE, IDC_PAINT_ALL })
        EXPECT_TRUE(IsEnabled(id)) << id;
    EXPECT_EQ(BST_CHECKED, CheckState(IDC_COPY_MATERIAL));
    EXPECT_EQ((std::vector<WPARAM>{ FALSE, TRUE }), redraws.WParams());
    EXPECT_EQ(0, zvktSelectedFaceCount(polyhedron));
    ExpectCalls({ "zvkCurrobjEditToolClose", "zvkCurrobjRefresh", "zvkSceneRefresh" });
}

TEST_F(FaceListClear, OnAnEmptyListStillSetsItsTitle)
{
    LoadPolyhedron("Scene\\Empty", 0);
    Press(IDC_CLEAR_LIST);
    SetWindowTextA(Item(IDC_LIST_TITLE), "");

    Press(IDC_CLEAR_LIST);

    EXPECT_EQ(0, EntryCount());
    EXPECT_EQ(CLEARED_TITLE, ItemText(IDC_LIST_TITLE));
    EXPECT_EQ("", ItemText(IDC_OBJECT_NAME));
    EXPECT_TRUE(IsEnabled(IDC_CLEAR_LIST));
}

TEST_F(FaceListClear, HelpShowsItsTextAsWrittenWithTheInformationIcon)
{
    const std::string help =
        "\r- 'matIDs/Faces list' listbox - Display polyhedrons' faces and the relevant matIDs. Mouse click on items will send the faces material to the Material Editor.\n"
        "\r   Use mouse or up/down arrows keys to navigate through the items. Use 'Alt' and 'Ctrl' keys + mouse click or mouse scroll to select multifaces.\n"
        "\r- 'Faces | matIDs' button - Refresh and/or load the list of polyhedrons' faces and the relevant material IDs.\n"
        "\r- 'Clear content' button - Clear, reset the list.\n"
        "\r- 'Copy material' checkbox - Stops the material toggles and set active the last matIDs/faces material. Option for painting other face(s)/polyhs.\n"
        "\r- 'Paint random' checkbox - Paint face(s) with random material color in real time. Painting colors roulette.\n"
        "\r- 'Paint invisibe' checkbox - Paint face(s) with invisible material. Scene editing mode only. Rendering mode will draw the objects as solid.\n"
        "\r- 'Paint face' button - Assign (paint) the Material Editor material as well as the grabbed or random ones on the selected face.\n"
        "\r- 'Paint selection' button - Assign (paint) the Material Editor material as well as the grabbed or random ones on the selected faces.\n"
        "\r- 'Paint all' button - Assign (paint) the Material Editor material as well as the grabbed or random ones on the whole polyhedron.\n"
        "\r- 'Help' button - This help window.\n"
        "\r- COLORREF - system color: todo faces; green color: faces painted; red color: faces painted invisible.\n";
    ASSERT_EQ(1401u, help.size());
    LoadPolyhedron("Scene\\Box", 3);
    zvktJournalClear();
    MessageBoxCatcher boxes;

    Press(IDC_HELP_BUTTON);

    ASSERT_EQ(1u, boxes.Boxes().size());
    EXPECT_EQ(help, boxes.Boxes()[0].text);
    EXPECT_TRUE(boxes.Boxes()[0].informationIcon);
    EXPECT_TRUE(CallNames().empty()) << JournalText();
    EXPECT_EQ(3, EntryCount());
}

/////////////////////////////////////////////////////////////////////////////
// Drawing an entry

namespace {

const int CANVAS_WIDTH = 96;
const int CANVAS_HEIGHT = 20;
const COLORREF UNTOUCHED = RGB(1, 2, 3);

// A 32-bit top-down DIB section in a memory DC: what DrawItem draws, read back pixel by pixel.
// Its font is drawn without smoothing, so that every text pixel has the text colour.
class Canvas
{
public:
    Canvas()
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = CANVAS_WIDTH;
        info.bmiHeader.biHeight = -CANVAS_HEIGHT;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        m_dc = CreateCompatibleDC(NULL);
        m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, (void**)&m_bits, NULL, 0);
        m_old = SelectObject(m_dc, m_bitmap);
        m_font = CreateFontA(-13, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH, "Arial");
        m_oldFont = SelectObject(m_dc, m_font);
        Fill(UNTOUCHED);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    ~Canvas()
    {
        SelectObject(m_dc, m_oldFont);
        SelectObject(m_dc, m_old);
        DeleteObject(m_font);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    HDC Dc() const { return m_dc; }
    void Fill(COLORREF colour)
    {
        GdiFlush();
        for (int i = 0; i < CANVAS_WIDTH * CANVAS_HEIGHT; ++i)
            m_bits[i] = ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
    }
    COLORREF At(int x, int y) const
    {
        GdiFlush();
        uint32_t pixel = m_bits[y * CANVAS_WIDTH + x];
        return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
    }
    std::vector<COLORREF> Pixels() const
    {
        std::vector<COLORREF> pixels;
        for (int y = 0; y < CANVAS_HEIGHT; ++y)
            for (int x = 0; x < CANVAS_WIDTH; ++x)
                pixels.push_back(At(x, y));
        return pixels;
    }
    int Count(COLORREF colour) const
    {
        int n = 0;
        for (COLORREF pixel : Pixels())
            n += pixel == colour;
        return n;
    }
    // The rightmost column holding a pixel that is neither of the two colours; -1 if none.
    int RightmostOther(COLORREF a, COLORREF b) const
    {
        int rightmost = -1;
        for (int y = 0; y < CANVAS_HEIGHT; ++y)
            for (int x = 0; x < CANVAS_WIDTH; ++x)
                if (At(x, y) != a && At(x, y) != b && x > rightmost)
                    rightmost = x;
        return rightmost;
    }

private:
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_old;
    HFONT m_font;
    HGDIOBJ m_oldFont;
    uint32_t* m_bits = NULL;
};

std::string Rgb(COLORREF colour)
{
    return "(" + std::to_string(GetRValue(colour)) + "," + std::to_string(GetGValue(colour)) + ","
        + std::to_string(GetBValue(colour)) + ")";
}

} // namespace

class FaceListDrawing : public ToolWindowTest
{
protected:
    void SetUp() override
    {
        ToolWindowTest::SetUp();
        LoadPolyhedron("Scene\\Box", 3, { 7, 8, 9 });
    }

    void Draw(int itemID, UINT action, UINT state, COLORREF colour) { DrawOn(m_canvas, itemID, action, state, colour); }

    // WM_DRAWITEM to the tool window, which hands it to the list's DrawItem.
    void DrawOn(const Canvas& canvas, int itemID, UINT action, UINT state, COLORREF colour)
    {
        DRAWITEMSTRUCT item = {};
        item.CtlType = ODT_LISTBOX;
        item.CtlID = IDC_FACE_LIST;
        item.itemID = (UINT)itemID;
        item.itemAction = action;
        item.itemState = state;
        item.hwndItem = m_list;
        item.hDC = canvas.Dc();
        SetRect(&item.rcItem, 0, 0, CANVAS_WIDTH, CANVAS_HEIGHT);
        item.itemData = colour;
        SendMessageA(m_window, WM_DRAWITEM, IDC_FACE_LIST, (LPARAM)&item);
    }

    // Every pixel is the background or the text colour, and there is text.
    void ExpectFilledWithText(COLORREF background, COLORREF text)
    {
        EXPECT_EQ(Rgb(background), Rgb(m_canvas.At(CANVAS_WIDTH - 1, CANVAS_HEIGHT - 1)));
        EXPECT_GT(m_canvas.Count(text), 0) << "no text in " << Rgb(text);
        EXPECT_EQ(CANVAS_WIDTH * CANVAS_HEIGHT, m_canvas.Count(background) + m_canvas.Count(text));
    }

    Canvas m_canvas;
};

TEST_F(FaceListDrawing, ASelectedEntryIsFilledWithItsColour)
{
    struct Case { const char* label; UINT action; COLORREF colour; COLORREF fill; COLORREF text; };
    const Case cases[] = {
        { "uncoloured, drawn entire", ODA_DRAWENTIRE, 0, RGB(0, 0, 0), GetSysColor(COLOR_HIGHLIGHTTEXT) },
        { "uncoloured, selected", ODA_SELECT, 0, RGB(0, 0, 0), GetSysColor(COLOR_HIGHLIGHTTEXT) },
        { "green", ODA_DRAWENTIRE, GREEN, GREEN, SELECTED_TEXT },
        { "red", ODA_SELECT, RED, RED, SELECTED_TEXT },
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        m_canvas.Fill(UNTOUCHED);
        Draw(1, c.action, ODS_SELECTED, c.colour);
        ExpectFilledWithText(c.fill, c.text);
    }
}

TEST_F(FaceListDrawing, AnUnselectedEntryDrawnEntireKeepsItsBackground)
{
    struct Case { const char* label; UINT state; COLORREF colour; COLORREF text; };
    const Case cases[] = {
        { "uncoloured", 0, 0, GetSysColor(COLOR_WINDOWTEXT) },
        { "green", 0, GREEN, GREEN },
        { "uncoloured, disabled", ODS_DISABLED, 0, GetSysColor(COLOR_GRAYTEXT) },
        { "red, disabled", ODS_DISABLED, RED, GetSysColor(COLOR_GRAYTEXT) },
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        m_canvas.Fill(UNTOUCHED);
        Draw(0, ODA_DRAWENTIRE, c.state, c.colour);
        ExpectFilledWithText(UNTOUCHED, c.text);
    }
}

TEST_F(FaceListDrawing, ASelectedEntryOfADisabledListKeepsTheSelectedColours)
{
    Draw(2, ODA_DRAWENTIRE, ODS_SELECTED | ODS_DISABLED, GREEN);
    ExpectFilledWithText(GREEN, SELECTED_TEXT);
}

TEST_F(FaceListDrawing, DeselectingFillsWithTheWindowColour)
{
    struct Case { const char* label; COLORREF colour; COLORREF text; };
    const Case cases[] = {
        { "uncoloured", 0, GetSysColor(COLOR_WINDOWTEXT) },
        { "green", GREEN, GREEN },
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        m_canvas.Fill(RGB(0, 0, 0));
        Draw(1, ODA_SELECT, 0, c.colour);
        ExpectFilledWithText(GetSysColor(COLOR_WINDOW), c.text);
    }
}

TEST_F(FaceListDrawing, AFocusChangeDrawsTheFocusRectangleOnce)
{
    Canvas textOnce, textTwice;
    DrawOn(textOnce, 1, ODA_DRAWENTIRE, 0, 0);
    DrawOn(textTwice, 1, ODA_DRAWENTIRE, 0, 0);
    DrawOn(textTwice, 1, ODA_DRAWENTIRE, 0, 0);

    Draw(1, ODA_FOCUS, ODS_FOCUS, 0);
    std::vector<COLORREF> gained = m_canvas.Pixels(), reference = textOnce.Pixels();
    int differing = 0;
    for (int y = 0; y < CANVAS_HEIGHT; ++y)
        for (int x = 0; x < CANVAS_WIDTH; ++x)
            if (gained[y * CANVAS_WIDTH + x] != reference[y * CANVAS_WIDTH + x])
            {
                ++differing;
                EXPECT_TRUE(x == 0 || y == 0 || x == CANVAS_WIDTH - 1 || y == CANVAS_HEIGHT - 1)
                    << "changed inside the entry at " << x << "," << y;
            }
    EXPECT_GT(differing, CANVAS_WIDTH) << "no focus rectangle around the entry";

    Draw(1, ODA_FOCUS, 0, 0);
    EXPECT_TRUE(m_canvas.Pixels() == textTwice.Pixels()) << "the second focus change left something behind";
}

TEST_F(FaceListDrawing, NoEntryDrawsNothingAtAll)
{
    SendMessageA(m_list, LB_RESETCONTENT, 0, 0);
    for (UINT action : { (UINT)ODA_DRAWENTIRE, (UINT)ODA_SELECT, (UINT)ODA_FOCUS })
        Draw(-1, action, ODS_SELECTED | ODS_FOCUS, GREEN);
    EXPECT_EQ(CANVAS_WIDTH * CANVAS_HEIGHT, m_canvas.Count(UNTOUCHED));
}

TEST_F(FaceListDrawing, ATabIsExpandedOnlyWithTabStops)
{
    int entry = (int)SendMessageA(m_list, LB_ADDSTRING, 0, (LPARAM)"1\t2");
    LONG style = GetWindowLongA(m_list, GWL_STYLE);
    ASSERT_FALSE(style & LBS_USETABSTOPS);
    COLORREF text = GetSysColor(COLOR_WINDOWTEXT);

    Draw(entry, ODA_DRAWENTIRE, 0, 0);
    int plainEnd = m_canvas.RightmostOther(UNTOUCHED, UNTOUCHED);
    SetWindowLongA(m_list, GWL_STYLE, style | LBS_USETABSTOPS);
    m_canvas.Fill(UNTOUCHED);
    Draw(entry, ODA_DRAWENTIRE, 0, 0);
    int expandedEnd = m_canvas.RightmostOther(UNTOUCHED, UNTOUCHED);
    SetWindowLongA(m_list, GWL_STYLE, style);

    EXPECT_GT(m_canvas.Count(text), 0);
    ASSERT_GT(plainEnd, 0);
    // A default tab stop lies eight average characters on: far beyond one character's width.
    TEXTMETRICA metrics;
    GetTextMetricsA(m_canvas.Dc(), &metrics);
    EXPECT_GE(expandedEnd, plainEnd + 4 * metrics.tmAveCharWidth)
        << "plain text ends at " << plainEnd << ", expanded at " << expandedEnd;
}

/////////////////////////////////////////////////////////////////////////////
// Colouring an entry

TEST_F(FaceListDrawing, PaintingAFaceColoursItsEntryAndRepaintsTheListAtOnce)
{
    ClickEntry(1);
    RedrawWindow(m_list, NULL, NULL, RDW_UPDATENOW | RDW_ALLCHILDREN);
    ListMessageLog paints(m_list, WM_PAINT);

    SendMessageA(Item(IDC_PAINT_FACE), BM_CLICK, 0, 0);

    EXPECT_EQ(GREEN, EntryColour(1));
    EXPECT_EQ(0u, EntryColour(0));
    EXPECT_EQ(0u, EntryColour(2));
    EXPECT_FALSE(paints.WParams().empty()) << "the list was not repainted before the press returned";
    PumpMessages();
}
