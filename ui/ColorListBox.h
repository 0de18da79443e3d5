// The face list: an owner-drawn list box whose entries carry a colour in their item data. It only
// draws them: which entries are painted the tool window's model of the list knows.
#ifndef COLORLISTBOX_H
#define COLORLISTBOX_H

#include <afxwin.h>

#include "model/PaintHistory.h"

const COLORREF CLR_PAINTED = 0x000B8800;           // green: face painted
const COLORREF CLR_PAINTED_INVISIBLE = 0x000000C0; // red: face painted invisible
const COLORREF CLR_SELECTED_TEXT = 0x00FEFDFC;     // text of a selected coloured entry

// The colour an entry is drawn in for its paint state: its item data, 0 for an entry still to do.
inline COLORREF EntryColourOf(EntryPaint paint)
{
    return paint == ENTRY_PAINTED ? CLR_PAINTED : paint == ENTRY_PAINTED_INVISIBLE ? CLR_PAINTED_INVISIBLE : 0;
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
    int AddString(LPCTSTR lpszItem, COLORREF rgb);
    void SetItemColour(int nIndex, COLORREF rgb);
    // Selects the entries nFirst to nLast besides any already, straight through the list's own
    // procedure, as AddString adds: a selection made run by run is one call per run.
    void SelectRange(int nFirst, int nLast);

    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
    virtual void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct);

    // The context-menu key: the list asks for its context menu as on a right click. Ctrl+letter
    // keys: handed to the parent (WM_LIST_CTRL_KEY).
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    bool HandCtrlKeyToParent(WPARAM vk);

    bool m_bContextMenuAsked = false;
    bool m_bSwallowChar = false;
};

#endif
