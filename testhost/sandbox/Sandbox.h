// The sandbox host: a stand-in for the modeller's main window, to try the plug-in by hand under
// Wine. What its parts share: control ids, the window handles, the scene and the plug-in.
#ifndef SANDBOX_H
#define SANDBOX_H

#include <windows.h>

#include <cstdio>
#include <functional>
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

// How the 3D view is turned and zoomed (View.cpp).
struct Camera
{
    ViewAngles angles;
    std::string model;                // another model starts from the default view
    bool dragging = false;
    POINT last = { 0, 0 };
};

// The scripted walk (Walk.cpp): asked for on the command line, and where it has got to.
struct WalkState
{
    bool on = false;
    bool menu = false;         // it ends with the face list's context menu open
    bool panel = false;        // it ends with some faces painted and the materials panel open
    // The user guide's pictures: some faces painted, an entry still to do clicked, and at the end
    // the plug-in's windows logged where they stand on the screen, for cropping.
    bool guide = false;
    FILE* log = NULL;
    int step = 0;
    int tries = 0;
    int clickedFace = -1;
    int clickedEntry = -1;
};

// The sandbox host: its windows, the plug-in, the scene and the command line's options, one
// object that the main window carries and its parts are handed.
struct Host
{
    HINSTANCE instance = NULL;
    HWND main = NULL, sceneList = NULL, swatch = NULL, materialText = NULL, textureCheck = NULL;
    HWND shaderBoxCombo = NULL, shaderCombo = NULL, calls = NULL, status = NULL, viewport = NULL;
    HWND pluginButton = NULL;
    WNDPROC buttonProc = NULL;
    HFONT font = NULL, boldFont = NULL;
    Plugin plugin;

    std::vector<SceneObject> scene;
    std::vector<Shader> shaders;
    ZvkHandle selection = NULL;
    std::string modelPath;
    Model model;
    std::vector<ZvkHandle> modelPolyhedra;   // the model objects' polyhedra, in order

    std::string exeDir, zvDir;
    WalkState walk;
    int quitAfter = -1;
    int exitCode = 0;
    bool changePending = false;   // a host change is on its way through the queue
    long callCount = 0;           // host calls logged so far
    Camera camera;
};

// The host that the main window carries; NULL before it is created.
Host* HostOf(HWND window);

// Small helpers (Main.cpp)
std::string Format(const char* format, ...);
std::string Thousands(long value);
void ReportError(Host& host, const std::string& text);
void FillSolid(HDC dc, const RECT& rect, COLORREF colour);
void PluginLeftClick(Host& host);
void RefreshAll(Host& host);

// The scene (Scene.cpp)
void PrepareHostDirectory(Host& host);
void BuildSampleScene(Host& host);
void AddShaders(Host& host);
// Replaces the scene by an OBJ model's objects; a file that cannot be loaded is reported and
// leaves the scene as it was.
bool OpenModel(Host& host, const std::string& path);
bool SaveModel(Host& host, const std::string& path);
// The model object shown by a polyhedron of an opened model; NULL in the generated scene.
const ModelObject* ModelObjectOf(const Host& host, ZvkHandle polyhedron);
const SceneObject* FindObject(const Host& host, ZvkHandle handle);
bool IsPolyhedron(ZvkHandle object);
void CreateSceneColumns(Host& host);
void FillSceneList(Host& host);
void RefreshSceneList(Host& host);
void SyncSelection(Host& host);
void SelectSceneRow(Host& host, int row);
// The polyhedron with the most faces: the 9,600-face terrain, or the biggest object of a model;
// -1 for none.
int BiggestPolyhedronRow(const Host& host);

// The Material Editor panel (EditorPanel.cpp)
void RefreshMaterialPanel(Host& host);
// The editor's material changed as a person changes it in the panel, and the panel shown again.
void SetEditorMaterial(Host& host, const std::function<void(ZvktMaterial&)>& change);
void DrawSwatch(const DRAWITEMSTRUCT* draw);
void OnEditorCommand(Host& host, int id, int code);

// The call log and the status bar (CallLog.cpp)
void DrainJournal(Host& host);
void LayoutStatusBar(const Host& host, int width);
void RefreshStatus(Host& host);

// The viewport (View.cpp)
extern const char VIEWPORT_CLASS[];
LRESULT CALLBACK ViewportProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The scripted walk (Walk.cpp)
void OpenWalkLog(Host& host);
void CloseWalkLog(Host& host);
void WalkLog(Host& host, const char* format, ...);
// The walk fails at once without the plug-in or without the model asked for.
void StartWalk(Host& host, bool pluginLoaded, bool sceneReady);
void WalkStep(Host& host);

} // namespace sandbox

#endif
