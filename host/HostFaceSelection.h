// The host's face selection, made through an array of face indices from the host allocator.
#ifndef HOSTFACESELECTION_H
#define HOSTFACESELECTION_H

#include <intrin.h>

#include "host/zvkapi.h"

// A face-count-long array of face indices from the host allocator, released once on every path.
// One zvkPolyhSelectFaces call takes the faces in order with the last one repeated to the array's
// end: one face fills it all, which is the shape the host has always been given for a single face.
class CHostFaceSelection
{
public:
    // No array for an empty polyhedron, nor when the host gives none: IsReady() says.
    CHostFaceSelection(ZvkHandle polyhedron, int faceCount)
        : m_polyhedron(polyhedron), m_faceCount(faceCount),
          m_indices(faceCount > 0 ? (unsigned int*)zvkCalloc((unsigned int)faceCount, sizeof(unsigned int)) : NULL)
    {
    }
    ~CHostFaceSelection()
    {
        if (m_indices != NULL)
            zvkFree(m_indices);
    }

    bool IsReady() const { return m_indices != NULL; }

    // Faces below the face count, at most that many; nothing without faces or without an array.
    // True when the host was given them.
    bool Select(const int* faces, int n)
    {
        if (m_indices == NULL || n <= 0 || n > m_faceCount)
            return false;
        for (int i = 0; i < n; ++i)
            m_indices[i] = (unsigned int)faces[i];
        // A string store runs at memset speed; a plain loop stores 4 bytes at a time on i686.
        __stosd((unsigned long*)m_indices + n, m_indices[n - 1], (size_t)(m_faceCount - n));
        zvkPolyhSelectFaces(m_polyhedron, m_faceCount, m_indices);
        return true;
    }
    bool Select(int face) { return Select(&face, 1); }

private:
    CHostFaceSelection(const CHostFaceSelection&) = delete;
    CHostFaceSelection& operator=(const CHostFaceSelection&) = delete;

    ZvkHandle m_polyhedron;
    int m_faceCount;
    unsigned int* m_indices;
};

#endif
