// The tool window's side of the materials panel: the command that opens it, the commands after
// which it shows the host afresh, and what its rows ask of the face list and the host: their
// faces selected, their material to the editor, assigned to the selected entries' faces, or
// replaced everywhere.
#include "ui/MatIdDialog.h"

#include "host/HostFaceSelection.h"
#include "host/HostMaterial.h"
#include "host/HostPolyhedron.h"
#include "host/zvkapi.h"
#include "ui/BusyIndicator.h"
#include "ui/ListPositions.h"
#include "ui/MaterialsPanel.h"
#include "ui/PaintRecorder.h"

static const char s_szNoMaterial[] = "The host could not make a material: nothing was painted.";

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

// "Assign": the faces of the selected entries, in list order, that read another index get one
// copy of the slot; the editor keeps its material. A face the host gives no record for is left:
// what it reads is not known, and undo could not give it back. Nothing to change, no host call.
bool CMatIdDialog::AssignMaterial(unsigned material)
{
    ZvkHandle polyhedron = SelectedPolyhedron();
    if (!IsListOf(polyhedron))
        return false;
    std::vector<int> selected = SelectedPositionsOf(m_faceList);
    CHostPolyhedron faces(polyhedron);
    std::vector<int> toPaint;
    const CHostPolyhedron::Records records = faces.ReadRecords();
    for (int entry : selected)
    {
        int index = records.MaterialOfFace(entry);
        if (index >= 0 && (unsigned)index != material)
            toPaint.push_back(entry);
    }
    if (toPaint.empty())
        return false;
    CHostMaterial copy = CHostMaterial::SlotCopy(polyhedron, (unsigned short)material);
    if (!copy.IsMade())
    {
        AfxMessageBox(s_szNoMaterial, MB_ICONINFORMATION, 0);
        return false;
    }
    PaintFacesOfPanel(faces, toPaint, copy, selected);
    copy.Release();
    RefreshHost();
    return true;
}

// "Replace": the faces whose record reads the index (not the entries' texts, which may be older)
// get what "Paint selection" would paint now, with its refusal; the painted material becomes the
// editor's, as after every paint.
bool CMatIdDialog::ReplaceMaterial(unsigned material)
{
    ZvkHandle polyhedron = SelectedPolyhedron();
    if (!IsListOf(polyhedron))
        return false;
    CHostPolyhedron faces(polyhedron);
    std::vector<int> toPaint;
    const CHostPolyhedron::Records records = faces.ReadRecords();
    for (int face = 0, readable = records.ReadableCount(); face < readable; ++face)
        if (records.MaterialOfReadable(face) == (int)material)
            toPaint.push_back(face);
    if (toPaint.empty())
        return false;
    CHostMaterial probe;
    EditorPaint ready = ReadyEditorPaint(probe);
    if (ready == EDITOR_PAINT_REFUSED)
        return false;
    CHostMaterial paint;
    if (ready == EDITOR_PAINT_READY)
        paint = CHostMaterial::PaintCopy(m_bPaintInvisible != 0);
    if (!paint.IsMade())
    {
        AfxMessageBox(s_szNoMaterial, MB_ICONINFORMATION, 0);
        return false;
    }
    PaintFacesOfPanel(faces, toPaint, paint, SelectedPositionsOf(m_faceList));
    paint.ShowInEditor();
    paint.Release();
    RefreshHost();
    return true;
}

// Both panel paints, once their material is made: the edit tool closed, the faces painted in the
// given order and taken down as one step afterwards; their entries, through the model, show the
// index each reads now, green or (for an invisible material, alpha 0) red, with one repaint of the
// list; and the host's face selection, which closing the edit tool emptied, given back as the list
// has it with one call (none when every entry is selected, as after a click). Nothing is read
// between two paints; what the entries and the selection need is allocated before the first, and
// the step goes into the history last.
void CMatIdDialog::PaintFacesOfPanel(CHostPolyhedron& polyhedron, const std::vector<int>& faces,
                                     const CHostMaterial& material, const std::vector<int>& selected)
{
    EntryPaint paint = material.Colour().a == 0 ? ENTRY_PAINTED_INVISIBLE : ENTRY_PAINTED;
    CBusyIndicator busy(m_listTitle);
    zvkCurrobjEditToolClose();
    CPaintRecorder recorder(polyhedron);
    recorder.BeforeFaces(faces, m_list);
    m_list.ReserveShownIndices();
    int count = polyhedron.FaceCount();
    int reselected = (int)selected.size() < count ? (int)selected.size() : 0;
    CHostFaceSelection hostSelection(polyhedron.Handle(), reselected > 0 ? count : 0);
    for (int face : faces)
        polyhedron.PaintFace(face, material);
    recorder.AfterFaces(paint);
    for (int face : faces)
        m_list.SetPaint(face, paint);
    for (const PaintedFace& face : recorder.Faces())
        m_list.SetShownIndex(face.face, face.after);
    m_faceList.RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    hostSelection.Select(selected.data(), reselected);
    recorder.Keep();
}
