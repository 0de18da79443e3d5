// The materials panel: a small modeless window owned by the tool window that shows every material
// index the listed polyhedron's faces use, with its slot's colour, its faces and their share, and
// acts on a row: its faces selected, its material sent to the Material Editor, assigned to the
// selected entries' faces, or replaced everywhere by the editor's.
#ifndef MATERIALSPANEL_H
#define MATERIALSPANEL_H

#include <afxwin.h>

#include "host/zvkapi.h"
#include "model/MaterialTally.h"
#include "ui/MaterialRowList.h"
#include "ui/PanelCommands.h"
#include "ui/resource.h"

class CMaterialsPanel : public CDialog
{
public:
    enum { IDD = IDD_MATERIALS };

    // The one panel: made beside the tool window (or where it was last shown during this run),
    // or brought forward; either way showing the polyhedron of the owner's list, which the owner
    // has just found up to date.
    static void Open(CWnd& owner, CPanelCommands& commands, ZvkHandle listed);
    // The open panel, if any, shows the host's materials afresh, or greys its rows when the
    // face list is out of date.
    static void RefreshOpen();
    // The same while the face list follows Modelvane: the rows recounted without a slot read (only
    // reads of the host); a row new to the panel, or every row of another polyhedron, without its
    // swatch until the next refresh.
    static void FollowOpen();
    // The plug-in unloads: no window may outlive its code.
    static void CloseOpen();

protected:
    CMaterialsPanel(CWnd& owner, CPanelCommands& commands);
    virtual ~CMaterialsPanel() {}

    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnInitDialog();
    virtual void PostNcDestroy();
    // Enter (and a double-click): the current row's faces selected. Esc closes the panel.
    virtual void OnOK();
    virtual void OnCancel();
    void OnClose();
    void OnDestroy();
    void OnDblclkRows();
    void OnSelchangeRows();
    void OnToEditor();
    void OnAssign();
    void OnReplace();
    void OnContextMenu(CWnd* pWnd, CPoint pos);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

    void Refresh(bool readColours = true);
    void Show(ZvkHandle listed, bool readColours = true);
    void CountFaces(ZvkHandle polyhedron);
    void ReadColours(ZvkHandle polyhedron);
    void KeepColours(const MaterialTally& before);
    int CurrentRowAfterCount(const MaterialTally& before, int current) const;
    const MaterialRow* RowToActOn();
    void UpdateCommands();
    void PlaceWindow();

private:
    static CMaterialsPanel* s_pOpen;

    CWnd& m_owner;
    CPanelCommands& m_commands;
    CStatic m_state;
    CMaterialRowList m_rowList;
    CStatic m_total;
    CButton m_btnToEditor;
    CButton m_btnAssign;
    CButton m_btnReplace;
    // What the three buttons show, so that a refresh calls the window server only for a change.
    int m_commandsShown = -1;
    MaterialTally m_tally;
    bool m_bUpToDate = false;
    bool m_bActive = false;
    // What the panel's texts show (the title the object's name): set again only when it changes.
    CString m_strName, m_strState, m_strTotal;

    DECLARE_MESSAGE_MAP()
};

#endif
