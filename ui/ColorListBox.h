// The face list: an owner-drawn list box whose entries carry a colour in their item data.
#ifndef COLORLISTBOX_H
#define COLORLISTBOX_H

#include <afxwin.h>

#include <set>
#include <utility>
#include <vector>

const COLORREF CLR_PAINTED = 0x000B8800;           // green: face painted
const COLORREF CLR_PAINTED_INVISIBLE = 0x000000C0; // red: face painted invisible
const COLORREF CLR_SELECTED_TEXT = 0x00FEFDFC;     // text of a selected coloured entry

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
    int InsertString(int nIndex, LPCTSTR lpszItem);
    int InsertString(int nIndex, LPCTSTR lpszItem, COLORREF rgb);
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

// Coloured entries (the menu's painted and to-do selections, the materials panel's "painted here")
public:
    // The positions whose item data is a colour, in order, kept as the list's messages set
    // them: asking the list entry by entry costs a message each.
    const std::set<int>& ColouredEntries() const { return m_coloured; }

private:
    void NoteColours(UINT message, WPARAM wParam, LPARAM lParam, LRESULT lResult);
    void ShiftColouredFrom(int position, int by);
    std::set<int> m_coloured;
};

#endif
