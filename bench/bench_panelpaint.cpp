// The materials panel's "Replace" and "Assign" on a 65534-face polyhedron of 4 materials, every
// fourth face of each: 16,384 faces each time. Each is set against its floor measured in the same
// run: as many bare zvkPolyhPaintFace calls on the same faces, each with the material of the slot
// the face has (so that the host changes nothing), and one repaint of the list. Beside them:
// "Paint selection" of the same 16,384 entries, the way the same change took before.
//
// The whole press is timed, and within it the paint alone: from closing the edit tool to the host
// refresh, without what every press costs around it (the busy indicator, the materials made, the
// host refresh, the panel's recount).
//
// "Assign" gives the host its face selection back with one call; the replacement host's own time
// in it (it files every one of the 65,534 elements) is timed through the plug-in's import and
// reported apart, as the figure a host that selects quickly would see.
#include "Bench.h"

#include "support/PluginFixture.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

const int FACE_COUNT = 65534;
const int MATERIALS = 4;
const int ROUNDS = 11;
const ZvkColor EDITOR_COLOUR = { 10, 20, 30, 255 };

typedef int(__cdecl* SelectFacesProc)(ZvkHandle, int, const unsigned int*);
SelectFacesProc g_hostSelectFaces = NULL;
double g_selectSeconds = 0;

int __cdecl TimedSelectFaces(ZvkHandle polyhedron, int count, const unsigned int* faces)
{
    double start = Now();
    int result = g_hostSelectFaces(polyhedron, count, faces);
    g_selectSeconds += Now() - start;
    return result;
}

// The press's paint itself, from closing the edit tool to the host's refresh: the busy indicator,
// the materials made, the host refresh and the panel's recount lie outside it.
typedef void(__cdecl* HostVoidProc)();
HostVoidProc g_hostClose = NULL, g_hostRefresh = NULL;
double g_closed = 0, g_refreshed = 0;

void __cdecl NotedClose()
{
    g_closed = Now();
    g_hostClose();
}

void __cdecl NotedRefresh()
{
    g_refreshed = Now();
    g_hostRefresh();
}

void NoteThePaint(bool on)
{
    void* close = RedirectImport(Plugin::Module(), "zvkapi.dll", "zvkCurrobjEditToolClose", on ? (void*)NotedClose : (void*)g_hostClose);
    void* refresh = RedirectImport(Plugin::Module(), "zvkapi.dll", "zvkCurrobjRefresh", on ? (void*)NotedRefresh : (void*)g_hostRefresh);
    if (on)
    {
        g_hostClose = (HostVoidProc)close;
        g_hostRefresh = (HostVoidProc)refresh;
    }
}

double CommandMs(HWND window, UINT command)
{
    double start = Now();
    SendMessageA(window, WM_COMMAND, command, 0);
    return (Now() - start) * 1000.0;
}

// The faces painted with the material of the slot each has, through the host alone, and the list
// repainted once.
double FloorMs(const BenchWindow& bench, ZvkHandle polyhedron, const std::vector<int>& faces, ZvkHandle material)
{
    double start = Now();
    for (int face : faces)
        zvkPolyhPaintFace(polyhedron, (unsigned short)face, material, 1);
    RedrawWindow(bench.list, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    return (Now() - start) * 1000.0;
}

void CurrentRow(HWND panel, int row)
{
    HWND rows = GetDlgItem(panel, IDC_MATERIALS_LIST);
    SendMessageA(rows, LB_SETCURSEL, row, 0);
    SendMessageA(panel, WM_COMMAND, MAKEWPARAM(IDC_MATERIALS_LIST, LBN_SELCHANGE), (LPARAM)rows);
}

bool FacesRead(ZvkHandle polyhedron, const std::vector<int>& faces, int index)
{
    for (int face : faces)
        if (zvktFaceMaterialIndex(polyhedron, face) != index)
            return false;
    return true;
}

} // namespace

BENCH(panelpaint)
{
    std::vector<unsigned short> materials(FACE_COUNT);
    std::vector<int> ofZero;   // every fourth face, from face 0: 16,384 faces
    for (int face = 0; face < FACE_COUNT; ++face)
    {
        materials[face] = (unsigned short)(face % MATERIALS);
        if (materials[face] == 0)
            ofZero.push_back(face);
    }
    BenchWindow bench;
    if (!OpenToolWindowOn(bench, FACE_COUNT, materials.data(), MATERIALS) || !LoadFaceList(bench, FACE_COUNT))
    {
        fprintf(stderr, "panelpaint: no tool window or the list is incomplete\n");
        return;
    }
    ZvkHandle polyhedron = zvkGetCurrentSelection();
    ZvktMaterial editor = {};
    zvktGetEditorMaterial(&editor);
    editor.colour = EDITOR_COLOUR;
    zvktSetEditorMaterial(&editor);
    SendMessageA(bench.window, WM_COMMAND, ID_MATERIALS, 0);
    HWND panel = FindMaterialsPanel();
    ZvkHandle slotZero = NULL;
    zvkMaterialCreate(&slotZero);
    zvkPolyhGetMaterial(polyhedron, 0, slotZero);
    if (panel == NULL || slotZero == NULL)
    {
        fprintf(stderr, "panelpaint: no materials panel\n");
        return;
    }

    // "Replace" of matID 0 with nothing selected in the list, then undone (untimed).
    std::vector<double> replace, replacePaint, replaceFloor, replaceRatio, paintRatio;
    SendMessageA(bench.list, LB_SETSEL, FALSE, -1);
    for (int round = 0; round < ROUNDS; ++round)
    {
        CurrentRow(panel, 0);
        NoteThePaint(true);
        replace.push_back(CommandMs(panel, IDC_REPLACE));
        NoteThePaint(false);
        replacePaint.push_back((g_refreshed - g_closed) * 1000.0);
        if (FacesRead(polyhedron, ofZero, 0))
            fprintf(stderr, "panelpaint: Replace painted nothing\n");
        SendMessageA(bench.window, WM_COMMAND, ID_UNDO_PAINT, 0);
        if (!FacesRead(polyhedron, ofZero, 0))
            fprintf(stderr, "panelpaint: the undo of Replace did not bring the faces back\n");
        replaceFloor.push_back(FloorMs(bench, polyhedron, ofZero, slotZero));
        replaceRatio.push_back(replace.back() / replaceFloor.back());
        paintRatio.push_back(replacePaint.back() / replaceFloor.back());
    }

    // "Assign" of matID 1 to the 16,384 entries of matID 0, then undone (untimed).
    for (int face : ofZero)
        SendMessageA(bench.list, LB_SELITEMRANGEEX, face, face);
    g_hostSelectFaces = (SelectFacesProc)RedirectImport(Plugin::Module(), "zvkapi.dll", "zvkPolyhSelectFaces",
                                                        (void*)TimedSelectFaces);
    std::vector<double> assign, assignOwn, assignFloor, assignRatio, ownRatio;
    for (int round = 0; round < ROUNDS; ++round)
    {
        CurrentRow(panel, 1);
        g_selectSeconds = 0;
        assign.push_back(CommandMs(panel, IDC_ASSIGN));
        assignOwn.push_back(assign.back() - g_selectSeconds * 1000.0);
        if (!FacesRead(polyhedron, ofZero, 1))
            fprintf(stderr, "panelpaint: Assign did not paint every face\n");
        SendMessageA(bench.window, WM_COMMAND, ID_UNDO_PAINT, 0);
        assignFloor.push_back(FloorMs(bench, polyhedron, ofZero, slotZero));
        assignRatio.push_back(assign.back() / assignFloor.back());
        ownRatio.push_back(assignOwn.back() / assignFloor.back());
    }
    RedirectImport(Plugin::Module(), "zvkapi.dll", "zvkPolyhSelectFaces", (void*)g_hostSelectFaces);

    // "Paint selection" of the same entries, once: about 0.2 ms an entry.
    double paintSelection = CommandMs(bench.window, MAKEWPARAM(IDC_PAINT_SELECTION, BN_CLICKED));
    zvkMaterialDestroy(slotZero);
    zvkFree(slotZero);

    Report("panelpaint", "Replace, 16,384 of 65,534 faces (median)", Median(replace), "ms");
    Report("panelpaint", "Replace: floor, bare paints and a repaint (median)", Median(replaceFloor), "ms");
    Report("panelpaint", "Replace / floor (median)", Median(replaceRatio), "x");
    Report("panelpaint", "Replace: its paint, edit tool closed to host refresh (median)", Median(replacePaint), "ms");
    Report("panelpaint", "Replace: its paint / floor (median)", Median(paintRatio), "x");
    Report("panelpaint", "Assign to 16,384 selected entries (median)", Median(assign), "ms");
    Report("panelpaint", "Assign without the host's select call (median)", Median(assignOwn), "ms");
    Report("panelpaint", "Assign: floor, bare paints and a repaint (median)", Median(assignFloor), "ms");
    Report("panelpaint", "Assign / floor (median)", Median(assignRatio), "x");
    Report("panelpaint", "Assign without the host's select call / floor (median)", Median(ownRatio), "x");
    Report("panelpaint", "Paint selection of the same 16,384 entries (one)", paintSelection, "ms");
    Report("panelpaint", "Paint selection / Assign", paintSelection / Median(assign), "x");

    CloseToolWindow(bench);
}
