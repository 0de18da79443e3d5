#include "ObjMaterials.h"

#include <windows.h>

#include <cmath>
#include <map>
#include <set>
#include <sstream>

#include <tiny_obj_loader.h>

namespace {

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

const int NAME_HUES = 12;
const int NAME_COLOURS = 2 * NAME_HUES;

// Colour number index: the hue (index mod 12) times 30 degrees; the first twelve light (value
// 0.95, saturation 0.6), the others dark and full (value 0.6, saturation 1). Any two differ by
// 72 or more in red, green and blue together, and none is near the default's grey.
ZvkColor NameColour(int index)
{
    bool light = index < NAME_HUES;
    double value = light ? 0.95 : 0.6, chroma = (light ? 0.6 : 1.0) * value, low = value - chroma;
    double sector = (index % NAME_HUES) / 2.0;   // the hue in sixties
    double middle = chroma * (1 - std::fabs(std::fmod(sector, 2.0) - 1));
    const double sectors[6][3] = { { chroma, middle, 0 }, { middle, chroma, 0 }, { 0, chroma, middle },
                                   { 0, middle, chroma }, { middle, 0, chroma }, { chroma, 0, middle } };
    const double* rgb = sectors[(int)sector];
    ZvkColor colour = { ToByte(rgb[0] + low), ToByte(rgb[1] + low), ToByte(rgb[2] + low), 255 };
    return colour;
}

// A hash of the name (32-bit FNV-1a) picks the colour; a colour another missing material of the
// file already has passes to the next, so that a file's missing materials stay apart.
ZvkColor ColourOfName(const std::string& name, std::vector<bool>& taken)
{
    unsigned int hash = 2166136261u;
    for (unsigned char c : name)
        hash = (hash ^ c) * 16777619u;
    int index = (int)(hash % NAME_COLOURS);
    for (int tries = 1; tries < NAME_COLOURS && taken[index]; ++tries)
        index = (index + 1) % NAME_COLOURS;
    taken[index] = true;
    return NameColour(index);
}

bool FileExists(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// An mtllib line names one library or several. A name with spaces is one library when a file of
// that name is there: the sandbox writes its own libraries' names so.
std::vector<std::string> LibraryNames(const std::string& directory, const std::string& rest)
{
    if (FileExists(directory + rest))
        return { rest };
    std::vector<std::string> names;
    std::istringstream words(rest);
    for (std::string word; words >> word;)
        names.push_back(word);
    return names;
}

// found is false for a library that is not there; false only for one that is there but not text.
bool ReadLibrary(const std::string& path, std::vector<tinyobj::material_t>& defined, bool& found, std::string& error)
{
    std::string bytes, text;
    found = ReadFileBytes(path, bytes);
    if (!found)
        return true;
    if (!DecodeAnsiText(bytes, text, error))
        return false;
    std::istringstream stream(text);
    std::map<std::string, int> unused;
    std::string warnings, errors;
    tinyobj::LoadMtl(&unused, &defined, &stream, &warnings, &errors);
    return true;
}

// The list of names, at most eight of them, for a status bar.
std::string NameList(const std::vector<std::string>& names)
{
    const size_t SHOWN = 8;
    std::string list;
    for (size_t i = 0; i < names.size() && i < SHOWN; ++i)
        list += (i > 0 ? ", " : "") + names[i];
    if (names.size() > SHOWN)
        list += " and " + std::to_string(names.size() - SHOWN) + " more";
    return list;
}

// A missing library's materials cannot be told from materials that no library defines: with a
// library missing, the note names only the libraries.
std::string MissingNote(const std::vector<std::string>& libraries, const std::vector<std::string>& materials)
{
    if (!libraries.empty())
        return (libraries.size() == 1 ? "material library " : "material libraries ") + NameList(libraries) + " missing";
    if (materials.empty())
        return std::string();
    return std::to_string(materials.size()) + (materials.size() == 1 ? " material" : " materials") +
           " not defined in any material library: " + NameList(materials);
}

} // namespace

bool ReadObjMaterials(const std::string& directory, const ObjScan& scan, ObjMaterials& materials, std::string& error)
{
    ObjMaterials read;
    std::map<std::string, int> indexOf;   // the first definition of a name counts, as for the loader
    std::set<std::string> libraries;
    std::vector<std::string> missingLibraries, missingMaterials;
    for (const std::string& line : scan.libraries)
        for (const std::string& library : LibraryNames(directory, line))
        {
            if (!libraries.insert(library).second)
                continue;
            std::vector<tinyobj::material_t> defined;
            bool found = false;
            if (!ReadLibrary(directory + library, defined, found, error))
            {
                error = "its material library \"" + library + "\" cannot be read: " + error;
                return false;
            }
            if (!found)
                missingLibraries.push_back(library);
            for (const tinyobj::material_t& material : defined)
            {
                std::string name = TrimmedName(material.name);
                if (!name.empty() && indexOf.emplace(name, (int)read.list.size()).second)
                    read.list.push_back({ name, MaterialColour(material) });
            }
        }
    auto fileDefault = indexOf.find(DEFAULT_MATERIAL_NAME);
    read.fileDefault = fileDefault != indexOf.end() ? fileDefault->second : -1;

    std::vector<bool> taken(NAME_COLOURS, false);
    for (const std::string& name : scan.materialNames)
    {
        auto defined = indexOf.find(name);
        if (defined != indexOf.end())
            read.ofName.push_back(defined->second);
        else if (name == DEFAULT_MATERIAL_NAME)
            read.ofName.push_back(-1);   // the sandbox's own default is one
        else
        {
            read.ofName.push_back((int)read.list.size());
            read.list.push_back({ name, ColourOfName(name, taken) });
            missingMaterials.push_back(name);
        }
    }
    read.note = MissingNote(missingLibraries, missingMaterials);
    materials = std::move(read);
    return true;
}
