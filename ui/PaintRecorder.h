// What a press of a paint button does to each face, taken down for undo: the material index in the
// face record right before and right after the host paints it, and the paint state of its entry
// before and after. The press becomes a step of the paint history when it changed at least one face.
#ifndef PAINTRECORDER_H
#define PAINTRECORDER_H

#include "host/HostPolyhedron.h"
#include "host/zvkapi.h"
#include "model/PaintHistory.h"
#include "ui/FaceListView.h"
#include "ui/UndoCommands.h"

// A face the host gives no record for is not taken down: undo could not tell whether it changed.
// The records are read through the view the press paints through, so always where the host gives
// them after the latest paint.
class CPaintRecorder
{
public:
    explicit CPaintRecorder(const CHostPolyhedron& polyhedron)
        : m_polyhedron(polyhedron), m_nBefore(-1)
    {
        m_step.polyhedron.name = FullNameOf(polyhedron.Handle());
        m_step.polyhedron.faceCount = polyhedron.FaceCount();
        m_step.listGeneration = g_paintHistory.ListGeneration();
    }

    // Room for this many faces, taken before the host paints any: taking a face down after its
    // paint then allocates nothing, so it cannot throw between a face's paint and its entry.
    void Reserve(std::size_t faces) { m_step.faces.reserve(faces); }

    // Around the paint of one face.
    void BeforeFace(int face) { m_nBefore = MaterialOf(face); }
    void AfterFace(int face, EntryPaint entryBefore, EntryPaint entryAfter)
    {
        int after = MaterialOf(face);
        if (m_nBefore >= 0 && after >= 0)
            m_step.faces.push_back({ (std::uint16_t)face, (std::uint16_t)m_nBefore, (std::uint16_t)after,
                                     (std::uint8_t)entryBefore, (std::uint8_t)entryAfter });
        m_nBefore = -1;
    }

    // Around the paint of every face. Faces past 65,535 cannot be painted one by one through the
    // host, so such a press could be taken back only in part: it is not taken down. Its entries'
    // paint states are not read, as the press empties the list (a list generation of its own).
    void BeforeAll()
    {
        // A negative count names no face to take down.
        if (m_step.polyhedron.faceCount < 0 || m_step.polyhedron.faceCount > FACE_LIMIT)
            return;
        m_step.faces.reserve((std::size_t)m_step.polyhedron.faceCount);
        const CHostPolyhedron::Records records = m_polyhedron.ReadRecords();
        for (int face = 0; face < m_step.polyhedron.faceCount; ++face)
        {
            int before = MaterialOf(records, face);
            if (before >= 0)
                m_step.faces.push_back({ (std::uint16_t)face, (std::uint16_t)before, 0, ENTRY_TO_DO, ENTRY_TO_DO });
        }
    }
    // Around a run of paints with no read between them: the faces' indices and entries before
    // it, then after it, with the entries' paint state after.
    void BeforeFaces(const std::vector<int>& faces, const CFaceListView& list)
    {
        m_step.faces.reserve(faces.size());
        const CHostPolyhedron::Records records = m_polyhedron.ReadRecords();
        for (int face : faces)
        {
            int before = MaterialOf(records, face);
            if (before >= 0)
                m_step.faces.push_back({ (std::uint16_t)face, (std::uint16_t)before, 0, (std::uint8_t)list.PaintOf(face),
                                         (std::uint8_t)ENTRY_TO_DO });
        }
    }
    void AfterFaces(EntryPaint entryAfter)
    {
        for (PaintedFace& face : m_step.faces)
            face.entryAfter = (std::uint8_t)entryAfter;
        AfterAll();
    }

    // The faces taken down so far, with the index each has after the paint.
    const std::vector<PaintedFace>& Faces() const { return m_step.faces; }

    void AfterAll()
    {
        std::vector<PaintedFace>& faces = m_step.faces;
        std::size_t kept = 0;
        const CHostPolyhedron::Records records = m_polyhedron.ReadRecords();
        for (PaintedFace& face : faces)
        {
            int after = MaterialOf(records, face.face);
            if (after < 0)
                continue;
            face.after = (std::uint16_t)after;
            faces[kept++] = face;
        }
        faces.resize(kept);
    }

    // Into the history when the press changed a face; a press that changed none leaves no step.
    void Keep()
    {
        for (const PaintedFace& face : m_step.faces)
            if (face.before != face.after)
            {
                g_paintHistory.Record(std::move(m_step));
                return;
            }
    }

private:
    CPaintRecorder(const CPaintRecorder&) = delete;
    CPaintRecorder& operator=(const CPaintRecorder&) = delete;

    // Faces beyond the step's face count are none of its faces, whatever the host reports later.
    int MaterialOf(int face) const { return MaterialOf(m_polyhedron.ReadRecords(), face); }
    // For a pass over many faces with no paint between: the records read once.
    int MaterialOf(const CHostPolyhedron::Records& records, int face) const
    {
        return face < m_step.polyhedron.faceCount ? records.MaterialOfFace(face) : -1;
    }

    const CHostPolyhedron& m_polyhedron;
    int m_nBefore;
    PaintStep m_step;
};

#endif
