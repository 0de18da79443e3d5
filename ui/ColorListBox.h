// The face list: an owner-drawn list box whose entries carry a colour in their item data, the one
// place an entry's paint state lives: it is drawn from there, and every change of it passes
// through this class, which keeps beside it the paint codes and their count for the commands that
// read every entry. Once it is shown the model of the list, a re-numbered entry's text is the
// model's.
#ifndef COLORLISTBOX_H
#define COLORLISTBOX_H

#include <afxwin.h>

#include <vector>

#include "model/FaceListModel.h"
#include "model/PaintHistory.h"
#include "ui/ListKeys.h"

const COLORREF CLR_PAINTED = 0x000B8800;           // green: face painted
const COLORREF CLR_PAINTED_INVISIBLE = 0x000000C0; // red: face painted invisible
const COLORREF CLR_SELECTED_TEXT = 0x00FEFDFC;     // text of a selected coloured entry

// The colour an entry is drawn in for its paint state: its item data, 0 for an entry still to do.
inline COLORREF EntryColourOf(EntryPaint paint)
{
    return paint == ENTRY_PAINTED ? CLR_PAINTED : paint == ENTRY_PAINTED_INVISIBLE ? CLR_PAINTED_INVISIBLE : 0;
}
// And back: any colour but red counts as painted, as the list draws it in that colour.
inline EntryPaint EntryPaintOf(COLORREF colour)
{
    return colour == 0 ? ENTRY_TO_DO : colour == CLR_PAINTED_INVISIBLE ? ENTRY_PAINTED_INVISIBLE : ENTRY_PAINTED;
}

// A Ctrl+letter key pressed in the list (Alt not held) goes to its parent first: wParam the
// letter's virtual key, lParam nonzero with Shift held. A parent that takes the key returns
// nonzero, and the list then acts neither on the key nor on the character made of it.
const UINT WM_LIST_CTRL_KEY = WM_USER + 0x100;

class CColorListBox : public CListBox
{
public:
    CColorListBox() {}
    virtual ~CColorListBox() {}

    int AddString(LPCTSTR lpszItem);
    void SetItemColour(int nIndex, COLORREF rgb);
    // The model re-numbered entries' texts are read from, as long as it holds as many entries as
    // the list.
    void ShowModel(const CFaceListModel* pModel) { m_pModel = pModel; }

    // An entry's paint state, as its item data says; ENTRY_TO_DO outside the list.
    EntryPaint PaintOf(int nIndex) const
    {
        return nIndex >= 0 && nIndex < (int)m_paint.size() ? (EntryPaint)m_paint[nIndex] : ENTRY_TO_DO;
    }
    // Its item data set, without a repaint: a command colouring many entries repaints once.
    void SetPaint(int nIndex, EntryPaint paint) { WriteItemData(nIndex, (LPARAM)EntryColourOf(paint)); }
    // The entries with a colour, counted as their item data changes; and those painted (or still
    // to do), in list order.
    int PaintedCount() const { return m_nPainted; }
    std::vector<int> EntriesPainted(bool painted) const;
    // Selects the entries nFirst to nLast besides any already, straight through the list's own
    // procedure, as AddString adds: a selection made run by run is one call per run.
    void SelectRange(int nFirst, int nLast);

    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
    virtual void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct);

    // The context-menu key: the list asks for its context menu as on a right click. Ctrl+letter
    // keys: handed to the parent (WM_LIST_CTRL_KEY). Esc closes the tool window. The colour
    // text of a re-numbered entry is answered from the model. The selected count
    // (LB_GETSELCOUNT) is counted again only after a message that may change the selection.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    bool HandCtrlKeyToParent(WPARAM vk);
    bool IsModelled(WPARAM entry)
    {
        return m_pModel != NULL && (int)entry >= 0 && (int)entry < m_pModel->EntryCount()
            && m_pModel->EntryCount() == (int)DefWindowProc(LB_GETCOUNT, 0, 0);
    }
    LRESULT AnswerText(UINT message, int entry, char* buffer);
    LRESULT AnswerSelCount();
    // Every change of the entries and their item data comes through these, so the paint codes
    // and their count follow it. Room is taken before the list changes: a failure leaves both as
    // they were.
    LRESULT WriteItemData(int nIndex, LPARAM data);
    LRESULT AddEntry(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DeleteEntry(int nIndex);
    void ReserveEntries(size_t more);
    void Emptied();

    // The list box counts its selection entry by entry, a walk over every entry that the materials
    // panel would repeat at each refresh; -1 when it may have changed since it was counted.
    int m_nSelCount = -1;

    // Each entry's item data as its paint code, and how many are not to do.
    std::vector<std::uint8_t> m_paint;
    int m_nPainted = 0;

    const CFaceListModel* m_pModel = NULL;
    CContextMenuKey m_contextMenuKey;
    bool m_bSwallowChar = false;
};

#endif
