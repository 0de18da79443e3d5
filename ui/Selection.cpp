// Selecting faces from the list and sending the current face's material to the editor.
#include "ui/MatIdDialog.h"

#include <intrin.h>

#include "host/zvkapi.h"
#include "ui/HostHelpers.h"

// The host takes a face-count-long array for one face: the index repeated in every element.
// A string store fills it as fast as memset fills bytes; a plain loop stores 4 bytes at a time.
static void FillFaceIndices(unsigned int* indices, int count, unsigned int face)
{
    __stosd((unsigned long*)indices, face, (size_t)count);
}

// An array for count faces from the host allocator; none for an empty polyhedron.
static unsigned int* AllocateFaceIndices(int count)
{
    if (count <= 0)
        return NULL;
    return (unsigned int*)zvkCalloc((unsigned int)count, sizeof(unsigned int));
}

static void FreeFaceIndices(unsigned int* indices)
{
    if (indices != NULL)
        zvkFree(indices);
}

void CMatIdDialog::OnSelchangeFaceList()
{
    UpdateData(FALSE);
    ZvkHandle polyhedron = SelectedPolyhedron();
    if (polyhedron == NULL)
        return;
    zvkCurrobjEditToolClose();
    if (!HasFullName(polyhedron, m_strObjectName))
        OnLoadList();

    int selected = m_faceList.GetSelCount();
    GetDlgItem(IDC_PAINT_FACE)->EnableWindow(selected == 1);
    GetDlgItem(IDC_PAINT_SELECTION)->EnableWindow(selected >= 2);
    if (selected >= 2)
        SelectMultipleFaces();
    else if (selected == 1)
        SelectSingleFace();

    if (!m_bCopyMaterial && !m_bPaintRandom && !m_bPaintInvisible)
        PickFaceMaterial();
    RefreshHost();
    UpdateData(FALSE);
}

void CMatIdDialog::SelectSingleFace()
{
    UpdateData(FALSE);
    ZvkHandle polyhedron = SelectedPolyhedron();
    if (polyhedron == NULL)
        return;
    int current = m_faceList.GetCurSel();
    m_faceList.GetText(current, m_strItemText);
    int face = FaceIndexOfEntry(m_strItemText);
    int count = zvkPolyhGetNbrFaces(polyhedron);

    if (current >= 0 && IsFaceOf(face, count))
    {
        unsigned int* indices = AllocateFaceIndices(count);
        if (indices != NULL)
        {
            FillFaceIndices(indices, count, (unsigned int)face);
            zvkPolyhSelectFaces(polyhedron, count, indices);
        }
        FreeFaceIndices(indices);
    }
    RefreshHost();
    UpdateData(FALSE);
}

void CMatIdDialog::SelectMultipleFaces()
{
    UpdateData(FALSE);
    ZvkHandle polyhedron = SelectedPolyhedron();
    if (polyhedron == NULL)
        return;
    int count = zvkPolyhGetNbrFaces(polyhedron);
    unsigned int* indices = AllocateFaceIndices(count);
    m_listTitle.SetWindowText(s_szPleaseWait);

    int selected = m_faceList.GetSelCount();
    {
        CSelectedPositions positions(m_faceList);
        if (selected == m_faceList.GetCount())
            GetDlgItem(IDC_PAINT_SELECTION)->EnableWindow(FALSE);
        else
        {
            CString text;
            for (int i = 0; i < positions.GetCount(); ++i)
            {
                m_faceList.GetText(positions[i], text);
                int face = FaceIndexOfEntry(text);
                if (indices == NULL || !IsFaceOf(face, count))
                    continue;
                FillFaceIndices(indices, count, (unsigned short)face);
                zvkPolyhSelectFaces(polyhedron, count, indices);
            }
        }
    }
    FreeFaceIndices(indices);
    m_listTitle.SetWindowText(s_szListTitle);
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
    m_faceList.GetText(current, m_strItemText);
    int face = FaceIndexOfEntry(m_strItemText);

    ZvkHandle material = NULL;
    zvkMaterialCreate(&material);
    // No material to copy the face's into: the editor keeps what it shows.
    if (material == NULL)
    {
        UpdateData(FALSE);
        return;
    }
    int count = zvkPolyhGetNbrFaces(polyhedron);
    ZvkFace** faces = zvkPolyhGetFaceptrArray(polyhedron);
    const ZvkFace* record = FaceRecord(faces, count, face);
    if (record != NULL)
    {
        zvkPolyhGetMaterial(polyhedron, zvkFaceMaterialIndex(record), material);
        zvkMaterialSetActive(material);
        zvkMaterialFixColor(material);
    }
    ReleaseMaterial(material);
    UpdateData(FALSE);
}
