// The replacement host's API library: a small scene, a Material Editor, shaders and face
// selection behind the host API, with a journal of every call for tests to read.
#include "zvktest.h"

#include <cstdlib>
#include <cstring>
#include <deque>
#include <set>
#include <string>
#include <vector>

namespace {

struct MaterialData
{
    ZvkColor colour;
    int textureType;
    int shaderBox;
    ZvkHandle shader;
};

bool SameMaterial(const MaterialData& a, const MaterialData& b)
{
    return memcmp(&a.colour, &b.colour, sizeof a.colour) == 0 && a.textureType == b.textureType
        && a.shaderBox == b.shaderBox && a.shader == b.shader;
}

struct MaterialBlock
{
    MaterialData data;
    bool destroyed;
};

struct ShaderInfo
{
    ZvkHandle shader;
};

struct Shader
{
    int id;
};

const int FACE_RECORD_SIZE = 24;
const DWORD PAGE = 4096;

// A block that ends exactly where an inaccessible page begins, so a read past its end faults.
struct GuardedBlock
{
    void* base = NULL;
    unsigned char* data = NULL;

    void Allocate(size_t bytes)
    {
        size_t pages = (bytes + PAGE - 1) / PAGE;
        base = VirtualAlloc(NULL, (pages + 1) * PAGE, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
        DWORD oldProtect;
        VirtualProtect((unsigned char*)base + pages * PAGE, PAGE, PAGE_NOACCESS, &oldProtect);
        data = (unsigned char*)base + pages * PAGE - bytes;
    }
    void Release()
    {
        if (base)
            VirtualFree(base, 0, MEM_RELEASE);
        base = NULL;
        data = NULL;
    }
};

struct SceneObject
{
    std::string name;
    int type = 0;
    int faceCount = 0;
    bool overrideCount = false;
    int reportedCount = 0;
    bool nullArray = false;
    bool movingArray = false;
    GuardedBlock records;
    GuardedBlock pointers;
    std::vector<GuardedBlock> movedFrom;   // inaccessible, so a stale pointer faults
    std::vector<MaterialData> slots;
    std::set<unsigned> selectedFaces;

    unsigned char* Record(int face) { return records.data + face * FACE_RECORD_SIZE; }
    int MaterialIndex(int face) { return Record(face)[20] | (Record(face)[21] << 8); }
    void SetMaterialIndex(int face, unsigned index)
    {
        Record(face)[20] = (unsigned char)(index & 0xFF);
        Record(face)[21] = (unsigned char)(index >> 8);
    }
};

struct JournalEntry
{
    ZvktCall call;
    std::vector<unsigned> indices;
};

const MaterialData DEFAULT_EDITOR_MATERIAL = { { 200, 200, 200, 255 }, 0, ZVKT_SHADERBOX_VALID, NULL };

std::vector<SceneObject*> g_objects;
ZvkHandle g_selection = NULL;
MaterialData g_editor = DEFAULT_EDITOR_MATERIAL;
MaterialBlock g_editorBlock = { DEFAULT_EDITOR_MATERIAL, false };
ZvkHandle g_pendingActive = NULL;
std::vector<Shader*> g_shaders;
std::set<MaterialBlock*> g_materials;
std::set<ShaderInfo*> g_shaderInfos;
std::set<void*> g_blocks;
std::deque<JournalEntry> g_journal;
bool g_journalOn = true;
ZvktBalance g_balance;
bool g_unterminatedNames = false;
std::string g_zvDir;
HWND g_mainView = NULL;
ZvktChangeCallback g_changeCallback = NULL;

SceneObject* FindObject(ZvkHandle handle)
{
    for (SceneObject* object : g_objects)
        if (object == handle)
            return object;
    return NULL;
}

SceneObject* FindPolyhedron(ZvkHandle handle)
{
    SceneObject* object = FindObject(handle);
    return object && object->type == ZVK_TYPE_POLYHEDRON ? object : NULL;
}

MaterialBlock* FindMaterial(ZvkHandle handle)
{
    MaterialBlock* block = (MaterialBlock*)handle;
    if (g_materials.count(block) && !block->destroyed)
        return block;
    ++g_balance.badFrees;
    return NULL;
}

ZvktCall& Record(const char* function, int argCount, unsigned a0 = 0, unsigned a1 = 0, unsigned a2 = 0, unsigned a3 = 0)
{
    static JournalEntry scratch;
    if (!g_journalOn)
    {
        scratch = JournalEntry();
        return scratch.call;
    }
    g_journal.emplace_back();
    ZvktCall& call = g_journal.back().call;
    call.function = function;
    call.argCount = argCount;
    call.args[0] = a0;
    call.args[1] = a1;
    call.args[2] = a2;
    call.args[3] = a3;
    return call;
}

unsigned U(const void* p) { return (unsigned)(UINT_PTR)p; }

void Changed()
{
    if (g_changeCallback)
        g_changeCallback();
}

unsigned FindOrAddSlot(SceneObject* polyhedron, const MaterialData& material)
{
    for (size_t m = 0; m < polyhedron->slots.size(); ++m)
        if (SameMaterial(polyhedron->slots[m], material))
            return (unsigned)m;
    polyhedron->slots.push_back(material);
    return (unsigned)(polyhedron->slots.size() - 1);
}

void ClearScene()
{
    for (SceneObject* object : g_objects)
    {
        object->records.Release();
        object->pointers.Release();
        for (GuardedBlock& old : object->movedFrom)
            old.Release();
        delete object;
    }
    g_objects.clear();
    for (Shader* shader : g_shaders)
        delete shader;
    g_shaders.clear();
    for (MaterialBlock* block : g_materials)
        delete block;
    g_materials.clear();
    for (ShaderInfo* info : g_shaderInfos)
        delete info;
    g_shaderInfos.clear();
    for (void* block : g_blocks)
        free(block);
    g_blocks.clear();
}

std::string ModuleDirectory()
{
    HMODULE module = NULL;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       (LPCSTR)&ModuleDirectory, &module);
    char path[MAX_PATH] = "";
    GetModuleFileNameA(module, path, MAX_PATH);
    std::string directory(path);
    size_t slash = directory.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : directory.substr(0, slash);
}

} // namespace

// Host faults, switched on by the control functions at the end of this file.
namespace {

// Calls still to succeed before the failing ones, and how many fail (< 0: all).
struct CountedFault
{
    int skip = 0;
    int failures = 0;

    void Set(int skipFirst, int count)
    {
        skip = skipFirst > 0 ? skipFirst : 0;
        failures = count;
    }
    bool Fails()
    {
        if (failures == 0)
            return false;
        if (skip > 0)
        {
            --skip;
            return false;
        }
        if (failures > 0)
            --failures;
        return true;
    }
};

CountedFault g_createFault;   // zvkMaterialCreate
CountedFault g_callocFault;   // zvkCalloc
int g_zvDirFault = ZVKT_ZVDIR_AS_SET;
int g_shaderFault = ZVKT_SHADERS_AS_ADDED;

void ResetHostFaults()
{
    g_createFault = CountedFault();
    g_callocFault = CountedFault();
    g_zvDirFault = ZVKT_ZVDIR_AS_SET;
    g_shaderFault = ZVKT_SHADERS_AS_ADDED;
}

} // namespace

extern "C" {

/////////////////////////////////////////////////////////////////////////////
// Host API

ZvkHandle ZVKCALL zvkGetCurrentSelection(void)
{
    Record("zvkGetCurrentSelection", 0).result = U(g_selection);
    return g_selection;
}

int ZVKCALL zvkSobjGetType(ZvkHandle object)
{
    SceneObject* found = FindObject(object);
    int type = found ? found->type : 0;
    Record("zvkSobjGetType", 1, U(object)).result = type;
    return type;
}

int ZVKCALL zvkGNodeGetFullName(ZvkHandle object, int flags, char* buffer, int bufferSize)
{
    Record("zvkGNodeGetFullName", 4, U(object), flags, U(buffer), bufferSize);
    SceneObject* found = FindObject(object);
    std::string name = found ? found->name : std::string();
    if (bufferSize <= 0)
        return 0;
    if (g_unterminatedNames)
    {
        for (int i = 0; i < bufferSize; ++i)
            buffer[i] = i < (int)name.size() ? name[i] : 'X';
        return bufferSize;
    }
    size_t length = name.size() < (size_t)bufferSize - 1 ? name.size() : (size_t)bufferSize - 1;
    memcpy(buffer, name.data(), length);
    buffer[length] = '\0';
    return (int)length;
}

int ZVKCALL zvkPolyhGetNbrFaces(ZvkHandle polyhedron)
{
    SceneObject* found = FindPolyhedron(polyhedron);
    int count = !found ? 0 : found->overrideCount ? found->reportedCount : found->faceCount;
    Record("zvkPolyhGetNbrFaces", 1, U(polyhedron)).result = count;
    return count;
}

ZvkFace** ZVKCALL zvkPolyhGetFaceptrArray(ZvkHandle polyhedron)
{
    SceneObject* found = FindPolyhedron(polyhedron);
    ZvkFace** faces = found && !found->nullArray ? (ZvkFace**)found->pointers.data : NULL;
    Record("zvkPolyhGetFaceptrArray", 1, U(polyhedron)).result = U(faces);
    return faces;
}

int ZVKCALL zvkPolyhInitializeMaterials(ZvkHandle polyhedron)
{
    Record("zvkPolyhInitializeMaterials", 1, U(polyhedron)).result = 1;
    return 1;
}

int ZVKCALL zvkPolyhGetMaterial(ZvkHandle polyhedron, unsigned short materialIndex, ZvkHandle material)
{
    Record("zvkPolyhGetMaterial", 3, U(polyhedron), materialIndex, U(material)).result = 1;
    SceneObject* found = FindPolyhedron(polyhedron);
    MaterialBlock* block = FindMaterial(material);
    if (found && block && materialIndex < found->slots.size())
        block->data = found->slots[materialIndex];
    return 1;
}

int ZVKCALL zvkPolyhSelectFaces(ZvkHandle polyhedron, int count, const unsigned int* faceIndices)
{
    Record("zvkPolyhSelectFaces", 3, U(polyhedron), count, U(faceIndices)).result = 1;
    if (g_journalOn && count > 0)
    {
        JournalEntry& entry = g_journal.back();
        entry.indices.assign(faceIndices, faceIndices + count);
        entry.call.indexCount = count;
        entry.call.indices = entry.indices.data();
    }
    if (SceneObject* found = FindPolyhedron(polyhedron))
        for (int i = 0; i < count; ++i)
            if ((int)faceIndices[i] >= 0 && (int)faceIndices[i] < found->faceCount)
                found->selectedFaces.insert(faceIndices[i]);
    return 1;
}

// A host that reallocates its face pointer array on a paint (zvktSetMovingFaceArray).
void MoveFaceArray(SceneObject* object)
{
    if (!object->movingArray)
        return;
    size_t bytes = (size_t)object->faceCount * sizeof(ZvkFace*);
    GuardedBlock moved;
    moved.Allocate(bytes);
    memcpy(moved.data, object->pointers.data, bytes);
    DWORD oldProtect;
    VirtualProtect(object->pointers.base, (size_t)(object->pointers.data + bytes - (unsigned char*)object->pointers.base),
                   PAGE_NOACCESS, &oldProtect);
    object->movedFrom.push_back(object->pointers);
    object->pointers = moved;
}

int ZVKCALL zvkPolyhPaintFace(ZvkHandle polyhedron, unsigned short faceIndex, ZvkHandle material, int flag)
{
    Record("zvkPolyhPaintFace", 4, U(polyhedron), faceIndex, U(material), flag).result = 1;
    SceneObject* found = FindPolyhedron(polyhedron);
    MaterialBlock* block = FindMaterial(material);
    if (found && block && faceIndex < found->faceCount)
        found->SetMaterialIndex(faceIndex, FindOrAddSlot(found, block->data));
    if (found)
        MoveFaceArray(found);
    return 1;
}

int ZVKCALL zvkPolyhPaint(ZvkHandle polyhedron, ZvkHandle material)
{
    Record("zvkPolyhPaint", 2, U(polyhedron), U(material)).result = 1;
    SceneObject* found = FindPolyhedron(polyhedron);
    MaterialBlock* block = FindMaterial(material);
    if (found && block)
    {
        unsigned slot = FindOrAddSlot(found, block->data);
        for (int face = 0; face < found->faceCount; ++face)
            found->SetMaterialIndex(face, slot);
    }
    if (found)
        MoveFaceArray(found);
    return 1;
}

int ZVKCALL zvkMaterialCreate(ZvkHandle* material)
{
    if (g_createFault.Fails())
    {
        *material = NULL;
        Record("zvkMaterialCreate", 1, U(material), 0).result = 0;
        return 0;
    }
    MaterialBlock* block = new MaterialBlock;
    block->data = g_editor;
    block->destroyed = false;
    g_materials.insert(block);
    ++g_balance.materialsCreated;
    *material = block;
    Record("zvkMaterialCreate", 1, U(material), U(block)).result = 1;
    return 1;
}

ZvkHandle ZVKCALL zvkMaterialGetActive(void)
{
    g_editorBlock.data = g_editor;
    Record("zvkMaterialGetActive", 0).result = U(&g_editorBlock);
    return &g_editorBlock;
}

int ZVKCALL zvkMaterialSetActive(ZvkHandle material)
{
    Record("zvkMaterialSetActive", 1, U(material)).result = 1;
    if (FindMaterial(material))
        g_pendingActive = material;
    return 1;
}

int ZVKCALL zvkMaterialFixColor(ZvkHandle material)
{
    Record("zvkMaterialFixColor", 1, U(material)).result = 1;
    MaterialBlock* block = FindMaterial(material);
    if (block && material == g_pendingActive)
        g_editor = block->data;
    g_pendingActive = NULL;
    Changed();
    return 1;
}

int ZVKCALL zvkMaterialGetColor(ZvkHandle material, ZvkColor* colour)
{
    ZvktCall& call = Record("zvkMaterialGetColor", 2, U(material), U(colour));
    call.result = 1;
    if (MaterialBlock* block = FindMaterial(material))
    {
        *colour = block->data.colour;
        call.colour = *colour;
    }
    return 1;
}

int ZVKCALL zvkMaterialSetColor(ZvkHandle material, const ZvkColor* colour)
{
    ZvktCall& call = Record("zvkMaterialSetColor", 2, U(material), U(colour));
    call.result = 1;
    call.colour = *colour;
    if (MaterialBlock* block = FindMaterial(material))
        block->data.colour = *colour;
    return 1;
}

int ZVKCALL zvkMaterialGetTextureType(ZvkHandle material)
{
    MaterialBlock* block = FindMaterial(material);
    int type = block ? block->data.textureType : 0;
    Record("zvkMaterialGetTextureType", 1, U(material)).result = type;
    return type;
}

int ZVKCALL zvkMaterialIsShaderBoxNull(ZvkHandle material)
{
    MaterialBlock* block = FindMaterial(material);
    int isNull = block && block->data.shaderBox == ZVKT_SHADERBOX_NULL;
    Record("zvkMaterialIsShaderBoxNull", 1, U(material)).result = isNull;
    return isNull;
}

int ZVKCALL zvkMaterialIsShaderBoxValid(ZvkHandle material)
{
    MaterialBlock* block = FindMaterial(material);
    int isValid = block && block->data.shaderBox == ZVKT_SHADERBOX_VALID;
    Record("zvkMaterialIsShaderBoxValid", 1, U(material)).result = isValid;
    return isValid;
}

int ZVKCALL zvkMaterialCreateShaderBox(ZvkHandle material)
{
    Record("zvkMaterialCreateShaderBox", 1, U(material)).result = 1;
    if (MaterialBlock* block = FindMaterial(material))
        block->data.shaderBox = ZVKT_SHADERBOX_VALID;
    return 1;
}

ZvkHandle ZVKCALL zvkShaderGetFirst(void)
{
    ZvkHandle first = g_shaders.empty() || g_shaderFault == ZVKT_SHADERS_NONE ? NULL : g_shaders.front();
    Record("zvkShaderGetFirst", 0).result = U(first);
    return first;
}

ZvkHandle ZVKCALL zvkShaderGetNext(ZvkHandle shader)
{
    ZvkHandle next = NULL;
    for (size_t i = 0; i + 1 < g_shaders.size(); ++i)
        if (g_shaders[i] == shader)
            next = g_shaders[i + 1];
    Record("zvkShaderGetNext", 1, U(shader)).result = U(next);
    return next;
}

int ZVKCALL zvkShaderGetID(ZvkHandle shader)
{
    int id = 0;
    for (Shader* known : g_shaders)
        if (known == shader)
            id = g_shaderFault == ZVKT_SHADERS_ALL_ID_1 ? 1 : known->id;
    Record("zvkShaderGetID", 1, U(shader)).result = id;
    return id;
}

ZvkHandle ZVKCALL zvkShaderInfoCreate(void)
{
    if (g_shaderFault == ZVKT_SHADER_INFOS_NONE)
    {
        Record("zvkShaderInfoCreate", 0);
        return NULL;
    }
    ShaderInfo* info = new ShaderInfo();
    g_shaderInfos.insert(info);
    ++g_balance.shaderInfosCreated;
    Record("zvkShaderInfoCreate", 0).result = U(info);
    return info;
}

int ZVKCALL zvkShaderInfoSetShader(ZvkHandle info, ZvkHandle shader)
{
    Record("zvkShaderInfoSetShader", 2, U(info), U(shader)).result = 1;
    if (g_shaderInfos.count((ShaderInfo*)info))
        ((ShaderInfo*)info)->shader = shader;
    else
        ++g_balance.badFrees;
    return 1;
}

int ZVKCALL zvkMaterialSetShaderInfo(ZvkHandle material, ZvkHandle info)
{
    Record("zvkMaterialSetShaderInfo", 2, U(material), U(info)).result = 1;
    MaterialBlock* block = FindMaterial(material);
    if (block && g_shaderInfos.count((ShaderInfo*)info))
        block->data.shader = ((ShaderInfo*)info)->shader;
    return 1;
}

void ZVKCALL zvkShaderInfoDestroy(ZvkHandle info)
{
    Record("zvkShaderInfoDestroy", 1, U(info));
    if (g_shaderInfos.erase((ShaderInfo*)info))
    {
        delete (ShaderInfo*)info;
        ++g_balance.shaderInfosDestroyed;
    }
    else
        ++g_balance.badFrees;
}

void ZVKCALL zvkMaterialDestroy(ZvkHandle material)
{
    Record("zvkMaterialDestroy", 1, U(material));
    if (MaterialBlock* block = FindMaterial(material))
    {
        block->destroyed = true;
        ++g_balance.materialsDestroyed;
    }
}

void* ZVKCALL zvkCalloc(unsigned int count, unsigned int size)
{
    if (g_callocFault.Fails())
    {
        Record("zvkCalloc", 2, count, size);
        return NULL;
    }
    void* block = calloc(count ? count : 1, size ? size : 1);
    g_blocks.insert(block);
    ++g_balance.blocksAllocated;
    Record("zvkCalloc", 2, count, size).result = U(block);
    return block;
}

void ZVKCALL zvkFree(void* block)
{
    Record("zvkFree", 1, U(block));
    MaterialBlock* material = (MaterialBlock*)block;
    if (g_materials.count(material))
    {
        if (!material->destroyed)
            ++g_balance.badFrees;
        g_materials.erase(material);
        delete material;
        ++g_balance.materialsFreed;
    }
    else if (g_blocks.erase(block))
    {
        free(block);
        ++g_balance.blocksFreed;
    }
    else if (block != NULL)
        ++g_balance.badFrees;
}

void ZVKCALL zvkCurrobjEditToolClose(void)
{
    Record("zvkCurrobjEditToolClose", 0);
    if (SceneObject* current = FindPolyhedron(g_selection))
        current->selectedFaces.clear();
}

void ZVKCALL zvkCurrobjRefresh(void)
{
    Record("zvkCurrobjRefresh", 0);
    Changed();
}

void ZVKCALL zvkAllViewRefreshSelObject(void)
{
    Record("zvkAllViewRefreshSelObject", 0);
    Changed();
}

void ZVKCALL zvkSceneRefresh(void)
{
    Record("zvkSceneRefresh", 0);
    Changed();
}

HWND ZVKCALL zvkGetMainViewHwnd(void)
{
    Record("zvkGetMainViewHwnd", 0).result = U(g_mainView);
    return g_mainView;
}

const char* ZVKCALL zvkGetZVDir(int reserved)
{
    if (g_zvDir.empty())
        g_zvDir = ModuleDirectory();
    const char* directory = g_zvDirFault == ZVKT_ZVDIR_NULL ? NULL
                          : g_zvDirFault == ZVKT_ZVDIR_EMPTY ? "" : g_zvDir.c_str();
    Record("zvkGetZVDir", 1, reserved).result = U(directory);
    return directory;
}

/////////////////////////////////////////////////////////////////////////////
// Control functions

void zvktReset(void)
{
    ResetHostFaults();
    ClearScene();
    g_selection = NULL;
    g_editor = DEFAULT_EDITOR_MATERIAL;
    g_pendingActive = NULL;
    g_journal.clear();
    g_journalOn = true;
    g_balance = ZvktBalance();
    g_unterminatedNames = false;
}

ZvkHandle zvktAddPolyhedron(const char* fullName, int faceCount, const unsigned short* materialIndices, int slotCount)
{
    SceneObject* object = new SceneObject;
    object->name = fullName;
    object->type = ZVK_TYPE_POLYHEDRON;
    object->faceCount = faceCount > 0 ? faceCount : 0;
    object->records.Allocate((size_t)object->faceCount * FACE_RECORD_SIZE);
    object->pointers.Allocate((size_t)object->faceCount * sizeof(ZvkFace*));
    ZvkFace** pointers = (ZvkFace**)object->pointers.data;
    for (int face = 0; face < object->faceCount; ++face)
    {
        pointers[face] = (ZvkFace*)object->Record(face);
        object->SetMaterialIndex(face, materialIndices ? materialIndices[face] : 0);
    }
    for (int m = 0; m < slotCount; ++m)
    {
        MaterialData slot = { { (unsigned char)(m * 40 % 256), 100, (unsigned char)(200 - m % 200), 255 }, 0, ZVKT_SHADERBOX_VALID, NULL };
        object->slots.push_back(slot);
    }
    g_objects.push_back(object);
    return object;
}

ZvkHandle zvktAddObject(const char* fullName, int type)
{
    SceneObject* object = new SceneObject;
    object->name = fullName;
    object->type = type;
    g_objects.push_back(object);
    return object;
}

void zvktSelect(ZvkHandle object) { g_selection = object; }

void zvktSetReportedFaceCount(ZvkHandle polyhedron, int count)
{
    if (SceneObject* found = FindObject(polyhedron))
    {
        found->overrideCount = true;
        found->reportedCount = count;
    }
}

void zvktSetNullFaceArray(ZvkHandle polyhedron, int isNull)
{
    if (SceneObject* found = FindObject(polyhedron))
        found->nullArray = isNull != 0;
}

void zvktSetMovingFaceArray(ZvkHandle polyhedron, int moves)
{
    if (SceneObject* found = FindPolyhedron(polyhedron))
        found->movingArray = moves != 0;
}

void zvktSetUnterminatedNames(int on) { g_unterminatedNames = on != 0; }

int zvktObjectCount(void) { return (int)g_objects.size(); }
ZvkHandle zvktObjectAt(int index) { return index >= 0 && index < (int)g_objects.size() ? g_objects[index] : NULL; }

const char* zvktObjectName(ZvkHandle object)
{
    SceneObject* found = FindObject(object);
    return found ? found->name.c_str() : "";
}

int zvktObjectType(ZvkHandle object)
{
    SceneObject* found = FindObject(object);
    return found ? found->type : 0;
}

int zvktFaceCount(ZvkHandle polyhedron)
{
    SceneObject* found = FindPolyhedron(polyhedron);
    return found ? found->faceCount : 0;
}

int zvktFaceMaterialIndex(ZvkHandle polyhedron, int face)
{
    SceneObject* found = FindPolyhedron(polyhedron);
    return found && face >= 0 && face < found->faceCount ? found->MaterialIndex(face) : -1;
}

int zvktSlotCount(ZvkHandle polyhedron)
{
    SceneObject* found = FindPolyhedron(polyhedron);
    return found ? (int)found->slots.size() : 0;
}

void zvktGetSlot(ZvkHandle polyhedron, int slot, ZvktMaterial* material)
{
    SceneObject* found = FindPolyhedron(polyhedron);
    if (found && slot >= 0 && slot < (int)found->slots.size())
    {
        const MaterialData& data = found->slots[slot];
        material->colour = data.colour;
        material->textureType = data.textureType;
        material->shaderBox = data.shaderBox;
        material->shader = data.shader;
    }
}

int zvktIsFaceSelected(ZvkHandle polyhedron, int face)
{
    SceneObject* found = FindPolyhedron(polyhedron);
    return found && found->selectedFaces.count((unsigned)face) ? 1 : 0;
}

int zvktSelectedFaceCount(ZvkHandle polyhedron)
{
    SceneObject* found = FindPolyhedron(polyhedron);
    return found ? (int)found->selectedFaces.size() : 0;
}

void zvktGetEditorMaterial(ZvktMaterial* material)
{
    material->colour = g_editor.colour;
    material->textureType = g_editor.textureType;
    material->shaderBox = g_editor.shaderBox;
    material->shader = g_editor.shader;
}

void zvktSetEditorMaterial(const ZvktMaterial* material)
{
    g_editor.colour = material->colour;
    g_editor.textureType = material->textureType;
    g_editor.shaderBox = material->shaderBox;
    g_editor.shader = material->shader;
}

ZvkHandle zvktAddShader(int id)
{
    Shader* shader = new Shader{ id };
    g_shaders.push_back(shader);
    return shader;
}

void zvktSetZVDir(const char* directory) { g_zvDir = directory ? directory : ""; }
void zvktSetMainViewHwnd(HWND window) { g_mainView = window; }

int zvktJournalCount(void) { return (int)g_journal.size(); }
const ZvktCall* zvktJournalAt(int index)
{
    return index >= 0 && index < (int)g_journal.size() ? &g_journal[index].call : NULL;
}
void zvktJournalClear(void) { g_journal.clear(); }
void zvktSetJournalEnabled(int on) { g_journalOn = on != 0; }
void zvktGetBalance(ZvktBalance* balance) { *balance = g_balance; }
void zvktSetChangeCallback(ZvktChangeCallback callback) { g_changeCallback = callback; }

/////////////////////////////////////////////////////////////////////////////
// Host faults

void zvktSetMaterialCreateFault(int skip, int count) { g_createFault.Set(skip, count); }
void zvktSetCallocFault(int skip, int count) { g_callocFault.Set(skip, count); }

void zvktSetNullFaceRecord(ZvkHandle polyhedron, int face, int isNull)
{
    SceneObject* found = FindPolyhedron(polyhedron);
    if (found && face >= 0 && face < found->faceCount)
        ((ZvkFace**)found->pointers.data)[face] = isNull ? NULL : (ZvkFace*)found->Record(face);
}

void zvktSetZVDirFault(int fault) { g_zvDirFault = fault; }
void zvktSetShaderFault(int fault) { g_shaderFault = fault; }


/////////////////////////////////////////////////////////////////////////////
// Model loading

void zvktSetSlot(ZvkHandle polyhedron, int slot, const ZvktMaterial* material)
{
    SceneObject* found = FindPolyhedron(polyhedron);
    if (!found || !material || slot < 0 || slot >= (int)found->slots.size())
        return;
    MaterialData& data = found->slots[slot];
    data.colour = material->colour;
    data.textureType = material->textureType;
    data.shaderBox = material->shaderBox;
    data.shader = material->shader;
}

/////////////////////////////////////////////////////////////////////////////
// Random walk

void zvktClearShaders(void)
{
    for (Shader* shader : g_shaders)
        delete shader;
    g_shaders.clear();
}

} // extern "C"
