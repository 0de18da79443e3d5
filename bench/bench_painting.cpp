// "Paint selection" on a 65534-face polyhedron with 1, 100 and 1000 entries selected: time per
// entry, and how much of it goes to repainting the list after each entry. The share is measured
// two ways: the same press with the list hidden (its repaints then draw nothing), and the
// list's full synchronous repaint timed on its own and multiplied by the entries painted.
#include "Bench.h"

#include "support/PluginFixture.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const int FACE_COUNT = 65534;
const int RUNS = 5;
const int SELECTED_COUNTS[] = { 1, 100, 1000 };

struct PaintingBench : BenchWindow
{
};

bool OpenToolWindowOnPolyhedron(PaintingBench& bench)
{
    return OpenToolWindowOn(bench, FACE_COUNT, NULL) && LoadFaceList(bench, FACE_COUNT);
}

// Entries 0 to count-1 selected at once, without a selection notification.
void SelectFirstEntries(const PaintingBench& bench, int count)
{
    SendMessageA(bench.list, LB_SETSEL, FALSE, -1);
    SendMessageA(bench.list, LB_SELITEMRANGEEX, 0, count - 1);
    PumpMessages();
}

// The button's own notification: with one entry selected the selection handling leaves
// "Paint selection" disabled, so the press is delivered as the enabled button would send it.
void PressPaintSelection(const PaintingBench& bench)
{
    SendMessageA(bench.window, WM_COMMAND, MAKEWPARAM(IDC_PAINT_SELECTION, BN_CLICKED),
                 (LPARAM)GetDlgItem(bench.window, IDC_PAINT_SELECTION));
}

void RepaintList(const PaintingBench& bench)
{
    RedrawWindow(bench.list, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

} // namespace

BENCH(painting)
{
    PaintingBench bench;
    if (!OpenToolWindowOnPolyhedron(bench))
    {
        fprintf(stderr, "painting: no tool window or the list is incomplete\n");
        return;
    }
    auto press = [&] { PressPaintSelection(bench); };

    for (int count : SELECTED_COUNTS)
    {
        SelectFirstEntries(bench, count);
        if ((int)SendMessageA(bench.list, LB_GETSELCOUNT, 0, 0) != count)
            fprintf(stderr, "painting: %d entries selected instead of %d\n",
                    (int)SendMessageA(bench.list, LB_GETSELCOUNT, 0, 0), count);
        press();

        // Timed after a first press, so that the visible entries are selected and coloured as
        // during the later presses. Three interleaved rounds, so that a busy machine weighs on
        // all three figures alike.
        std::vector<double> repaints, visibles, hiddens;
        for (int round = 0; round < 3; ++round)
        {
            repaints.push_back(MedianMs(21, nullptr, [&] { RepaintList(bench); }));
            visibles.push_back(MedianMs(RUNS, nullptr, press));
            ShowWindow(bench.list, SW_HIDE);
            hiddens.push_back(MedianMs(RUNS, nullptr, press));
            ShowWindow(bench.list, SW_SHOW);
            PumpMessages();
        }
        double repaintMs = Median(repaints);
        double visibleMs = Median(visibles);
        double hiddenMs = Median(hiddens);

        std::string label = std::to_string(count) + " selected: ";
        Report("painting", label + "press (median)", visibleMs, "ms");
        Report("painting", label + "per entry", visibleMs / count, "ms");
        Report("painting", label + "one full repaint of the list alone", repaintMs, "ms");
        Report("painting", label + "per entry, list hidden", hiddenMs / count, "ms");
        Report("painting", label + "repaint share (visible vs hidden)", 100.0 * (visibleMs - hiddenMs) / visibleMs, "%");
        Report("painting", label + "repaint share (repaints timed alone)", 100.0 * repaintMs * count / visibleMs, "%");
    }

    CloseToolWindow(bench);
}
