// The face list's context menu: select every face of one material, the painted faces or the
// faces still to do in one step, and copy the list as text.
#include "ui/MatIdDialog.h"

#include "host/HostFaceSelection.h"
#include "host/HostPolyhedron.h"
#include "host/zvkapi.h"
#include "ui/BusyIndicator.h"
#include "ui/ListPositions.h"

static const char s_szSelectMaterial[] = "Select faces of material";

/////////////////////////////////////////////////////////////////////////////
// What the menu looks at

static UINT GreyedUnless(bool enabled)
{
    return MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED);
}

/////////////////////////////////////////////////////////////////////////////
// Opening the menu

// The out-of-date line and the separator under it, found by the line's command wherever the
// resource puts it.
static void DeleteOutOfDateLine(CMenu* pPopup)
{
    int count = pPopup->GetMenuItemCount();
    for (int i = 0; i < count; ++i)
    {
        if (pPopup->GetMenuItemID(i) != ID_FACES_OUT_OF_DATE)
            continue;
        pPopup->DeleteMenu(ID_FACES_OUT_OF_DATE, MF_BYCOMMAND);
        if (i < count - 1 && (pPopup->GetMenuState(i, MF_BYPOSITION) & MF_SEPARATOR))
            pPopup->DeleteMenu(i, MF_BYPOSITION);
        return;
    }
}

// The material number in the first select item, the out-of-date line (with its separator)
// only when it applies, and every item greyed that has nothing to act on.
static void FitMenuItems(CMenu* pPopup, const CListBox& list, const CFaceListModel& model, bool upToDate, int material)
{
    if (material >= 0)
    {
        char szText[64];
        wsprintf(szText, "%s %d", s_szSelectMaterial, material);
        pPopup->ModifyMenu(ID_SELECT_MATERIAL, MF_BYCOMMAND | MF_STRING, ID_SELECT_MATERIAL, szText);
    }
    if (upToDate)
        DeleteOutOfDateLine(pPopup);
    pPopup->EnableMenuItem(ID_SELECT_MATERIAL, GreyedUnless(material >= 0));
    pPopup->EnableMenuItem(ID_SELECT_PAINTED, GreyedUnless(upToDate && model.AnyEntry(true)));
    pPopup->EnableMenuItem(ID_SELECT_TO_DO, GreyedUnless(upToDate && model.AnyEntry(false)));
    pPopup->EnableMenuItem(ID_MATERIALS, GreyedUnless(upToDate && list.GetCount() > 0));
    pPopup->EnableMenuItem(ID_COPY_LIST, GreyedUnless(list.GetCount() > 0));
    pPopup->EnableMenuItem(ID_COPY_SELECTED, GreyedUnless(list.GetSelCount() > 0));
}

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
    m_nMenuEntry = entry;

    CMenu menu;
    CMenu* pPopup = menu.LoadMenu(IDR_FACE_LIST_MENU) ? menu.GetSubMenu(0) : NULL;
    if (pPopup == NULL)
        return;
    ZvkHandle polyhedron = SelectedPolyhedron();
    bool upToDate = IsListOf(polyhedron);
    int material = upToDate && entry >= 0 ? CHostPolyhedron(polyhedron).MaterialOfFace(entry) : -1;
    FitMenuItems(pPopup, m_faceList, m_list, upToDate, material);
    FitUndoItems(pPopup, polyhedron);

    CPoint at = ContextMenuPosition(m_faceList, pos, entry);
    // The chosen command arrives afterwards as WM_COMMAND, as from any menu.
    pPopup->TrackPopupMenu(TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x, at.y, this);
}

/////////////////////////////////////////////////////////////////////////////
// Select commands

// Each command asks the host again: a command may arrive without its menu, or after the host
// changed. An out-of-date list makes no host call beyond these questions.
void CMatIdDialog::OnSelectMaterial()
{
    UpdateData(FALSE);
    ZvkHandle polyhedron = SelectedPolyhedron();
    int entry = m_nMenuEntry;
    if (!IsListOf(polyhedron) || entry < 0 || entry >= m_faceList.GetCount())
        return;
    CBusyIndicator busy(m_listTitle);
    CHostPolyhedron faces(polyhedron);
    int material = faces.MaterialOfFace(entry);
    if (material < 0)
        return;
    SelectEntriesOfMaterial(faces, material, entry);
}

// Exactly the entries whose face has the material index, with the given entry current (the first
// chosen one for -1): the menu's item and the materials panel's rows alike.
void CMatIdDialog::SelectEntriesOfMaterial(const CHostPolyhedron& polyhedron, int material, int current)
{
    int count = m_faceList.GetCount();
    std::vector<int> chosen;
    const CHostPolyhedron::Records records = polyhedron.ReadRecords();
    for (int face = 0; face < count; ++face)
        if (records.MaterialOfFace(face) == material)
            chosen.push_back(face);
    if (!chosen.empty())
        SelectChosenEntries(polyhedron.Handle(), chosen, current >= 0 ? current : chosen.front());
}

void CMatIdDialog::OnSelectPainted()
{
    SelectEntriesByPaintState(true);
}

void CMatIdDialog::OnSelectToDo()
{
    SelectEntriesByPaintState(false);
}

// The painted or the to-do entries, the first of them current.
void CMatIdDialog::SelectEntriesByPaintState(bool painted)
{
    UpdateData(FALSE);
    ZvkHandle polyhedron = SelectedPolyhedron();
    if (!IsListOf(polyhedron))
        return;
    CBusyIndicator busy(m_listTitle);
    std::vector<int> chosen = m_list.Entries(painted);
    if (!chosen.empty())
        SelectChosenEntries(polyhedron, chosen, chosen.front());
}

// Exactly the chosen entries selected, consecutive ones as one range, with redrawing off;
// the current entry gets the focus rectangle and the first chosen one is brought into view.
void CMatIdDialog::SelectEntriesInList(const std::vector<int>& chosen, int current)
{
    m_faceList.SetRedraw(FALSE);
    m_faceList.SetSel(-1, FALSE);
    SelectPositions(m_faceList, chosen);
    // A later Shift-click extends from the current entry, as after a click on it.
    m_faceList.SetAnchorIndex(current);
    m_faceList.SetCaretIndex(current, FALSE);
    RECT client, first;
    m_faceList.GetClientRect(&client);
    if (m_faceList.GetItemRect(chosen.front(), &first) == LB_ERR || first.top < client.top
        || first.bottom > client.bottom)
        m_faceList.SetTopIndex(chosen.front());
    m_faceList.SetRedraw(TRUE);
    m_faceList.RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE);
}

// What a click that left exactly these entries selected does, with one host call for all of
// them (none when every entry is chosen, as a click that selects every entry leaves it). When
// the host gives no array for that call the list stays as it was.
void CMatIdDialog::SelectChosenEntries(ZvkHandle polyhedron, const std::vector<int>& chosen, int current)
{
    zvkCurrobjEditToolClose();
    int count = m_faceList.GetCount();
    int selected = (int)chosen.size();
    {
        CHostFaceSelection faces(polyhedron, selected < count ? count : 0);
        if (selected < count && !faces.IsReady())
            return;
        SelectEntriesInList(chosen, current);
        SetPaintButtons(selected, count);
        faces.Select(chosen.data(), selected);
    }
    SelectionChanged();
    UpdateData(FALSE);
}
