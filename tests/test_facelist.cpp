// The face list: loading a polyhedron's faces, clearing, the help text, and how the colour-coded
// list draws an entry, read back pixel by pixel.
#include "support/PluginFixture.h"

#include <algorithm>
#include <cstdint>
#include <functional>

namespace {

const COLORREF SELECTED_TEXT = RGB(252, 253, 254);

// A load as far as the face array, whatever follows.
const std::vector<std::string> LOAD_CALLS = {
    "zvkCurrobjEditToolClose", "zvkSceneRefresh", "zvkGetCurrentSelection", "zvkSobjGetType", "zvkMaterialCreate",
    "zvkGetCurrentSelection", "zvkGNodeGetFullName", "zvkSobjGetType", "zvkPolyhGetNbrFaces", "zvkPolyhGetFaceptrArray",
};

void ExpectCalls(std::vector<std::string> expected, const std::vector<std::string>& then = {})
{
    expected.insert(expected.end(), then.begin(), then.end());
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

TEST_F(FaceListLoad, ListsEveryFaceInFaceOrderCallingTheHostInItsOrder)
{
    ZvkHandle polyhedron = AddPolyhedron("Scene\\Body\\Door_L", 4, { 3, 0, 65535, 12 }, 13);
    zvktSelect(polyhedron);
    MessageBoxCatcher boxes;
    PressLoadWithJournal();

    ASSERT_EQ(4, EntryCount());
    EXPECT_EQ("0 | 3", EntryText(0));
    EXPECT_EQ("1 | 0", EntryText(1));
    EXPECT_EQ("2 | 65535", EntryText(2));
    EXPECT_EQ("3 | 12", EntryText(3));
    EXPECT_EQ((std::vector<int>{ 0, 1, 2, 3 }), EntriesColoured(0));
    EXPECT_EQ(LIST_TITLE, ItemText(IDC_LIST_TITLE));
    EXPECT_EQ("Scene\\Body\\Door_L", ItemText(IDC_OBJECT_NAME));
    EXPECT_EQ("3 | 12", ItemText(IDC_ITEM_TEXT));
    EXPECT_TRUE(boxes.Boxes().empty());

    ExpectCalls(LOAD_CALLS, { "zvkPolyhInitializeMaterials", "zvkMaterialSetActive", "zvkMaterialFixColor",
                              "zvkMaterialDestroy", "zvkFree", "zvkCurrobjRefresh", "zvkAllViewRefreshSelObject" });
    ExpectOneMaterialUsedThroughout({ "zvkMaterialSetActive", "zvkMaterialFixColor", "zvkFree" });
    const ZvktCall* name = CallsNamed("zvkGNodeGetFullName")[0];
    EXPECT_EQ((unsigned)(uintptr_t)polyhedron, name->args[0]);
    EXPECT_EQ(0u, name->args[1]);
    EXPECT_EQ(1024u, name->args[3]);
    EXPECT_EQ((unsigned)(uintptr_t)polyhedron, CallsNamed("zvkPolyhInitializeMaterials")[0]->args[0]);
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

// A polyhedron of the face limit or more is refused; no faces or odd host data give an empty
// list, loaded as for any polyhedron: title, name, materials initialised and released.
TEST_F(FaceListLoad, TheFaceCountDecidesBetweenRefusalAndAList)
{
    struct Case
    {
        const char* label;
        int faces, reported;
        bool nullArray, refused;
    };
    const Case cases[] = {
        { "65535 faces", 65535, 65535, false, true },
        { "3 faces reported as 70000", 3, 70000, false, true },
        { "no faces", 3, 0, false, false },
        { "negative face count", 3, -5, false, false },
        { "null face array", 3, 3, true, false },
        { "null face array, count at the limit", 3, 65535, true, false },
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        ResetHost();
        ZvkHandle polyhedron = AddPolyhedron("Scene\\Odd", c.faces);
        zvktSetReportedFaceCount(polyhedron, c.reported);
        zvktSetNullFaceArray(polyhedron, c.nullArray);
        zvktSelect(polyhedron);
        MessageBoxCatcher boxes;
        MessageLog redraws(m_list, { WM_SETREDRAW });
        Press(IDC_LOAD_LIST);

        EXPECT_EQ(0, EntryCount());
        EXPECT_EQ("Scene\\Odd", ItemText(IDC_OBJECT_NAME));
        if (c.refused)
        {
            ExpectOneInformationBox(boxes, TOO_MANY_FACES);
            EXPECT_EQ(REFUSED_TITLE, ItemText(IDC_LIST_TITLE));
            EXPECT_EQ((std::vector<WPARAM>{ FALSE, TRUE }), redraws.WParams(WM_SETREDRAW));
            ExpectPaintButtons(false, false);
            EXPECT_TRUE(IsEnabled(IDC_CLEAR_LIST));
            ExpectCalls(LOAD_CALLS, { "zvkMaterialDestroy", "zvkFree" });
            ExpectOneMaterialUsedThroughout({ "zvkFree" });
        }
        else
        {
            EXPECT_TRUE(boxes.Boxes().empty());
            EXPECT_EQ(LIST_TITLE, ItemText(IDC_LIST_TITLE));
            EXPECT_EQ("", ItemText(IDC_ITEM_TEXT));
            EXPECT_EQ(1u, CallsNamed("zvkPolyhInitializeMaterials").size());
        }
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

        ExpectOneInformationBox(boxes, SELECT_POLYHEDRON);
        EXPECT_EQ(0, EntryCount());
        EXPECT_EQ(LIST_TITLE, ItemText(IDC_LIST_TITLE));
        EXPECT_EQ("Scene\\Body\\Door_L", ItemText(IDC_OBJECT_NAME));
        std::vector<std::string> expected = { "zvkCurrobjEditToolClose", "zvkSceneRefresh", "zvkGetCurrentSelection" };
        if (c.selectSomething)
            expected.push_back("zvkSobjGetType");
        ExpectCalls(expected);
    }
}

// A reload selects entry 0 in the list only, turns "Paint random" off and keeps the other modes.
TEST_F(FaceListLoad, AReloadSelectsEntryZeroOnlyAndResetsPaintRandom)
{
    struct Case
    {
        const char* label;
        std::vector<int> modes;   // pressed before the reload
        std::vector<int> after;   // copy, random, invisible
    };
    const Case cases[] = {
        { "random", { IDC_PAINT_RANDOM }, { 0, 0, 0 } },
        { "copy and invisible", { IDC_COPY_MATERIAL, IDC_PAINT_INVISIBLE }, { 1, 0, 1 } },
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        ZvkHandle polyhedron = LoadPolyhedron("Scene\\Box", 6);
        ClickEntry(2);
        ClickEntry(4, MK_CONTROL);
        ASSERT_TRUE(IsEnabled(IDC_PAINT_SELECTION));
        ASSERT_GT(zvktSelectedFaceCount(polyhedron), 0);
        for (int id : c.modes)
        {
            Press(id);
            ASSERT_EQ(BST_CHECKED, CheckState(id)) << id;
        }

        Press(IDC_LOAD_LIST);

        EXPECT_EQ(std::vector<int>{ 0 }, SelectedEntries());
        EXPECT_EQ(0, zvktSelectedFaceCount(polyhedron));
        ExpectPaintButtons(false, false);
        EXPECT_EQ(c.after, ModeBoxes());
        for (int id : { IDC_CLEAR_LIST, IDC_PAINT_OPTIONS, IDC_COPY_MATERIAL, IDC_PAINT_RANDOM, IDC_PAINT_INVISIBLE })
            EXPECT_TRUE(IsEnabled(id)) << id;
    }
}

TEST_F(FaceListLoad, ReloadAfterPaintingShowsEveryEntryUncolouredWithTheFacesMaterialsNow)
{
    ZvkHandle polyhedron = LoadPolyhedron("Scene\\Box", 5, { 0, 1, 2, 3, 0 }, 4);
    ClickEntry(1);
    SetEditorToMarker();
    Press(IDC_PAINT_FACE);
    ASSERT_EQ(CLR_PAINTED, EntryColour(1));
    SendMessageA(m_list, LB_SETITEMDATA, 3, CLR_PAINTED_INVISIBLE);

    Press(IDC_LOAD_LIST);

    ASSERT_EQ(5, EntryCount());
    EXPECT_EQ((std::vector<int>{ 0, 1, 2, 3, 4 }), EntriesColoured(0));
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(EntryTextFor(i, (unsigned short)zvktFaceMaterialIndex(polyhedron, i)), EntryText(i));
    EXPECT_NE("1 | 1", EntryText(1)) << "face 1 was painted with a new material";
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

using FaceListClear = ToolWindowTest;

TEST_F(FaceListClear, EmptiesTheListAndItsLabelsAndAnEmptyListAgain)
{
    ZvkHandle polyhedron = LoadPolyhedron("Scene\\Box", 6);
    ClickEntry(1);
    ClickEntry(3, MK_CONTROL);
    Press(IDC_COPY_MATERIAL);
    zvktJournalClear();
    MessageLog redraws(m_list, { WM_SETREDRAW });

    Press(IDC_CLEAR_LIST);

    EXPECT_EQ(0, EntryCount());
    EXPECT_EQ(EMPTY_TITLE, ItemText(IDC_LIST_TITLE));
    EXPECT_EQ("", ItemText(IDC_OBJECT_NAME));
    EXPECT_EQ("", ItemText(IDC_ITEM_TEXT));
    ExpectPaintButtons(false, false);
    for (int id : { IDC_CLEAR_LIST, IDC_PAINT_OPTIONS, IDC_COPY_MATERIAL, IDC_PAINT_RANDOM, IDC_PAINT_INVISIBLE, IDC_PAINT_ALL })
        EXPECT_TRUE(IsEnabled(id)) << id;
    EXPECT_EQ(BST_CHECKED, CheckState(IDC_COPY_MATERIAL));
    EXPECT_EQ((std::vector<WPARAM>{ FALSE, TRUE }), redraws.WParams(WM_SETREDRAW));
    EXPECT_EQ(0, zvktSelectedFaceCount(polyhedron));
    ExpectCalls({ "zvkCurrobjEditToolClose", "zvkCurrobjRefresh", "zvkSceneRefresh" });

    // Cleared once more, the empty list still gets its title.
    SetWindowTextA(Item(IDC_LIST_TITLE), "");
    Press(IDC_CLEAR_LIST);
    EXPECT_EQ(0, EntryCount());
    EXPECT_EQ(EMPTY_TITLE, ItemText(IDC_LIST_TITLE));
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

    ExpectOneInformationBox(boxes, help);
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
        std::vector<COLORREF> pixels = Pixels();
        return (int)std::count(pixels.begin(), pixels.end(), colour);
    }
    // The rightmost column holding a pixel of another colour; -1 if none.
    int RightmostNot(COLORREF colour) const
    {
        for (int x = CANVAS_WIDTH - 1; x >= 0; --x)
            for (int y = 0; y < CANVAS_HEIGHT; ++y)
                if (At(x, y) != colour)
                    return x;
        return -1;
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

    // Entry 1 put in the state of the colour as the window's commands do.
    void GiveEntryOneState(COLORREF colour)
    {
        Press(IDC_LOAD_LIST);
        if (colour == 0)
            return;
        if ((CheckState(IDC_PAINT_INVISIBLE) == BST_CHECKED) != (colour == CLR_PAINTED_INVISIBLE))
            Press(IDC_PAINT_INVISIBLE);
        ClickEntry(1);
        Press(IDC_PAINT_FACE);
    }

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

// A selected entry is filled with its colour (black when it has none), whether the list is
// enabled or not; an unselected one drawn entire keeps the background, deselecting fills it with
// the window colour. The text is in the entry's colour unless selected or disabled.
TEST_F(FaceListDrawing, AnEntryIsFilledAndWrittenInTheColoursOfItsState)
{
    struct Case
    {
        const char* label;
        UINT action, state;
        COLORREF colour, before, fill, text;
    };
    const COLORREF black = RGB(0, 0, 0), window = GetSysColor(COLOR_WINDOW);
    const COLORREF windowText = GetSysColor(COLOR_WINDOWTEXT), grayText = GetSysColor(COLOR_GRAYTEXT);
    const COLORREF highlightText = GetSysColor(COLOR_HIGHLIGHTTEXT);
    const Case cases[] = {
        { "selected uncoloured, drawn entire", ODA_DRAWENTIRE, ODS_SELECTED, 0, UNTOUCHED, black, highlightText },
        { "selected uncoloured", ODA_SELECT, ODS_SELECTED, 0, UNTOUCHED, black, highlightText },
        { "selected green", ODA_DRAWENTIRE, ODS_SELECTED, CLR_PAINTED, UNTOUCHED, CLR_PAINTED, SELECTED_TEXT },
        { "selected red", ODA_SELECT, ODS_SELECTED, CLR_PAINTED_INVISIBLE, UNTOUCHED, CLR_PAINTED_INVISIBLE, SELECTED_TEXT },
        { "selected green, disabled", ODA_DRAWENTIRE, ODS_SELECTED | ODS_DISABLED, CLR_PAINTED, UNTOUCHED, CLR_PAINTED, SELECTED_TEXT },
        { "uncoloured", ODA_DRAWENTIRE, 0, 0, UNTOUCHED, UNTOUCHED, windowText },
        { "green", ODA_DRAWENTIRE, 0, CLR_PAINTED, UNTOUCHED, UNTOUCHED, CLR_PAINTED },
        { "uncoloured, disabled", ODA_DRAWENTIRE, ODS_DISABLED, 0, UNTOUCHED, UNTOUCHED, grayText },
        { "red, disabled", ODA_DRAWENTIRE, ODS_DISABLED, CLR_PAINTED_INVISIBLE, UNTOUCHED, UNTOUCHED, grayText },
        { "deselected uncoloured", ODA_SELECT, 0, 0, black, window, windowText },
        { "deselected green", ODA_SELECT, 0, CLR_PAINTED, black, window, CLR_PAINTED },
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        // The entry itself in another state: its colour is the item data the message brings.
        GiveEntryOneState(c.colour == CLR_PAINTED ? CLR_PAINTED_INVISIBLE : CLR_PAINTED);
        m_canvas.Fill(c.before);
        Draw(1, c.action, c.state, c.colour);
        ExpectFilledWithText(c.fill, c.text);
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
        Draw(-1, action, ODS_SELECTED | ODS_FOCUS, CLR_PAINTED);
    EXPECT_EQ(CANVAS_WIDTH * CANVAS_HEIGHT, m_canvas.Count(UNTOUCHED));
}

TEST_F(FaceListDrawing, ATabIsExpandedOnlyWithTabStops)
{
    int entry = (int)SendMessageA(m_list, LB_ADDSTRING, 0, (LPARAM)"1\t2");
    LONG style = GetWindowLongA(m_list, GWL_STYLE);
    ASSERT_FALSE(style & LBS_USETABSTOPS);
    COLORREF text = GetSysColor(COLOR_WINDOWTEXT);

    Draw(entry, ODA_DRAWENTIRE, 0, 0);
    int plainEnd = m_canvas.RightmostNot(UNTOUCHED);
    SetWindowLongA(m_list, GWL_STYLE, style | LBS_USETABSTOPS);
    m_canvas.Fill(UNTOUCHED);
    Draw(entry, ODA_DRAWENTIRE, 0, 0);
    int expandedEnd = m_canvas.RightmostNot(UNTOUCHED);
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
// The list's font and rows

namespace {

// 9.2 points at the screen's resolution, in pixels, rounded to the nearest.
int PixelsOf92Points()
{
    HDC screen = GetDC(NULL);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(NULL, screen);
    return (int)(9.2 * dpi / 72 + 0.5);
}

} // namespace

using FaceListFont = ToolWindowTest;

// Whatever the list holds, it writes in the Arial Black asked for, 9.2 points high, in rows as high
// as a menu check mark (the list exists before its object can measure). The font lives exactly as
// long as the window.
TEST_F(FaceListFont, ArialBlackOf92PointsInRowsAsHighAsAMenuCheckMark)
{
    const HFONT font = (HFONT)SendMessageA(m_list, WM_GETFONT, 0, 0);
    ASSERT_TRUE(font != NULL) << "the list writes in the dialog's font";
    const std::pair<const char*, std::function<void()>> steps[] = {
        { "opened", [] {} },
        { "loaded", [this] { LoadPolyhedron("Scene\\Box", 3); } },
        { "cleared", [this] { Press(IDC_CLEAR_LIST); } },
    };
    for (const auto& step : steps)
    {
        SCOPED_TRACE(step.first);
        step.second();
        EXPECT_EQ(font, (HFONT)SendMessageA(m_list, WM_GETFONT, 0, 0));
        LOGFONTA asked = {};
        ASSERT_EQ((int)sizeof asked, GetObjectA(font, sizeof asked, &asked)) << "the list's font is gone";
        EXPECT_STREQ("Arial Black", asked.lfFaceName);
        EXPECT_EQ(-PixelsOf92Points(), asked.lfHeight) << "negative: the height of the characters, not of the cell";
        EXPECT_EQ(GetSystemMetrics(SM_CYMENUCHECK), (int)SendMessageA(m_list, LB_GETITEMHEIGHT, 0, 0));
    }
    SendMessageA(m_window, WM_CLOSE, 0, 0);
    PumpMessages();
    EXPECT_EQ(0u, GetObjectType(font)) << "the closed window's font was not released";
}

/////////////////////////////////////////////////////////////////////////////
// Colouring an entry

TEST_F(FaceListDrawing, PaintingAFaceColoursItsEntryAndRepaintsTheListAtOnce)
{
    ClickEntry(1);
    RedrawWindow(m_list, NULL, NULL, RDW_UPDATENOW | RDW_ALLCHILDREN);
    MessageLog paints(m_list, { WM_PAINT });

    SendMessageA(Item(IDC_PAINT_FACE), BM_CLICK, 0, 0);

    EXPECT_EQ(std::vector<int>{ 1 }, EntriesColoured(CLR_PAINTED));
    EXPECT_EQ((std::vector<int>{ 0, 2 }), EntriesColoured(0));
    EXPECT_FALSE(paints.Entries().empty()) << "the list was not repainted before the press returned";
    PumpMessages();
}
