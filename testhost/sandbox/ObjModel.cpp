#include "ObjModel.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <new>
#include <set>
#include <sstream>

// Polygons are kept as they are, never triangulated, so no triangulator is needed.
#define TINYOBJLOADER_IMPLEMENTATION
#include <tiny_obj_loader.h>

#include "ObjMaterials.h"

namespace {

std::string Quote(const std::string& text)
{
    return "\"" + text + "\"";
}

std::string FileName(const std::string& path)
{
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Directory(const std::string& path)
{
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// A face's material in the list, or -1 for the default.
int MaterialOfFace(const ObjScan& scan, const ObjMaterials& materials, size_t face)
{
    int name = scan.faceMaterials[face];
    int material = name >= 0 ? materials.ofName[name] : -1;
    return material == materials.fileDefault ? -1 : material;
}

// Slot 0 is the default; then the materials that faces first .. first + faces - 1 of the file
// use, in the order of the list. slotOf receives each material's slot.
bool AddSlots(const ObjScan& scan, const ObjMaterials& materials, size_t first, size_t faces, ModelObject& object,
              std::map<int, unsigned short>& slotOf, std::string& error)
{
    ModelMaterial fallback = { DEFAULT_MATERIAL_NAME, DEFAULT_MATERIAL_COLOUR };
    if (materials.fileDefault >= 0)
        fallback.colour = materials.list[materials.fileDefault].colour;
    object.slots.push_back(fallback);
    for (size_t f = first; f < first + faces; ++f)
    {
        int material = MaterialOfFace(scan, materials, f);
        if (material >= 0)
            slotOf[material] = 0;
    }
    for (auto& slot : slotOf)
    {
        if (object.slots.size() >= 65535)
        {
            error = "the object " + Quote(object.name) + " uses more materials than a polyhedron can hold";
            return false;
        }
        slot.second = (unsigned short)object.slots.size();
        object.slots.push_back(materials.list[slot.first]);
    }
    return true;
}

// The scan has each face's whole corner count, which the loader keeps in a byte, and its
// material. face is the shape's first face in the file, and moves past its last.
bool BuildObject(const tinyobj::shape_t& shape, const ObjScan& scan, const ObjMaterials& materials, size_t& face,
                 int positionCount, const std::string& fallbackName, ModelObject& object, std::string& error)
{
    const tinyobj::mesh_t& mesh = shape.mesh;
    object.name = shape.name.empty() ? fallbackName : shape.name;
    size_t faces = mesh.num_face_vertices.size();
    std::string unread = "the faces of the object " + Quote(object.name) + " could not be read as written";
    if (face + faces > scan.faceCorners.size())
    {
        error = unread;
        return false;
    }
    std::map<int, unsigned short> slotOf;
    if (!AddSlots(scan, materials, face, faces, object, slotOf, error))
        return false;

    object.faceSlots.reserve(faces);
    object.faceStarts.reserve(faces + 1);
    object.corners.reserve(mesh.indices.size());
    size_t next = 0;
    for (size_t f = 0; f < faces; ++f, ++face)
    {
        int cornerCount = scan.faceCorners[face];
        if ((unsigned char)cornerCount != mesh.num_face_vertices[f])
        {
            error = unread;
            return false;
        }
        object.faceStarts.push_back((int)object.corners.size());
        for (int c = 0; c < cornerCount; ++c, ++next)
        {
            int index = next < mesh.indices.size() ? mesh.indices[next].vertex_index : -1;
            if (index < 0 || index >= positionCount)
            {
                error = "face " + std::to_string(f + 1) + " of " + Quote(object.name) + " uses vertex " +
                        std::to_string((long long)index + 1) + ", out of range: the file has " +
                        std::to_string(positionCount) + " vertices";
                return false;
            }
            object.corners.push_back(index);
        }
        int material = MaterialOfFace(scan, materials, face);
        object.faceSlots.push_back(material >= 0 ? slotOf[material] : 0);
    }
    object.faceStarts.push_back((int)object.corners.size());
    if (next != mesh.indices.size())
    {
        error = unread;
        return false;
    }
    return true;
}

std::string NoFacesReason(const ObjScan& scan)
{
    const char* has = scan.points && scan.lines ? "points and lines" : scan.points ? "points" : scan.lines ? "lines" : NULL;
    return has ? std::string("it has ") + has + " but no faces" : "it has no faces";
}

// The file as text, what its lines say, and its materials, before the loader reads the geometry.
bool ReadText(const std::string& path, std::string& text, ObjScan& scan, ObjMaterials& materials, std::string& error)
{
    std::string bytes;
    if (!ReadFileBytes(path, bytes))
    {
        error = "it cannot be opened (missing, or not readable)";
        return false;
    }
    if (bytes.empty())
    {
        error = "the file is empty";
        return false;
    }
    if (!DecodeAnsiText(bytes, text, error) || !ScanObjText(text, scan, error))
        return false;
    if (scan.faceCorners.empty())
    {
        error = NoFacesReason(scan);
        return false;
    }
    return ReadObjMaterials(Directory(path), scan, materials, error);
}

bool ReadChecked(const std::string& path, Model& model, std::string& error)
{
    std::string text;
    ObjScan scan;
    ObjMaterials materials;
    if (!ReadText(path, text, scan, materials, error))
        return false;

    // Without a material reader the loader leaves mtllib and usemtl to the scan.
    tinyobj::attrib_t attrib;
    std::vector<tinyobj::shape_t> shapes;
    std::vector<tinyobj::material_t> unused;
    std::string warnings, errors;
    std::istringstream stream(text);
    if (!tinyobj::LoadObj(&attrib, &shapes, &unused, &warnings, &errors, &stream, NULL, false))
    {
        while (!errors.empty() && (errors.back() == '\n' || errors.back() == '\r'))
            errors.pop_back();
        error = "it is malformed: " + (errors.empty() ? std::string("the loader gave no reason") : errors);
        return false;
    }

    std::string baseName = FileName(path);
    baseName = baseName.substr(0, baseName.find_last_of('.'));
    int positionCount = (int)(attrib.vertices.size() / 3);
    Model read;
    read.positions.resize(positionCount);
    for (int v = 0; v < positionCount; ++v)
        read.positions[v] = { attrib.vertices[3 * v], attrib.vertices[3 * v + 1], attrib.vertices[3 * v + 2] };
    size_t face = 0;
    for (const tinyobj::shape_t& shape : shapes)
    {
        if (shape.mesh.num_face_vertices.empty())
            continue;   // lines and points only
        ModelObject object;
        if (!BuildObject(shape, scan, materials, face, positionCount, baseName, object, error))
            return false;
        read.objects.push_back(std::move(object));
    }
    if (face != scan.faceCorners.size())
    {
        error = "its faces could not be read as written";
        return false;
    }
    read.note = materials.note;
    model = std::move(read);
    return true;
}

} // namespace

bool ReadObjModel(const std::string& path, Model& model, std::string& error)
{
    try
    {
        if (ReadChecked(path, model, error))
            return true;
    }
    catch (const std::bad_alloc&)
    {
        error = "it is too big for the memory available";
    }
    catch (const std::exception& e)
    {
        error = std::string("it could not be read (") + e.what() + ")";
    }
    error = "Cannot open " + path + ": " + error + ".";
    return false;
}

std::string MaterialLibraryPath(const std::string& objPath)
{
    size_t dot = objPath.find_last_of('.');
    size_t slash = objPath.find_last_of("\\/");
    bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExtension ? objPath.substr(0, dot) : objPath) + ".mtl";
}

namespace {

void WriteMaterial(FILE* file, const ModelMaterial& material)
{
    fprintf(file, "newmtl %s\nKd %.6f %.6f %.6f\nd %.6f\n\n", material.name.c_str(), material.colour.r / 255.0,
            material.colour.g / 255.0, material.colour.b / 255.0, material.colour.a / 255.0);
}

// Every material once, in an order that keeps each object's slots in slot order when read back:
// a reader puts an object's materials in the order the library defines them.
std::vector<const ModelMaterial*> LibraryOrder(const Model& model)
{
    std::vector<const ModelMaterial*> materials;   // first appearance
    std::map<std::string, int> indexOf;
    std::vector<std::set<int>> before;              // before[m]: materials that must come before m
    for (const ModelObject& object : model.objects)
    {
        int previous = -1;
        for (size_t s = 0; s < object.slots.size(); ++s)
        {
            auto found = indexOf.find(object.slots[s].name);
            int m = found != indexOf.end() ? found->second : (int)materials.size();
            if (found == indexOf.end())
            {
                indexOf[object.slots[s].name] = m;
                materials.push_back(&object.slots[s]);
                before.emplace_back();
            }
            // Slot 0 is the default wherever the library puts it.
            if (s > 0 && previous >= 0 && previous != m)
                before[m].insert(previous);
            if (s > 0)
                previous = m;
        }
    }
    std::vector<const ModelMaterial*> order;
    std::vector<bool> placed(materials.size(), false);
    while (order.size() < materials.size())
    {
        int next = -1;
        for (size_t m = 0; m < materials.size() && next < 0; ++m)
        {
            if (placed[m])
                continue;
            bool ready = true;
            for (int b : before[m])
                ready = ready && placed[b];
            if (ready)
                next = (int)m;
        }
        // Orders that contradict each other cannot all be kept: take the first left.
        if (next < 0)
            next = (int)(std::find(placed.begin(), placed.end(), false) - placed.begin());
        placed[next] = true;
        order.push_back(materials[next]);
    }
    return order;
}

bool WriteLibrary(const std::string& path, const Model& model)
{
    FILE* file = fopen(path.c_str(), "wb");
    if (!file)
        return false;
    fprintf(file, "# Materials of the zVkQuarvelind sandbox host's scene\n\n");
    for (const ModelMaterial* material : LibraryOrder(model))
        WriteMaterial(file, *material);
    return fclose(file) == 0;
}

bool WriteGeometry(const std::string& path, const std::string& libraryName, const Model& model)
{
    FILE* file = fopen(path.c_str(), "wb");
    if (!file)
        return false;
    fprintf(file, "# Scene of the zVkQuarvelind sandbox host\nmtllib %s\n\n", libraryName.c_str());
    for (const ModelPosition& p : model.positions)
        fprintf(file, "v %.9g %.9g %.9g\n", p.x, p.y, p.z);
    for (const ModelObject& object : model.objects)
    {
        fprintf(file, "\ng %s\n", object.name.c_str());
        int current = -1;
        for (int f = 0; f < object.FaceCount(); ++f)
        {
            if (object.faceSlots[f] != current)
            {
                current = object.faceSlots[f];
                fprintf(file, "usemtl %s\n", object.slots[current].name.c_str());
            }
            fputc('f', file);
            for (int c = object.faceStarts[f]; c < object.faceStarts[f + 1]; ++c)
                fprintf(file, " %d", object.corners[c] + 1);
            fputc('\n', file);
        }
    }
    return fclose(file) == 0;
}

} // namespace

bool WriteObjModel(const std::string& path, const Model& model, std::string& error)
{
    std::string library = MaterialLibraryPath(path);
    if (!WriteLibrary(library, model))
    {
        error = "Cannot write " + library + ".";
        return false;
    }
    if (!WriteGeometry(path, FileName(library), model))
    {
        error = "Cannot write " + path + ".";
        return false;
    }
    return true;
}
