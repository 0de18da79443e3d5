// The paint history: every press of a paint button that changed a face, kept as a step that undo
// takes back and redo gives again. Needs no Win32, so it also builds natively for the sanitizer runs.
#ifndef PAINTHISTORY_H
#define PAINTHISTORY_H

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "model/PolyhedronIdentity.h"

// An entry's colour as a code, not as its COLORREF: the tool window colours entries in these three
// ways only, and a byte keeps a face at eight bytes (a step of "Paint all" holds every face).
enum EntryPaint : std::uint8_t { ENTRY_TO_DO = 0, ENTRY_PAINTED = 1, ENTRY_PAINTED_INVISIBLE = 2 };

struct PaintedFace
{
    std::uint16_t face;
    std::uint16_t before, after;           // the material index in the face record around the paint
    std::uint8_t entryBefore, entryAfter;  // EntryPaint of the face's entry
};

struct PaintStep
{
    PolyhedronIdentity polyhedron;
    unsigned listGeneration = 0;  // the face list the paint went through
    std::vector<PaintedFace> faces;

    // What the history counts against its bound.
    std::size_t Bytes() const { return sizeof(PaintStep) + polyhedron.name.size() + faces.size() * sizeof(PaintedFace); }
};

// The index a face must have for the step to apply to it, and the one the step gives it.
inline std::uint16_t IndexFrom(const PaintedFace& face, bool undo) { return undo ? face.after : face.before; }
inline std::uint16_t IndexTo(const PaintedFace& face, bool undo) { return undo ? face.before : face.after; }

// The faces in the order of their index before the paint, those of one index in the order they
// had: a counting sort over the indices up to the highest, linear in the faces and the indices.
inline void SortByIndexBefore(std::vector<PaintedFace>& faces)
{
    // Often in order already: the faces of one material replaced, a polyhedron painted whole.
    if (std::is_sorted(faces.begin(), faces.end(),
                       [](const PaintedFace& a, const PaintedFace& b) { return a.before < b.before; }))
        return;
    std::uint16_t highest = 0;
    for (const PaintedFace& face : faces)
        highest = std::max(highest, face.before);
    std::vector<std::uint32_t> next(highest + 2u, 0);
    for (const PaintedFace& face : faces)
        ++next[face.before + 1u];
    for (std::size_t i = 1; i < next.size(); ++i)
        next[i] += next[i - 1];
    std::vector<PaintedFace> sorted(faces.size());
    for (const PaintedFace& face : faces)
        sorted[next[face.before]++] = face;
    faces.swap(sorted);
}

class CPaintHistory
{
public:
    static constexpr std::size_t MAX_STEPS = 100;
    static constexpr std::size_t MAX_BYTES = 16u << 20;

    // The step undo and the step redo would act on, or null.
    const PaintStep* NextUndo() const { return m_done.empty() ? nullptr : &m_done.back(); }
    const PaintStep* NextRedo() const { return m_undone.empty() ? nullptr : &m_undone.back(); }
    std::size_t StepCount() const { return m_done.size() + m_undone.size(); }
    std::size_t Bytes() const
    {
        std::size_t bytes = 0;
        for (const std::vector<PaintStep>* side : { &m_done, &m_undone })
            for (const PaintStep& step : *side)
                bytes += step.Bytes();
        return bytes;
    }

    // A new paint drops the steps undone before it, as every editor does. Its faces are kept in
    // the order of their index before the paint, so that an undo finds the faces of one index
    // together; a redo finds them so as well, a press having painted every face with one material.
    void Record(PaintStep step)
    {
        SortByIndexBefore(step.faces);
        ReserveOneMore(m_done);
        m_undone.clear();
        m_done.push_back(std::move(step));
        Trim();
    }

    // NextUndo's step was undone as far as the host let it: the faces at the positions not reached
    // stay undoable as a step of their own, the others can be redone. Nothing reached, nothing moves.
    void Undone(const std::vector<std::uint32_t>& notReached) { Move(m_done, m_undone, notReached); }
    void Redone(const std::vector<std::uint32_t>& notReached) { Move(m_undone, m_done, notReached); }

    // The face list was emptied or filled anew, or a new window made one: the entries that the
    // steps so far coloured are gone.
    void ListReplaced() { ++m_listGeneration; }
    unsigned ListGeneration() const { return m_listGeneration; }

private:
    // Every allocation comes before the first change: a throw leaves the history as it was.
    void Move(std::vector<PaintStep>& from, std::vector<PaintStep>& to, const std::vector<std::uint32_t>& notReached)
    {
        if (from.empty() || notReached.size() >= from.back().faces.size())
            return;
        ReserveOneMore(to);
        PaintStep& step = from.back();
        if (notReached.empty())
        {
            to.push_back(std::move(step));
            from.pop_back();
            return Trim();
        }
        PaintStep rest;
        rest.polyhedron = step.polyhedron;
        rest.listGeneration = step.listGeneration;
        std::vector<bool> left(step.faces.size(), false);
        for (std::uint32_t i : notReached)
            left[i] = true;
        std::vector<PaintedFace> reached;
        reached.reserve(step.faces.size() - notReached.size());
        for (std::size_t i = 0; i < step.faces.size(); ++i)
            (left[i] ? rest.faces : reached).push_back(step.faces[i]);
        step.faces.swap(reached);
        to.push_back(std::move(step));
        from.pop_back();
        if (!rest.faces.empty())
            from.push_back(std::move(rest));
        Trim();
    }

    // Room for one step more, growing as push_back would, so that the push_back after it cannot
    // throw (a step moves without allocating).
    static void ReserveOneMore(std::vector<PaintStep>& steps)
    {
        if (steps.size() == steps.capacity())
            steps.reserve(steps.size() * 2 + 1);
    }

    // The step farthest from the present goes first: the oldest paint, or, with nothing left to
    // undo, the step that redo would reach last. The one step left always stays.
    void Trim()
    {
        while (StepCount() > 1 && (StepCount() > MAX_STEPS || Bytes() > MAX_BYTES))
        {
            std::vector<PaintStep>& side = m_done.empty() ? m_undone : m_done;
            side.erase(side.begin());
        }
    }

    std::vector<PaintStep> m_done;    // the latest at the back
    std::vector<PaintStep> m_undone;  // the latest undone at the back
    unsigned m_listGeneration = 0;
};

#endif
