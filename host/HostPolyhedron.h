// The host's polyhedra as the plug-in sees them: the selection, full names, the host refresh, and a
// view of one polyhedron through which its face records are read and its faces painted.
#ifndef HOSTPOLYHEDRON_H
#define HOSTPOLYHEDRON_H

#include <cstdint>
#include <string>

#include "host/HostMaterial.h"
#include "host/zvkapi.h"
#include "model/PolyhedronIdentity.h"

// Face indices travel to the host as unsigned 16-bit values; 0xFFFF is not a face.
static const int FACE_LIMIT = 0xFFFF;
static const int MAX_FACE_INDEX = FACE_LIMIT - 1;

inline bool IsPolyhedron(ZvkHandle object)
{
    return object != NULL && zvkSobjGetType(object) == ZVK_TYPE_POLYHEDRON;
}

// The host's selection when it is a polyhedron, otherwise 0.
inline ZvkHandle SelectedPolyhedron()
{
    ZvkHandle selection = zvkGetCurrentSelection();
    return IsPolyhedron(selection) ? selection : NULL;
}

// The host's full name of the object. A name the host leaves unterminated is cut at the buffer's end.
inline void ReadFullName(ZvkHandle object, char (&szName)[ZVK_NAME_BUFFER_SIZE])
{
    szName[0] = '\0';
    zvkGNodeGetFullName(object, 0, szName, sizeof szName);
    szName[sizeof szName - 1] = '\0';
}

inline std::string FullNameOf(ZvkHandle object)
{
    char szName[ZVK_NAME_BUFFER_SIZE];
    ReadFullName(object, szName);
    return szName;
}

// The polyhedron as the plug-in knows it again: the host is asked the full name, then the face count.
inline PolyhedronIdentity IdentityOf(ZvkHandle polyhedron)
{
    PolyhedronIdentity identity;
    identity.name = FullNameOf(polyhedron);
    identity.faceCount = zvkPolyhGetNbrFaces(polyhedron);
    return identity;
}

inline void RefreshHost()
{
    zvkCurrobjRefresh();
    zvkAllViewRefreshSelObject();
}

// An entry's face index names a face only below the face count of the polyhedron selected now,
// which need not be the one the list was built for (a same-name polyhedron with fewer faces).
inline bool IsFaceOf(int face, int faceCount)
{
    return face >= 0 && face < faceCount && face <= MAX_FACE_INDEX;
}

// One polyhedron's faces: its face count and face pointer array, read when the view is made.
// Every paint goes through the view: the host may reallocate its face array (and change its face
// count) on any paint, so after a paint call both are read again before anything more is read
// through the view. A run of paints with no read between them costs one re-read, not one each.
// A view of no polyhedron (NULL) has no faces and asks the host nothing.
class CHostPolyhedron
{
public:
    explicit CHostPolyhedron(ZvkHandle polyhedron) : m_polyhedron(polyhedron) { ReadFaces(); }

    ZvkHandle Handle() const { return m_polyhedron; }
    int FaceCount() const
    {
        Fresh();
        return m_faceCount;
    }
    // False when the host reports faces without their array: nothing can be read then.
    bool HasFaceArray() const
    {
        Fresh();
        return m_faces != NULL;
    }

    // The face records as the host gives them now, for reads until the next paint through the view.
    // A pass over every face reads through this: its count and array stay in registers, where a
    // read through the view asks again each time whether a paint came between.
    class Records
    {
    public:
        Records(ZvkFace** faces, int faceCount)
            : m_faces(faces), m_nReadable(faces == NULL || faceCount <= 0 ? 0u : faceCount > FACE_LIMIT ? (unsigned)FACE_LIMIT : (unsigned)faceCount)
        {
        }

        // The face record of a valid face, or NULL: nothing is read outside the face pointer array.
        // One comparison a face: the passes over every face cost little more than the reads.
        const ZvkFace* FaceRecord(int face) const { return (unsigned)face < m_nReadable ? m_faces[face] : NULL; }
        // How many faces, from face 0, name a face of a non-null array.
        int ReadableCount() const { return (int)m_nReadable; }
        // The material index of a face below ReadableCount(), or -1 when the host has no record for
        // it: for a pass that keeps to them, without a comparison a face.
        int MaterialOfReadable(int face) const { return MaterialIn(m_faces[face]); }
        // The material index of a face, or -1 when the host has no record for it.
        int MaterialOfFace(int face) const { return MaterialIn(FaceRecord(face)); }

    private:
        static int MaterialIn(const ZvkFace* record) { return record != NULL ? zvkFaceMaterialIndex(record) : -1; }

        ZvkFace** m_faces;
        unsigned m_nReadable;   // faces below it name a face (IsFaceOf) of a non-null array
    };
    Records ReadRecords() const
    {
        Fresh();
        return Records(m_faces, m_faceCount);
    }
    const ZvkFace* FaceRecord(int face) const { return ReadRecords().FaceRecord(face); }
    int MaterialOfFace(int face) const { return ReadRecords().MaterialOfFace(face); }

    void PaintFace(int face, const CHostMaterial& material)
    {
        zvkPolyhPaintFace(m_polyhedron, (unsigned short)face, material.Handle(), 1);
        m_bPainted = true;
    }
    // Several faces painted with no read between them: one re-read for all.
    void PaintFaces(const std::uint16_t* faces, int n, const CHostMaterial& material)
    {
        for (int i = 0; i < n; ++i)
            zvkPolyhPaintFace(m_polyhedron, faces[i], material.Handle(), 1);
        m_bPainted = m_bPainted || n > 0;
    }
    void PaintAll(const CHostMaterial& material)
    {
        zvkPolyhPaint(m_polyhedron, material.Handle());
        m_bPainted = true;
    }

private:
    void Fresh() const
    {
        if (m_bPainted)
            ReadFaces();
    }
    void ReadFaces() const
    {
        m_bPainted = false;
        if (m_polyhedron == NULL)
        {
            m_faceCount = 0;
            m_faces = NULL;
            return;
        }
        m_faceCount = zvkPolyhGetNbrFaces(m_polyhedron);
        m_faces = zvkPolyhGetFaceptrArray(m_polyhedron);
    }

    ZvkHandle m_polyhedron;
    mutable int m_faceCount;
    mutable ZvkFace** m_faces;
    mutable bool m_bPainted;
};

#endif
