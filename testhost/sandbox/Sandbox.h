// The sandbox host: a stand-in for the modeller's main window, to try the plug-in by hand under
// Wine. What its parts share: control ids, the window handles, the scene and the plug-in.
#ifndef SANDBOX_H
#define SANDBOX_H

#include <windows.h>

#include <string>
#include <vector>

#include "ModelView.h"   // ToColorRef, Blend
#include "ObjModel.h"
#include "testhost/PluginHost.h"
#include "zvktest.h"

namespace sandbox {

enum
{
    IDC_PLUGIN_BUTTON = 100,
    IDC_PLUGIN_TEXT,
    IDC_SCENE_TITLE,
    IDC_SCENE,
    IDC_EDITOR_TITLE,
    IDC_SWATCH,
    IDC_MATERIAL_LABELS,
    IDC_MATERIAL_TEXT,
    IDC_COLOUR_BUTTON,
    IDC_TEXTURE_CHECK,
    IDC_SHADERBOX_LABEL,
    IDC_SHADERBOX_COMBO,
    IDC_SHADER_LABEL,
    IDC_SHADER_COMBO,
    IDC_CALLS_TITLE,
    IDC_CALLS,
    IDC_STATUS,
    IDC_VIEWPORT
};

enum
{
    WM_APP_HOST_CHANGED = WM_APP + 1,   // the plug-in changed the host (change callback)
    WM_APP_SYNC_SELECTION,              // the scene list's selection changed
    WM_APP_RIGHT_CLICK                  // right click on the plug-in button
};

enum { TIMER_JOURNAL = 1, TIMER_WALK = 2, TIMER_QUIT = 3 };

extern const char MAIN_TITLE[];

struct SceneObject
{
    std::string name;
    ZvkHandle handle;
};

struct Shader
{
    int id;
    ZvkHandle handle;
};

struct Plugin : PluginModule
{
    char name[sizeof(PluginInfo::name) + 1] = "";
    char credit[sizeof(PluginInfo::credit) + 1] = "";
    int bitmapId = 0;
    int version = 0;
    HBITMAP bitmap = NULL;
};

extern HINSTANCE g_instance;
extern HWND g_main, g_sceneList, g_swatch, g_materialText, g_textureCheck;
extern HWND g_shaderBoxCombo, g_shaderCombo, g_calls, g_status, g_viewport;
extern HFONT g_font, g_boldFont;
extern Plugin g_plugin;
extern std::vector<SceneObject> g_scene;
extern std::vector<Shader> g_shaders;
extern ZvkHandle g_selection;
extern std::string g_exeDir, g_zvDir;
extern bool g_walk;
extern bool g_walkMenu;   // the walk ends with the face list's context menu open
extern int g_quitAfter;
extern int g_exitCode;

// Small helpers (Main.cpp)
std::string Format(const char* format, ...);
std::string Thousands(long value);
void ReportError(const std::string& text);
void FillSolid(HDC dc, const RECT& rect, COLORREF colour);
void PluginLeftClick();
void RefreshAll();

// The scene (Scene.cpp)
void PrepareHostDirectory();
void BuildSampleScene();
void AddShaders();
// Replaces the scene by an OBJ model's objects; a file that cannot be loaded is reported and
// leaves the scene as it was.
bool OpenModel(const std::string& path);
bool SaveModel(const std::string& path);
extern std::string g_modelPath;
extern Model g_model;
extern std::vector<ZvkHandle> g_modelPolyhedra;   // the model objects' polyhedra, in order
// The model object shown by a polyhedron of an opened model; NULL in the generated scene.
const ModelObject* ModelObjectOf(ZvkHandle polyhedron);
const SceneObject* FindObject(ZvkHandle handle);
bool IsPolyhedron(ZvkHandle object);
void CreateSceneColumns();
void FillSceneList();
void RefreshSceneList();
void SyncSelection();
void SelectSceneRow(int row);

// The Material Editor panel (EditorPanel.cpp)
void RefreshMaterialPanel();
void DrawSwatch(const DRAWITEMSTRUCT* draw);
void OnEditorCommand(int id, int code);

// The call log and the status bar (CallLog.cpp)
void DrainJournal();
void LayoutStatusBar(int width);
void RefreshStatus();

// The viewport (View.cpp)
extern const char VIEWPORT_CLASS[];
LRESULT CALLBACK ViewportProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The scripted walk (Walk.cpp)
void OpenWalkLog();
void CloseWalkLog();
void WalkLog(const char* format, ...);
// The walk fails at once without the plug-in or without the model asked for.
void StartWalk(bool pluginLoaded, bool sceneReady);
void WalkStep();

} // namespace sandbox

#endif
