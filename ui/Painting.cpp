// The paint modes and painting one face, the selected faces or the whole polyhedron.
#include "ui/MatIdDialog.h"

#include <stdlib.h>
#include <time.h>

#include "host/HostMaterial.h"
#include "host/HostPolyhedron.h"
#include "host/zvkapi.h"
#include "model/EntryText.h"
#include "model/RandomColour.h"
#include "ui/BusyIndicator.h"
#include "ui/ListPositions.h"
#include "ui/PaintRecorder.h"

static const char s_szGlobalTexture[] = "Global texture changed! Please, reload the list.";

static const int DEFAULT_SHADER_ID = 1;
static const unsigned char WHITE = 255;

/////////////////////////////////////////////////////////////////////////////
// Materials

// The first random colour of a "Paint random" session is derived from white.
static void MakeDefaultWhiteMaterialActive()
{
    CHostMaterial material = CHostMaterial::EditorCopy();
    if (!material.IsMade())
        return;
    ZvkColor colour = material.Colour();
    colour.r = WHITE;
    colour.g = WHITE;
    colour.b = WHITE;
    material.GiveShaderBox();
    material.ApplyShader(LastShaderWithId(DEFAULT_SHADER_ID));
    material.SetColour(colour);
    material.ShowInEditor();
}

static unsigned char RandomComponent(unsigned char old)
{
    return DeriveRandomComponent(old, rand());
}

/////////////////////////////////////////////////////////////////////////////
// Mode check boxes

static void Uncheck(CWnd* pDialog, int nID)
{
    static_cast<CButton*>(pDialog->GetDlgItem(nID))->SetCheck(0);
}

void CMatIdDialog::OnCopyMaterial()
{
    Uncheck(this, IDC_PAINT_RANDOM);
    UpdateData(TRUE);
    UpdateData(FALSE);
}

void CMatIdDialog::OnPaintInvisible()
{
    Uncheck(this, IDC_PAINT_RANDOM);
    UpdateData(TRUE);
    UpdateData(FALSE);
}

// The box has toggled already; the flag still holds the state from before the click.
void CMatIdDialog::OnPaintRandom()
{
    Uncheck(this, IDC_COPY_MATERIAL);
    Uncheck(this, IDC_PAINT_INVISIBLE);
    if (m_bPaintRandom == 0)
        MakeDefaultWhiteMaterialActive();
    UpdateData(TRUE);
    UpdateData(FALSE);
}

/////////////////////////////////////////////////////////////////////////////
// Paint buttons

void CMatIdDialog::OnPaintFace()
{
    PaintWithEditorMaterial(&CMatIdDialog::PaintSelectedFace);
}

void CMatIdDialog::OnPaintSelection()
{
    PaintWithEditorMaterial(&CMatIdDialog::PaintSelectedFaces);
}

// "Paint face" and "Paint selection" differ only in their worker.
void CMatIdDialog::PaintWithEditorMaterial(void (CMatIdDialog::*pfnWorker)())
{
    UpdateData(FALSE);
    if (SelectedPolyhedron() == NULL)
        return;
    CHostMaterial probe;
    if (ReadyEditorPaint(probe) == EDITOR_PAINT_READY)
        (this->*pfnWorker)();
    UpdateData(FALSE);
}

// What a paint with the editor's material checks and prepares before its material is made
// (CHostMaterial::PaintCopy): a probe of the editor's material, which the caller keeps until it
// has painted; in random mode a material with a global texture is refused (and the user told)
// before any colour is derived, otherwise the random colour goes to the editor.
CMatIdDialog::EditorPaint CMatIdDialog::ReadyEditorPaint(CHostMaterial& probe)
{
    probe = CHostMaterial::EditorCopy();
    if (!probe.IsMade())
        return EDITOR_PAINT_NO_MATERIAL;
    if (!m_bPaintRandom)
        return EDITOR_PAINT_READY;
    if (probe.HasGlobalTexture())
    {
        AfxMessageBox(s_szGlobalTexture, MB_ICONINFORMATION, 0);
        return EDITOR_PAINT_REFUSED;
    }
    MakeRandomColour();
    return EDITOR_PAINT_READY;
}

// What the materials panel's Replace paints: the same material with the same refusal.
bool CMatIdDialog::ReadyToPaint(CHostMaterial& probe, CHostMaterial& paint)
{
    EditorPaint ready = ReadyEditorPaint(probe);
    if (ready == EDITOR_PAINT_REFUSED)
        return false;
    if (ready == EDITOR_PAINT_READY)
        paint = CHostMaterial::PaintCopy(m_bPaintInvisible != 0);
    return true;
}

void CMatIdDialog::OnPaintAll()
{
    UpdateData(FALSE);
    if (SelectedPolyhedron() == NULL)
        return;
    if (m_bPaintRandom)
        MakeRandomColour();
    PaintWholePolyhedron();
    UpdateData(FALSE);
}

/////////////////////////////////////////////////////////////////////////////
// Workers

static EntryPaint PaintedEntry(int bPaintInvisible)
{
    return bPaintInvisible ? ENTRY_PAINTED_INVISIBLE : ENTRY_PAINTED;
}

// An empty list has no current entry; its empty text would otherwise read as face 0.
// An entry of a same-name polyhedron with more faces names no face of the one selected now.
void CMatIdDialog::PaintSelectedFace()
{
    UpdateData(FALSE);
    ZvkHandle polyhedron = SelectedPolyhedron();
    if (polyhedron == NULL)
        return;
    int nCurrent = m_faceList.GetCurSel();
    if (nCurrent < 0)
        return;
    int face = EntryFace(m_faceList, nCurrent, m_strItemText);
    if (!IsFaceOf(face, zvkPolyhGetNbrFaces(polyhedron)))
    {
        UpdateData(FALSE);
        return;
    }

    CHostMaterial material = CHostMaterial::PaintCopy(m_bPaintInvisible != 0);
    if (!material.IsMade())
    {
        UpdateData(FALSE);
        return;
    }
    EntryPaint paint = PaintedEntry(m_bPaintInvisible);
    CHostPolyhedron faces(polyhedron);
    CPaintRecorder recorder(faces);
    recorder.Reserve(1);
    recorder.BeforeFace(face);
    faces.PaintFace(face, material);
    recorder.AfterFace(face, m_faceList.PaintOf(face), paint);
    m_faceList.SetItemColour(face, EntryColourOf(paint));
    recorder.Keep();
    material.ShowInEditor();
    material.Release();
    RefreshHost();
    UpdateData(FALSE);
}

// One material for every selected face: the random colour is derived once per press.
void CMatIdDialog::PaintSelectedFaces()
{
    UpdateData(FALSE);
    ZvkHandle polyhedron = SelectedPolyhedron();
    if (polyhedron == NULL)
        return;

    CHostMaterial material = CHostMaterial::PaintCopy(m_bPaintInvisible != 0);
    if (!material.IsMade())
    {
        UpdateData(FALSE);
        return;
    }
    EntryPaint paint = PaintedEntry(m_bPaintInvisible);

    {
        CSelectedPositions positions(m_faceList);
        CBusyIndicator busy(m_listTitle);
        CHostPolyhedron faces(polyhedron);
        CPaintRecorder recorder(faces);
        recorder.Reserve(positions.GetCount());
        for (int i = 0; i < positions.GetCount(); ++i)
        {
            CString strText;
            int face = EntryFace(m_faceList, positions[i], strText);
            if (!IsFaceOf(face, faces.FaceCount()))
                continue;
            recorder.BeforeFace(face);
            faces.PaintFace(face, material);
            recorder.AfterFace(face, m_faceList.PaintOf(positions[i]), paint);
            m_faceList.SetItemColour(positions[i], EntryColourOf(paint));
        }
        recorder.Keep();
    }

    material.ShowInEditor();
    material.Release();
    RefreshHost();
    UpdateData(FALSE);
}

// The emptied list has no entries left to paint, so the per-entry paint buttons go off,
// as "Clear content" leaves them.
void CMatIdDialog::PaintWholePolyhedron()
{
    UpdateData(FALSE);
    ZvkHandle polyhedron = SelectedPolyhedron();
    if (polyhedron == NULL)
        return;

    CHostMaterial material = CHostMaterial::PaintCopy(m_bPaintInvisible != 0);
    // Nothing painted: the list keeps its entries, which still show the faces as they are.
    if (!material.IsMade())
    {
        UpdateData(FALSE);
        return;
    }
    CBusyIndicator busy(m_listTitle);
    // Emptied first: whatever fails later, no entry shows a face as it was before the paint. The
    // recording then does not wait for the list (emptying it sends its parent a message per entry).
    ListEmptied();
    SetPaintButtons(0, 0);
    CHostPolyhedron faces(polyhedron);
    CPaintRecorder recorder(faces);
    recorder.BeforeAll();
    faces.PaintAll(material);
    recorder.AfterAll();
    recorder.Keep();
    material.ShowInEditor();
    material.Release();
    zvkCurrobjEditToolClose();
    RefreshHost();
    UpdateData(FALSE);
}

// Seeded anew at every call; each component takes its own rand() value, red first.
void CMatIdDialog::MakeRandomColour()
{
    UpdateData(FALSE);
    if (SelectedPolyhedron() == NULL)
        return;

    CHostMaterial material = CHostMaterial::EditorCopy();
    if (!material.IsMade())
        return;
    ZvkColor colour = material.Colour();
    srand((unsigned)time(NULL));
    colour.r = RandomComponent(colour.r);
    colour.g = RandomComponent(colour.g);
    colour.b = RandomComponent(colour.b);
    material.SetColour(colour);
    material.ShowInEditor();
}
