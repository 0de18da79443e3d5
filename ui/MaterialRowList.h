// The materials panel's rows: an owner-drawn list without data of its own (LBS_NODATA) that
// draws the panel's counts, each row a colour swatch and its words in columns.
#ifndef MATERIALROWLIST_H
#define MATERIALROWLIST_H

#include <afxwin.h>

#include "model/MaterialTally.h"
#include "ui/ListKeys.h"

class CMaterialRowList : public CListBox
{
public:
    CMaterialRowList() {}
    virtual ~CMaterialRowList() {}

    // The rows to draw, kept by the panel, with this row current; greyed while the face list
    // is out of date.
    void ShowRows(const MaterialTally& tally, int current, bool greyed);

    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
    virtual void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct);

    // Enter acts on the current row (the panel's IDOK) and Esc closes the panel whether or not the
    // host runs IsDialogMessage for the panel, and the context-menu key asks for the row's menu;
    // a row's words are its text, for whoever reads the list.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

private:
    enum Column { SWATCH, MATERIAL, FACES, SHARE, NOTE, COLUMNS };
    RECT ColumnRect(const RECT& item, Column column) const;
    void DrawWords(CDC& dc, const RECT& item, const RowWords& words);
    LRESULT AnswerRowText(UINT message, int row, char* buffer) const;

    CContextMenuKey m_contextMenuKey;
    const MaterialTally* m_pTally = NULL;
    bool m_bGreyed = false;
    int m_columnLeft[COLUMNS] = {};    // pixels, from the dialog units of the panel
    int m_columnRight[COLUMNS] = {};
};

#endif
