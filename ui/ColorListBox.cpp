#include "ui/ColorListBox.h"

#include <string.h>

#include <algorithm>
#include <new>

#include "model/EntryText.h"

BEGIN_MESSAGE_MAP(CColorListBox, CListBox)
END_MESSAGE_MAP()

// Straight to the list's own procedure: sent, every entry of a load would go through the window's
// dispatch to WindowProc and back, which costs a good part of what the list itself spends on the
// entry.
int CColorListBox::AddString(LPCTSTR lpszItem)
{
    m_nSelCount = -1;
    return (int)AddEntry(LB_ADDSTRING, 0, (LPARAM)lpszItem);
}

void CColorListBox::SelectRange(int nFirst, int nLast)
{
    m_nSelCount = -1;
    DefWindowProc(LB_SELITEMRANGEEX, nFirst, nLast);
}

// Repaints the whole list at once, so the user sees each painted face turn green or red.
void CColorListBox::SetItemColour(int nIndex, COLORREF rgb)
{
    SetItemData(nIndex, rgb);
    RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

// The paint codes, not the list, are walked: a message per entry of a long list would cost more
// than the command that asks.
std::vector<int> CColorListBox::EntriesPainted(bool painted) const
{
    std::vector<int> chosen;
    const int count = (int)m_paint.size();
    const int wanted = painted ? m_nPainted : count - m_nPainted;
    // The materials panel asks at every refresh: a list with nothing painted is not walked.
    if (wanted <= 0)
        return chosen;
    chosen.reserve((size_t)wanted);
    for (int i = 0; i < count; ++i)
        if ((m_paint[i] != ENTRY_TO_DO) == painted)
            chosen.push_back(i);
    return chosen;
}

// Position -1 sets every entry, as the list itself does.
LRESULT CColorListBox::WriteItemData(int nIndex, LPARAM data)
{
    LRESULT result = DefWindowProc(LB_SETITEMDATA, nIndex, data);
    if (result == LB_ERR)
        return result;
    const std::uint8_t paint = (std::uint8_t)EntryPaintOf((COLORREF)data);
    if (nIndex == -1)
    {
        std::fill(m_paint.begin(), m_paint.end(), paint);
        m_nPainted = paint != ENTRY_TO_DO ? (int)m_paint.size() : 0;
    }
    else if (nIndex >= 0 && nIndex < (int)m_paint.size())
    {
        m_nPainted += (paint != ENTRY_TO_DO) - (m_paint[nIndex] != ENTRY_TO_DO);
        m_paint[nIndex] = paint;
    }
    return result;
}

// A new entry has no colour.
LRESULT CColorListBox::AddEntry(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_paint.size() == m_paint.capacity())
        m_paint.reserve(m_paint.size() * 2 + 1);
    LRESULT result = DefWindowProc(message, wParam, lParam);
    if (result >= 0 && result <= (LRESULT)m_paint.size())
        m_paint.insert(m_paint.begin() + result, (std::uint8_t)ENTRY_TO_DO);
    return result;
}

LRESULT CColorListBox::DeleteEntry(int nIndex)
{
    LRESULT result = DefWindowProc(LB_DELETESTRING, nIndex, 0);
    if (result != LB_ERR && nIndex >= 0 && nIndex < (int)m_paint.size())
    {
        m_nPainted -= m_paint[nIndex] != ENTRY_TO_DO;
        m_paint.erase(m_paint.begin() + nIndex);
    }
    return result;
}

// Only a hint, as for the list itself: without the room each entry added takes its own.
void CColorListBox::ReserveEntries(size_t more)
{
    try
    {
        m_paint.reserve(m_paint.size() + more);
    }
    catch (const std::bad_alloc&)
    {
    }
}

void CColorListBox::Emptied()
{
    m_paint.clear();
    m_nPainted = 0;
}

void CColorListBox::MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct)
{
    lpMeasureItemStruct->itemHeight = ::GetSystemMetrics(SM_CYMENUCHECK);
}

static COLORREF TextColour(COLORREF rgbEntry, UINT itemState)
{
    if (itemState & ODS_SELECTED)
        return rgbEntry ? CLR_SELECTED_TEXT : ::GetSysColor(COLOR_HIGHLIGHTTEXT);
    if (itemState & ODS_DISABLED)
        return ::GetSysColor(COLOR_GRAYTEXT);
    return rgbEntry ? rgbEntry : ::GetSysColor(COLOR_WINDOWTEXT);
}

void CColorListBox::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    if ((int)lpDrawItemStruct->itemID < 0)
        return;

    CDC dc;
    dc.Attach(lpDrawItemStruct->hDC);
    COLORREF rgbEntry = (COLORREF)lpDrawItemStruct->itemData;
    UINT itemAction = lpDrawItemStruct->itemAction;
    UINT itemState = lpDrawItemStruct->itemState;
    const RECT& rcItem = lpDrawItemStruct->rcItem;

    // A selected entry is filled with its own colour, black when it has none.
    if ((itemState & ODS_SELECTED) && (itemAction & (ODA_DRAWENTIRE | ODA_SELECT)))
        dc.FillSolidRect(&rcItem, rgbEntry);
    if (!(itemState & ODS_SELECTED) && (itemAction & ODA_SELECT))
        dc.FillSolidRect(&rcItem, ::GetSysColor(COLOR_WINDOW));
    // The focus rectangle inverts: drawing it again on focus loss removes it.
    if (itemAction & ODA_FOCUS)
        dc.DrawFocusRect(&rcItem);

    int nOldBkMode = dc.SetBkMode(TRANSPARENT);
    COLORREF rgbOldText = dc.SetTextColor(TextColour(rgbEntry, itemState));

    CString strText;
    GetText(lpDrawItemStruct->itemID, strText);
    RECT rcText = rcItem;
    UINT nFormat = DT_LEFT | DT_SINGLELINE | DT_VCENTER;
    if (GetStyle() & LBS_USETABSTOPS)
        nFormat |= DT_EXPANDTABS;
    dc.DrawText(strText, -1, &rcText, nFormat | DT_CALCRECT);
    dc.DrawText(strText, -1, &rcText, nFormat);

    dc.SetTextColor(rgbOldText);
    dc.SetBkMode(nOldBkMode);
    dc.Detach();
}

// The text the model has for an entry whose face was given another index, else the list's own.
LRESULT CColorListBox::AnswerText(UINT message, int entry, char* buffer)
{
    std::uint16_t index = 0;
    if (!IsModelled(entry) || !m_pModel->ShownIndex(entry, index))
        return DefWindowProc(message, entry, (LPARAM)buffer);
    char szText[ENTRY_TEXT_SIZE];
    FormatEntryText(szText, entry, index);
    size_t length = strlen(szText);
    if (message == LB_GETTEXT && buffer != NULL)
        memcpy(buffer, szText, length + 1);
    return (LRESULT)length;
}

// Messages after which the selection is as it was: the list's questions and its drawing.
// Anything else (a click, a key, a timer while the mouse drags, any change) may have changed it.
static bool KeepsSelection(UINT message)
{
    switch (message)
    {
    case LB_GETCOUNT: case LB_GETTEXT: case LB_GETTEXTLEN: case LB_GETITEMDATA: case LB_GETSEL:
    case LB_GETSELITEMS: case LB_GETCURSEL: case LB_GETTOPINDEX: case LB_GETITEMRECT:
    case LB_GETCARETINDEX: case LB_GETANCHORINDEX: case LB_GETITEMHEIGHT: case LB_ITEMFROMPOINT:
    case WM_PAINT: case WM_ERASEBKGND: case WM_NCPAINT: case WM_GETTEXT: case WM_GETTEXTLENGTH:
    case WM_GETDLGCODE: case WM_NCHITTEST: case WM_SETCURSOR: case WM_GETFONT:
        return true;
    }
    return false;
}

LRESULT CColorListBox::AnswerSelCount()
{
    if (m_nSelCount < 0)
        m_nSelCount = (int)CListBox::WindowProc(LB_GETSELCOUNT, 0, 0);
    return m_nSelCount;
}

LRESULT CColorListBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == LB_GETSELCOUNT)
        return AnswerSelCount();
    bool keepsSelection = KeepsSelection(message);
    if (!keepsSelection)
        m_nSelCount = -1;
    m_contextMenuKey.Before(message, wParam);
    switch (message)
    {
    case WM_KEYDOWN:
        m_bSwallowChar = false;
        if (EscapeClosesParent(m_hWnd, message, wParam) || HandCtrlKeyToParent(wParam))
            return 0;
        break;
    case WM_CHAR:
        if (!m_bSwallowChar)
            break;
        m_bSwallowChar = false;
        return 0;
    case LB_SETITEMDATA:
        return WriteItemData((int)wParam, lParam);
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
        return AddEntry(message, wParam, lParam);
    case LB_DELETESTRING:
        return DeleteEntry((int)wParam);
    case LB_RESETCONTENT:
        Emptied();
        break;
    case LB_INITSTORAGE:
        ReserveEntries(wParam);
        break;
    case LB_GETTEXT:
    case LB_GETTEXTLEN:
        return AnswerText(message, (int)wParam, (char*)lParam);
    }
    LRESULT lResult = CListBox::WindowProc(message, wParam, lParam);
    // Counted again also when asked while the message was at work (its notification).
    if (!keepsSelection)
        m_nSelCount = -1;
    m_contextMenuKey.After(m_hWnd, message, wParam);
    return lResult;
}

/////////////////////////////////////////////////////////////////////////////
// Ctrl+letter keys

// The key arrives as WM_KEYDOWN whether or not the host's loop runs IsDialogMessage. The character
// TranslateMessage makes of it may come while the parent still works on the key (in a message
// box's loop), so it is swallowed from before the parent is asked. Once the parent has taken the
// key nothing here is touched: what it did may have ended the window.
bool CColorListBox::HandCtrlKeyToParent(WPARAM vk)
{
    if (vk < 'A' || vk > 'Z' || ::GetKeyState(VK_CONTROL) >= 0 || ::GetKeyState(VK_MENU) < 0)
        return false;
    CWnd* pParent = GetParent();
    if (pParent == NULL)
        return false;
    m_bSwallowChar = true;
    if (pParent->SendMessage(WM_LIST_CTRL_KEY, vk, ::GetKeyState(VK_SHIFT) < 0) != 0)
        return true;
    m_bSwallowChar = false;
    return false;
}
