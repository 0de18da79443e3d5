// Following Modelvane on a 65534-face polyhedron: a tick of its timer when nothing changed, against
// a bare pass over the same face records with the selection, type, name, face count and face array
// asked as the tick asks them; a tick after the host changed 100 faces, against the same floor and
// one repaint of a list the plug-in does not own; and the share of a CPU that following an idle
// polyhedron takes, from the idle tick and the timer's period, and measured over seconds of an
// idle message loop. The changed tick is also set against the pass and a repaint of the face list
// itself, whose entries the list draws one by one.
#include "Bench.h"

#include "support/PluginFixture.h"

#include <cstdio>
#include <vector>

namespace {

const int FACE_COUNT = 65534;
const int ROUNDS = 31;
const int CHANGED = 100;
const double PERIOD_MS = 333;
volatile unsigned g_sink = 0;

void BarePass(ZvkHandle)
{
    ZvkHandle selection = zvkGetCurrentSelection();
    char name[ZVK_NAME_BUFFER_SIZE];
    g_sink += zvkSobjGetType(selection);
    zvkGNodeGetFullName(selection, 0, name, sizeof name);
    int count = zvkPolyhGetNbrFaces(selection);
    ZvkFace** faces = zvkPolyhGetFaceptrArray(selection);
    unsigned sum = name[0];
    for (int face = 0; face < count; ++face)
        sum += zvkFaceMaterialIndex(faces[face]);
    g_sink += sum;
}

// What the host does when the user gives a face another slot; the journal stays off.
void HostGivesFaceSlot(ZvkHandle polyhedron, int face, int slot)
{
    PaintInHost(polyhedron, face, slot);
    zvktSetJournalEnabled(0);
}

double TickMs(const BenchWindow& bench)
{
    double start = Now();
    SendMessageA(bench.window, WM_TIMER, ZVK_FOLLOW_TIMER, 0);
    return (Now() - start) * 1000.0;
}

double ProcessCpuMs()
{
    FILETIME created, ended, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
    auto ms = [](const FILETIME& t) { return (((unsigned long long)t.dwHighDateTime << 32) | t.dwLowDateTime) / 10000.0; };
    return ms(kernel) + ms(user);
}

} // namespace

BENCH(follow)
{
    std::vector<unsigned short> materials(FACE_COUNT);
    for (int face = 0; face < FACE_COUNT; ++face)
        materials[face] = (unsigned short)(face % 8);
    BenchWindow bench;
    HWND plain = NULL;
    if (!OpenToolWindowOn(bench, FACE_COUNT, materials.data(), 8) || !LoadFaceList(bench, FACE_COUNT)
        || (plain = OpenPlainList(bench)) == NULL)
    {
        fprintf(stderr, "follow: no tool window, an incomplete list or no plain list\n");
        return;
    }
    ZvkHandle polyhedron = zvkGetCurrentSelection();
    SendMessageA(bench.window, WM_COMMAND, ID_FOLLOW_HOST, 0);
    TickMs(bench);

    std::vector<double> idle, floor, changed, changedFloor, listRepaint, idleRatio, changedRatio;
    // Idle ticks one after another, as following makes them while nothing changes; each round
    // the tick and the floor take turns going first.
    double start = 0;
    auto timeFloor = [&] {
        start = Now();
        BarePass(polyhedron);
        floor.push_back((Now() - start) * 1000.0);
    };
    for (int round = 0; round < ROUNDS; ++round)
    {
        if (round % 2)
            timeFloor();
        idle.push_back(TickMs(bench));
        if (round % 2 == 0)
            timeFloor();
        idleRatio.push_back(idle.back() / floor.back());
    }
    // Ticks after the host changed 100 faces (untimed, through the host).
    auto timeChangedFloor = [&] {
        start = Now();
        BarePass(polyhedron);
        RedrawWindow(plain, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        changedFloor.push_back((Now() - start) * 1000.0);
    };
    for (int round = 0; round < ROUNDS; ++round)
    {
        for (int i = 0; i < CHANGED; ++i)
        {
            int face = (i * 641 + round * 7) % FACE_COUNT;
            HostGivesFaceSlot(polyhedron, face, (zvktFaceMaterialIndex(polyhedron, face) + 1) % 8);
        }
        BarePass(polyhedron);
        if (round % 2)
            timeChangedFloor();
        changed.push_back(TickMs(bench));
        if (round % 2 == 0)
            timeChangedFloor();
        changedRatio.push_back(changed.back() / changedFloor.back());
        start = Now();
        RedrawWindow(bench.list, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        listRepaint.push_back((Now() - start) * 1000.0);
    }

    // The timer's message with following off: its dispatch through the window alone.
    SendMessageA(bench.window, WM_COMMAND, ID_FOLLOW_HOST, 0);
    std::vector<double> dispatch;
    for (int round = 0; round < ROUNDS; ++round)
        dispatch.push_back(TickMs(bench));
    SendMessageA(bench.window, WM_COMMAND, ID_FOLLOW_HOST, 0);

    // Seconds of an idle message loop with the timer running.
    const DWORD SECONDS = 5;
    double cpuBefore = ProcessCpuMs();
    DWORD end = GetTickCount() + SECONDS * 1000;
    MSG msg;
    while ((int)(end - GetTickCount()) > 0)
    {
        MsgWaitForMultipleObjects(0, NULL, FALSE, end - GetTickCount(), QS_ALLINPUT);
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }
    double cpuShare = (ProcessCpuMs() - cpuBefore) / (SECONDS * 1000.0) * 100.0;

    SendMessageA(bench.window, WM_COMMAND, ID_FOLLOW_HOST, 0);
    ClosePlainList(plain);

    Report("follow", "an idle tick on 65,534 faces (median)", Median(idle), "ms");
    Report("follow", "floor: a bare pass with the same questions (median)", Median(floor), "ms");
    Report("follow", "idle tick / floor (median of rounds)", Median(idleRatio), "x");
    Report("follow", "the timer's message with following off (median)", Median(dispatch), "ms");
    Report("follow", "idle tick less that dispatch / floor", (Median(idle) - Median(dispatch)) / Median(floor), "x");
    Report("follow", "a tick after the host changed 100 faces (median)", Median(changed), "ms");
    Report("follow", "floor: the pass and one repaint of a plain list (median)", Median(changedFloor), "ms");
    Report("follow", "changed tick / floor (median of rounds)", Median(changedRatio), "x");
    // The face list draws its visible entries itself (DrawItem), which the plain list's repaint
    // leaves out: the same floor with the face list's own repaint instead.
    Report("follow", "one repaint of the face list itself (median)", Median(listRepaint), "ms");
    Report("follow", "changed tick / (pass + the face list's repaint)", Median(changed) / (Median(floor) + Median(listRepaint)), "x");
    Report("follow", "CPU share from the idle tick and the period", Median(idle) / PERIOD_MS * 100.0, "%");
    Report("follow", "CPU share measured over 5 s of an idle message loop", cpuShare, "%");

    CloseToolWindow(bench);
}
