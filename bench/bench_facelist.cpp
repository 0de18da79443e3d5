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

namespace {

// A subclass of the benchmark's own that only passes every message on: what any subclass costs.
WNDPROC g_pfnPassOnSuper = NULL;

LRESULT CALLBACK PassOn(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallWindowProcA(g_pfnPassOnSuper, hWnd, message, wParam, lParam);
}

double Percentile(std::vector<double> values, double share)
{
    std::sort(values.begin(), values.end());
    return values[(size_t)(share * (values.size() - 1))];
}

enum { PLAIN, PASS_ON, PLUGIN, STRAIGHT, WAYS };
const char* const WAY_NAMES[WAYS] = { "plain list, sent", "pass-on subclass", "plug-in's list",
                                      "plain list, CallWindowProc" };
const int BLOCK = 1024;
const int REPEATS = 9;

} // namespace

// What one message costs by each way into a list, in blocks of 1,024 messages: the quick blocks
// are the code's own cost, a block the machine's other work interrupted is slow. LB_GETCOUNT: the
// tenth percentile of 360 blocks a way; LB_ADDSTRING: the four lists filled side by side block by
// block, each block's quickest of 9 fills.
BENCH(facelist_messages)
{
    FaceListBench bench;
    HWND lists[WAYS] = {};
    if (!OpenToolWindowOnPolyhedron(bench) || (lists[PLAIN] = OpenPlainList(bench)) == NULL
        || (lists[PASS_ON] = OpenPlainList(bench)) == NULL || (lists[STRAIGHT] = OpenPlainList(bench)) == NULL)
    {
        fprintf(stderr, "facelist_messages: no tool window or no plain lists\n");
        return;
    }
    lists[PLUGIN] = bench.list;
    g_pfnPassOnSuper = (WNDPROC)SetWindowLongPtrA(lists[PASS_ON], GWLP_WNDPROC, (LONG_PTR)PassOn);
    WNDPROC listProc = (WNDPROC)GetWindowLongPtrA(lists[STRAIGHT], GWLP_WNDPROC);
    auto message = [&](int way, UINT msg, LPARAM lParam) {
        if (way == STRAIGHT)
            CallWindowProcA(listProc, lists[way], msg, 0, lParam);
        else
            SendMessageA(lists[way], msg, 0, lParam);
    };

    std::vector<double> asked[WAYS];
    for (int round = 0; round < REPEATS * 40; ++round)
        for (int k = 0; k < WAYS; ++k)
        {
            int way = (k + round) % WAYS;
            double start = Now();
            for (int i = 0; i < BLOCK; ++i)
                message(way, LB_GETCOUNT, 0);
            asked[way].push_back((Now() - start) * 1e6 / BLOCK);
        }

    const int blocks = (FACE_COUNT + BLOCK - 1) / BLOCK;
    std::vector<double> quickest[WAYS];
    for (int way = 0; way < WAYS; ++way)
        quickest[way].assign(blocks, 1e30);
    for (int repeat = 0; repeat < REPEATS; ++repeat)
    {
        for (HWND list : lists)
        {
            SendMessageA(list, LB_RESETCONTENT, 0, 0);
            SendMessageA(list, WM_SETREDRAW, FALSE, 0);
        }
        PumpMessages();
        for (int b = 0; b < blocks; ++b)
            for (int k = 0; k < WAYS; ++k)
            {
                int way = (k + b + repeat) % WAYS;
                int end = std::min(FACE_COUNT, (b + 1) * BLOCK);
                double start = Now();
                for (int i = b * BLOCK; i < end; ++i)
                    message(way, LB_ADDSTRING, (LPARAM)bench.texts[i].c_str());
                quickest[way][b] = std::min(quickest[way][b], (Now() - start) * 1e6);
            }
        for (HWND list : lists)
            SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    }

    double ask[WAYS], add[WAYS];
    for (int way = 0; way < WAYS; ++way)
    {
        ask[way] = Percentile(asked[way], 0.1);
        add[way] = 0;
        for (double us : quickest[way])
            add[way] += us;
        add[way] /= FACE_COUNT;
    }
    for (int way = 0; way < WAYS; ++way)
    {
        Report("facelist_messages", std::string(WAY_NAMES[way]) + ": LB_GETCOUNT", ask[way], "us");
        Report("facelist_messages", std::string(WAY_NAMES[way]) + ": LB_ADDSTRING", add[way], "us");
    }
    Report("facelist_messages", "plug-in's own code: LB_GETCOUNT", ask[PLUGIN] - ask[PASS_ON], "us");
    Report("facelist_messages", "plug-in's own code: LB_ADDSTRING", add[PLUGIN] - add[PASS_ON], "us");

    SendMessageA(bench.list, LB_RESETCONTENT, 0, 0);
    ClosePlainList(lists[PLAIN]);
    ClosePlainList(lists[PASS_ON]);
    ClosePlainList(lists[STRAIGHT]);
    CloseToolWindow(bench);
}
