#include "ui/MaterialRowList.h"

#include <string.h>

// Columns in the panel's dialog units, across the list's client area; the row's height.
static const int s_columnUnits[][2] = { { 3, 27 }, { 32, 72 }, { 74, 114 }, { 116, 146 }, { 154, 250 } };
static const int ROW_HEIGHT_UNITS = 11;
// The swatch stands this many pixels clear of the row's top and bottom.
static const int SWATCH_INSET = 2;

void CMaterialRowList::ShowRows(const MaterialTally& tally, int current, bool greyed)
{
    m_pTally = &tally;
    m_bGreyed = greyed;
    int rows = RowCount(tally);
    if (GetCount() != rows)
        SendMessage(LB_SETCOUNT, rows);
    if (GetCurSel() != current)
        SetCurSel(current);
    // Drawn when the window next paints: nothing of the list's own is read back.
    RedrawWindow(NULL, NULL, RDW_INVALIDATE);
}

// Measured once the list has its object (its parent the panel), when the dialog units are known.
void CMaterialRowList::MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct)
{
    HWND hWndPanel = ::GetParent(m_hWnd);
    for (int column = 0; column < COLUMNS; ++column)
    {
        RECT units = { s_columnUnits[column][0], 0, s_columnUnits[column][1], ROW_HEIGHT_UNITS };
        ::MapDialogRect(hWndPanel, &units);
        m_columnLeft[column] = units.left;
        m_columnRight[column] = units.right;
        lpMeasureItemStruct->itemHeight = units.bottom;
    }
}

RECT CMaterialRowList::ColumnRect(const RECT& item, Column column) const
{
    RECT rect = { item.left + m_columnLeft[column], item.top, item.left + m_columnRight[column], item.bottom };
    if (rect.right > item.right)
        rect.right = item.right;
    return rect;
}

// The slot's colour; an invisible (alpha 0) one as hatching in that colour over the window's.
static void DrawSwatch(CDC& dc, RECT swatch, const MaterialRow& row)
{
    swatch.top += SWATCH_INSET;
    swatch.bottom -= SWATCH_INSET;
    COLORREF rgb = RGB(row.r, row.g, row.b);
    if (row.a == 0)
    {
        CBrush hatch(HS_DIAGCROSS, rgb);
        int nOldBkMode = dc.SetBkMode(OPAQUE);
        COLORREF rgbOldBk = dc.SetBkColor(::GetSysColor(COLOR_WINDOW));
        dc.FillRect(&swatch, &hatch);
        dc.SetBkColor(rgbOldBk);
        dc.SetBkMode(nOldBkMode);
    }
    else
        dc.FillSolidRect(&swatch, rgb);
    CBrush frame(::GetSysColor(COLOR_GRAYTEXT));
    dc.FrameRect(&swatch, &frame);
}

void CMaterialRowList::DrawWords(CDC& dc, const RECT& item, const RowWords& words)
{
    const struct { Column column; const std::string* text; UINT nFormat; } cells[] = {
        { MATERIAL, &words.material, DT_LEFT }, { FACES, &words.faces, DT_RIGHT },
        { SHARE, &words.share, DT_RIGHT }, { NOTE, &words.note, DT_LEFT | DT_END_ELLIPSIS },
    };
    for (const auto& cell : cells)
    {
        RECT rect = ColumnRect(item, cell.column);
        dc.DrawText(cell.text->c_str(), -1, &rect, cell.nFormat | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
}

// Every action draws the whole row, the focus rectangle last when the row has the focus, so that
// nothing depends on what the row showed before.
void CMaterialRowList::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    int row = (int)lpDrawItemStruct->itemID;
    CDC dc;
    dc.Attach(lpDrawItemStruct->hDC);
    const RECT& rcItem = lpDrawItemStruct->rcItem;
    if (row >= 0 && m_pTally != NULL && row < RowCount(*m_pTally))
    {
        bool selected = (lpDrawItemStruct->itemState & ODS_SELECTED) != 0;
        dc.FillSolidRect(&rcItem, ::GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
        const MaterialRow* material = MaterialRowAt(*m_pTally, row);
        if (material != NULL && material->hasColour)
            DrawSwatch(dc, ColumnRect(rcItem, SWATCH), *material);
        int nOldBkMode = dc.SetBkMode(TRANSPARENT);
        COLORREF rgbOldText = dc.SetTextColor(::GetSysColor(m_bGreyed ? COLOR_GRAYTEXT
                                                            : selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        DrawWords(dc, rcItem, WordsOfRow(*m_pTally, row));
        dc.SetTextColor(rgbOldText);
        dc.SetBkMode(nOldBkMode);
    }
    if (lpDrawItemStruct->itemState & ODS_FOCUS)
        dc.DrawFocusRect(&rcItem);
    dc.Detach();
}

LRESULT CMaterialRowList::AnswerRowText(UINT message, int row, char* buffer) const
{
    if (m_pTally == NULL || row < 0 || row >= RowCount(*m_pTally))
        return LB_ERR;
    std::string text = RowText(*m_pTally, row);
    if (message == LB_GETTEXT && buffer != NULL)
        memcpy(buffer, text.c_str(), text.size() + 1);
    return (LRESULT)text.size();
}

// A host that runs IsDialogMessage for the panel turns Enter into the panel's IDOK itself (and Esc
// into its IDCANCEL); without it the key comes here, and the list asks for the same.
LRESULT CMaterialRowList::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    m_contextMenuKey.Before(message, wParam);
    switch (message)
    {
    case WM_KEYDOWN:
        if (EscapeClosesParent(m_hWnd, message, wParam))
            return 0;
        if (wParam != VK_RETURN)
            break;
        GetParent()->SendMessage(WM_COMMAND, IDOK);
        return 0;
    case LB_GETTEXTLEN:
    case LB_GETTEXT:
        return AnswerRowText(message, (int)wParam, (char*)lParam);
    }
    LRESULT lResult = CListBox::WindowProc(message, wParam, lParam);
    m_contextMenuKey.After(m_hWnd, message, wParam);
    return lResult;
}
