// Small host and list helpers shared by the selection and painting handlers.
#ifndef HOSTHELPERS_H
#define HOSTHELPERS_H

#include <intrin.h>
#include <mbstring.h>
#include <stdlib.h>

#include <new>
#include <vector>

#include <afxwin.h>

#include "host/zvkapi.h"
#include "ui/ColorListBox.h"
#include "ui/EntryText.h"

// Face indices travel to the host as unsigned 16-bit values; 0xFFFF is not a face.
static const int FACE_LIMIT = 0xFFFF;
static const int MAX_FACE_INDEX = FACE_LIMIT - 1;

// The list title while the list can be used.
static const char s_szListTitle[] = "Faces | matIDs list";

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

// Whether the host's object carries this full name: compared as the names are shown, exactly and
// multibyte-aware.
inline bool HasFullName(ZvkHandle object, const CString& name)
{
    char szName[ZVK_NAME_BUFFER_SIZE];
    ReadFullName(object, szName);
    return _mbscmp((const unsigned char*)(LPCTSTR)name, (const unsigned char*)szName) == 0;
}

inline void RefreshHost()
{
    zvkCurrobjRefresh();
    zvkAllViewRefreshSelObject();
}

// A new material equal to the one the Material Editor shows; NULL when the host made none.
inline ZvkHandle CreateEditorCopy()
{
    ZvkHandle material = NULL;
    zvkMaterialCreate(&material);
    return material;
}

// A material from zvkMaterialCreate: its contents, then its block.
inline void ReleaseMaterial(ZvkHandle material)
{
    zvkMaterialDestroy(material);
    zvkFree(material);
}

// The Material Editor shows a copy of the material.
inline void ShowInEditor(ZvkHandle material)
{
    zvkMaterialSetActive(material);
    zvkMaterialFixColor(material);
}

// The Material Editor follows: the next paint takes this material as the editor's.
inline void ShowAndRelease(ZvkHandle material)
{
    ShowInEditor(material);
    ReleaseMaterial(material);
}

// The Material Editor shows the polyhedron's slot, read into a material that the caller made and
// releases: picking a face and the materials panel's "To editor" alike.
inline void ShowSlotInEditor(ZvkHandle polyhedron, unsigned short slot, ZvkHandle material)
{
    zvkPolyhGetMaterial(polyhedron, slot, material);
    ShowInEditor(material);
}

inline ZvkColor ColourOf(ZvkHandle material)
{
    ZvkColor colour = { 0, 0, 0, 0 };
    zvkMaterialGetColor(material, &colour);
    return colour;
}

inline int FaceIndexOfEntry(const char* text)
{
    return ReadEntryFaceIndex(text);
}

// An entry's face index names a face only below the face count of the polyhedron selected now,
// which need not be the one the list was built for (a same-name polyhedron with fewer faces).
inline bool IsFaceOf(int face, int faceCount)
{
    return face >= 0 && face < faceCount && face <= MAX_FACE_INDEX;
}

// The face record of a valid face, or NULL: nothing is read outside the face pointer array.
inline const ZvkFace* FaceRecord(ZvkFace** faces, int faceCount, int face)
{
    if (faces == NULL || !IsFaceOf(face, faceCount))
        return NULL;
    return faces[face];
}

// The material index of a face, or -1 when the host has no record for it.
inline int MaterialOfFace(ZvkFace** faces, int faceCount, int face)
{
    const ZvkFace* record = FaceRecord(faces, faceCount, face);
    return record != NULL ? zvkFaceMaterialIndex(record) : -1;
}

// The host's face selection is made through a face-count-long array of face indices from the
// host allocator, released once on every path. One zvkPolyhSelectFaces call takes the faces in
// order with the last one repeated to the array's end: one face fills it all, which is the shape
// the host has always been given for a single face.
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
    void Select(const int* faces, int n)
    {
        if (m_indices == NULL || n <= 0 || n > m_faceCount)
            return;
        for (int i = 0; i < n; ++i)
            m_indices[i] = (unsigned int)faces[i];
        // A string store runs at memset speed; a plain loop stores 4 bytes at a time on i686.
        __stosd((unsigned long*)m_indices + n, m_indices[n - 1], (size_t)(m_faceCount - n));
        zvkPolyhSelectFaces(m_polyhedron, m_faceCount, m_indices);
    }
    void Select(int face) { Select(&face, 1); }

private:
    CHostFaceSelection(const CHostFaceSelection&);
    CHostFaceSelection& operator=(const CHostFaceSelection&);

    ZvkHandle m_polyhedron;
    int m_faceCount;
    unsigned int* m_indices;
};

// The entries at these ascending positions selected besides any already, consecutive ones as one
// range: a message per run rather than per entry.
inline void SelectPositions(CColorListBox& list, const std::vector<int>& positions)
{
    for (size_t i = 0; i < positions.size();)
    {
        size_t last = i;
        while (last + 1 < positions.size() && positions[last + 1] == positions[last] + 1)
            ++last;
        list.SelectRange(positions[i], positions[last]);
        i = last + 1;
    }
}

// The positions of the selected entries, in the order the list gives them, held in a buffer of
// 0x100000 bytes that asks for one position fewer than it holds and is released once.
class CSelectedPositions
{
public:
    explicit CSelectedPositions(const CListBox& list)
        : m_positions(static_cast<int*>(::operator new(BUFFER_BYTES, std::nothrow))),
          m_count(m_positions != NULL ? list.GetSelItems(MAX_POSITIONS, m_positions) : 0)
    {
        if (m_count < 0)
            m_count = 0;
    }
    ~CSelectedPositions() { ::operator delete(m_positions); }

    int GetCount() const { return m_count; }
    int operator[](int i) const { return m_positions[i]; }

private:
    CSelectedPositions(const CSelectedPositions&);
    CSelectedPositions& operator=(const CSelectedPositions&);

    static const size_t BUFFER_BYTES = 0x100000;
    static const int MAX_POSITIONS = 0x3FFFF;
    int* m_positions;
    int m_count;
};

#endif
