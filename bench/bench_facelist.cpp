// Loading the face list of a 65534-face polyhedron against the platform's own floor: a list box the
// plug-in does not own (the face list's styles, size and font) filled with the same texts, redrawing
// off. Both run in one program, alternately, so that both see the same heap. Beside them: the same
// fill sent to the plug-in's own list, whose difference from the floor is what every message to the
// face list costs on its way through the plug-in.
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
    HWND plainList = NULL;
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

// Both lists, so that every measurement starts from the same heap.
void EmptyLists(const FaceListBench& bench)
{
    SendMessageA(bench.list, LB_RESETCONTENT, 0, 0);
    SendMessageA(bench.plainList, LB_RESETCONTENT, 0, 0);
    PumpMessages();
}

void FillList(const FaceListBench& bench, HWND list, bool reserve)
{
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    if (reserve)
        SendMessageA(list, LB_INITSTORAGE, FACE_COUNT, FACE_COUNT * 16);
    for (const std::string& text : bench.texts)
        SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)text.c_str());
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
}

// A message that asks and changes nothing, once per face: the cost of the way in alone.
void AskCount(HWND list)
{
    for (int i = 0; i < FACE_COUNT; ++i)
        SendMessageA(list, LB_GETCOUNT, 0, 0);
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
    if (!OpenToolWindowOnPolyhedron(bench) || (bench.plainList = OpenPlainList(bench)) == NULL)
    {
        fprintf(stderr, "facelist: no tool window or no plain list\n");
        return;
    }
    auto empty = [&] { EmptyLists(bench); };

    // One round of each first, so that no figure pays for the first use of the heap.
    empty(); FillList(bench, bench.plainList, false);
    empty(); FillList(bench, bench.list, false);
    empty(); PressLoad(bench);
    int listed = (int)SendMessageA(bench.list, LB_GETCOUNT, 0, 0);
    if (listed != FACE_COUNT)
        fprintf(stderr, "facelist: the load listed %d entries\n", listed);

    // Rounds interleave them so that a slow spell of the machine hits all of them; the order
    // rotates so that none always runs right after another.
    enum { FLOOR, FLOOR_RESERVED, PLUGIN_LIST, LOAD, ASK_PLAIN, ASK_PLUGIN, BODIES };
    const std::function<void()> bodies[BODIES] = {
        [&] { FillList(bench, bench.plainList, false); },
        [&] { FillList(bench, bench.plainList, true); },
        [&] { FillList(bench, bench.list, false); },
        [&] { PressLoad(bench); },
        [&] { AskCount(bench.plainList); },
        [&] { AskCount(bench.list); },
    };
    std::vector<double> times[BODIES];
    std::vector<double> ratios, reservedRatios, pluginListRatios, entryCosts, messageCosts;
    for (int round = 0; round < ROUNDS; ++round)
    {
        double roundTimes[BODIES];
        for (int k = 0; k < BODIES; ++k)
        {
            int which = (k + round) % BODIES;
            roundTimes[which] = TimeMs(empty, bodies[which]);
            times[which].push_back(roundTimes[which]);
        }
        ratios.push_back(roundTimes[LOAD] / roundTimes[FLOOR]);
        reservedRatios.push_back(roundTimes[LOAD] / roundTimes[FLOOR_RESERVED]);
        pluginListRatios.push_back(roundTimes[PLUGIN_LIST] / roundTimes[FLOOR]);
        entryCosts.push_back((roundTimes[PLUGIN_LIST] - roundTimes[FLOOR]) * 1000.0 / FACE_COUNT);
        messageCosts.push_back((roundTimes[ASK_PLUGIN] - roundTimes[ASK_PLAIN]) * 1000.0 / FACE_COUNT);
    }

    // What a load costs besides the entries: the host calls, the labels and the repaint.
    zvktSelect(zvktAddPolyhedron("Scene\\Bench\\Empty", 0, NULL, 1));
    double emptyLoadMs = MedianMs(RUNS, empty, [&] { PressLoad(bench); });

    Report("facelist", "floor: plain list, fill 65534, redraw off (median)", Median(times[FLOOR]), "ms");
    Report("facelist", "floor with LB_INITSTORAGE (median)", Median(times[FLOOR_RESERVED]), "ms");
    Report("facelist", "OnLoadList, 65534 faces (median)", Median(times[LOAD]), "ms");
    Report("facelist", "OnLoadList, 0 faces (median)", emptyLoadMs, "ms");
    Report("facelist", "load / floor, median of rounds (goal <= 1.10)", Median(ratios), "x");
    Report("facelist", "load / floor with LB_INITSTORAGE (median)", Median(reservedRatios), "x");
    Report("facelist", "the same fill into the plug-in's list (median)", Median(times[PLUGIN_LIST]), "ms");
    Report("facelist", "plug-in's list fill / floor (median)", Median(pluginListRatios), "x");
    Report("facelist", "plug-in's list: more per LB_ADDSTRING (median)", Median(entryCosts), "us");
    Report("facelist", "plug-in's list: more per LB_GETCOUNT (median)", Median(messageCosts), "us");

    ClosePlainList(bench.plainList);
    CloseToolWindow(bench);
}
