// Undo of "Paint all" on a 65534-face polyhedron of 8 materials, set against its floor measured in
// the same run: 65534 bare zvkPolyhPaintFace calls, each face with the material of the slot it has
// (so that the host changes nothing), and one repaint of a list box the plug-in does not own, empty
// as the press leaves the face list. Beside it: what taking down the
// step adds to the "Paint all" press, timed inside the real press through the plug-in's imports.
#include "Bench.h"

#include "support/PluginFixture.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

const int FACE_COUNT = 65534;
const int MATERIALS = 8;
const int ROUNDS = 21;

/////////////////////////////////////////////////////////////////////////////
// The recording inside a "Paint all" press: from the face count the plug-in asks for the recorder
// to zvkPolyhPaint, and from there to the first zvkMaterialSetActive, which shows the painted
// material once the step is in the history.

double g_askedFaces = 0, g_paintIn = 0, g_paintOut = 0, g_shown = 0;

int(__cdecl* g_pfnGetNbrFaces)(ZvkHandle) = NULL;
int(__cdecl* g_pfnPaint)(ZvkHandle, ZvkHandle) = NULL;
int(__cdecl* g_pfnSetActive)(ZvkHandle) = NULL;

int __cdecl NotedGetNbrFaces(ZvkHandle polyhedron)
{
    if (g_askedFaces == 0)
        g_askedFaces = Now();
    return g_pfnGetNbrFaces(polyhedron);
}

int __cdecl NotedPaint(ZvkHandle polyhedron, ZvkHandle material)
{
    g_paintIn = Now();
    int result = g_pfnPaint(polyhedron, material);
    g_paintOut = Now();
    return result;
}

int __cdecl NotedSetActive(ZvkHandle material)
{
    if (g_shown == 0 && g_paintOut != 0)
        g_shown = Now();
    return g_pfnSetActive(material);
}

void NoteThePress(bool on)
{
    HMODULE plugin = Plugin::Module();
    void* previous[] = {
        RedirectImport(plugin, "zvkapi.dll", "zvkPolyhGetNbrFaces", on ? (void*)NotedGetNbrFaces : (void*)g_pfnGetNbrFaces),
        RedirectImport(plugin, "zvkapi.dll", "zvkPolyhPaint", on ? (void*)NotedPaint : (void*)g_pfnPaint),
        RedirectImport(plugin, "zvkapi.dll", "zvkMaterialSetActive", on ? (void*)NotedSetActive : (void*)g_pfnSetActive),
    };
    if (on)
    {
        g_pfnGetNbrFaces = (decltype(g_pfnGetNbrFaces))previous[0];
        g_pfnPaint = (decltype(g_pfnPaint))previous[1];
        g_pfnSetActive = (decltype(g_pfnSetActive))previous[2];
    }
}

/////////////////////////////////////////////////////////////////////////////
// The floor

// Every face painted with the material of the slot it has, through the host alone, in the order
// given, and a list repainted once, as the undo repaints the face list.
double FloorMs(HWND plainList, ZvkHandle polyhedron, const std::vector<ZvkHandle>& faceMaterials,
               const std::vector<int>& order)
{
    double start = Now();
    for (int face : order)
        zvkPolyhPaintFace(polyhedron, (unsigned short)face, faceMaterials[face], 1);
    RedrawWindow(plainList, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    return (Now() - start) * 1000.0;
}

double CommandMs(const BenchWindow& bench, UINT command)
{
    double start = Now();
    SendMessageA(bench.window, WM_COMMAND, command, 0);
    return (Now() - start) * 1000.0;
}

// What the rounds measure, in milliseconds (the shares in per cent).
struct Figures
{
    std::vector<double> press, recording, shares, undo, floor, ratios, byIndex, byIndexRatios, redo;
};

// One round: the list loaded, "Paint all" pressed (the recording timed inside it), then undone
// (timed), redone (timed) and undone again, and the floors on the faces the undo gave back.
void MeasureRound(const BenchWindow& bench, HWND plainList, ZvkHandle polyhedron, const std::vector<unsigned short>& materials,
                  const std::vector<ZvkHandle>& faceMaterials, const std::vector<int> orders[2], Figures& figures)
{
    if (!LoadFaceList(bench, FACE_COUNT))
        fprintf(stderr, "undo: the list is incomplete\n");
    g_askedFaces = g_paintIn = g_paintOut = g_shown = 0;
    NoteThePress(true);
    double start = Now();
    SendMessageA(GetDlgItem(bench.window, IDC_PAINT_ALL), BM_CLICK, 0, 0);
    figures.press.push_back((Now() - start) * 1000.0);
    NoteThePress(false);
    figures.recording.push_back((g_paintIn - g_askedFaces + g_shown - g_paintOut) * 1000.0);
    figures.shares.push_back(100.0 * figures.recording.back() / figures.press.back());

    figures.undo.push_back(CommandMs(bench, ID_UNDO_PAINT));
    for (int face = 0; face < FACE_COUNT; ++face)
        if (zvktFaceMaterialIndex(polyhedron, face) != materials[face])
        {
            fprintf(stderr, "undo: face %d did not come back\n", face);
            break;
        }
    figures.redo.push_back(CommandMs(bench, ID_REDO_PAINT));
    CommandMs(bench, ID_UNDO_PAINT);
    if (SendMessageA(bench.list, LB_GETCOUNT, 0, 0) != 0)
        fprintf(stderr, "undo: the face list is not empty, as the floor's list is\n");
    figures.floor.push_back(FloorMs(plainList, polyhedron, faceMaterials, orders[0]));
    figures.ratios.push_back(figures.undo.back() / figures.floor.back());
    figures.byIndex.push_back(FloorMs(plainList, polyhedron, faceMaterials, orders[1]));
    figures.byIndexRatios.push_back(figures.undo.back() / figures.byIndex.back());
}

void MeasureLayout(const char* layout, const std::vector<unsigned short>& materials)
{
    BenchWindow bench;
    HWND plainList = NULL;
    if (!OpenToolWindowOn(bench, FACE_COUNT, materials.data()) || (plainList = OpenPlainList(bench)) == NULL)
    {
        fprintf(stderr, "undo: no tool window or no plain list\n");
        return;
    }
    ZvkHandle polyhedron = zvkGetCurrentSelection();
    std::vector<ZvkHandle> slots(MATERIALS), faceMaterials(FACE_COUNT);
    for (int m = 0; m < MATERIALS; ++m)
    {
        zvkMaterialCreate(&slots[m]);
        zvkPolyhGetMaterial(polyhedron, (unsigned short)m, slots[m]);
    }
    // The floor paints in face order; beside it, in the undo's order: the faces of each index together.
    std::vector<int> orders[2];
    for (int face = 0; face < FACE_COUNT; ++face)
    {
        faceMaterials[face] = slots[materials[face]];
        orders[0].push_back(face);
    }
    for (int m = 0; m < MATERIALS; ++m)
        for (int face = 0; face < FACE_COUNT; ++face)
            if (materials[face] == m)
                orders[1].push_back(face);

    Figures figures;
    for (int round = 0; round < ROUNDS; ++round)
        MeasureRound(bench, plainList, polyhedron, materials, faceMaterials, orders, figures);
    for (ZvkHandle slot : slots)
    {
        zvkMaterialDestroy(slot);
        zvkFree(slot);
    }

    // The repaint inside each floor, and the same repaint of the face list (empty as the press
    // leaves it), which the floor used to take.
    auto repaint = [](HWND list) { RedrawWindow(list, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW); };
    double plainRepaintMs = MedianMs(21, nullptr, [&] { repaint(plainList); });
    double faceListRepaintMs = MedianMs(21, nullptr, [&] { repaint(bench.list); });
    ClosePlainList(plainList);

    std::string label = std::string(layout) + ": ";
    Report("undo", label + "undo of Paint all (median)", Median(figures.undo), "ms");
    Report("undo", label + "floor: bare paints, a repaint (median)", Median(figures.floor), "ms");
    Report("undo", label + "undo / floor (median)", Median(figures.ratios), "x");
    Report("undo", label + "floor in the undo's order (median)", Median(figures.byIndex), "ms");
    Report("undo", label + "undo / floor in its order (median)", Median(figures.byIndexRatios), "x");
    Report("undo", label + "the floor's repaint of its list (median)", plainRepaintMs, "ms");
    Report("undo", label + "a repaint of the empty face list (median)", faceListRepaintMs, "ms");
    Report("undo", label + "redo of Paint all (median)", Median(figures.redo), "ms");
    Report("undo", label + "Paint all press (median)", Median(figures.press), "ms");
    Report("undo", label + "recording in the press (median)", Median(figures.recording), "ms");
    Report("undo", label + "recording's share of the press", Median(figures.shares), "%");

    CloseToolWindow(bench);
}

} // namespace

// 65534 faces of 8 materials, each material's faces together (as a modelled object has them) and
// every eighth face of one material (the faces of each index far apart).
BENCH(undo)
{
    std::vector<unsigned short> blocks(FACE_COUNT), interleaved(FACE_COUNT);
    for (int face = 0; face < FACE_COUNT; ++face)
    {
        blocks[face] = (unsigned short)(face * MATERIALS / FACE_COUNT);
        interleaved[face] = (unsigned short)(face % MATERIALS);
    }
    MeasureLayout("8 materials in blocks", blocks);
    MeasureLayout("8 materials interleaved", interleaved);
}
