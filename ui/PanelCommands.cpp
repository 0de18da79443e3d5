#include "ui/PanelCommands.h"

#include "host/HostFaceSelection.h"
#include "host/HostMaterial.h"
#include "host/HostPolyhedron.h"
#include "host/zvkapi.h"
#include "ui/PaintRecorder.h"
#include "ui/PaintRun.h"

static const char s_szNoMaterial[] = "The host could not make a material: nothing was painted.";

// As picking a face of the material sends it, but whatever mode box is on: the user asked for it.
void CPanelCommands::ToEditor(unsigned material)
{
    ZvkHandle polyhedron = SelectedPolyhedron();
    if (!m_view.IsListOf(polyhedron))
        return;
    CHostMaterial copy = CHostMaterial::SlotCopy(polyhedron, (unsigned short)material);
    if (!copy.IsMade())
        return;
    copy.ShowInEditor();
    copy.Release();
    RefreshHost();
}

// The faces of the selected entries, in list order, that read another index get one copy of the
// slot; the editor keeps its material. A face the host gives no record for is left: what it reads
// is not known, and undo could not give it back. Nothing to change, no host call.
bool CPanelCommands::Assign(unsigned material)
{
    ZvkHandle polyhedron = SelectedPolyhedron();
    if (!m_view.IsListOf(polyhedron))
        return false;
    std::vector<int> selected = m_view.Selected();
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
    return PaintWith(faces, toPaint, copy, false);
}

// The faces whose record reads the index (not the entries' texts, which may be older) get what
// "Paint selection" would paint now, with its refusal; the painted material becomes the editor's,
// as after every paint.
bool CPanelCommands::Replace(unsigned material)
{
    ZvkHandle polyhedron = SelectedPolyhedron();
    if (!m_view.IsListOf(polyhedron))
        return false;
    CHostPolyhedron faces(polyhedron);
    std::vector<int> toPaint;
    const CHostPolyhedron::Records records = faces.ReadRecords();
    for (int face = 0, readable = records.ReadableCount(); face < readable; ++face)
        if (records.MaterialOfReadable(face) == (int)material)
            toPaint.push_back(face);
    if (toPaint.empty())
        return false;
    CHostMaterial probe, paint;
    return m_view.ReadyToPaint(probe, paint) && PaintWith(faces, toPaint, paint, true);
}

// Both paints once their faces are known: without a material the user is told and nothing is
// painted; otherwise the faces are painted under the paint skeleton, the material shown in the
// editor first when asked, and released before the host is refreshed.
bool CPanelCommands::PaintWith(CHostPolyhedron& polyhedron, const std::vector<int>& faces, CHostMaterial& material,
                               bool showInEditor)
{
    if (!material.IsMade())
    {
        m_view.Tell(s_szNoMaterial);
        return false;
    }
    RunPaint(m_view, [&]() {
        PaintFaces(polyhedron, faces, material);
        if (showInEditor)
            material.ShowInEditor();
        material.Release();
        return true;
    });
    return true;
}

// The faces painted in the given order, with nothing read between two paints, and taken down as
// one step; their entries show the index each reads now, green or (for an invisible material,
// alpha 0) red. Closing the edit tool emptied the host's face selection: what the list's selection
// gave the host is given back with one call (none after a load, which gave it nothing). What the
// entries and the selection need is allocated before the first paint, and the step goes into the
// history last.
void CPanelCommands::PaintFaces(CHostPolyhedron& polyhedron, const std::vector<int>& faces, const CHostMaterial& material)
{
    EntryPaint paint = material.Colour().a == 0 ? ENTRY_PAINTED_INVISIBLE : ENTRY_PAINTED;
    CPaintRecorder recorder(polyhedron);
    recorder.BeforeFaces(faces, m_view);
    int count = polyhedron.FaceCount();
    std::vector<int> given = m_view.Model().HostHasSelection() ? m_view.Selected() : std::vector<int>();
    if ((int)given.size() >= count)
        given.clear();
    CHostFaceSelection hostSelection(polyhedron.Handle(), given.empty() ? 0 : count);
    for (int face : faces)
        polyhedron.PaintFace(face, material);
    recorder.AfterFaces(paint);
    for (int face : faces)
        m_view.ShowPaint(face, paint);
    for (const PaintedFace& face : recorder.Faces())
        m_view.ShowIndex(face.face, face.after);
    hostSelection.Select(given.data(), (int)given.size());
    recorder.Keep();
}
