// Positions of list entries: selecting them run by run, and reading the selected ones.
#ifndef LISTPOSITIONS_H
#define LISTPOSITIONS_H

#include <vector>

#include <afxwin.h>

#include "model/EntryText.h"
#include "ui/ColorListBox.h"

// The face an entry names: the number its text starts with, read as atoi reads it; the text is
// left in the caller's string. Whether that is a face of the polyhedron selected now is the
// caller's to ask (IsFaceOf), against the face count the host gives.
inline int EntryFace(const CListBox& list, int position, CString& text)
{
    list.GetText(position, text);
    return ReadEntryFaceIndex(text);
}

// The entries at these ascending positions selected besides any already, consecutive ones as one
// range: a message per run rather than per entry.
inline void SelectPositions(CColorListBox& list, const std::vector<int>& positions)
{
    for (size_t i = 0; i < positions.size();)
    {
        size_t last = i;
        while (last + 1 < positions.size() && positions[last + 1] == positions[last] + 1)
            ++last;
        list.SelectRange(positions[i], positions[last]);
        i = last + 1;
    }
}

// Where a list's context menu opens: at the cursor for a right click; under the entry (or at the
// list's corner when it is not in view, or there is none) when the keyboard asked, which gives no
// position.
inline CPoint ContextMenuPosition(const CListBox& list, CPoint pos, int entry)
{
    if (pos.x != -1 || pos.y != -1)
        return pos;
    RECT client, item;
    list.GetClientRect(&client);
    CPoint at(client.left, client.top);
    if (entry >= 0 && list.GetItemRect(entry, &item) != LB_ERR && item.bottom > client.top && item.top < client.bottom)
        at = CPoint(item.left, item.bottom < client.bottom ? item.bottom : client.bottom);
    list.ClientToScreen(&at);
    return at;
}

// The entry under a point of the list's client area, or -1.
inline int EntryAt(const CListBox& list, CPoint client)
{
    BOOL bOutside = TRUE;
    UINT item = list.ItemFromPoint(client, bOutside);
    return bOutside ? -1 : (int)item;
}

// The positions of the selected entries, in the order the list gives them, in a block of just their
// number: for the materials panel's commands, which read them at every press (the tool window's
// own commands read into the buffer below).
inline std::vector<int> SelectedPositionsOf(const CListBox& list)
{
    int count = list.GetSelCount();
    std::vector<int> positions(count > 0 ? (size_t)count : 0u);
    if (count > 0)
    {
        int read = list.GetSelItems(count, positions.data());
        positions.resize(read > 0 ? (size_t)read : 0u);
    }
    return positions;
}

// The positions of the selected entries, in the order the list gives them, held in a buffer of
// 0x100000 bytes that asks for one position fewer than it holds and is released once. Without the
// buffer the command cannot know its entries: std::bad_alloc ends it, and the user is told.
class CSelectedPositions
{
public:
    explicit CSelectedPositions(const CListBox& list)
        : m_positions(static_cast<int*>(::operator new(BUFFER_BYTES))),
          m_count(list.GetSelItems(MAX_POSITIONS, m_positions))
    {
        if (m_count < 0)
            m_count = 0;
    }
    ~CSelectedPositions() { ::operator delete(m_positions); }

    int GetCount() const { return m_count; }
    int operator[](int i) const { return m_positions[i]; }
    const int* Data() const { return m_positions; }

private:
    CSelectedPositions(const CSelectedPositions&);
    CSelectedPositions& operator=(const CSelectedPositions&);

    static const size_t BUFFER_BYTES = 0x100000;
    static const int MAX_POSITIONS = 0x3FFFF;
    int* m_positions;
    int m_count;
};

#endif
