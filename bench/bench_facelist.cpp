// Loading the face list of a 65534-face polyhedron against the platform's own floor: the same
// list control filled with the same texts, redrawing off. Both run in one program, on the
// tool window's real list, alternately, so that both see the same heap and the same control.
#include "Bench.h"

#include "support/PluginFixture.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const int FACE_COUNT = 65534;
const int RUNS = 9;

struct FaceListBench
{
    HWND window = NULL;
    HWND list = NULL;
    HWND loadButton = NULL;
    std::vector<std::string> texts;
};

bool OpenToolWindowOnPolyhedron(FaceListBench& bench)
{
    zvktReset();
    zvktSetJournalEnabled(0);
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    zvktSetZVDir(temp);

    std::vector<unsigned short> materials(FACE_COUNT);
    for (int i = 0; i < FACE_COUNT; ++i)
        materials[i] = (unsigned short)(i % 7 == 0 ? 65535 - i : i % 12);
    zvktSelect(zvktAddPolyhedron("Scene\\Bench\\Dense", FACE_COUNT, materials.data(), 12));

    Plugin::LeftClick();
    PumpMessages();
    bench.window = FindToolWindow();
    if (bench.window == NULL)
        return false;
    bench.list = GetDlgItem(bench.window, IDC_FACE_LIST);
    bench.loadButton = GetDlgItem(bench.window, IDC_LOAD_LIST);

    bench.texts.resize(FACE_COUNT);
    char text[32];
    for (int i = 0; i < FACE_COUNT; ++i)
    {
        snprintf(text, sizeof text, "%d | %d", i, (int)materials[i]);
        bench.texts[i] = text;
    }
    return true;
}

void EmptyList(const FaceListBench& bench)
{
    SendMessageA(bench.list, LB_RESETCONTENT, 0, 0);
    PumpMessages();
}

void FillList(const FaceListBench& bench, bool reserve)
{
    SendMessageA(bench.list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(bench.list, LB_RESETCONTENT, 0, 0);
    if (reserve)
        SendMessageA(bench.list, LB_INITSTORAGE, FACE_COUNT, FACE_COUNT * 16);
    for (const std::string& text : bench.texts)
        SendMessageA(bench.list, LB_ADDSTRING, 0, (LPARAM)text.c_str());
    SendMessageA(bench.list, WM_SETREDRAW, TRUE, 0);
}

void PressLoad(const FaceListBench& bench)
{
    SendMessageA(bench.loadButton, BM_CLICK, 0, 0);
}

} // namespace

BENCH(facelist)
{
    FaceListBench bench;
    if (!OpenToolWindowOnPolyhedron(bench))
    {
        fprintf(stderr, "facelist: no tool window\n");
        return;
    }
    auto empty = [&] { EmptyList(bench); };

    // One round of each first, so that no figure pays for the first use of the heap.
    empty(); FillList(bench, false);
    empty(); PressLoad(bench);
    if ((int)SendMessageA(bench.list, LB_GETCOUNT, 0, 0) != FACE_COUNT)
        fprintf(stderr, "facelist: the load listed %d entries\n", (int)SendMessageA(bench.list, LB_GETCOUNT, 0, 0));

    std::vector<double> floors, reservedFloors, loads;
    for (int round = 0; round < 3; ++round)
    {
        floors.push_back(MedianMs(RUNS, empty, [&] { FillList(bench, false); }));
        reservedFloors.push_back(MedianMs(RUNS, empty, [&] { FillList(bench, true); }));
        loads.push_back(MedianMs(RUNS, empty, [&] { PressLoad(bench); }));
    }
    auto median = [](std::vector<double> values) {
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    };
    double floorMs = median(floors);
    double reservedFloorMs = median(reservedFloors);
    double loadMs = median(loads);

    Report("facelist", "floor: fill 65534, redraw off (median)", floorMs, "ms");
    Report("facelist", "floor with LB_INITSTORAGE (median)", reservedFloorMs, "ms");
    Report("facelist", "OnLoadList, 65534 faces (median)", loadMs, "ms");
    Report("facelist", "load / floor (goal <= 1.15)", loadMs / floorMs, "x");
    Report("facelist", "load / floor with LB_INITSTORAGE", loadMs / reservedFloorMs, "x");

    SendMessageA(bench.window, WM_CLOSE, 0, 0);
    PumpMessages();
    zvktReset();
}
