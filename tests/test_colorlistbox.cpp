// The colour-coded list box on its own, for what the tool window never asks of it: colour 0,
// positions outside the list; Ctrl+letter keys handed to the parent; its kept selected count; and
// the class library's module-state switch around its calls and messages.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "ui/ColorListBox.h"

namespace {

// Counts the entries drawn, so a test can tell a repaint happened before a call returned.
class CCountingListBox : public CColorListBox
{
public:
    int m_nDraws = 0;
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override
    {
        ++m_nDraws;
        CColorListBox::DrawItem(lpDrawItemStruct);
    }
};

// A parent that takes the Ctrl+letter keys the list hands it, when told to, and notes them: the
// letter, with "+" for Shift.
class CKeyTaker : public CWnd
{
public:
    bool m_bTake = false;
    std::string m_keys;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message != WM_LIST_CTRL_KEY)
            return CWnd::WindowProc(message, wParam, lParam);
        m_keys += std::string(1, (char)wParam) + (lParam ? "+" : "");
        return m_bTake;
    }
};

class ColorListBox : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The parent reflects owner draw to the list's object, as the tool window does.
        HWND parent = CreateWindowExA(0, "STATIC", "parent", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200,
                                      NULL, NULL, NULL, NULL);
        ASSERT_TRUE(m_parent.SubclassWindow(parent));
        HWND list = CreateWindowExA(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE | LBS_OWNERDRAWFIXED
                                    | LBS_HASSTRINGS | LBS_EXTENDEDSEL | LBS_NOINTEGRALHEIGHT,
                                    0, 0, 180, 180, parent, (HMENU)3017, NULL, NULL);
        ASSERT_TRUE(m_list.SubclassWindow(list));
        for (const char* text : { "0 | 0", "1 | 0", "2 | 0" })
            m_list.AddString(text);
        UpdateWindow(list);
    }
    void TearDown() override
    {
        ::DestroyWindow(m_parent.m_hWnd);
    }

    // The item data of every entry.
    std::vector<COLORREF> Colours() const
    {
        std::vector<COLORREF> colours;
        for (int i = 0; i < m_list.GetCount(); ++i)
            colours.push_back((COLORREF)m_list.SendMessage(LB_GETITEMDATA, i));
        return colours;
    }

    CKeyTaker m_parent;
    CCountingListBox m_list;
};

TEST_F(ColorListBox, EntriesAreAddedWithoutColour)
{
    EXPECT_EQ((std::vector<COLORREF>{ 0, 0, 0 }), Colours());
    EXPECT_EQ(GetSystemMetrics(SM_CYMENUCHECK), (int)m_list.SendMessage(LB_GETITEMHEIGHT, 0));
}

TEST_F(ColorListBox, SetItemColourColoursOneEntryAndRepaintsAtOnce)
{
    m_list.m_nDraws = 0;
    m_list.SetItemColour(1, CLR_PAINTED);
    EXPECT_EQ((std::vector<COLORREF>{ 0, CLR_PAINTED, 0 }), Colours());
    EXPECT_GE(m_list.m_nDraws, 3) << "every entry is drawn again before the call returns";

    m_list.m_nDraws = 0;
    m_list.SetItemColour(1, 0);
    EXPECT_EQ((std::vector<COLORREF>{ 0, 0, 0 }), Colours()) << "colour 0 makes the entry a to-do entry again";
    EXPECT_GE(m_list.m_nDraws, 3);
}

TEST_F(ColorListBox, APositionOutsideTheListChangesNothingButStillRepaints)
{
    m_list.SetItemColour(0, CLR_PAINTED_INVISIBLE);
    for (int position : { 3, 99, -5 })
    {
        SCOPED_TRACE(position);
        m_list.m_nDraws = 0;
        m_list.SetItemColour(position, CLR_PAINTED);
        EXPECT_EQ((std::vector<COLORREF>{ CLR_PAINTED_INVISIBLE, 0, 0 }), Colours());
        EXPECT_GE(m_list.m_nDraws, 3);
    }
}

// The list keeps its selected count between questions: whichever way the selection changes next,
// the count asked afterwards is the one the entries show (it was asked, and kept, just before).
TEST_F(ColorListBox, TheSelectedCountFollowsEveryWayTheSelectionChanges)
{
    RECT second;
    m_list.GetItemRect(1, &second);
    const LPARAM atSecond = MAKELPARAM(second.left + 2, second.top + 2);
    auto shiftHeld = [](bool held) {
        BYTE state[256] = {};
        state[VK_SHIFT] = held ? 0x80 : 0;
        SetKeyboardState(state);
    };
    const struct { const char* way; std::function<void()> change; } ways[] = {
        { "LB_SETSEL", [&] { m_list.SetSel(0, TRUE); } },
        { "a run selected straight", [&] { m_list.SelectRange(1, 2); } },
        { "LB_SETSEL of all off", [&] { m_list.SetSel(-1, FALSE); } },
        { "a click", [&] { m_list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, atSecond); m_list.SendMessage(WM_LBUTTONUP, 0, atSecond); } },
        { "Shift+Down", [&] { shiftHeld(true); m_list.SendMessage(WM_KEYDOWN, VK_DOWN, 0); shiftHeld(false); } },
        { "a selected entry deleted", [&] { m_list.SendMessage(LB_DELETESTRING, 2); } },
        { "an entry added", [&] { m_list.AddString("9 | 0"); m_list.SetSel(2, TRUE); } },
        { "LB_RESETCONTENT", [&] { m_list.ResetContent(); } },
    };
    for (const auto& way : ways)
    {
        SCOPED_TRACE(way.way);
        m_list.GetSelCount();
        way.change();
        int shown = 0;
        for (int i = 0; i < m_list.GetCount(); ++i)
            shown += m_list.SendMessage(LB_GETSEL, i) > 0;
        EXPECT_EQ(shown, m_list.GetSelCount());
    }
}

// A Ctrl+letter key goes to the parent first. One the parent takes is not typed into the list,
// whose type-ahead would otherwise go to the entry that starts with the character made of it.
TEST_F(ColorListBox, ACtrlLetterKeyGoesToTheParentAndIsNotTypedOnceTaken)
{
    m_list.AddString("\x1A: Ctrl+Z's character");
    struct Case { const char* label; bool take; BYTE shift, alt; const char* asked; int caret; };
    const Case cases[] = {
        { "taken", true, 0, 0, "Z", 0 },
        { "taken, with Shift", true, 0x80, 0, "Z+", 0 },
        { "left to the list", false, 0, 0, "Z", 3 },
        { "with Alt as well: the list's alone", true, 0, 0x80, "", -1 },
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        m_list.SetCaretIndex(0);
        m_parent.m_bTake = c.take;
        m_parent.m_keys.clear();
        BYTE state[256] = {};
        state[VK_CONTROL] = 0x80;
        state[VK_SHIFT] = c.shift;
        state[VK_MENU] = c.alt;
        SetKeyboardState(state);
        PostMessageA(m_list.m_hWnd, WM_KEYDOWN, 'Z', 1);
        for (MSG msg; PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE);)
        {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        BYTE released[256] = {};
        SetKeyboardState(released);
        EXPECT_EQ(c.asked, m_parent.m_keys);
        const int caret = (int)m_list.SendMessage(LB_GETCARETINDEX);
        EXPECT_TRUE(c.caret < 0 || c.caret == caret) << caret;
    }
}

// The module-state switch puts back the state it found when the call that switched returns, by a
// return or an exception, nested, and around every message to a window of the library.
TEST_F(ColorListBox, TheModuleStateSwitchPutsBackTheStateItFound)
{
    AFX_MODULE_STATE other = {};
    auto once = [] { AFX_MANAGE_STATE(AfxGetStaticModuleState()); EXPECT_EQ(AfxGetStaticModuleState(), AfxGetModuleState()); };
    const struct { const char* label; std::function<void()> call; } cases[] = {
        { "a call", once },
        { "a call left by an exception", [] {
              try { AFX_MANAGE_STATE(AfxGetStaticModuleState()); throw 1; } catch (int) {}
          } },
        { "a call inside another", [&] {
              AFX_MANAGE_STATE(&other);
              once();
              EXPECT_EQ(&other, AfxGetModuleState());
          } },
        { "a message to the list", [&] { m_list.GetCount(); } },
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.label);
        AFX_MODULE_STATE* before = AfxGetModuleState();
        ASSERT_NE(AfxGetStaticModuleState(), before);
        c.call();
        EXPECT_EQ(before, AfxGetModuleState());
    }
}

} // namespace
