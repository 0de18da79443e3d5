#include "ui/ColorListBox.h"

BEGIN_MESSAGE_MAP(CColorListBox, CListBox)
END_MESSAGE_MAP()

// Straight to the list's own procedure: sent, every entry of a load would go through the window's
// dispatch to WindowProc and back, which costs a third of what the list itself spends on the
// entry.
int CColorListBox::AddString(LPCTSTR lpszItem)
{
    return (int)DefWindowProc(LB_ADDSTRING, 0, (LPARAM)lpszItem);
}

int CColorListBox::AddString(LPCTSTR lpszItem, COLORREF rgb)
{
    int nItem = AddString(lpszItem);
    if (nItem >= 0)
        SetItemData(nItem, rgb);
    return nItem;
}

void CColorListBox::SelectRange(int nFirst, int nLast)
{
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

// Some platforms turn a release of the context-menu key into WM_CONTEXTMENU in their default
// handling and some (Wine) do not. The list asks for the menu itself only when no request
// went through it while the key was pressed and released, so it never opens twice.
LRESULT CColorListBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CONTEXTMENU)
        m_bContextMenuAsked = true;
    else if (message == WM_KEYDOWN)
    {
        m_bSwallowChar = false;
        if (wParam == VK_APPS)
            m_bContextMenuAsked = false;
        else if (HandCtrlKeyToParent(wParam))
            return 0;
    }
    else if (message == WM_CHAR && m_bSwallowChar)
    {
        m_bSwallowChar = false;
        return 0;
    }
    LRESULT lResult = CListBox::WindowProc(message, wParam, lParam);
    if (message == WM_KEYUP && wParam == VK_APPS && !m_bContextMenuAsked && m_hWnd != NULL)
        SendMessage(WM_CONTEXTMENU, (WPARAM)m_hWnd, MAKELPARAM(-1, -1));
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
