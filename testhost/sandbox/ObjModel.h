// Wavefront OBJ models with their MTL materials, read and written for the sandbox host.
#ifndef OBJMODEL_H
#define OBJMODEL_H

#include <string>
#include <vector>

#include "zvkapi.h"

struct ModelMaterial
{
    std::string name;
    ZvkColor colour;   // Kd, and d (or 1 - Tr) as alpha
};

// One object or group of the file: a polyhedron of the scene.
struct ModelObject
{
    std::string name;
    std::vector<ModelMaterial> slots;        // slot 0 is the default material
    std::vector<unsigned short> faceSlots;   // a slot per face
    std::vector<int> faceStarts;             // face f's corners: corners[faceStarts[f] .. faceStarts[f + 1])
    std::vector<int> corners;                // indices into the model's positions

    int FaceCount() const { return (int)faceSlots.size(); }
    int CornerCount(int face) const { return faceStarts[face + 1] - faceStarts[face]; }
};

struct ModelPosition
{
    float x, y, z;
};

struct Model
{
    std::vector<ModelPosition> positions;
    std::vector<ModelObject> objects;
    std::string note;   // what the file names and does not have, for a person; empty when nothing
};

// The material of faces that name none, unless the file defines one called "default".
const char DEFAULT_MATERIAL_NAME[] = "default";
const ZvkColor DEFAULT_MATERIAL_COLOUR = { 180, 180, 180, 255 };

// Reads an OBJ file and the MTL files it names. Each object or group with faces becomes an object;
// its slots are the default material, then the materials its faces use in the order the MTL
// files define them, then those no MTL file defines (or that a missing one would), each coloured
// by its name; the note says what was missing. A file with a UTF-8 or UTF-16 byte-order mark is
// read in that encoding, its names in the host's ANSI code page. False, with a message for a
// person, when the file cannot be read, is empty, not text or malformed, has no faces, or has a
// face of fewer than three corners or a corner out of range.
bool ReadObjModel(const std::string& path, Model& model, std::string& error);

// Writes the model to path and its materials to the MTL file beside it (path with .mtl for .obj),
// which the OBJ names. Slot 0 is written as "default"; slots of one name are one material.
bool WriteObjModel(const std::string& path, const Model& model, std::string& error);

// The MTL path written beside an OBJ path.
std::string MaterialLibraryPath(const std::string& objPath);

#endif
