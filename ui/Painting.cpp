// The paint modes and painting one face, the selected faces or the whole polyhedron.
#include "ui/MatIdDialog.h"

#include <stdlib.h>
#include <time.h>

#include "host/zvkapi.h"
#include "ui/BusyIndicator.h"
#include "host/HostPolyhedron.h"
#include "ui/PaintRecorder.h"
#include "model/RandomColour.h"

static const char s_szGlobalTexture[] = "Global texture changed! Please, reload the list.";

static const int DEFAULT_SHADER_ID = 1;
static const unsigned char WHITE = 255;
static const unsigned char INVISIBLE_ALPHA = 0;

/////////////////////////////////////////////////////////////////////////////
// Materials

// NULL when the host made none: the caller stops there.
static ZvkHandle TakeEditorMaterial()
{
    ZvkHandle material = CreateEditorCopy();
    if (material != NULL)
        zvkMaterialGetActive();
    return material;
}

static void MakeInvisible(ZvkHandle material)
{
    ZvkColor colour = ColourOf(material);
    colour.a = INVISIBLE_ALPHA;
    zvkMaterialSetColor(material, &colour);
}

// What a paint command paints: the editor's material, made invisible in that mode.
static ZvkHandle TakePaintMaterial(int bPaintInvisible)
{
    ZvkHandle material = TakeEditorMaterial();
    if (material != NULL && bPaintInvisible)
        MakeInvisible(material);
    return material;
}

static bool HasGlobalTexture(ZvkHandle material)
{
    return zvkMaterialGetTextureType(material) == ZVK_TEXTURE_GLOBAL;
}

static void GiveShaderBox(ZvkHandle material)
{
    if (zvkMaterialIsShaderBoxNull(material) || !zvkMaterialIsShaderBoxValid(material))
        zvkMaterialCreateShaderBox(material);
}

// The walk runs to its end, so of several shaders with the identifier the last one wins.
static ZvkHandle LastShaderWithId(int id)
{
    ZvkHandle found = NULL;
    for (ZvkHandle shader = zvkShaderGetFirst(); shader != NULL; shader = zvkShaderGetNext(shader))
        if (zvkShaderGetID(shader) == id)
            found = shader;
    return found;
}

static void ApplyShader(ZvkHandle material, ZvkHandle shader)
{
    ZvkHandle info = zvkShaderInfoCreate();
    zvkShaderInfoSetShader(info, shader);
    zvkMaterialSetShaderInfo(material, info);
    zvkShaderInfoDestroy(info);
}

// The first random colour of a "Paint random" session is derived from white.
static void MakeDefaultWhiteMaterialActive()
{
    ZvkHandle material = CreateEditorCopy();
    if (material == NULL)
        return;
    ZvkColor colour = ColourOf(material);
    colour.r = WHITE;
    colour.g = WHITE;
    colour.b = WHITE;
    GiveShaderBox(material);
    ApplyShader(material, LastShaderWithId(DEFAULT_SHADER_ID));
    zvkMaterialSetColor(material, &colour);
    ShowAndRelease(material);
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

// "Paint face" and "Paint selection" differ only in their worker. In random mode a material
// with a global texture is refused before any colour is derived.
void CMatIdDialog::PaintWithEditorMaterial(void (CMatIdDialog::*pfnWorker)())
{
    UpdateData(FALSE);
    if (SelectedPolyhedron() == NULL)
        return;
    ZvkHandle probe = CreateEditorCopy();
    if (probe == NULL)
    {
        UpdateData(FALSE);
        return;
    }
    if (!m_bPaintRandom)
        (this->*pfnWorker)();
    else if (HasGlobalTexture(probe))
        AfxMessageBox(s_szGlobalTexture, MB_ICONINFORMATION, 0);
    else
    {
        MakeRandomColour();
        (this->*pfnWorker)();
    }
    ReleaseMaterial(probe);
    UpdateData(FALSE);
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

static COLORREF PaintedEntryColour(int bPaintInvisible)
{
    return bPaintInvisible ? CLR_PAINTED_INVISIBLE : CLR_PAINTED;
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
    m_faceList.GetText(nCurrent, m_strItemText);
    int face = FaceIndexOfEntry(m_strItemText);
    int faceCount = zvkPolyhGetNbrFaces(polyhedron);
    if (!IsFaceOf(face, faceCount))
    {
        UpdateData(FALSE);
        return;
    }

    ZvkHandle material = TakePaintMaterial(m_bPaintInvisible);
    if (material == NULL)
    {
        UpdateData(FALSE);
        return;
    }
    COLORREF rgbEntry = PaintedEntryColour(m_bPaintInvisible);
    CPaintRecorder recorder(polyhedron, faceCount);
    recorder.BeforeFace(face);
    zvkPolyhPaintFace(polyhedron, (unsigned short)face, material, 1);
    recorder.AfterFace(face, (COLORREF)m_faceList.GetItemData(face), rgbEntry);
    m_faceList.SetItemColour(face, rgbEntry);
    recorder.Keep();
    ShowAndRelease(material);
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

    ZvkHandle material = TakePaintMaterial(m_bPaintInvisible);
    if (material == NULL)
    {
        UpdateData(FALSE);
        return;
    }
    int faceCount = zvkPolyhGetNbrFaces(polyhedron);
    COLORREF rgbEntry = PaintedEntryColour(m_bPaintInvisible);

    {
        CSelectedPositions positions(m_faceList);
        CBusyIndicator busy(m_listTitle);
        CPaintRecorder recorder(polyhedron, faceCount);
        for (int i = 0; i < positions.GetCount(); ++i)
        {
            CString strText;
            m_faceList.GetText(positions[i], strText);
            int face = FaceIndexOfEntry(strText);
            if (!IsFaceOf(face, faceCount))
                continue;
            recorder.BeforeFace(face);
            zvkPolyhPaintFace(polyhedron, (unsigned short)face, material, 1);
            recorder.AfterFace(face, (COLORREF)m_faceList.GetItemData(positions[i]), rgbEntry);
            m_faceList.SetItemColour(positions[i], rgbEntry);
        }
        recorder.Keep();
    }

    ShowAndRelease(material);
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

    ZvkHandle material = TakePaintMaterial(m_bPaintInvisible);
    // Nothing painted: the list keeps its entries, which still show the faces as they are.
    if (material == NULL)
    {
        UpdateData(FALSE);
        return;
    }
    CBusyIndicator busy(m_listTitle);
    CPaintRecorder recorder(polyhedron, zvkPolyhGetNbrFaces(polyhedron));
    recorder.BeforeAll();
    zvkPolyhPaint(polyhedron, material);
    recorder.AfterAll();
    recorder.Keep();
    ShowAndRelease(material);
    zvkCurrobjEditToolClose();
    RefreshHost();

    m_faceList.ResetContent();
    g_paintHistory.ListReplaced();
    SetPaintButtons(0, 0);
    UpdateData(FALSE);
}

// Seeded anew at every call; each component takes its own rand() value, red first.
void CMatIdDialog::MakeRandomColour()
{
    UpdateData(FALSE);
    if (SelectedPolyhedron() == NULL)
        return;

    ZvkHandle material = CreateEditorCopy();
    if (material == NULL)
        return;
    ZvkColor colour = ColourOf(material);
    srand((unsigned)time(NULL));
    colour.r = RandomComponent(colour.r);
    colour.g = RandomComponent(colour.g);
    colour.b = RandomComponent(colour.b);
    zvkMaterialSetColor(material, &colour);
    ShowAndRelease(material);
}
