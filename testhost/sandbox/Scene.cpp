// The host's folder, the generated sample scene, and the scene list that sets the host's selection.
#include "Sandbox.h"

#include <commctrl.h>

#include <cstring>

#include "SceneModel.h"

namespace sandbox {

std::vector<SceneObject> g_scene;
std::vector<Shader> g_shaders;
ZvkHandle g_selection = NULL;

// zvkGetZVDir: a folder beside the program, with the zv\zvk\zVkQuarvelind folder a host has.
void PrepareHostDirectory()
{
    g_zvDir = g_exeDir + (g_walk ? "\\sandbox-walk" : "\\sandbox-host");
    std::string path = g_zvDir;
    CreateDirectoryA(path.c_str(), NULL);
    for (const char* part : { "\\zv", "\\zvk", "\\zVkQuarvelind" })
    {
        path += part;
        CreateDirectoryA(path.c_str(), NULL);
    }
    zvktSetZVDir(g_zvDir.c_str());
}

static void AddPolyhedron(const char* name, const std::vector<unsigned short>& materials, int slots)
{
    ZvkHandle handle = zvktAddPolyhedron(name, (int)materials.size(), materials.empty() ? NULL : materials.data(), slots);
    g_scene.push_back({ name, handle });
}

// A few named polyhedra, one of several thousand faces and one with none, and a camera.
void BuildSampleScene()
{
    zvktReset();
    g_scene.clear();

    AddPolyhedron("Tetrahedron", { 0, 0, 1, 1 }, 2);
    AddPolyhedron("Cube", { 0, 1, 2, 3, 4, 5 }, 6);
    std::vector<unsigned short> octahedron(8);
    for (int i = 0; i < 8; ++i)
        octahedron[i] = (unsigned short)(i % 2);
    AddPolyhedron("Octahedron", octahedron, 2);
    std::vector<unsigned short> dodecahedron(12);
    for (int i = 0; i < 12; ++i)
        dodecahedron[i] = (unsigned short)(i / 4);
    AddPolyhedron("Dodecahedron", dodecahedron, 3);
    std::vector<unsigned short> icosahedron(20, 0);
    AddPolyhedron("Icosahedron", icosahedron, 1);
    // A 60 x 80 height field of two triangles a cell: 9,600 faces in bands of six materials.
    std::vector<unsigned short> terrain(9600);
    for (int i = 0; i < (int)terrain.size(); ++i)
    {
        int row = i / 120, column = (i % 120) / 2;
        terrain[i] = (unsigned short)(((row / 10) + (column / 15)) % 6);
    }
    AddPolyhedron("Terrain", terrain, 6);
    AddPolyhedron("Empty mesh", std::vector<unsigned short>(), 1);
    g_scene.push_back({ "Camera", zvktAddObject("Camera", 301) });
    AddShaders();
}

void AddShaders()
{
    g_shaders.clear();
    for (int id : { 1, 2, 7 })
        g_shaders.push_back({ id, zvktAddShader(id) });
    zvktJournalClear();
}

// ---------------------------------------------------------------------------------------------
// Models

Model g_model;
std::vector<ZvkHandle> g_modelPolyhedra;
std::string g_modelPath;

const ModelObject* ModelObjectOf(ZvkHandle polyhedron)
{
    for (size_t i = 0; i < g_modelPolyhedra.size() && i < g_model.objects.size(); ++i)
        if (g_modelPolyhedra[i] == polyhedron && polyhedron != NULL)
            return &g_model.objects[i];
    return NULL;
}

// The modeller closes its edit tools before it opens another scene: the tool window goes first,
// so that nothing of the plug-in refers to the objects about to go.
static void CloseToolWindows()
{
    for (HWND window : FindToolWindows())
        SendMessageA(window, WM_CLOSE, 0, 0);
}

bool OpenModel(const std::string& path)
{
    std::string error;
    Model model;
    std::vector<ZvkHandle> polyhedra;
    if (!LoadModelIntoHost(path, model, polyhedra, error, CloseToolWindows))
    {
        ReportError(error);
        return false;
    }
    if (!model.note.empty())
        WalkLog("note: %s", model.note.c_str());
    g_model = std::move(model);
    g_modelPolyhedra = polyhedra;
    g_modelPath = path;
    g_scene.clear();
    for (ZvkHandle polyhedron : polyhedra)
        g_scene.push_back({ zvktObjectName(polyhedron), polyhedron });
    AddShaders();
    g_selection = NULL;
    FillSceneList();
    return true;
}

bool SaveModel(const std::string& path)
{
    std::string error;
    if (g_modelPolyhedra.empty())
        error = "The generated scene has no shapes to save: open an OBJ model first.";
    else if (WriteObjModel(path, ModelFromHost(g_model, g_modelPolyhedra), error))
        return true;
    ReportError(error);
    return false;
}

const SceneObject* FindObject(ZvkHandle handle)
{
    for (const SceneObject& object : g_scene)
        if (object.handle == handle && handle != NULL)
            return &object;
    return NULL;
}

bool IsPolyhedron(ZvkHandle object)
{
    return object && zvktObjectType(object) == ZVK_TYPE_POLYHEDRON;
}

// ---------------------------------------------------------------------------------------------
// The scene list

void CreateSceneColumns()
{
    ListView_SetExtendedListViewStyle(g_sceneList, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    static const struct { const char* title; int width; int format; } columns[] = {
        { "Object", 94, LVCFMT_LEFT }, { "Type", 78, LVCFMT_LEFT }, { "Faces", 52, LVCFMT_RIGHT }, { "Selected", 66, LVCFMT_RIGHT } };
    for (int i = 0; i < 4; ++i)
    {
        LVCOLUMNA column;
        memset(&column, 0, sizeof column);
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
        column.pszText = (LPSTR)columns[i].title;
        column.cx = columns[i].width;
        column.fmt = columns[i].format;
        column.iSubItem = i;
        SendMessageA(g_sceneList, LVM_INSERTCOLUMNA, i, (LPARAM)&column);
    }
}

static std::string ObjectTypeText(ZvkHandle object)
{
    int type = zvktObjectType(object);
    return type == ZVK_TYPE_POLYHEDRON ? "polyhedron" : Format("other (%d)", type);
}

void FillSceneList()
{
    ListView_DeleteAllItems(g_sceneList);
    for (int i = 0; i < (int)g_scene.size(); ++i)
    {
        LVITEMA item;
        memset(&item, 0, sizeof item);
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = (LPSTR)g_scene[i].name.c_str();
        SendMessageA(g_sceneList, LVM_INSERTITEMA, 0, (LPARAM)&item);
    }
}

static void SetListText(int row, int column, const std::string& text)
{
    LVITEMA item;
    memset(&item, 0, sizeof item);
    item.iSubItem = column;
    item.pszText = (LPSTR)text.c_str();
    SendMessageA(g_sceneList, LVM_SETITEMTEXTA, row, (LPARAM)&item);
}

void RefreshSceneList()
{
    for (int i = 0; i < (int)g_scene.size(); ++i)
    {
        ZvkHandle object = g_scene[i].handle;
        bool polyhedron = IsPolyhedron(object);
        SetListText(i, 1, ObjectTypeText(object));
        SetListText(i, 2, polyhedron ? Thousands(zvktFaceCount(object)) : "-");
        SetListText(i, 3, polyhedron ? Thousands(zvktSelectedFaceCount(object)) : "-");
    }
}

void SyncSelection()
{
    int row = ListView_GetNextItem(g_sceneList, -1, LVNI_SELECTED);
    ZvkHandle object = row >= 0 && row < (int)g_scene.size() ? g_scene[row].handle : NULL;
    if (object != g_selection)
    {
        g_selection = object;
        zvktSelect(object);
    }
    RefreshAll();
}

void SelectSceneRow(int row)
{
    ListView_SetItemState(g_sceneList, -1, 0, LVIS_SELECTED);
    ListView_SetItemState(g_sceneList, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(g_sceneList, row, FALSE);
    SyncSelection();
}

} // namespace sandbox
