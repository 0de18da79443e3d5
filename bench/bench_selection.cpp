// A selection change in the face list of a 65534-face polyhedron with 1, 100 and 1000 entries
// selected: the whole change as the user waits for it, and the filling of the face-index arrays
// on its own, per element, against memset of the same bytes in the same run.
//
// The fill is timed inside the real handler: the plug-in's imports of zvkCalloc and
// zvkPolyhSelectFaces are routed through wrappers that note the time when the host hands the
// array out, when each select call arrives and when it returns. The plug-in's time between
// them is its own work for one entry: reading the entry's text and filling the array. The
// host's own time (it walks every element of every array) is left out.
#include "Bench.h"

#include "support/PluginFixture.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

const int FACE_COUNT = 65534;
const int RUNS = 5;
// A single fill of 256 KiB takes microseconds: more runs steady its median.
const int SHORT_RUNS = 21;
const int SELECTED_COUNTS[] = { 1, 100, 1000 };

struct SelectionBench : BenchWindow
{
};

/////////////////////////////////////////////////////////////////////////////
// Timing points inside the handler

typedef void* (__cdecl *CallocProc)(unsigned int, unsigned int);
typedef int (__cdecl *SelectFacesProc)(ZvkHandle, int, const unsigned int*);

CallocProc g_hostCalloc = NULL;
SelectFacesProc g_hostSelectFaces = NULL;
double g_plugInSince = 0;     // when control last came back to the plug-in from these calls
double g_fillSeconds = 0;     // plug-in time before each select call, summed
double g_hostSeconds = 0;     // time inside the host's select calls, summed
long long g_filledElements = 0;

void* __cdecl TimedCalloc(unsigned int count, unsigned int size)
{
    void* block = g_hostCalloc(count, size);
    g_plugInSince = Now();
    return block;
}

int __cdecl TimedSelectFaces(ZvkHandle polyhedron, int count, const unsigned int* faces)
{
    g_fillSeconds += Now() - g_plugInSince;
    g_filledElements += count;
    double called = Now();
    int result = g_hostSelectFaces(polyhedron, count, faces);
    g_plugInSince = Now();
    g_hostSeconds += g_plugInSince - called;
    return result;
}

bool TimeTheFill()
{
    g_hostCalloc = (CallocProc)RedirectImport(Plugin::Module(), "zvkapi.dll", "zvkCalloc", (void*)TimedCalloc);
    g_hostSelectFaces = (SelectFacesProc)RedirectImport(Plugin::Module(), "zvkapi.dll", "zvkPolyhSelectFaces",
                                                        (void*)TimedSelectFaces);
    return g_hostCalloc != NULL && g_hostSelectFaces != NULL;
}

void UntimeTheFill()
{
    RedirectImport(Plugin::Module(), "zvkapi.dll", "zvkCalloc", (void*)g_hostCalloc);
    RedirectImport(Plugin::Module(), "zvkapi.dll", "zvkPolyhSelectFaces", (void*)g_hostSelectFaces);
}

/////////////////////////////////////////////////////////////////////////////
// The tool window

bool OpenToolWindowOnPolyhedron(SelectionBench& bench)
{
    return OpenToolWindowOn(bench, FACE_COUNT, NULL) && LoadFaceList(bench, FACE_COUNT);
}

// Entries 0 to count-2 selected without a notification and the last entry in view, so that a
// Ctrl+click on entry count-1 makes count selected entries.
void PrepareSelection(const SelectionBench& bench, int count)
{
    SendMessageA(bench.list, LB_SETSEL, FALSE, -1);
    if (count > 1)
        SendMessageA(bench.list, LB_SELITEMRANGEEX, 0, count - 2);
    SendMessageA(bench.list, LB_SETTOPINDEX, count - 1, 0);
    PumpMessages();
}

void CtrlClickEntry(const SelectionBench& bench, int index)
{
    POINT centre = EntryCentre(bench.list, index);
    LPARAM at = MAKELPARAM(centre.x, centre.y);
    SendMessageA(bench.list, WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, at);
    SendMessageA(bench.list, WM_LBUTTONUP, MK_CONTROL, at);
}

/////////////////////////////////////////////////////////////////////////////
// The memset floor: a fresh block from the host allocator, then count times the same bytes.

volatile unsigned char g_sink;

double MemsetSeconds(int count)
{
    unsigned char* block = (unsigned char*)zvkCalloc(FACE_COUNT, sizeof(unsigned int));
    double start = Now();
    for (int i = 0; i < count; ++i)
        memset(block, i + 1, FACE_COUNT * sizeof(unsigned int));
    double seconds = Now() - start;
    g_sink = block[FACE_COUNT * sizeof(unsigned int) - 1];
    zvkFree(block);
    return seconds;
}

} // namespace

BENCH(selection)
{
    SelectionBench bench;
    if (!OpenToolWindowOnPolyhedron(bench))
    {
        fprintf(stderr, "selection: no tool window or the list is incomplete\n");
        return;
    }

    for (int count : SELECTED_COUNTS)
    {
        auto prepare = [&] { PrepareSelection(bench, count); };
        auto change = [&] { CtrlClickEntry(bench, count - 1); };

        // The whole change, as the user waits for it.
        double changeMs = MedianMs(RUNS, prepare, change);
        if ((int)SendMessageA(bench.list, LB_GETSELCOUNT, 0, 0) != count)
            fprintf(stderr, "selection: %d entries selected instead of %d\n",
                    (int)SendMessageA(bench.list, LB_GETSELCOUNT, 0, 0), count);

        // The fill within it, and memset of the same bytes, interleaved run by run.
        if (!TimeTheFill())
        {
            fprintf(stderr, "selection: the plug-in's host imports were not found\n");
            return;
        }
        std::vector<double> fillNs, memsetNs, hostShares;
        int runs = count < 1000 ? SHORT_RUNS : RUNS;
        for (int run = 0; run < runs; ++run)
        {
            prepare();
            g_fillSeconds = 0;
            g_hostSeconds = 0;
            g_filledElements = 0;
            double start = Now();
            change();
            double changeSeconds = Now() - start;
            if (g_filledElements != (long long)count * FACE_COUNT)
                fprintf(stderr, "selection: %lld elements filled instead of %lld\n",
                        g_filledElements, (long long)count * FACE_COUNT);
            fillNs.push_back(g_fillSeconds * 1e9 / (double)g_filledElements);
            hostShares.push_back(100.0 * g_hostSeconds / changeSeconds);
            memsetNs.push_back(MemsetSeconds(count) * 1e9 / ((double)count * FACE_COUNT));
        }
        UntimeTheFill();
        double fill = Median(fillNs);
        double floor = Median(memsetNs);

        std::string label = std::to_string(count) + " selected: ";
        Report("selection", label + "selection change (median)", changeMs, "ms");
        Report("selection", label + "share inside the host's select calls", Median(hostShares), "%");
        Report("selection", label + "fill per element (with entry read)", fill, "ns");
        Report("selection", label + "memset per element, same bytes", floor, "ns");
        Report("selection", label + "fill / memset", fill / floor, "x");
    }

    CloseToolWindow(bench);
}
