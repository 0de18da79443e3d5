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

    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
    virtual void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct);

    // The context-menu key: the list asks for its context menu as on a right click. Also the
    // Ctrl keys and the coloured entries below.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    bool m_bContextMenuAsked = false;

// Ctrl+letter keys (the materials panel's Ctrl+M)
public:
    // Ctrl and the letter key vk send the parent the command nID, as its menu item would. The
    // list has the focus, so the key reaches it whether or not the host runs IsDialogMessage.
    void SetCtrlKeyCommand(UINT vk, UINT nID) { m_ctrlKeys.push_back(std::make_pair(vk, nID)); }

private:
    bool HandCtrlKeyToParent(UINT vk);
    std::vector<std::pair<UINT, UINT> > m_ctrlKeys;
    WPARAM m_chSwallow = 0;   // the control character the handed key makes, not for the list

// Coloured entries (the materials panel's "painted here")
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
