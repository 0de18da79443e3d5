// The materials an OBJ file's faces use: those its material libraries define, and one for each
// that no library defines, coloured by its name, so that the file opens as other viewers open it.
#ifndef OBJMATERIALS_H
#define OBJMATERIALS_H

#include "ObjModel.h"
#include "ObjText.h"

struct ObjMaterials
{
    std::vector<ModelMaterial> list;   // the libraries' materials in their order, then the missing ones
    std::vector<int> ofName;           // per ObjScan::materialNames: its index in list; -1: the default
    int fileDefault = -1;              // the libraries' own "default", or -1
    std::string note;                  // what was missing, for a person; empty when nothing was
};

// Reads the libraries the scan names from the OBJ file's directory. A missing library or material
// only goes into the note; false, with the reason, for a library that is there but not text.
bool ReadObjMaterials(const std::string& directory, const ObjScan& scan, ObjMaterials& materials, std::string& error);

#endif
