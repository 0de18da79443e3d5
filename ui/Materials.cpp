// The tool window's side of the materials panel: the command that opens it, the commands after
// which it shows the host afresh, and what its rows ask of the face list.
#include "ui/MatIdDialog.h"

#include "host/HostMaterial.h"
#include "host/HostPolyhedron.h"
#include "host/zvkapi.h"
#include "ui/BusyIndicator.h"
#include "ui/MaterialsPanel.h"

// "Materials..." and Ctrl+M: for a list of the selected polyhedron that has entries. No data
// exchange: nothing of the window's members changes, and it would cost more than the count.
void CMatIdDialog::OnMaterials()
{
    ZvkHandle polyhedron = SelectedPolyhedron();
    if (m_faceList.GetCount() <= 0 || !IsListOf(polyhedron))
        return;
    CMaterialsPanel::Open(*this, polyhedron);
}

// Every load, paint and selection change of the face list. An undone or redone paint refreshes
// the panel itself (PaintRestored), since one with nothing to act on must not touch the host.
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

// The panel follows once the command is done. Nothing of the dialog is touched afterwards: a
// command may have closed it.
BOOL CMatIdDialog::OnCommand(WPARAM wParam, LPARAM lParam)
{
    BOOL bHandled = CDialog::OnCommand(wParam, lParam);
    if (ChangesWhatThePanelShows(LOWORD(wParam), HIWORD(wParam)))
        CMaterialsPanel::RefreshOpen();
    return bHandled;
}

// A row double-clicked or Enter: what "Select faces of material N" does, with the first
// chosen entry current.
void CMatIdDialog::SelectFacesOfMaterial(unsigned material)
{
    UpdateData(FALSE);
    ZvkHandle polyhedron = SelectedPolyhedron();
    if (!IsListOf(polyhedron))
        return;
    CBusyIndicator busy(m_listTitle);
    SelectEntriesOfMaterial(CHostPolyhedron(polyhedron), (int)material, -1);
}

// "To editor": the slot's material to the Material Editor, as picking a face of it sends it,
// whatever mode box is on (the user asked for it).
void CMatIdDialog::ShowMaterialInEditor(unsigned material)
{
    UpdateData(FALSE);
    ZvkHandle polyhedron = SelectedPolyhedron();
    if (!IsListOf(polyhedron))
        return;
    CHostMaterial copy = CHostMaterial::SlotCopy(polyhedron, (unsigned short)material);
    if (!copy.IsMade())
        return;
    copy.ShowInEditor();
    copy.Release();
    RefreshHost();
}
