// The sandbox host's models: real OBJ files loaded into the replacement host and checked against
// the files themselves, bad files refused with a message and the scene left alone, and a painted
// scene saved and read back exactly.
#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "ModelView.h"
#include "SceneModel.h"
#include "zvkapi.h"
#include "zvktest.h"

namespace {

const std::string MODELS = ZVK_TEST_MODELS;

std::string TempPath(const std::string& name)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    return std::string(temp) + "zvk-" + std::to_string(GetCurrentProcessId()) + "-" + name;
}

void WriteText(const std::string& path, const std::string& text)
{
    std::ofstream(path.c_str(), std::ios::binary) << text;
}

std::string ReadText(const std::string& path)
{
    std::ifstream file(path.c_str(), std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// What the file itself says, read line by line without the loader: the groups with faces in
// order, the faces and corners of each, and the materials each names (a name is the rest of its
// line). The package's UTF-16 sample is ASCII in two bytes a character.
struct FileGroup
{
    std::string name;
    int faces = 0;
    int corners = 0;
    std::set<std::string> materials;
};

std::vector<FileGroup> ScanObj(const std::string& path, const std::string& unnamed)
{
    std::vector<FileGroup> groups(1);
    groups[0].name = unnamed;
    std::string text = ReadText(path), ascii;
    if (text.compare(0, 2, "\xFE\xFF") == 0)
    {
        for (size_t i = 3; i < text.size(); i += 2)
            ascii += text[i];
        text = ascii;
    }
    std::istringstream lines(text);
    std::string line, material;
    while (std::getline(lines, line))
    {
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
            line.pop_back();
        std::istringstream words(line);
        std::string keyword;
        words >> keyword;
        if (keyword == "g" || keyword == "o")
        {
            FileGroup group;
            for (std::string word; words >> word;)
                group.name += (group.name.empty() ? "" : " ") + word;
            groups.push_back(group);
        }
        else if (keyword == "usemtl")
        {
            std::getline(words >> std::ws, material);
        }
        else if (keyword == "f")
        {
            ++groups.back().faces;
            for (std::string word; words >> word;)
                ++groups.back().corners;
            if (!material.empty() && material != DEFAULT_MATERIAL_NAME)
                groups.back().materials.insert(material);
        }
    }
    std::vector<FileGroup> withFaces;
    for (const FileGroup& group : groups)
        if (group.faces > 0)
            withFaces.push_back(group);
    return withFaces;
}

std::string ColourText(const ZvkColor& c)
{
    char text[40];
    snprintf(text, sizeof text, "(%d,%d,%d,%d)", c.r, c.g, c.b, c.a);
    return text;
}

ZvkColor HostSlotColour(ZvkHandle polyhedron, int slot)
{
    ZvktMaterial material = {};
    zvktGetSlot(polyhedron, slot, &material);
    return material.colour;
}

// A polyhedron's slots and faces as the host holds them, to compare two scenes as text.
struct HostPolyhedron
{
    std::string name;
    std::vector<std::string> slotColours;
    std::vector<int> faceSlots;
};

std::vector<HostPolyhedron> HostScene()
{
    std::vector<HostPolyhedron> scene;
    for (int i = 0; i < zvktObjectCount(); ++i)
    {
        ZvkHandle object = zvktObjectAt(i);
        HostPolyhedron polyhedron;
        polyhedron.name = zvktObjectName(object);
        for (int s = 0; s < zvktSlotCount(object); ++s)
            polyhedron.slotColours.push_back(ColourText(HostSlotColour(object, s)));
        for (int f = 0; f < zvktFaceCount(object); ++f)
            polyhedron.faceSlots.push_back(zvktFaceMaterialIndex(object, f));
        scene.push_back(polyhedron);
    }
    return scene;
}

// A grid of two triangles a cell, in one group: more faces than the plug-in lists.
std::string BigGridObj(int cells)
{
    std::ostringstream obj;
    obj << "g Big grid\n";
    for (int y = 0; y <= 1; ++y)
        for (int x = 0; x <= cells; ++x)
            obj << "v " << x << " " << y << " 0\n";
    for (int x = 1; x <= cells; ++x)
    {
        int top = cells + 1 + x;
        obj << "f " << x << " " << x + 1 << " " << top + 1 << "\n";
        obj << "f " << x << " " << top + 1 << " " << top << "\n";
    }
    return obj.str();
}

// One face of that many corners around a circle.
std::string CircleObj(int corners)
{
    std::ostringstream obj;
    for (int i = 0; i < corners; ++i)
        obj << "v " << cos(i * 6.283185 / corners) << " " << sin(i * 6.283185 / corners) << " 0\n";
    obj << "g Circle\nf";
    for (int i = 1; i <= corners; ++i)
        obj << " " << i;
    obj << "\nf 1 2 3\n";
    return obj.str();
}

class SandboxModel : public ::testing::Test
{
protected:
    void SetUp() override { zvktReset(); }

    bool Load(const std::string& path, std::string& error)
    {
        return LoadModelIntoHost(path, m_model, m_polyhedra, error);
    }

    Model m_model;
    std::vector<ZvkHandle> m_polyhedra;
};

} // namespace

// Every OBJ sample of the package, and two of our own: each object or group with faces is a
// polyhedron of its name, each polygon a face (polygons stay whole, of any number of corners),
// and its slots are the default plus the materials it uses, defined or not; the note says what
// was missing. A sample without faces is refused with what it has instead.
TEST_F(SandboxModel, RealModelsLoadAsTheFilesSay)
{
    std::string bigGrid = TempPath("big-grid.obj"), circle = TempPath("circle.obj");
    WriteText(bigGrid, BigGridObj(35000));
    WriteText(circle, CircleObj(300));
    const std::string noDefault = "1 material not defined in any material library: Default";
    const struct
    {
        std::string file;    // in the package's OBJ folder, or a path
        int faces;           // in the whole file; -1: refused
        int materials;       // distinct materials used in the whole file
        std::string note;    // or the reason of a refusal
    } cases[] = {
        { "WusonOBJ.obj", 3732, 0, "" },
        { "box.obj", 6, 1, noDefault },
        { "box_UTF16BE.obj", 6, 1, noDefault },
        { "box_longline.obj", 6, 1, "1 material not defined in any material library: Defauli" },   // 936 corners
        { "box_mat_with_spaces.obj", 6, 1, "" },
        { "box_without_lineending.obj", 6, 1, noDefault },
        { "concave_polygon.obj", 1, 1, "" },
        { "cube_mtllib_after_g.obj", 12, 1, "material library cube_mtllib_after_g.mat missing" },
        { "cube_usemtl.obj", 12, 3, "1 material not defined in any material library: mtl3" },
        { "cube_with_vertexcolors.obj", 12, 0, "" },
        { "cube_with_vertexcolors_uni.obj", 12, 0, "" },
        { "empty_mat.obj", 256, 0, "" },
        { "multiple_spaces.obj", 1, 0, "" },
        { "number_formats.obj", 1, 0, "" },
        { "point_cloud.obj", -1, 0, "it has no faces" },
        { "regr01.obj", 2710, 12, "" },
        { "regr_3429812.obj", 3, 1, "" },
        { "space_in_material_name.obj", 1, 1, "" },
        { "spider.obj", 1368, 4, "" },
        { "testline.obj", -1, 0, "it has lines but no faces" },
        { "testmixed.obj", 6, 1, noDefault },
        { "testpoints.obj", -1, 0, "it has points but no faces" },
        { bigGrid, 70000, 0, "" },   // over 65,534 faces in one object: loads as it is
        { circle, 2, 0, "" },        // a face of 300 corners, more than the loader counts
    };
    std::set<std::string> listed;
    for (const auto& c : cases)
        listed.insert(c.file);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((MODELS + "/OBJ/*.obj").c_str(), &found);
    ASSERT_NE(INVALID_HANDLE_VALUE, search) << "no " << MODELS << "/OBJ (assimp-testmodels)";
    do
        EXPECT_TRUE(listed.count(found.cFileName)) << found.cFileName << " is not in the table";
    while (FindNextFileA(search, &found));
    FindClose(search);

    for (const auto& c : cases)
    {
        std::string path = c.file.find_first_of("\\/") == std::string::npos ? MODELS + "/OBJ/" + c.file : c.file;
        SCOPED_TRACE(path);
        zvktReset();
        std::string error;
        if (c.faces < 0)
        {
            EXPECT_FALSE(Load(path, error));
            EXPECT_NE(std::string::npos, error.find(": " + c.note + ".")) << error;
            continue;
        }
        ASSERT_TRUE(Load(path, error)) << error;
        EXPECT_EQ(c.note, m_model.note);
        std::string base = path.substr(path.find_last_of('/') + 1);
        std::vector<FileGroup> groups = ScanObj(path, base.substr(0, base.find('.')));
        ASSERT_EQ(groups.size(), (size_t)zvktObjectCount());
        int faces = 0;
        std::set<std::string> materials;
        for (size_t i = 0; i < groups.size(); ++i)
        {
            SCOPED_TRACE(groups[i].name);
            ZvkHandle polyhedron = zvktObjectAt((int)i);
            EXPECT_EQ(m_polyhedra[i], polyhedron);
            EXPECT_EQ(groups[i].name, zvktObjectName(polyhedron));
            EXPECT_EQ(groups[i].faces, zvktFaceCount(polyhedron));
            EXPECT_EQ(1 + groups[i].materials.size(), (size_t)zvktSlotCount(polyhedron));
            faces += zvktFaceCount(polyhedron);
            for (int s = 1; s < (int)m_model.objects[i].slots.size(); ++s)
                EXPECT_TRUE(groups[i].materials.count(m_model.objects[i].slots[s].name)) << m_model.objects[i].slots[s].name;
            materials.insert(groups[i].materials.begin(), groups[i].materials.end());
            EXPECT_EQ(groups[i].corners, (int)m_model.objects[i].corners.size());
        }
        EXPECT_EQ(c.faces, faces);
        EXPECT_EQ((size_t)c.materials, materials.size());
    }
    DeleteFileA(bigGrid.c_str());
    DeleteFileA(circle.c_str());
}

// Kd is the colour and d (or 1 - Tr) the alpha, each face in its material's slot; faces without a
// material are in slot 0. A material no library defines has the colour of its name, the same in
// every run and file. Names are in the host's ANSI code page (1252 in the tests' Wine prefix)
// whatever the file's encoding, a character it lacks a '?' rather than a look-alike.
TEST_F(SandboxModel, SlotsHaveTheirMaterialsColours)
{
    std::string obj = TempPath("colours.obj"), mtl = TempPath("colours.mtl");
    WriteText(mtl, "newmtl Glass\nKd 0.2 0.4 0.6\nTr 0.75\n\nnewmtl Red\nKd 1 0 0\n\nnewmtl Unused\nKd 0 1 0\n");
    WriteText(obj, "mtllib " + mtl.substr(mtl.find_last_of("\\/") + 1) +
                       "\nv 0 0 0\nv 1 0 0\nv 0 1 0\ng Shape\nf 1 2 3\nusemtl Red\nf 1 2 3\nusemtl Glass\nf 1 2 3\n");
    std::string utf16 = TempPath("utf16.obj"), utf8 = TempPath("utf8.obj"), bytes = "\xFF\xFE";
    for (const wchar_t* c = L"v 0 0 0\nv 1 0 0\nv 0 1 0\ng Caf\u00e9 \u2603\nusemtl Gr\u00f6\u00dfe \u0141\nf 1 2 3\n"; *c; ++c)
        bytes += std::string(1, (char)(*c & 0xFF)) + (char)(*c >> 8);
    WriteText(utf16, bytes);
    WriteText(utf8, "\xEF\xBB\xBFv 0 0 0\nv 1 0 0\nv 0 1 0\ng Caf\xC3\xA9\nusemtl Gr\xC3\xB6\xC3\x9F" "e \xC5\x81\nf 1 2 3\n");
    const struct
    {
        std::string path;
        std::string object;
        std::string material;
        std::string colour;
    } cases[] = {
        { MODELS + "/OBJ/spider.obj", "Brust", "Skin", "(211,202,197,255)" },
        { MODELS + "/OBJ/regr01.obj", "Window-01", "Windows", "(153,178,204,128)" },
        { obj, "Shape", "Red", "(255,0,0,255)" },
        { obj, "Shape", "Glass", "(51,102,153,64)" },
        { obj, "Shape", DEFAULT_MATERIAL_NAME, ColourText(DEFAULT_MATERIAL_COLOUR) },
        { MODELS + "/OBJ/box.obj", "1", "Default", "(153,153,0,255)" },
        { utf16, "Caf\xE9 ?", "Gr\xF6\xDF" "e ?", "(0,77,153,255)" },
        { utf8, "Caf\xE9", "Gr\xF6\xDF" "e ?", "(0,77,153,255)" },
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.path + ": " + c.object + ", " + c.material);
        std::string error;
        ASSERT_TRUE(Load(c.path, error)) << error;
        bool found = false;
        for (size_t i = 0; i < m_model.objects.size(); ++i)
            for (size_t s = 0; s < m_model.objects[i].slots.size(); ++s)
                if (m_model.objects[i].name == c.object && m_model.objects[i].slots[s].name == c.material)
                {
                    found = true;
                    EXPECT_EQ(c.colour, ColourText(HostSlotColour(m_polyhedra[i], (int)s)));
                }
        EXPECT_TRUE(found);
    }
    // The small file's faces: no material, Red, Glass; Unused is not a slot.
    std::string error;
    ASSERT_TRUE(Load(obj, error)) << error;
    ZvkHandle shape = m_polyhedra[0];
    EXPECT_EQ(3, zvktSlotCount(shape));
    EXPECT_EQ("(255,0,0,255)", ColourText(HostSlotColour(shape, zvktFaceMaterialIndex(shape, 1))));
    EXPECT_EQ("(51,102,153,64)", ColourText(HostSlotColour(shape, zvktFaceMaterialIndex(shape, 2))));
    EXPECT_EQ(0, zvktFaceMaterialIndex(shape, 0));

    // Twelve names no library defines: twelve colours clearly apart, though names share hashes.
    std::string undefined = TempPath("undefined.obj"), text = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";
    for (int name = 1; name <= 12; ++name)
        text += "usemtl Material." + std::to_string(name) + "\nf 1 2 3\n";
    WriteText(undefined, text);
    ASSERT_TRUE(Load(undefined, error)) << error;
    ASSERT_EQ(13, zvktSlotCount(m_polyhedra[0]));
    for (int a = 2; a < 13; ++a)
        for (int b = 1; b < a; ++b)
        {
            ZvkColor one = HostSlotColour(m_polyhedra[0], a), other = HostSlotColour(m_polyhedra[0], b);
            EXPECT_GE(abs(one.r - other.r) + abs(one.g - other.g) + abs(one.b - other.b), 60)
                << ColourText(one) << " and " << ColourText(other);
        }
    for (const std::string& file : { obj, mtl, utf16, utf8, undefined })
        DeleteFileA(file.c_str());
}

// A file that cannot be used gives a message that names it and says why, and the scene stays.
TEST_F(SandboxModel, BadFilesAreRefusedAndLeaveTheScene)
{
    struct Case
    {
        std::string label;
        std::string path;
        std::string reason;   // part of the message; empty: any
    };
    std::vector<Case> cases;
    // Every file of the package's invalid/ folder, whatever its format.
    std::map<std::string, std::string> reasons = {
        { "empty.obj", "empty" }, { "empty.3ds", "empty" }, { "malformed.obj", "malformed" },
        { "malformed2.obj", "a face of fewer than three corners (line 23)" }, { "OutOfMemory.off", "no faces" },
        { "emptyIrrMesh.xml", "no faces" } };
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((MODELS + "/invalid/*").c_str(), &found);
    ASSERT_NE(INVALID_HANDLE_VALUE, search) << "no " << MODELS << "/invalid (assimp-testmodels)";
    do
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && std::string(found.cFileName) != "readme.txt")
            cases.push_back({ found.cFileName, MODELS + "/invalid/" + found.cFileName, reasons[found.cFileName] });
    while (FindNextFileA(search, &found));
    FindClose(search);
    EXPECT_GE(cases.size(), 14u) << "the invalid/ folder has fewer files than it should";

    // Our own: each fault alone in an otherwise sound file.
    const char* vertices = "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0\n";
    const struct { const char* label; std::string text; const char* reason; } own[] = {
        { "index out of range", std::string(vertices) + "f 1 2 9\n", "uses vertex 9, out of range: the file has 4 vertices" },
        { "relative index before the first vertex", std::string(vertices) + "f 1 2 -7\n", "out of range" },
        { "truncated in a face", std::string(vertices) + "f 1 2 3\nf 2 4", "a face of fewer than three corners" },
        { "truncated before the faces", std::string(vertices) + "g Sh", "no faces" },
        { "lines and points only", std::string(vertices) + "l 1 2\np 3\n", "it has points and lines but no faces" },
        { "zero index", std::string(vertices) + "f 0 1 2\n", "malformed" },
        { "UTF-32", std::string("\xFF\xFE\0\0v\0\0\0", 8), "UTF-32 text (a little-endian byte-order mark)" },
        { "UTF-16 without a mark", std::string("v\0 \0" "0\0", 6), "not text: byte 2 is NUL" },
    };
    for (const auto& c : own)
        cases.push_back({ c.label, TempPath("bad-" + std::to_string(cases.size()) + ".obj"), c.reason });
    cases.push_back({ "missing file", TempPath("not-there.obj"), "cannot be opened" });

    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        for (const auto& o : own)
            if (c.label == o.label)
                WriteText(c.path, o.text);
        zvktReset();
        ZvkHandle before = zvktAddPolyhedron("Before", 3, NULL, 2);
        bool replaced = false;
        std::string error;
        EXPECT_FALSE(LoadModelIntoHost(c.path, m_model, m_polyhedra, error, [&] { replaced = true; }));
        EXPECT_FALSE(replaced);
        EXPECT_EQ(1, zvktObjectCount());
        EXPECT_EQ(before, zvktObjectAt(0));
        EXPECT_EQ(3, zvktFaceCount(before));
        EXPECT_NE(std::string::npos, error.find(c.path)) << error;
        EXPECT_NE(std::string::npos, error.find(c.reason)) << error;
        if (c.path.find(MODELS) != 0)
            DeleteFileA(c.path.c_str());
    }
}

// What the plug-in painted is saved as materials of their own; loading the saved file gives the
// same polyhedra, slots, colours and faces, and saving that again the same bytes.
TEST_F(SandboxModel, SavedSceneReadsBackExactly)
{
    // Each object's materials come back in library order: Second before First in "Uses both"
    // only if the library keeps First before Second although "Uses second" names Second first.
    std::string orderObj = TempPath("order.obj"), orderMtl = TempPath("order.mtl");
    WriteText(orderMtl, "newmtl First\nKd 1 0 0\n\nnewmtl Second\nKd 0 1 0\n");
    WriteText(orderObj, "mtllib " + orderMtl.substr(orderMtl.find_last_of("\\/") + 1) +
                            "\nv 0 0 0\nv 1 0 0\nv 0 1 0\ng Uses second\nusemtl Second\nf 1 2 3\nf 1 2 3\nf 1 2 3\n"
                            "g Uses both\nusemtl First\nf 1 2 3\nusemtl Second\nf 1 2 3\ng Last\nf 1 2 3\n");
    // Materials that no library defined are saved with the others: the saved file has no note.
    const std::string cases[] = { MODELS + "/OBJ/spider.obj", MODELS + "/OBJ/WusonOBJ.obj", MODELS + "/OBJ/regr01.obj",
                                  MODELS + "/OBJ/cube_usemtl.obj", MODELS + "/OBJ/box_mat_with_spaces.obj", orderObj };
    for (const std::string& path : cases)
    {
        SCOPED_TRACE(path);
        zvktReset();
        std::string error;
        ASSERT_TRUE(Load(path, error)) << error;
        Model loaded = m_model;

        // Paint as the plug-in does: a face red, a face invisible, and a whole polyhedron blue.
        ZvkHandle first = m_polyhedra[0], last = m_polyhedra.back();
        const ZvkColor red = { 250, 10, 10, 255 }, invisible = { 0, 0, 255, 0 }, blue = { 10, 20, 240, 255 };
        ZvkHandle material = NULL;
        zvkMaterialCreate(&material);
        zvkMaterialSetColor(material, &red);
        zvkPolyhPaintFace(first, 0, material, 0);
        zvkMaterialSetColor(material, &invisible);
        zvkPolyhPaintFace(first, (unsigned short)(zvktFaceCount(first) - 1), material, 0);
        zvkMaterialSetColor(material, &blue);
        if (last != first)
            zvkPolyhPaint(last, material);
        zvkMaterialDestroy(material);
        zvkFree(material);
        ASSERT_GE(zvktSlotCount(first), 3);
        std::vector<HostPolyhedron> painted = HostScene();

        std::string saved = TempPath("saved copy.obj");   // its library's name has a space too
        ASSERT_TRUE(WriteObjModel(saved, ModelFromHost(loaded, m_polyhedra), error)) << error;
        // A polyhedron painted whole keeps only the slot its faces use.
        if (last != first)
        {
            painted.back().slotColours = { painted.back().slotColours[0], ColourText(blue) };
            for (int& slot : painted.back().faceSlots)
                slot = 1;
        }

        zvktReset();
        ASSERT_TRUE(Load(saved, error)) << error;
        EXPECT_EQ("", m_model.note);
        std::vector<HostPolyhedron> reloaded = HostScene();
        ASSERT_EQ(painted.size(), reloaded.size());
        for (size_t i = 0; i < painted.size(); ++i)
        {
            SCOPED_TRACE(painted[i].name);
            EXPECT_EQ(painted[i].name, reloaded[i].name);
            EXPECT_EQ(painted[i].slotColours, reloaded[i].slotColours);
            EXPECT_EQ(painted[i].faceSlots, reloaded[i].faceSlots);
            EXPECT_EQ(loaded.objects[i].faceStarts, m_model.objects[i].faceStarts);
            EXPECT_EQ(loaded.objects[i].corners, m_model.objects[i].corners);
        }
        ASSERT_EQ(loaded.positions.size(), m_model.positions.size());
        for (size_t v = 0; v < loaded.positions.size(); ++v)
            ASSERT_TRUE(loaded.positions[v].x == m_model.positions[v].x && loaded.positions[v].y == m_model.positions[v].y &&
                        loaded.positions[v].z == m_model.positions[v].z) << "vertex " << v + 1;

        std::string again = TempPath("again.obj");
        ASSERT_TRUE(WriteObjModel(again, ModelFromHost(m_model, m_polyhedra), error)) << error;
        EXPECT_EQ(ReadText(MaterialLibraryPath(saved)), ReadText(MaterialLibraryPath(again)));
        std::string savedText = ReadText(saved), againText = ReadText(again);
        // The files differ only in the library's name they give.
        savedText.replace(savedText.find("saved copy.mtl"), 14, "again.mtl");
        EXPECT_TRUE(savedText == againText) << "saving the read-back scene wrote other bytes";
        for (const std::string& file : { saved, again, MaterialLibraryPath(saved), MaterialLibraryPath(again) })
            DeleteFileA(file.c_str());
    }
    DeleteFileA(orderObj.c_str());
    DeleteFileA(orderMtl.c_str());
}

// The 3D view draws what the host holds: the nearer of two faces over the farther whatever the
// file's order, the polyhedra not selected faded, a face selected in the host tinted and
// outlined, a face of an invisible material hatched so that what is behind shows through.
TEST_F(SandboxModel, ViewDrawsTheFacesAsTheHostHoldsThem)
{
    std::string obj = TempPath("view.obj"), mtl = TempPath("view.mtl");
    WriteText(mtl, "newmtl Red\nKd 1 0 0\n\nnewmtl Green\nKd 0 1 0\n");
    // The nearer square comes first in the file: drawn in the file's order it would be hidden.
    WriteText(obj, "mtllib " + mtl.substr(mtl.find_last_of("\\/") + 1) +
                       "\nv -0.5 -0.5 0.5\nv 0.5 -0.5 0.5\nv 0.5 0.5 0.5\nv -0.5 0.5 0.5\n"
                       "v -1 -1 0\nv 1 -1 0\nv 1 1 0\nv -1 1 0\n"
                       "g Front\nusemtl Green\nf 1 2 3 4\ng Back\nusemtl Red\nf 5 6 7 8\n");
    std::string error;
    ASSERT_TRUE(Load(obj, error)) << error;
    ZvkHandle front = m_polyhedra[0];

    const int SIZE = 200, MIDDLE = SIZE / 2;
    HDC screen = GetDC(NULL);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, SIZE, SIZE);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT area = { 0, 0, SIZE, SIZE };
    ViewAngles straightOn;
    straightOn.yaw = straightOn.pitch = 0;
    auto draw = [&] {
        HBRUSH background = CreateSolidBrush(VIEW_BACKGROUND);
        FillRect(dc, &area, background);
        DeleteObject(background);
        DrawModel(dc, area, m_model, m_polyhedra, front, straightOn);
    };
    auto coloursAround = [&](int x, int y, int half) {
        std::set<COLORREF> colours;
        for (int dy = -half; dy <= half; ++dy)
            for (int dx = -half; dx <= half; ++dx)
                colours.insert(GetPixel(dc, x + dx, y + dy));
        return colours;
    };

    draw();
    COLORREF green = GetPixel(dc, MIDDLE, MIDDLE), backOnly = GetPixel(dc, 8 + MIDDLE / 3, MIDDLE);
    EXPECT_TRUE(GetGValue(green) > 150 && GetRValue(green) == 0 && GetBValue(green) == 0)
        << "the nearer, green face at the middle: " << std::hex << green;
    EXPECT_TRUE(GetRValue(backOnly) > GetRValue(VIEW_BACKGROUND) && GetRValue(backOnly) < 180)
        << "the back face, not selected, faded: " << std::hex << backOnly;

    const unsigned int face = 0;
    zvkPolyhSelectFaces(front, 1, &face);
    draw();
    COLORREF tinted = GetPixel(dc, MIDDLE, MIDDLE);
    EXPECT_NE(green, tinted);
    EXPECT_GT(GetRValue(tinted), 100) << "tinted towards the selection colour: " << std::hex << tinted;
    EXPECT_TRUE(coloursAround(MIDDLE + SIZE / 6, MIDDLE, 3).count(RGB(255, 255, 255))) << "no white outline";

    zvkCurrobjEditToolClose();
    ZvkHandle invisible = NULL;
    const ZvkColor clear = { 0, 0, 255, 0 };
    zvkMaterialCreate(&invisible);
    zvkMaterialSetColor(invisible, &clear);
    zvkPolyhPaintFace(front, 0, invisible, 0);
    zvkMaterialDestroy(invisible);
    zvkFree(invisible);
    zvktSelect(NULL);
    draw();
    std::set<COLORREF> hatched = coloursAround(MIDDLE, MIDDLE, 8);
    EXPECT_TRUE(hatched.count(backOnly)) << "the face behind does not show through";
    EXPECT_GE(hatched.size(), 2u) << "no hatching";

    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(NULL, screen);
    DeleteFileA(obj.c_str());
    DeleteFileA(mtl.c_str());
}
