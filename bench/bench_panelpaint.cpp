// The materials panel's "Replace" and "Assign" on a 65534-face polyhedron, in two parts of a press:
// the fixed part, a press that paints 1 face; and the part per face, (the press on 16,384 faces -
// the press on 1,024) / 15,360. The floor's part per face is taken the same way from bare
// zvkPolyhPaintFace calls on the same faces, each with the material of the slot the face has (so
// that the host changes nothing). The fixed part is set beside a "Paint face" press with the panel
// open. Materials 0, 1 and 2 have 16,384, 1,024 and 1 faces, material 3 the rest.

#include "Bench.h"

#include "support/PluginFixture.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

const int FACE_COUNT = 65534;
const int MATERIALS = 4;
const int ROUNDS = 11;
const ZvkColor EDITOR_COLOUR = { 10, 20, 30, 255 };

double CommandMs(HWND window, UINT command)
{
    double start = Now();
    SendMessageA(window, WM_COMMAND, command, 0);
    return (Now() - start) * 1000.0;
}

void CurrentRow(HWND panel, int row)
{
    HWND rows = GetDlgItem(panel, IDC_MATERIALS_LIST);
    SendMessageA(rows, LB_SETCURSEL, row, 0);
    SendMessageA(panel, WM_COMMAND, MAKEWPARAM(IDC_MATERIALS_LIST, LBN_SELCHANGE), (LPARAM)rows);
}

bool FacesRead(ZvkHandle polyhedron, const std::vector<int>& faces, int index)
{
    for (int face : faces)
        if (zvktFaceMaterialIndex(polyhedron, face) != index)
            return false;
    return true;
}

} // namespace

BENCH(panelpaint)
{
    const int COUNTS[] = { 16384, 1024, 1 };
    std::vector<unsigned short> materials(FACE_COUNT, 3);
    std::vector<std::vector<int>> facesOf(3);
    for (int face = 0; face < FACE_COUNT; ++face)
    {
        int material = face % 4 == 0 ? 0 : face % 64 == 1 ? 1 : face == 2 ? 2 : 3;
        if (material < 3 && (int)facesOf[material].size() < COUNTS[material])
        {
            materials[face] = (unsigned short)material;
            facesOf[material].push_back(face);
        }
    }
    BenchWindow bench;
    if (!OpenToolWindowOn(bench, FACE_COUNT, materials.data(), MATERIALS) || !LoadFaceList(bench, FACE_COUNT))
    {
        fprintf(stderr, "panelpaint: no tool window or the list is incomplete\n");
        return;
    }
    ZvkHandle polyhedron = zvkGetCurrentSelection();
    ZvktMaterial editor = {};
    zvktGetEditorMaterial(&editor);
    editor.colour = EDITOR_COLOUR;
    zvktSetEditorMaterial(&editor);
    SendMessageA(bench.window, WM_COMMAND, ID_MATERIALS, 0);
    HWND panel = FindMaterialsPanel();
    std::vector<ZvkHandle> slots(MATERIALS);
    for (int slot = 0; slot < MATERIALS; ++slot)
    {
        zvkMaterialCreate(&slots[slot]);
        zvkPolyhGetMaterial(polyhedron, (unsigned short)slot, slots[slot]);
    }
    if (panel == NULL || slots[0] == NULL)
    {
        fprintf(stderr, "panelpaint: no materials panel\n");
        return;
    }

    // Each press undone afterwards (untimed); the rows are in index order, one per material.
    std::vector<double> replaceMs(3), assignMs(3), floorMs(3);
    for (int m = 0; m < 3; ++m)
    {
        std::vector<double> replace, assign, floor;
        SendMessageA(bench.list, LB_SETSEL, FALSE, -1);
        for (int round = 0; round < ROUNDS; ++round)
        {
            CurrentRow(panel, m);
            replace.push_back(CommandMs(panel, IDC_REPLACE));
            if (FacesRead(polyhedron, facesOf[m], m))
                fprintf(stderr, "panelpaint: Replace painted nothing\n");
            SendMessageA(bench.window, WM_COMMAND, ID_UNDO_PAINT, 0);
            if (!FacesRead(polyhedron, facesOf[m], m))
                fprintf(stderr, "panelpaint: the undo of Replace did not bring the faces back\n");
        }
        // "Assign" of matID 3 to the entries of matID m, selected.
        for (int face : facesOf[m])
            SendMessageA(bench.list, LB_SELITEMRANGEEX, face, face);
        for (int round = 0; round < ROUNDS; ++round)
        {
            CurrentRow(panel, 3);
            assign.push_back(CommandMs(panel, IDC_ASSIGN));
            if (!FacesRead(polyhedron, facesOf[m], 3))
                fprintf(stderr, "panelpaint: Assign did not paint every face\n");
            SendMessageA(bench.window, WM_COMMAND, ID_UNDO_PAINT, 0);
        }
        for (int round = 0; round < ROUNDS; ++round)
        {
            double start = Now();
            for (int face : facesOf[m])
                zvkPolyhPaintFace(polyhedron, (unsigned short)face, slots[m], 1);
            floor.push_back((Now() - start) * 1000.0);
        }
        replaceMs[m] = Median(replace);
        assignMs[m] = Median(assign);
        floorMs[m] = Median(floor);
    }

    // "Paint face" on one entry with the panel open, undone afterwards (untimed).
    SendMessageA(bench.list, LB_SETSEL, FALSE, -1);
    SendMessageA(bench.list, LB_SETSEL, TRUE, facesOf[2][0]);
    SendMessageA(bench.list, LB_SETCARETINDEX, facesOf[2][0], 0);
    EnableWindow(GetDlgItem(bench.window, IDC_PAINT_FACE), TRUE);
    std::vector<double> paintFace;
    for (int round = 0; round < ROUNDS; ++round)
    {
        paintFace.push_back(CommandMs(bench.window, MAKEWPARAM(IDC_PAINT_FACE, BN_CLICKED)));
        SendMessageA(bench.window, WM_COMMAND, ID_UNDO_PAINT, 0);
    }
    // The item data of 16,384 entries of a list the plug-in does not own, set one by one: what
    // showing each painted entry's colour in the face list's own store costs at the least.
    HWND plain = OpenPlainList(bench);
    std::vector<double> itemData;
    for (int i = 0; plain != NULL && i < COUNTS[0]; ++i)
        SendMessageA(plain, LB_ADDSTRING, 0, (LPARAM)"0 | 0");
    for (int round = 0; plain != NULL && round < ROUNDS; ++round)
    {
        double start = Now();
        for (int i = 0; i < COUNTS[0]; ++i)
            SendMessageA(plain, LB_SETITEMDATA, i, (LPARAM)(round % 2 ? CLR_PAINTED : 0));
        itemData.push_back((Now() - start) * 1e9 / COUNTS[0]);
    }
    ClosePlainList(plain);
    for (ZvkHandle slot : slots)
    {
        zvkMaterialDestroy(slot);
        zvkFree(slot);
    }

    const double spread = COUNTS[0] - COUNTS[1];
    const double floorPerFace = (floorMs[0] - floorMs[1]) / spread * 1e6;
    const double replacePerFace = (replaceMs[0] - replaceMs[1]) / spread * 1e6;
    const double assignPerFace = (assignMs[0] - assignMs[1]) / spread * 1e6;
    Report("panelpaint", "Replace of 16,384 / 1,024 / 1 faces (medians)", replaceMs[0], "ms");
    Report("panelpaint", "  of 1,024", replaceMs[1], "ms");
    Report("panelpaint", "Replace: fixed part, a press on 1 face", replaceMs[2], "ms");
    Report("panelpaint", "Replace: per face", replacePerFace, "ns");
    Report("panelpaint", "Assign of 16,384 selected entries (median)", assignMs[0], "ms");
    Report("panelpaint", "  of 1,024", assignMs[1], "ms");
    Report("panelpaint", "Assign: fixed part, a press on 1 face", assignMs[2], "ms");
    Report("panelpaint", "Assign: per face", assignPerFace, "ns");
    Report("panelpaint", "floor: bare paints per face", floorPerFace, "ns");
    Report("panelpaint", "Replace per face / floor per face", replacePerFace / floorPerFace, "x");
    if (!itemData.empty())
        Report("panelpaint", "LB_SETITEMDATA on a plain list, per entry (median)", Median(itemData), "ns");
    Report("panelpaint", "Assign per face / floor per face", assignPerFace / floorPerFace, "x");
    Report("panelpaint", "Paint face with the panel open (median)", Median(paintFace), "ms");
    Report("panelpaint", "Replace fixed part / Paint face", replaceMs[2] / Median(paintFace), "x");
    Report("panelpaint", "Assign fixed part / Paint face", assignMs[2] / Median(paintFace), "x");

    CloseToolWindow(bench);
}
