// What a press of a paint button does to each face, taken down for undo: the material index in the
// face record right before and right after the host paints it, and the colour of its entry before
// and after. The press becomes a step of the paint history when it changed at least one face.
#ifndef PAINTRECORDER_H
#define PAINTRECORDER_H

#include <afxwin.h>

#include "host/zvkapi.h"
#include "ui/ColorListBox.h"
#include "host/HostPolyhedron.h"
#include "model/PaintHistory.h"

// The entries are coloured only by painting, so any other item data is an entry still to do.
inline EntryPaint EntryPaintOf(COLORREF rgb)
{
    return rgb == CLR_PAINTED ? ENTRY_PAINTED : rgb == CLR_PAINTED_INVISIBLE ? ENTRY_PAINTED_INVISIBLE : ENTRY_TO_DO;
}

inline COLORREF EntryColourOf(std::uint8_t paint)
{
    return paint == ENTRY_PAINTED ? CLR_PAINTED : paint == ENTRY_PAINTED_INVISIBLE ? CLR_PAINTED_INVISIBLE : 0;
}

// A face the host gives no record for is not taken down: undo could not tell whether it changed.
class CPaintRecorder
{
public:
    CPaintRecorder(ZvkHandle polyhedron, int faceCount)
        : m_polyhedron(polyhedron), m_faces(zvkPolyhGetFaceptrArray(polyhedron)), m_nBefore(-1)
    {
        char szName[ZVK_NAME_BUFFER_SIZE];
        ReadFullName(polyhedron, szName);
        m_step.polyhedron = szName;
        m_step.faceCount = faceCount;
        m_step.listGeneration = g_paintHistory.ListGeneration();
    }

    // Around zvkPolyhPaintFace of one face.
    void BeforeFace(int face) { m_nBefore = MaterialOf(face); }
    void AfterFace(int face, COLORREF rgbEntryBefore, COLORREF rgbEntryAfter)
    {
        int after = MaterialOf(face);
        if (m_nBefore >= 0 && after >= 0)
            m_step.faces.push_back({ (std::uint16_t)face, (std::uint16_t)m_nBefore, (std::uint16_t)after,
                                     EntryPaintOf(rgbEntryBefore), EntryPaintOf(rgbEntryAfter) });
        m_nBefore = -1;
    }

    // Around zvkPolyhPaint, which paints every face. Faces past 65,535 cannot be painted one by one
    // through the host, so such a press could be taken back only in part: it is not taken down. Its
    // entries' colours are not read, as the press empties the list (a list generation of its own).
    void BeforeAll()
    {
        if (m_step.faceCount > FACE_LIMIT)
            return;
        for (int face = 0; face < m_step.faceCount; ++face)
        {
            int before = MaterialOf(face);
            if (before >= 0)
                m_step.faces.push_back({ (std::uint16_t)face, (std::uint16_t)before, 0, ENTRY_TO_DO, ENTRY_TO_DO });
        }
    }
    void AfterAll()
    {
        // The records are read where the host gives them after the paint.
        m_faces = zvkPolyhGetFaceptrArray(m_polyhedron);
        std::vector<PaintedFace>& faces = m_step.faces;
        std::size_t kept = 0;
        for (PaintedFace& face : faces)
        {
            int after = MaterialOf(face.face);
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
    CPaintRecorder(const CPaintRecorder&);
    CPaintRecorder& operator=(const CPaintRecorder&);

    int MaterialOf(int face) const { return MaterialOfFace(m_faces, m_step.faceCount, face); }

    ZvkHandle m_polyhedron;
    ZvkFace** m_faces;
    int m_nBefore;
    PaintStep m_step;
};

#endif
