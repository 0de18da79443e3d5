// Selecting faces from the list and sending the current face's material to the editor.
#include "ui/MatIdDialog.h"

#include "host/HostFaceSelection.h"
#include "host/HostMaterial.h"
#include "host/HostPolyhedron.h"
#include "host/zvkapi.h"
#include "model/EntryText.h"
#include "ui/BusyIndicator.h"
#include "ui/ListPositions.h"

void CMatIdDialog::OnSelchangeFaceList()
{
    UpdateData(FALSE);
    ZvkHandle polyhedron = SelectedPolyhedron();
    // The list's selection changed: the host has it only once a face of it is given to the host.
    m_list.SetHostHasSelection(false);
    if (polyhedron == NULL)
        return;
    zvkCurrobjEditToolClose();
    if (FullNameOf(polyhedron) != m_list.Name())
        OnLoadList();

    // The list's selection has changed already: the buttons follow it before the host is told, so
    // that a command ended on the way (out of memory) leaves them as the selection rules set them.
    int selected = m_faceList.GetSelCount();
    SetPaintButtons(selected, m_faceList.GetCount());
    if (selected >= 2)
        SelectMultipleFaces();
    else if (selected == 1)
        SelectSingleFace();
    SelectionChanged();
    UpdateData(FALSE);
}

// A command of ours selected entries and gave the host their faces: the rest as after a click.
void CMatIdDialog::ListSelectionMade(int selected)
{
    SetPaintButtons(selected, m_faceList.GetCount());
    SelectionChanged();
    UpdateData(FALSE);
}

// "Paint face" for exactly one selected entry, "Paint selection" for several but not every one
// (every entry selected selects no face in the host, so there is no selection to paint).
void CMatIdDialog::SetPaintButtons(int selected, int entries)
{
    GetDlgItem(IDC_PAINT_FACE)->EnableWindow(selected == 1);
    GetDlgItem(IDC_PAINT_SELECTION)->EnableWindow(selected >= 2 && selected < entries);
}

// What follows a change of the list's selection, however it was made, once the host has the
// faces and the paint buttons follow the selection: the current entry's material to the editor
// unless a mode box is on, and the host refreshed.
void CMatIdDialog::SelectionChanged()
{
    if (!m_bCopyMaterial && !m_bPaintRandom && !m_bPaintInvisible)
        PickFaceMaterial();
    RefreshHost();
}

void CMatIdDialog::SelectSingleFace()
{
    UpdateData(FALSE);
    ZvkHandle polyhedron = SelectedPolyhedron();
    if (polyhedron == NULL)
        return;
    int current = m_faceList.GetCurSel();
    int face = EntryFace(m_faceList, current, m_strItemText);
    int count = zvkPolyhGetNbrFaces(polyhedron);

    if (current >= 0 && IsFaceOf(face, count))
    {
        CHostFaceSelection faces(polyhedron, count);
        if (faces.Select(face))
            m_list.SetHostHasSelection(true);
    }
    RefreshHost();
    UpdateData(FALSE);
}

// One host call per selected entry, each array of one repeated face; every entry selected
// selects no face (the paint buttons say so too).
void CMatIdDialog::SelectMultipleFaces()
{
    UpdateData(FALSE);
    ZvkHandle polyhedron = SelectedPolyhedron();
    if (polyhedron == NULL)
        return;
    int count = zvkPolyhGetNbrFaces(polyhedron);
    {
        CBusyIndicator busy(m_listTitle);
        CHostFaceSelection faces(polyhedron, count);
        int selected = m_faceList.GetSelCount();
        CSelectedPositions positions(m_faceList);
        if (selected != m_faceList.GetCount())
        {
            CString text;
            for (int i = 0; i < positions.GetCount(); ++i)
            {
                int face = EntryFace(m_faceList, positions[i], text);
                if (IsFaceOf(face, count))
                    if (faces.Select(face))
                        m_list.SetHostHasSelection(true);
            }
        }
    }
    RefreshHost();
    UpdateData(FALSE);
}

void CMatIdDialog::PickFaceMaterial()
{
    UpdateData(FALSE);
    // A refused rebuild leaves the list empty: there is no entry to take a face from.
    int current = m_faceList.GetCurSel();
    if (current < 0)
    {
        UpdateData(FALSE);
        return;
    }
    ZvkHandle polyhedron = SelectedPolyhedron();
    if (polyhedron == NULL)
        return;
    int face = EntryFace(m_faceList, current, m_strItemText);

    CHostMaterial material = CHostMaterial::EditorCopy();
    // No material to copy the face's into: the editor keeps what it shows.
    if (!material.IsMade())
    {
        UpdateData(FALSE);
        return;
    }
    const ZvkFace* record = CHostPolyhedron(polyhedron).FaceRecord(face);
    if (record != NULL)
    {
        material.ReadSlot(polyhedron, zvkFaceMaterialIndex(record));
        material.ShowInEditor();
    }
    UpdateData(FALSE);
}
