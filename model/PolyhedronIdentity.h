// A polyhedron as the plug-in knows it again later: its full name and face count. The host hands
// out no lasting identity, and a handle may be reused for another object; a list built for a
// polyhedron, or a paint made on it, belongs to whichever polyhedron now has both. Needs no Win32.
#ifndef POLYHEDRONIDENTITY_H
#define POLYHEDRONIDENTITY_H

#include <string>

struct PolyhedronIdentity
{
    std::string name;
    int faceCount = 0;

    bool operator==(const PolyhedronIdentity& other) const
    {
        return faceCount == other.faceCount && name == other.name;
    }
    bool operator!=(const PolyhedronIdentity& other) const { return !(*this == other); }
};

#endif
