// The viewport: a polyhedron of an opened model in 3D among the model's other objects, faded
// (ModelView; drag to turn, wheel to zoom); a polyhedron of the generated scene, which has no
// shape, as a map of cells, one a face.
#include "Sandbox.h"

#include <windowsx.h>

#include <algorithm>
#include <cmath>

namespace sandbox {

const char VIEWPORT_CLASS[] = "ZvkSandboxViewport";

namespace {

void OnDrag(HWND window, Camera& camera, POINT at)
{
    ViewAngles& angles = camera.angles;
    angles.yaw += (at.x - camera.last.x) * 0.01;
    angles.pitch = std::max(-1.55, std::min(1.55, angles.pitch + (at.y - camera.last.y) * 0.01));
    camera.last = at;
    InvalidateRect(window, NULL, FALSE);
}

void OnWheel(HWND window, Camera& camera, int delta)
{
    ViewAngles& angles = camera.angles;
    angles.zoom = std::max(0.1, std::min(40.0, angles.zoom * std::pow(1.2, delta / (double)WHEEL_DELTA)));
    InvalidateRect(window, NULL, FALSE);
}

} // namespace

static void DrawViewportText(HDC dc, int x, int y, const std::string& text, COLORREF colour, HFONT font)
{
    HGDIOBJ old = SelectObject(dc, font);
    SetTextColor(dc, colour);
    SetBkMode(dc, TRANSPARENT);
    TextOutA(dc, x, y, text.c_str(), (int)text.size());
    SelectObject(dc, old);
}

static void DrawFaceMap(HDC dc, const RECT& area, ZvkHandle polyhedron)
{
    int faces = zvktFaceCount(polyhedron);
    int slots = zvktSlotCount(polyhedron);
    int width = area.right - area.left, height = area.bottom - area.top;
    if (faces <= 0 || width <= 0 || height <= 0)
        return;
    int size = 2;
    for (int s = 48; s > 2; --s)
    {
        int columns = width / s;
        if (columns > 0 && ((faces + columns - 1) / columns) * s <= height)
        {
            size = s;
            break;
        }
    }
    int columns = std::max(1, width / size);
    std::vector<COLORREF> colours(slots);
    for (int m = 0; m < slots; ++m)
    {
        ZvktMaterial material;
        zvktGetSlot(polyhedron, m, &material);
        colours[m] = ToColorRef(material.colour);
    }
    int gap = size >= 5 ? 1 : 0;
    HBRUSH selectedFrame = CreateSolidBrush(RGB(255, 255, 255));
    for (int f = 0; f < faces; ++f)
    {
        int x = area.left + (f % columns) * size, y = area.top + (f / columns) * size;
        if (y >= area.bottom)
            break;
        int m = zvktFaceMaterialIndex(polyhedron, f);
        RECT cell = { x, y, x + size - gap, y + size - gap };
        FillSolid(dc, cell, m >= 0 && m < slots ? colours[m] : RGB(255, 0, 255));
        if (zvktIsFaceSelected(polyhedron, f))
        {
            // Small cells turn white; larger ones get a white frame and a black one inside it.
            if (size < 8)
                FillRect(dc, &cell, selectedFrame);
            else
            {
                FrameRect(dc, &cell, selectedFrame);
                RECT inner = { cell.left + 1, cell.top + 1, cell.right - 1, cell.bottom - 1 };
                FrameRect(dc, &inner, (HBRUSH)GetStockObject(BLACK_BRUSH));
            }
        }
    }
    DeleteObject(selectedFrame);
}

static void DrawBackground(HDC dc, const RECT& client)
{
    FillSolid(dc, client, VIEW_BACKGROUND);
    HPEN grid = CreatePen(PS_SOLID, 1, RGB(70, 75, 84));
    HGDIOBJ oldPen = SelectObject(dc, grid);
    for (int x = 0; x < client.right; x += 32)
    {
        MoveToEx(dc, x, 0, NULL);
        LineTo(dc, x, client.bottom);
    }
    for (int y = 0; y < client.bottom; y += 32)
    {
        MoveToEx(dc, 0, y, NULL);
        LineTo(dc, client.right, y);
    }
    SelectObject(dc, oldPen);
    DeleteObject(grid);
}

static void PaintViewport(Host& host, HWND window, HDC target)
{
    RECT client;
    GetClientRect(window, &client);
    HDC dc = CreateCompatibleDC(target);
    HBITMAP bitmap = CreateCompatibleBitmap(target, client.right, client.bottom);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    DrawBackground(dc, client);

    const SceneObject* object = FindObject(host, host.selection);
    std::string caption;
    if (!object)
        caption = "Nothing selected: choose an object in the Scene list.";
    else if (!IsPolyhedron(object->handle))
        caption = Format("%s is not a polyhedron (type %d).", object->name.c_str(), zvktObjectType(object->handle));
    else
    {
        int faces = zvktFaceCount(object->handle);
        caption = Format("%s: %s faces, %d materials, %s selected", object->name.c_str(), Thousands(faces).c_str(),
                         zvktSlotCount(object->handle), Thousands(zvktSelectedFaceCount(object->handle)).c_str());
        if (faces == 0)
            caption += " (no faces)";
    }
    const ModelObject* shape = object ? ModelObjectOf(host, object->handle) : NULL;
    if (shape && host.camera.model != host.modelPath)
    {
        host.camera = Camera();
        host.camera.model = host.modelPath;
    }
    // The captions at the bottom, where the tool window (opened at 100, 100) does not hide them.
    const char* legend = shape ? "Drag to turn, wheel to zoom; faces selected in the host tinted and outlined, invisible ones hatched"
                               : "Face map: a cell a face, in its material's colour; selected faces in white";
    DrawViewportText(dc, 10, client.bottom - 40, legend, RGB(150, 156, 166), host.font);
    DrawViewportText(dc, 10, client.bottom - 22, caption, RGB(235, 238, 242), host.boldFont);
    RECT area = { 10, 10, client.right - 10, client.bottom - 50 };
    if (shape)
    {
        // Clear of the tool window, which opens over the viewport's left part.
        if (area.right - area.left > 480)
            area.left += 200;
        DrawModel(dc, area, host.model, host.modelPolyhedra, object->handle, host.camera.angles);
    }
    else if (object && IsPolyhedron(object->handle))
        DrawFaceMap(dc, area, object->handle);

    BitBlt(target, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

LRESULT CALLBACK ViewportProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Host* host = HostOf(GetParent(window));
    if (host == NULL)
        return DefWindowProcA(window, message, wParam, lParam);
    Camera& camera = host->camera;
    switch (message)
    {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
    {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        PaintViewport(*host, window, dc);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_LBUTTONDOWN:
        SetFocus(window);
        SetCapture(window);
        camera.dragging = true;
        camera.last = { GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam) };
        return 0;
    case WM_MOUSEMOVE:
        if (camera.dragging && GetCapture() == window)
            OnDrag(window, camera, { GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam) });
        return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        if (camera.dragging)
        {
            camera.dragging = false;
            if (message == WM_LBUTTONUP)
                ReleaseCapture();
        }
        return 0;
    case WM_MOUSEWHEEL:
        OnWheel(window, camera, GET_WHEEL_DELTA_WPARAM(wParam));
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace sandbox
