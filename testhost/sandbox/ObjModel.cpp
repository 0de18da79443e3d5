#include "ObjModel.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <new>
#include <set>
#include <sstream>

// Polygons are kept as they are, never triangulated, so no triangulator is needed.
#define TINYOBJLOADER_IMPLEMENTATION
#include <tiny_obj_loader.h>

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

unsigned char ToByte(double value)
{
    if (!(value > 0))   // NaN too
        return 0;
    if (value >= 1)
        return 255;
    return (unsigned char)std::lround(value * 255);
}

ZvkColor MaterialColour(const tinyobj::material_t& material)
{
    ZvkColor colour;
    colour.r = ToByte(material.diffuse[0]);
    colour.g = ToByte(material.diffuse[1]);
    colour.b = ToByte(material.diffuse[2]);
    colour.a = ToByte(material.dissolve);
    return colour;
}

// The loader only warns about a missing library, an undefined material or a face of fewer than
// three corners (which it drops); for us all are errors.
bool CheckWarnings(const std::string& warnings, std::string& error)
{
    std::istringstream lines(warnings);
    std::string line;
    while (std::getline(lines, line))
    {
        // The loader ends one of its warnings with "\n.", so a line can start with a dot.
        if (!line.empty() && line[0] == '.')
            line.erase(0, 1);
        if (line.compare(0, 22, "Degenerated face found") == 0)
        {
            error = "it has a face of fewer than three corners";
            return false;
        }
        size_t open = line.find("[ "), close = line.rfind(" ]");
        std::string subject = open != std::string::npos && close != std::string::npos && close > open
                                  ? line.substr(open + 2, close - open - 2) : line;
        if (line.compare(0, 15, "Material file [") == 0)
        {
            error = "the material library " + Quote(subject) + " it names is missing";
            return false;
        }
        if (line.compare(0, 10, "material [") == 0)
        {
            if (subject.size() >= 2 && subject.front() == '\'' && subject.back() == '\'')
                subject = subject.substr(1, subject.size() - 2);
            error = "the material " + Quote(subject) + " it uses is not defined in any material library";
            return false;
        }
    }
    return true;
}

// Slot 0 is the default; then the materials the shape uses, in the order the libraries define them.
bool BuildObject(const tinyobj::shape_t& shape, const std::vector<tinyobj::material_t>& materials,
                 int positionCount, const std::string& fallbackName, ModelObject& object, std::string& error)
{
    const tinyobj::mesh_t& mesh = shape.mesh;
    object.name = shape.name.empty() ? fallbackName : shape.name;

    int defaultMaterial = -1;
    for (size_t m = 0; m < materials.size(); ++m)
        if (materials[m].name == DEFAULT_MATERIAL_NAME)
            defaultMaterial = (int)m;
    ModelMaterial fallback = { DEFAULT_MATERIAL_NAME, DEFAULT_MATERIAL_COLOUR };
    if (defaultMaterial >= 0)
        fallback.colour = MaterialColour(materials[defaultMaterial]);
    object.slots.push_back(fallback);

    std::set<int> used(mesh.material_ids.begin(), mesh.material_ids.end());
    std::map<int, unsigned short> slotOf;
    for (int m : used)
    {
        if (m < 0 || m >= (int)materials.size() || m == defaultMaterial)
            continue;
        if (object.slots.size() >= 65535)
        {
            error = "the object " + Quote(object.name) + " uses more materials than a polyhedron can hold";
            return false;
        }
        slotOf[m] = (unsigned short)object.slots.size();
        object.slots.push_back({ materials[m].name, MaterialColour(materials[m]) });
    }

    size_t faces = mesh.num_face_vertices.size();
    object.faceSlots.reserve(faces);
    object.faceStarts.reserve(faces + 1);
    object.corners.reserve(mesh.indices.size());
    size_t next = 0;
    for (size_t f = 0; f < faces; ++f)
    {
        int cornerCount = mesh.num_face_vertices[f];
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
        int material = f < mesh.material_ids.size() ? mesh.material_ids[f] : -1;
        object.faceSlots.push_back(slotOf.count(material) ? slotOf[material] : 0);
    }
    // The loader keeps a face's corner count in a byte: a face of more than 255 corners leaves
    // the counts out of step with the corners, and every face after it wrong.
    if (next != mesh.indices.size())
    {
        error = "the object " + Quote(object.name) + " has a face of more than 255 corners, more than can be read";
        return false;
    }
    object.faceStarts.push_back((int)object.corners.size());
    return true;
}

bool ReadChecked(const std::string& path, Model& model, std::string& error)
{
    std::ifstream file(path.c_str(), std::ios::binary);
    if (!file)
    {
        error = "it cannot be opened (missing, or not readable)";
        return false;
    }
    if (file.peek() == std::ifstream::traits_type::eof())
    {
        error = "the file is empty";
        return false;
    }
    file.close();

    tinyobj::attrib_t attrib;
    std::vector<tinyobj::shape_t> shapes;
    std::vector<tinyobj::material_t> materials;
    std::string warnings, errors;
    std::string directory = Directory(path);
    if (!tinyobj::LoadObj(&attrib, &shapes, &materials, &warnings, &errors, path.c_str(),
                          directory.empty() ? NULL : directory.c_str(), false))
    {
        while (!errors.empty() && (errors.back() == '\n' || errors.back() == '\r'))
            errors.pop_back();
        error = "it is malformed: " + (errors.empty() ? std::string("the loader gave no reason") : errors);
        return false;
    }
    if (!CheckWarnings(warnings, error))
        return false;

    std::string baseName = FileName(path);
    baseName = baseName.substr(0, baseName.find_last_of('.'));
    int positionCount = (int)(attrib.vertices.size() / 3);
    Model read;
    read.positions.resize(positionCount);
    for (int v = 0; v < positionCount; ++v)
        read.positions[v] = { attrib.vertices[3 * v], attrib.vertices[3 * v + 1], attrib.vertices[3 * v + 2] };
    for (const tinyobj::shape_t& shape : shapes)
    {
        if (shape.mesh.num_face_vertices.empty())
            continue;   // lines and points only
        ModelObject object;
        if (!BuildObject(shape, materials, positionCount, baseName, object, error))
            return false;
        read.objects.push_back(std::move(object));
    }
    if (read.objects.empty())
    {
        error = "it has no faces";
        return false;
    }
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
