#include "ui/ColorListBox.h"

#include <string.h>

#include "model/EntryText.h"

BEGIN_MESSAGE_MAP(CColorListBox, CListBox)
END_MESSAGE_MAP()

// Straight to the list's own procedure: sent, every entry of a load would go through the window's
// dispatch to WindowProc and back, which costs a third of what the list itself spends on the
// entry.
int CColorListBox::AddString(LPCTSTR lpszItem)
{
    m_nSelCount = -1;
    return (int)DefWindowProc(LB_ADDSTRING, 0, (LPARAM)lpszItem);
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
    COLORREF rgbEntry = IsModelled(lpDrawItemStruct->itemID)
        ? EntryColourOf(m_pModel->PaintOf((int)lpDrawItemStruct->itemID)) : (COLORREF)lpDrawItemStruct->itemData;
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
    case LB_GETITEMDATA:
        if (IsModelled(wParam))
            return (LRESULT)EntryColourOf(m_pModel->PaintOf((int)wParam));
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
