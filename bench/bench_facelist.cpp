// Loading the face list of a 65534-face polyhedron against the platform's own floor: the same
// list control filled with the same texts, redrawing off. Both run in one program, on the
// tool window's real list, alternately, so that both see the same heap and the same control.
#include "Bench.h"

#include "support/PluginFixture.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

const int FACE_COUNT = 65534;
const int RUNS = 9;
const int ROUNDS = 21;

struct FaceListBench : BenchWindow
{
    HWND loadButton = NULL;
    std::vector<std::string> texts;
};

bool OpenToolWindowOnPolyhedron(FaceListBench& bench)
{
    std::vector<unsigned short> materials(FACE_COUNT);
    for (int i = 0; i < FACE_COUNT; ++i)
        materials[i] = (unsigned short)(i % 7 == 0 ? 65535 - i : i % 12);
    if (!OpenToolWindowOn(bench, FACE_COUNT, materials.data()))
        return false;
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

double TimeMs(const std::function<void()>& setup, const std::function<void()>& body)
{
    return MedianMs(1, setup, body);
}

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
    int listed = (int)SendMessageA(bench.list, LB_GETCOUNT, 0, 0);
    if (listed != FACE_COUNT)
        fprintf(stderr, "facelist: the load listed %d entries\n", listed);

    // Rounds interleave the three so that a slow spell of the machine hits all of them; the
    // order rotates so that none always runs right after another.
    const std::vector<std::function<void()>> bodies = {
        [&] { FillList(bench, false); },
        [&] { FillList(bench, true); },
        [&] { PressLoad(bench); },
    };
    std::vector<std::vector<double>> times(bodies.size());
    std::vector<double> ratios, reservedRatios;
    for (int round = 0; round < ROUNDS; ++round)
    {
        std::vector<double> roundTimes(bodies.size());
        for (size_t k = 0; k < bodies.size(); ++k)
        {
            size_t which = (k + round) % bodies.size();
            roundTimes[which] = TimeMs(empty, bodies[which]);
            times[which].push_back(roundTimes[which]);
        }
        ratios.push_back(roundTimes[2] / roundTimes[0]);
        reservedRatios.push_back(roundTimes[2] / roundTimes[1]);
    }

    // What a load costs besides the entries: the host calls, the labels and the repaint.
    zvktSelect(zvktAddPolyhedron("Scene\\Bench\\Empty", 0, NULL, 1));
    double emptyLoadMs = MedianMs(RUNS, empty, [&] { PressLoad(bench); });

    Report("facelist", "floor: fill 65534, redraw off (median)", Median(times[0]), "ms");
    Report("facelist", "floor with LB_INITSTORAGE (median)", Median(times[1]), "ms");
    Report("facelist", "OnLoadList, 65534 faces (median)", Median(times[2]), "ms");
    Report("facelist", "OnLoadList, 0 faces (median)", emptyLoadMs, "ms");
    Report("facelist", "load / floor, median of rounds (goal <= 1.15)", Median(ratios), "x");
    Report("facelist", "load / floor with LB_INITSTORAGE, median", Median(reservedRatios), "x");

    CloseToolWindow(bench);
}
