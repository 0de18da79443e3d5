// The host's folder, the generated sample scene, and the scene list that sets the host's selection.
#include "Sandbox.h"

#include <commctrl.h>

#include <cstring>

#include "SceneModel.h"

namespace sandbox {

// zvkGetZVDir: a folder beside the program, with the zv\zvk\zVkQuarvelind folder a host has.
void PrepareHostDirectory(Host& host)
{
    host.zvDir = host.exeDir + (host.walk.on ? "\\sandbox-walk" : "\\sandbox-host");
    std::string path = host.zvDir;
    CreateDirectoryA(path.c_str(), NULL);
    for (const char* part : { "\\zv", "\\zvk", "\\zVkQuarvelind" })
    {
        path += part;
        CreateDirectoryA(path.c_str(), NULL);
    }
    zvktSetZVDir(host.zvDir.c_str());
}

static void AddPolyhedron(Host& host, const char* name, const std::vector<unsigned short>& materials, int slots)
{
    ZvkHandle handle = zvktAddPolyhedron(name, (int)materials.size(), materials.empty() ? NULL : materials.data(), slots);
    host.scene.push_back({ name, handle });
}

// A few named polyhedra, one of several thousand faces and one with none, and a camera.
void BuildSampleScene(Host& host)
{
    zvktReset();
    host.scene.clear();

    AddPolyhedron(host, "Tetrahedron", { 0, 0, 1, 1 }, 2);
    AddPolyhedron(host, "Cube", { 0, 1, 2, 3, 4, 5 }, 6);
    std::vector<unsigned short> octahedron(8);
    for (int i = 0; i < 8; ++i)
        octahedron[i] = (unsigned short)(i % 2);
    AddPolyhedron(host, "Octahedron", octahedron, 2);
    std::vector<unsigned short> dodecahedron(12);
    for (int i = 0; i < 12; ++i)
        dodecahedron[i] = (unsigned short)(i / 4);
    AddPolyhedron(host, "Dodecahedron", dodecahedron, 3);
    std::vector<unsigned short> icosahedron(20, 0);
    AddPolyhedron(host, "Icosahedron", icosahedron, 1);
    // A 60 x 80 height field of two triangles a cell: 9,600 faces in bands of six materials.
    std::vector<unsigned short> terrain(9600);
    for (int i = 0; i < (int)terrain.size(); ++i)
    {
        int row = i / 120, column = (i % 120) / 2;
        terrain[i] = (unsigned short)(((row / 10) + (column / 15)) % 6);
    }
    AddPolyhedron(host, "Terrain", terrain, 6);
    AddPolyhedron(host, "Empty mesh", std::vector<unsigned short>(), 1);
    host.scene.push_back({ "Camera", zvktAddObject("Camera", 301) });
    AddShaders(host);
}

void AddShaders(Host& host)
{
    host.shaders.clear();
    for (int id : { 1, 2, 7 })
        host.shaders.push_back({ id, zvktAddShader(id) });
    zvktJournalClear();
}

// ---------------------------------------------------------------------------------------------
// Models

const ModelObject* ModelObjectOf(const Host& host, ZvkHandle polyhedron)
{
    for (size_t i = 0; i < host.modelPolyhedra.size() && i < host.model.objects.size(); ++i)
        if (host.modelPolyhedra[i] == polyhedron && polyhedron != NULL)
            return &host.model.objects[i];
    return NULL;
}

// The modeller closes its edit tools before it opens another scene: the tool window goes first,
// so that nothing of the plug-in refers to the objects about to go.
static void CloseToolWindows()
{
    for (HWND window : FindToolWindows())
        SendMessageA(window, WM_CLOSE, 0, 0);
}

bool OpenModel(Host& host, const std::string& path)
{
    std::string error;
    Model model;
    std::vector<ZvkHandle> polyhedra;
    if (!LoadModelIntoHost(path, model, polyhedra, error, CloseToolWindows))
    {
        ReportError(host, error);
        return false;
    }
    if (!model.note.empty())
        WalkLog(host, "note: %s", model.note.c_str());
    host.model = std::move(model);
    host.modelPolyhedra = polyhedra;
    host.modelPath = path;
    host.scene.clear();
    for (ZvkHandle polyhedron : polyhedra)
        host.scene.push_back({ zvktObjectName(polyhedron), polyhedron });
    AddShaders(host);
    host.selection = NULL;
    FillSceneList(host);
    return true;
}

bool SaveModel(Host& host, const std::string& path)
{
    std::string error;
    if (host.modelPolyhedra.empty())
        error = "The generated scene has no shapes to save: open an OBJ model first.";
    else if (WriteObjModel(path, ModelFromHost(host.model, host.modelPolyhedra), error))
        return true;
    ReportError(host, error);
    return false;
}

const SceneObject* FindObject(const Host& host, ZvkHandle handle)
{
    for (const SceneObject& object : host.scene)
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

void CreateSceneColumns(Host& host)
{
    ListView_SetExtendedListViewStyle(host.sceneList, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
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
        SendMessageA(host.sceneList, LVM_INSERTCOLUMNA, i, (LPARAM)&column);
    }
}

static std::string ObjectTypeText(ZvkHandle object)
{
    int type = zvktObjectType(object);
    return type == ZVK_TYPE_POLYHEDRON ? "polyhedron" : Format("other (%d)", type);
}

void FillSceneList(Host& host)
{
    ListView_DeleteAllItems(host.sceneList);
    for (int i = 0; i < (int)host.scene.size(); ++i)
    {
        LVITEMA item;
        memset(&item, 0, sizeof item);
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = (LPSTR)host.scene[i].name.c_str();
        SendMessageA(host.sceneList, LVM_INSERTITEMA, 0, (LPARAM)&item);
    }
}

static void SetListText(Host& host, int row, int column, const std::string& text)
{
    LVITEMA item;
    memset(&item, 0, sizeof item);
    item.iSubItem = column;
    item.pszText = (LPSTR)text.c_str();
    SendMessageA(host.sceneList, LVM_SETITEMTEXTA, row, (LPARAM)&item);
}

void RefreshSceneList(Host& host)
{
    for (int i = 0; i < (int)host.scene.size(); ++i)
    {
        ZvkHandle object = host.scene[i].handle;
        bool polyhedron = IsPolyhedron(object);
        SetListText(host, i, 1, ObjectTypeText(object));
        SetListText(host, i, 2, polyhedron ? Thousands(zvktFaceCount(object)) : "-");
        SetListText(host, i, 3, polyhedron ? Thousands(zvktSelectedFaceCount(object)) : "-");
    }
}

void SyncSelection(Host& host)
{
    int row = ListView_GetNextItem(host.sceneList, -1, LVNI_SELECTED);
    ZvkHandle object = row >= 0 && row < (int)host.scene.size() ? host.scene[row].handle : NULL;
    if (object != host.selection)
    {
        host.selection = object;
        zvktSelect(object);
    }
    RefreshAll(host);
}

int BiggestPolyhedronRow(const Host& host)
{
    int row = -1;
    for (int i = 0; i < (int)host.scene.size(); ++i)
        if (IsPolyhedron(host.scene[i].handle) &&
            (row < 0 || zvktFaceCount(host.scene[i].handle) > zvktFaceCount(host.scene[row].handle)))
            row = i;
    return row;
}

void SelectSceneRow(Host& host, int row)
{
    ListView_SetItemState(host.sceneList, -1, 0, LVIS_SELECTED);
    ListView_SetItemState(host.sceneList, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(host.sceneList, row, FALSE);
    SyncSelection(host);
}

} // namespace sandbox
