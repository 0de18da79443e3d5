// The tool window's side of our commands: the face list's context menu and Ctrl+letter keys, and
// the routing of their commands to the classes that carry them out; the materials panel opened,
// and shown afresh after every command that may change what it shows.
#include "ui/MatIdDialog.h"

#include "host/HostPolyhedron.h"
#include "ui/ListPositions.h"
#include "ui/MaterialsPanel.h"

// The Ctrl+letter keys the face list hands to the window, each giving a command as its menu item
// does; a command with nothing to act on then does nothing, as its greyed item would. A key is
// taken whatever state its command is in, so that the list never acts on it.
static const struct
{
    UINT vk;
    bool shift;
    UINT command;
} s_listKeys[] = {
    { 'Z', false, ID_UNDO_PAINT },
    { 'Y', false, ID_REDO_PAINT },
    { 'Z', true, ID_REDO_PAINT },
    { 'M', false, ID_MATERIALS },
    { 'F', false, ID_FOLLOW_HOST },
};

LRESULT CMatIdDialog::OnListCtrlKey(WPARAM vk, LPARAM shift)
{
    for (const auto& key : s_listKeys)
        if (key.vk == vk && key.shift == (shift != 0))
        {
            SendMessage(WM_COMMAND, key.command);
            return TRUE;
        }
    return FALSE;
}

/////////////////////////////////////////////////////////////////////////////
// The face list's context menu

void CMatIdDialog::OnContextMenu(CWnd* pWnd, CPoint pos)
{
    // The dialog's other controls and its caption keep the platform's own handling, and so do
    // the list's scroll bars and border: the menu is about entries.
    bool byKeyboard = pos.x == -1 && pos.y == -1;
    CPoint client = pos;
    RECT rcClient;
    m_faceList.ScreenToClient(&client);
    m_faceList.GetClientRect(&rcClient);
    if (pWnd == NULL || pWnd->m_hWnd != m_faceList.m_hWnd || (!byKeyboard && !::PtInRect(&rcClient, client)))
    {
        DefWindowProc(WM_CONTEXTMENU, (WPARAM)(pWnd ? pWnd->m_hWnd : NULL), MAKELPARAM(pos.x, pos.y));
        return;
    }
    UpdateData(FALSE);

    int count = m_faceList.GetCount();
    int entry = byKeyboard ? m_faceList.GetCurSel() : EntryAt(m_faceList, client);
    if (entry < 0 || entry >= count)
        entry = -1;

    CMenu menu;
    CMenu* pPopup = menu.LoadMenu(IDR_FACE_LIST_MENU) ? menu.GetSubMenu(0) : NULL;
    if (pPopup == NULL)
        return;
    ZvkHandle polyhedron = SelectedPolyhedron();
    m_listCommands.FitMenu(pPopup, entry, polyhedron);
    m_undoCommands.FitMenu(pPopup, polyhedron);
    m_followCommands.FitMenu(pPopup);

    CPoint at = ContextMenuPosition(m_faceList, pos, entry);
    // The chosen command arrives afterwards as WM_COMMAND, as from any menu.
    pPopup->TrackPopupMenu(TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x, at.y, this);
}

/////////////////////////////////////////////////////////////////////////////
// Routing

// "Materials..." and Ctrl+M: for a list of the selected polyhedron that has entries.
void CMatIdDialog::OnMaterials()
{
    ZvkHandle polyhedron = SelectedPolyhedron();
    if (m_faceList.GetCount() <= 0 || !m_view.IsListOf(polyhedron))
        return;
    CMaterialsPanel::Open(*this, m_panelCommands, polyhedron);
}

// Our menu's commands (from the menu or a key); false for any other. bHostChanged says whether
// an undo or redo acted: one with nothing to act on must not touch the host, the panel included.
bool CMatIdDialog::RunOwnCommand(UINT nID, bool& bHostChanged)
{
    switch (nID)
    {
    case ID_SELECT_MATERIAL: m_listCommands.SelectMaterialOfMenuEntry(); return true;
    case ID_SELECT_PAINTED: m_listCommands.SelectPaintState(true); return true;
    case ID_SELECT_TO_DO: m_listCommands.SelectPaintState(false); return true;
    case ID_COPY_LIST: m_listCommands.CopyAll(); return true;
    case ID_COPY_SELECTED: m_listCommands.CopySelected(); return true;
    case ID_MATERIALS: OnMaterials(); return true;
    case ID_UNDO_PAINT: bHostChanged = m_undoCommands.Undo(); return true;
    case ID_REDO_PAINT: bHostChanged = m_undoCommands.Redo(); return true;
    case ID_FOLLOW_HOST: m_followCommands.Toggle(*this); return true;
    }
    return false;
}

// Every load, paint and selection change of the face list.
static bool ChangesWhatThePanelShows(UINT nID, UINT nCode)
{
    static const struct { UINT nID; UINT nCode; } s_commands[] = {
        { IDC_LOAD_LIST, BN_CLICKED }, { IDC_CLEAR_LIST, BN_CLICKED }, { IDC_FACE_LIST, LBN_SELCHANGE },
        { IDC_PAINT_FACE, BN_CLICKED }, { IDC_PAINT_SELECTION, BN_CLICKED }, { IDC_PAINT_ALL, BN_CLICKED },
        { ID_SELECT_MATERIAL, 0 }, { ID_SELECT_PAINTED, 0 }, { ID_SELECT_TO_DO, 0 },
    };
    for (const auto& command : s_commands)
        if (command.nID == nID && command.nCode == nCode)
            return true;
    return false;
}

// The panel follows once the command is done. Nothing of the dialog is touched after a command of
// its own controls: one may have closed it.
BOOL CMatIdDialog::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT nID = LOWORD(wParam), nCode = HIWORD(wParam);
    bool bRefreshPanel = ChangesWhatThePanelShows(nID, nCode);
    BOOL bHandled = lParam == 0 && RunOwnCommand(nID, bRefreshPanel);
    if (!bHandled)
        bHandled = CDialog::OnCommand(wParam, lParam);
    if (bRefreshPanel)
        CMaterialsPanel::RefreshOpen();
    return bHandled;
}

/////////////////////////////////////////////////////////////////////////////
// Following Modelvane

// The materials panel follows the list without reading a slot: a tick only reads the host.
LRESULT CMatIdDialog::OnFollowTimer(WPARAM nIDEvent, LPARAM)
{
    if (nIDEvent == CFollowCommands::TIMER_ID && m_followCommands.IsOn() && CFollowCommands::MayLookNow(*this)
        && m_followCommands.Tick())
        CMaterialsPanel::FollowOpen();
    return 0;
}
