#include "ui/FaceListView.h"

#include "host/HostPolyhedron.h"
#include "ui/ListPositions.h"

bool CFaceListView::IsListOf(ZvkHandle polyhedron) const
{
    return polyhedron != NULL && m_model.IsOf(IdentityOf(polyhedron));
}

std::vector<int> CFaceListView::Selected() const
{
    return SelectedPositionsOf(m_list);
}

// With redrawing off, so the list is drawn once, with the new selection.
void CFaceListView::SelectEntries(const std::vector<int>& chosen, int current)
{
    m_list.SetRedraw(FALSE);
    m_list.SetSel(-1, FALSE);
    SelectPositions(m_list, chosen);
    // A later Shift-click extends from the current entry, as after a click on it.
    m_list.SetAnchorIndex(current);
    m_list.SetCaretIndex(current, FALSE);
    RECT client, first;
    m_list.GetClientRect(&client);
    if (m_list.GetItemRect(chosen.front(), &first) == LB_ERR || first.top < client.top || first.bottom > client.bottom)
        m_list.SetTopIndex(chosen.front());
    m_list.SetRedraw(TRUE);
    m_list.RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE);
}

void CFaceListView::SelectionMade(int selected, bool givenToHost)
{
    m_model.SetHostHasSelection(givenToHost);
    m_window.ListSelectionMade(selected);
}

// The list's entries are of one height (LBS_OWNERDRAWFIXED): those in view lie from the top index
// on, one height apart, and their rectangles need no message each.
void CFaceListView::RepaintEntries(const std::vector<int>& entries)
{
    const int top = (int)m_list.SendMessage(LB_GETTOPINDEX);
    const int height = (int)m_list.SendMessage(LB_GETITEMHEIGHT, 0);
    RECT client;
    m_list.GetClientRect(&client);
    if (height <= 0)
        return Repaint();
    const int end = top + (client.bottom - client.top + height - 1) / height;
    bool any = false;
    for (int entry : entries)
    {
        if (entry < top || entry >= end)
            continue;
        RECT item = { client.left, client.top + (entry - top) * height, client.right, client.top + (entry - top + 1) * height };
        ::InvalidateRect(m_list.m_hWnd, &item, TRUE);
        any = true;
    }
    if (any)
        m_list.UpdateWindow();
}
