// "Select faces of material N" from the face list's context menu on a 65534-face polyhedron
// whose material 5 covers 16384 faces, every fourth one. The command's own work (reading the
// material indices, choosing the entries and selecting them with redrawing off) is set against
// the floor measured in the same run: the same entries selected with LB_SELITEMRANGEEX or
// LB_SETSEL, redrawing off, in a list box the plug-in does not own that holds the same texts. The
// host's time is left out of the command by routing the plug-in's imports from the host through
// wrappers that add up the time inside.
// Beside it: the whole command; and, as a benchmark of its own (shiftclick), a Shift-click
// selecting as many entries, which makes one host call per entry.
#include "Bench.h"

#include "support/PluginFixture.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace {

const int FACE_COUNT = 65534;
const unsigned short MATERIAL = 5;
const int ROUNDS = 15;

bool IsOfMaterial(int face)
{
    return face % 4 == 1;
}

/////////////////////////////////////////////////////////////////////////////
// Time inside the host

double g_hostSeconds = 0;

// One wrapper per host function (Tag tells apart functions of one signature).
template <int Tag, class R, class... A>
struct HostCall
{
    static R(__cdecl* s_pfnHost)(A...);
    static R __cdecl Timed(A... args)
    {
        double start = Now();
        if constexpr (std::is_void<R>::value)
        {
            s_pfnHost(args...);
            g_hostSeconds += Now() - start;
        }
        else
        {
            R result = s_pfnHost(args...);
            g_hostSeconds += Now() - start;
            return result;
        }
    }
};
template <int Tag, class R, class... A>
R(__cdecl* HostCall<Tag, R, A...>::s_pfnHost)(A...) = NULL;

std::vector<std::pair<const char*, void*>> g_routed;

template <int Tag, class R, class... A>
void TimeHostCall(const char* function, R(__cdecl*)(A...))
{
    void* previous = RedirectImport(Plugin::Module(), "zvkapi.dll", function, (void*)&HostCall<Tag, R, A...>::Timed);
    if (previous == NULL)
        return;
    HostCall<Tag, R, A...>::s_pfnHost = (R(__cdecl*)(A...))previous;
    g_routed.push_back({ function, previous });
}

// Every host function the command calls.
void TimeTheHost()
{
    TimeHostCall<0>("zvkGetCurrentSelection", &zvkGetCurrentSelection);
    TimeHostCall<1>("zvkSobjGetType", &zvkSobjGetType);
    TimeHostCall<2>("zvkGNodeGetFullName", &zvkGNodeGetFullName);
    TimeHostCall<3>("zvkPolyhGetNbrFaces", &zvkPolyhGetNbrFaces);
    TimeHostCall<4>("zvkPolyhGetFaceptrArray", &zvkPolyhGetFaceptrArray);
    TimeHostCall<5>("zvkCurrobjEditToolClose", &zvkCurrobjEditToolClose);
    TimeHostCall<6>("zvkCalloc", &zvkCalloc);
    TimeHostCall<7>("zvkPolyhSelectFaces", &zvkPolyhSelectFaces);
    TimeHostCall<8>("zvkFree", &zvkFree);
    TimeHostCall<9>("zvkMaterialCreate", &zvkMaterialCreate);
    TimeHostCall<10>("zvkPolyhGetMaterial", &zvkPolyhGetMaterial);
    TimeHostCall<11>("zvkMaterialSetActive", &zvkMaterialSetActive);
    TimeHostCall<12>("zvkMaterialFixColor", &zvkMaterialFixColor);
    TimeHostCall<13>("zvkMaterialDestroy", &zvkMaterialDestroy);
    TimeHostCall<14>("zvkCurrobjRefresh", &zvkCurrobjRefresh);
    TimeHostCall<15>("zvkAllViewRefreshSelObject", &zvkAllViewRefreshSelObject);
}

void UntimeTheHost()
{
    for (const auto& routed : g_routed)
        RedirectImport(Plugin::Module(), "zvkapi.dll", routed.first, routed.second);
    g_routed.clear();
}

/////////////////////////////////////////////////////////////////////////////
// The tool window

std::vector<int> FacesOfMaterial()
{
    std::vector<int> faces;
    for (int face = 0; face < FACE_COUNT; ++face)
        if (IsOfMaterial(face))
            faces.push_back(face);
    return faces;
}

LPARAM EntryCentre(const BenchWindow& bench, int index)
{
    POINT centre = ::EntryCentre(bench.list, index);
    return MAKELPARAM(centre.x, centre.y);
}

// A right click on the entry opens the menu, which the queued Esc closes again: the command
// that follows works on that entry, as when it is chosen from the menu.
void OpenAndCloseMenuOn(const BenchWindow& bench, int index)
{
    PostKey(bench.list, VK_ESCAPE);
    SendMessageA(bench.list, WM_RBUTTONDOWN, MK_RBUTTON, EntryCentre(bench, index));
    SendMessageA(bench.list, WM_RBUTTONUP, 0, EntryCentre(bench, index));
    PumpMessages();
}

// The list as loading leaves it: entry 0 selected and current, in view.
void ResetSelection(HWND list)
{
    SendMessageA(list, LB_SETSEL, FALSE, -1);
    SendMessageA(list, LB_SETSEL, TRUE, 0);
    SendMessageA(list, LB_SETCARETINDEX, 0, FALSE);
    SendMessageA(list, LB_SETTOPINDEX, 0, 0);
    PumpMessages();
}

// The floor's list holds the face list's texts.
bool CopyEntries(const BenchWindow& bench, HWND plainList)
{
    int count = (int)SendMessageA(bench.list, LB_GETCOUNT, 0, 0);
    char text[64];
    SendMessageA(plainList, WM_SETREDRAW, FALSE, 0);
    for (int i = 0; i < count; ++i)
    {
        if (SendMessageA(bench.list, LB_GETTEXTLEN, i, 0) >= (LRESULT)sizeof text)
            return false;
        SendMessageA(bench.list, LB_GETTEXT, i, (LPARAM)text);
        SendMessageA(plainList, LB_ADDSTRING, 0, (LPARAM)text);
    }
    SendMessageA(plainList, WM_SETREDRAW, TRUE, 0);
    return (int)SendMessageA(plainList, LB_GETCOUNT, 0, 0) == count;
}

void ChooseSelectMaterial(const BenchWindow& bench)
{
    SendMessageA(bench.window, WM_COMMAND, ID_SELECT_MATERIAL, 0);
}

// The floor: the same entries selected in the plain list, redrawing off.
void SelectEntriesDirectly(HWND list, const std::vector<int>& entries, UINT message)
{
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_SETSEL, FALSE, -1);
    for (int entry : entries)
    {
        if (message == LB_SETSEL)
            SendMessageA(list, LB_SETSEL, TRUE, entry);
        else
            SendMessageA(list, LB_SELITEMRANGEEX, entry, entry);
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
}

void ShiftClickEntry(const BenchWindow& bench, int index)
{
    SendMessageA(bench.list, LB_SETTOPINDEX, index, 0);
    SendMessageA(bench.list, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, EntryCentre(bench, index));
    SendMessageA(bench.list, WM_LBUTTONUP, MK_SHIFT, EntryCentre(bench, index));
}


std::vector<unsigned short> Materials()
{
    std::vector<unsigned short> materials(FACE_COUNT, 0);
    for (int face = 0; face < FACE_COUNT; ++face)
        if (IsOfMaterial(face))
            materials[face] = MATERIAL;
    return materials;
}

std::string Label(int chosenCount)
{
    return std::to_string(chosenCount) + " of " + std::to_string(FACE_COUNT) + ": ";
}

} // namespace

BENCH(findbymaterial)
{
    const std::vector<unsigned short> materials = Materials();
    BenchWindow bench;
    HWND plainList = NULL;
    if (!OpenToolWindowOn(bench, FACE_COUNT, materials.data()) || !LoadFaceList(bench, FACE_COUNT)
        || (plainList = OpenPlainList(bench)) == NULL || !CopyEntries(bench, plainList))
    {
        fprintf(stderr, "findbymaterial: no tool window, or a list is incomplete\n");
        return;
    }
    const std::vector<int> chosen = FacesOfMaterial();
    const int chosenCount = (int)chosen.size();

    // Opening greys the paint-state items from the list's record of its coloured entries: no
    // entry is read, however long the list.
    ResetSelection(bench.list);
    double menuMs = MedianMs(5, nullptr, [&] { OpenAndCloseMenuOn(bench, 1); });
    TimeTheHost();
    std::vector<double> ownMs, wholeMs, rangeMs, setSelMs, ratios;
    for (int round = 0; round < ROUNDS; ++round)
    {
        ResetSelection(bench.list);
        g_hostSeconds = 0;
        double start = Now();
        ChooseSelectMaterial(bench);
        double whole = Now() - start;
        if ((int)SendMessageA(bench.list, LB_GETSELCOUNT, 0, 0) != chosenCount)
            fprintf(stderr, "findbymaterial: %d entries selected instead of %d\n",
                    (int)SendMessageA(bench.list, LB_GETSELCOUNT, 0, 0), chosenCount);
        wholeMs.push_back(whole * 1000.0);
        ownMs.push_back((whole - g_hostSeconds) * 1000.0);

        ResetSelection(plainList);
        start = Now();
        SelectEntriesDirectly(plainList, chosen, LB_SELITEMRANGEEX);
        rangeMs.push_back((Now() - start) * 1000.0);

        ResetSelection(plainList);
        start = Now();
        SelectEntriesDirectly(plainList, chosen, LB_SETSEL);
        setSelMs.push_back((Now() - start) * 1000.0);

        double floor = rangeMs.back() < setSelMs.back() ? rangeMs.back() : setSelMs.back();
        ratios.push_back(ownMs.back() / floor);
    }
    UntimeTheHost();

    std::string label = Label(chosenCount);
    Report("findbymaterial", label + "command without host calls (median)", Median(ownMs), "ms");
    Report("findbymaterial", label + "floor, LB_SELITEMRANGEEX (median)", Median(rangeMs), "ms");
    Report("findbymaterial", label + "floor, LB_SETSEL (median)", Median(setSelMs), "ms");
    Report("findbymaterial", label + "command / lower floor (median)", Median(ratios), "x");
    Report("findbymaterial", label + "whole command, one host call (median)", Median(wholeMs), "ms");
    Report("findbymaterial", label + "menu opened and closed (median)", menuMs, "ms");

    ClosePlainList(plainList);
    CloseToolWindow(bench);
}

// The existing path for as many entries: a Shift-click, one host call per entry. One run, of a
// minute or two: a benchmark of its own, so that the command's can be repeated without it.
BENCH(shiftclick)
{
    const std::vector<unsigned short> materials = Materials();
    BenchWindow bench;
    if (!OpenToolWindowOn(bench, FACE_COUNT, materials.data()) || !LoadFaceList(bench, FACE_COUNT))
    {
        fprintf(stderr, "shiftclick: no tool window or the list is incomplete\n");
        return;
    }
    const int chosenCount = (int)FacesOfMaterial().size();
    ResetSelection(bench.list);
    double start = Now();
    ShiftClickEntry(bench, chosenCount - 1);
    double shiftClick = Now() - start;
    if ((int)SendMessageA(bench.list, LB_GETSELCOUNT, 0, 0) != chosenCount)
        fprintf(stderr, "shiftclick: %d entries selected\n", (int)SendMessageA(bench.list, LB_GETSELCOUNT, 0, 0));
    Report("shiftclick", Label(chosenCount) + "Shift-click, one host call per entry", shiftClick * 1000.0, "ms");
    CloseToolWindow(bench);
}
