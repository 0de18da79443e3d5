// Opening the materials panel on a 65534-face polyhedron of 255 materials against its floor in
// the same run: one pass over the face records counting them by material index (into counts
// kept zero between runs, the indices met collected), and the 255 slots read through one material
// (made, each slot read into it and its colour taken, released), made straight against the host. The panel open and in front, "Materials..." again is the whole
// of its work (the questions, the count, the slot reads, its texts); its first opening (the window
// made) and one repaint of its rows are reported beside.
#include "Bench.h"

#include "support/PluginFixture.h"

#include <cstdio>
#include <vector>

namespace {

const int FACE_COUNT = 65534;
const int MATERIAL_COUNT = 255;
const int ROUNDS = 31;

volatile unsigned g_sink = 0;
std::vector<int> g_counts(0x10000, 0);

void CountAndReadSlots(ZvkHandle polyhedron)
{
    int count = zvkPolyhGetNbrFaces(polyhedron);
    ZvkFace** faces = zvkPolyhGetFaceptrArray(polyhedron);
    std::vector<unsigned short> met;
    for (int face = 0; face < count; ++face)
    {
        unsigned short index = zvkFaceMaterialIndex(faces[face]);
        if (g_counts[index]++ == 0)
            met.push_back(index);
    }
    ZvkHandle material = NULL;
    zvkMaterialCreate(&material);
    for (unsigned short index : met)
    {
        ZvkColor colour = {};
        zvkPolyhGetMaterial(polyhedron, index, material);
        zvkMaterialGetColor(material, &colour);
        g_sink += colour.r + g_counts[index];
        g_counts[index] = 0;
    }
    zvkMaterialDestroy(material);
    zvkFree(material);
}

void AskForThePanel(const BenchWindow& bench)
{
    SendMessageA(bench.window, WM_COMMAND, ID_MATERIALS, 0);
}

} // namespace

BENCH(materials)
{
    std::vector<unsigned short> materials(FACE_COUNT);
    for (int face = 0; face < FACE_COUNT; ++face)
        materials[face] = (unsigned short)(face % MATERIAL_COUNT);
    BenchWindow bench;
    if (!OpenToolWindowOn(bench, FACE_COUNT, materials.data(), MATERIAL_COUNT) || !LoadFaceList(bench, FACE_COUNT))
    {
        fprintf(stderr, "materials: no tool window or the list is incomplete\n");
        return;
    }
    ZvkHandle polyhedron = zvkGetCurrentSelection();

    double start = Now();
    AskForThePanel(bench);
    double firstMs = (Now() - start) * 1000.0;
    HWND panel = FindMaterialsPanel();
    HWND rows = panel ? GetDlgItem(panel, IDC_MATERIALS_LIST) : NULL;
    if (rows == NULL || SendMessageA(rows, LB_GETCOUNT, 0, 0) != MATERIAL_COUNT)
    {
        fprintf(stderr, "materials: no panel, or not one row per material\n");
        return;
    }
    PumpMessages();
    double repaintMs = MedianMs(9, nullptr, [&] { RedrawWindow(rows, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW); });

    std::vector<double> floorMs, panelMs, ratios;
    // Interleaved, the order turned each round, so that neither always finds the faces in cache.
    for (int round = 0; round < ROUNDS; ++round)
    {
        double floor = 0, own = 0;
        for (int turn = 0; turn < 2; ++turn)
        {
            if ((turn + round) % 2 == 0)
                floor = MedianMs(1, PumpMessages, [&] { CountAndReadSlots(polyhedron); });
            else
                own = MedianMs(1, PumpMessages, [&] { AskForThePanel(bench); });
        }
        floorMs.push_back(floor);
        panelMs.push_back(own);
        ratios.push_back(own / floor);
    }
    PumpMessages();

    std::string label = std::to_string(FACE_COUNT) + " faces, " + std::to_string(MATERIAL_COUNT) + " materials: ";
    Report("materials", label + "floor, count and slot reads (median)", Median(floorMs), "ms");
    Report("materials", label + "panel asked for again (median)", Median(panelMs), "ms");
    Report("materials", label + "panel / floor (median)", Median(ratios), "x");
    Report("materials", label + "first opening, window made", firstMs, "ms");
    Report("materials", label + "one repaint of the rows (median)", repaintMs, "ms");

    CloseToolWindow(bench);
}
