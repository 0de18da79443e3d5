// The sandbox host's 3D view on real models: one frame of the viewport (every object of the model
// in painter's order, the biggest selected with a few faces selected in the host), drawn into a
// back buffer of the viewport's size in the README's screenshot, the model turned a little
// between frames as a drag turns it.
#include "Bench.h"

#include "ModelView.h"
#include "SceneModel.h"
#include "zvktest.h"

#include <cstdio>
#include <fstream>

namespace {

const int VIEW_WIDTH = 620, VIEW_HEIGHT = 540;
const int FRAMES = 21;

// A grid of two triangles a cell in one object: more faces than the plug-in lists.
std::string WriteBigGrid(int cells)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string path = std::string(temp) + "zvkbench-grid.obj";
    std::ofstream obj(path.c_str(), std::ios::binary);
    obj << "g Big grid\n";
    for (int y = 0; y <= 1; ++y)
        for (int x = 0; x <= cells; ++x)
            obj << "v " << x << " " << y * 40 << " " << (x % 7) << "\n";
    for (int x = 1; x <= cells; ++x)
    {
        int top = cells + 1 + x;
        obj << "f " << x << " " << x + 1 << " " << top + 1 << "\n";
        obj << "f " << x << " " << top + 1 << " " << top << "\n";
    }
    return path;
}

int BiggestObject(const Model& model)
{
    int biggest = 0;
    for (int i = 0; i < (int)model.objects.size(); ++i)
        if (model.objects[i].FaceCount() > model.objects[biggest].FaceCount())
            biggest = i;
    return biggest;
}

} // namespace

BENCH(sandboxview)
{
    std::string grid = WriteBigGrid(35000);
    const std::string models[] = { ZVK_TEST_MODELS "/OBJ/spider.obj", ZVK_TEST_MODELS "/OBJ/regr01.obj",
                                   ZVK_TEST_MODELS "/OBJ/WusonOBJ.obj", grid };
    HDC screen = GetDC(NULL);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, VIEW_WIDTH, VIEW_HEIGHT);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    for (const std::string& path : models)
    {
        Model model;
        std::vector<ZvkHandle> polyhedra;
        std::string error;
        if (!LoadModelIntoHost(path, model, polyhedra, error))
        {
            fprintf(stderr, "sandboxview: %s\n", error.c_str());
            continue;
        }
        zvktSetJournalEnabled(0);
        ZvkHandle selected = polyhedra[BiggestObject(model)];
        const unsigned int picked[] = { 0, 1, 2, 3, 4, 5, 6, 7, 8, 9 };
        zvkPolyhSelectFaces(selected, 10, picked);
        int faces = 0;
        for (const ModelObject& object : model.objects)
            faces += object.FaceCount();

        ViewAngles angles;
        RECT area = { 0, 0, VIEW_WIDTH, VIEW_HEIGHT };
        double frame = MedianMs(FRAMES, [&] { angles.yaw += 0.05; }, [&] {
            FillRect(dc, &area, (HBRUSH)GetStockObject(BLACK_BRUSH));
            DrawModel(dc, area, model, polyhedra, selected, angles);
            GdiFlush();
        });
        std::string name = path.substr(path.find_last_of("\\/") + 1);
        Report("sandboxview", name + " (" + std::to_string(faces) + " faces), one frame", frame, "ms");
    }
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(NULL, screen);
    DeleteFileA(grid.c_str());
}
