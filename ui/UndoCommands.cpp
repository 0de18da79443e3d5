// Undo and redo of the tool window's paints: the faces of a step brought to the index on the other
// side of the paint, one material per index, the face list following, and the menu's two items.
#include "ui/UndoCommands.h"

#include <string>
#include <vector>

#include "host/HostMaterial.h"
#include "host/HostPolyhedron.h"
#include "host/zvkapi.h"
#include "ui/PaintRun.h"
#include "ui/resource.h"

// One history for the loaded plug-in: a closed window keeps it, unloading the library frees it.
CPaintHistory g_paintHistory;

static const char s_szChangedSince[] = "%d faces were changed after this paint and were left as they are.";
static const char s_szOneChangedSince[] = "1 face was changed after this paint and was left as it is.";
static const char s_szNothingUndone[] = "The host could not make a material: nothing was undone.";
static const char s_szNothingRedone[] = "The host could not make a material: nothing was redone.";
static const char s_szUndoPartly[] = "The host could not make a material: this undo reached %d of %d faces; undo again for the rest.";
static const char s_szRedoPartly[] = "The host could not make a material: this redo reached %d of %d faces; redo again for the rest.";

/////////////////////////////////////////////////////////////////////////////
// Bringing the faces back

namespace {

// What an undo or a redo did to its step's faces, as positions into them.
struct RestoreOutcome
{
    std::vector<std::uint32_t> restored;    // now past the paint, or before it (only when asked for)
    std::vector<std::uint32_t> notReached;  // of indices whose material the host did not make
    int changedSince = 0;                   // changed in the host since: left as they are
};

// Faces looked at before any of them is painted: no read comes between two paints (each read after
// a paint asks the host for its face array again), and the records read are still in the cache
// when the host paints them.
const std::uint32_t LOOK_AHEAD = 256;

// One index at a time: the faces of a step lie in runs of the index they get (see
// CPaintHistory::Record). A face whose index is no longer what the step left behind (or whose
// record the host no longer gives) was changed in the host since and stays as it is. The faces
// are looked at LOOK_AHEAD at a time, then those to paint are painted in one go. The index's
// material is made before the run's first paint; when the host makes none, that run and the ones
// after it are not reached, and what was painted before stays painted. One function per
// direction, and nothing in the loops that the bare paints would not do: they run once per face
// of a step that may hold every face, beside a host call that costs not much more.
template <bool undo>
RestoreOutcome RestoreFacesTo(CHostPolyhedron& polyhedron, const PaintStep& step, bool wantRestored)
{
    RestoreOutcome outcome;
    const PaintedFace* stepFaces = step.faces.data();
    const std::uint32_t count = (std::uint32_t)step.faces.size();
    // Taken before the first paint, so that nothing thrown comes between a paint and its record.
    outcome.notReached.reserve(count);
    if (wantRestored)
        outcome.restored.reserve(count);
    std::uint16_t toPaint[LOOK_AHEAD];
    for (std::uint32_t first = 0, end = 0; first < count; first = end)
    {
        const std::uint16_t index = IndexTo(stepFaces[first], undo);
        std::uint32_t runEnd = first;
        while (runEnd < count && IndexTo(stepFaces[runEnd], undo) == index)
            ++runEnd;
        CHostMaterial material;
        size_t restoredBefore = outcome.restored.size();
        int changedSince = 0;
        while (end < runEnd)
        {
            const std::uint32_t stop = runEnd - end > LOOK_AHEAD ? end + LOOK_AHEAD : runEnd;
            int nToPaint = 0;
            const CHostPolyhedron::Records records = polyhedron.ReadRecords();
            for (; end < stop; ++end)
            {
                const PaintedFace face = stepFaces[end];
                const std::uint16_t from = IndexFrom(face, undo);
                if (records.MaterialOfFace(face.face) != from)
                {
                    ++changedSince;
                    continue;
                }
                if (from != index)
                    toPaint[nToPaint++] = face.face;
                if (wantRestored)
                    outcome.restored.push_back(end);
            }
            if (nToPaint > 0 && !material.IsMade() && !(material = CHostMaterial::SlotCopy(polyhedron.Handle(), index)).IsMade())
            {
                outcome.restored.resize(restoredBefore);
                for (std::uint32_t i = first; i < count; ++i)
                    outcome.notReached.push_back(i);
                return outcome;
            }
            polyhedron.PaintFaces(toPaint, nToPaint, material);
        }
        outcome.changedSince += changedSince;
    }
    return outcome;
}

RestoreOutcome RestoreFaces(CHostPolyhedron& polyhedron, const PaintStep& step, bool undo, bool wantRestored)
{
    return undo ? RestoreFacesTo<true>(polyhedron, step, wantRestored) : RestoreFacesTo<false>(polyhedron, step, wantRestored);
}

// A step is for the polyhedron selected now when that is the one it was painted on, whether the
// face list shows it or not.
bool IsStepOf(const PaintStep* step, ZvkHandle polyhedron)
{
    return step != NULL && polyhedron != NULL && step->polyhedron == IdentityOf(polyhedron);
}

// The list is of this polyhedron (entry i is face i): the restored faces' entries show the index
// their records hold now and, while the list is still the one the paint went through, the colour
// they had on that side of the paint. The entries stay where they are, selected or not.
bool ShowRestoredEntries(CFaceListView& view, const CHostPolyhedron& polyhedron, const PaintStep& step,
                         const std::vector<std::uint32_t>& restored, bool undo)
{
    bool sameList = step.listGeneration == g_paintHistory.ListGeneration();
    const CHostPolyhedron::Records records = polyhedron.ReadRecords();
    for (std::uint32_t i : restored)
    {
        const PaintedFace& face = step.faces[i];
        EntryPaint paint = sameList ? (EntryPaint)(undo ? face.entryBefore : face.entryAfter) : view.PaintOf(face.face);
        int index = records.MaterialOfFace(face.face);
        if (index >= 0)
            view.ShowEntry(face.face, paint, (std::uint16_t)index);
        else
            view.ShowPaint(face.face, paint);
    }
    return !restored.empty();
}

// What the user is told after the host let an undo or redo go only part of the way, or after
// faces changed since were left: one box for both.
void TellOutcome(bool undo, int reached, int total, int changedSince)
{
    char szText[160];
    std::string text;
    if (reached == 0)
        text = undo ? s_szNothingUndone : s_szNothingRedone;
    else if (reached < total)
    {
        wsprintf(szText, undo ? s_szUndoPartly : s_szRedoPartly, reached, total);
        text = szText;
    }
    if (changedSince > 0)
    {
        wsprintf(szText, changedSince == 1 ? s_szOneChangedSince : s_szChangedSince, changedSince);
        text += (text.empty() ? "" : " ") + std::string(szText);
    }
    if (!text.empty())
        AfxMessageBox(text.c_str(), MB_ICONINFORMATION, 0);
}

} // namespace

// The step is undone or redone under the paint skeleton; what the host could not do, and the
// faces changed since, are told once the wait is over.
bool CUndoCommands::Restore(bool undo)
{
    ZvkHandle polyhedron = SelectedPolyhedron();
    const PaintStep* step = undo ? g_paintHistory.NextUndo() : g_paintHistory.NextRedo();
    if (!IsStepOf(step, polyhedron))
        return false;
    bool listShowsIt = m_view.IsListOf(polyhedron);
    int total = (int)step->faces.size();
    RestoreOutcome outcome;
    RunPaint(m_view, [&]() {
        CHostPolyhedron faces(polyhedron);
        outcome = RestoreFaces(faces, *step, undo, listShowsIt);
        if (total - (int)outcome.notReached.size() == 0)
            return false;
        bool shown = listShowsIt && ShowRestoredEntries(m_view, faces, *step, outcome.restored, undo);
        // The step is split or moved: it is not looked at again.
        if (undo)
            g_paintHistory.Undone(outcome.notReached);
        else
            g_paintHistory.Redone(outcome.notReached);
        return shown;
    });
    TellOutcome(undo, total - (int)outcome.notReached.size(), total, outcome.changedSince);
    return true;
}

/////////////////////////////////////////////////////////////////////////////
// The menu

// "Undo paint of N faces" with the key beside it, "Undo paint" without a step; greyed without a
// step or when the step is another polyhedron's. An out-of-date list greys nothing: a paint made
// through it painted the polyhedron selected then, and can be undone while that is selected.
static void FitUndoItem(CMenu* pPopup, UINT id, const char* verb, const char* key, const PaintStep* step,
                        ZvkHandle polyhedron)
{
    char szText[64];
    if (step == NULL)
        wsprintf(szText, "%s paint\t%s", verb, key);
    else if (step->faces.size() == 1)
        wsprintf(szText, "%s paint of 1 face\t%s", verb, key);
    else
        wsprintf(szText, "%s paint of %d faces\t%s", verb, (int)step->faces.size(), key);
    pPopup->ModifyMenu(id, MF_BYCOMMAND | MF_STRING, id, szText);
    pPopup->EnableMenuItem(id, MF_BYCOMMAND | (IsStepOf(step, polyhedron) ? MF_ENABLED : MF_GRAYED));
}

void CUndoCommands::FitMenu(CMenu* pPopup, ZvkHandle polyhedron) const
{
    FitUndoItem(pPopup, ID_UNDO_PAINT, "Undo", "Ctrl+Z", g_paintHistory.NextUndo(), polyhedron);
    FitUndoItem(pPopup, ID_REDO_PAINT, "Redo", "Ctrl+Y", g_paintHistory.NextRedo(), polyhedron);
}
