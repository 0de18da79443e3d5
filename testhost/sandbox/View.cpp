// The viewport: a polyhedron of an opened model in 3D among the model's others, faded (flat-shaded
// faces in their materials' colours, one light, painter's order, drag to turn, wheel to zoom); a polyhedron of the generated
// scene, which has no shape, as a map of cells, one a face.
#include "Sandbox.h"

#include <windowsx.h>

#include <algorithm>
#include <cmath>

namespace sandbox {

const char VIEWPORT_CLASS[] = "ZvkSandboxViewport";

namespace {

const COLORREF BACKGROUND = RGB(58, 62, 70);
const COLORREF SELECTION_TINT = RGB(255, 196, 0);

struct Camera
{
    double yaw = 0.6, pitch = 0.35;   // radians: a three-quarter view to start with
    double zoom = 1.0;
    std::string model;                // another model starts from the default view
    bool dragging = false;
    POINT last = { 0, 0 };
};

Camera g_camera;

struct Vec
{
    double x, y, z;
};

Vec Minus(const Vec& a, const Vec& b) { return { a.x - b.x, a.y - b.y, a.z - b.z }; }
double Dot(const Vec& a, const Vec& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

COLORREF Shade(COLORREF colour, double light)
{
    return RGB((int)std::min(255.0, GetRValue(colour) * light), (int)std::min(255.0, GetGValue(colour) * light),
               (int)std::min(255.0, GetBValue(colour) * light));
}

struct ViewTransform
{
    Vec centre;
    double radius;
    double cy, sy, cp, sp;

    Vec Apply(const ModelPosition& p) const
    {
        Vec v = { p.x - centre.x, p.y - centre.y, p.z - centre.z };
        Vec turned = { v.x * cy + v.z * sy, v.y, -v.x * sy + v.z * cy };
        return { turned.x, turned.y * cp - turned.z * sp, turned.y * sp + turned.z * cp };
    }
};

// The camera turned about the centre of the whole model, so that the selected object is seen
// where it sits among the others.
ViewTransform ModelTransform()
{
    Vec low = { 1e300, 1e300, 1e300 }, high = { -1e300, -1e300, -1e300 };
    for (const ModelObject& object : g_model.objects)
        for (int index : object.corners)
        {
            const ModelPosition& p = g_model.positions[index];
            low = { std::min(low.x, (double)p.x), std::min(low.y, (double)p.y), std::min(low.z, (double)p.z) };
            high = { std::max(high.x, (double)p.x), std::max(high.y, (double)p.y), std::max(high.z, (double)p.z) };
        }
    ViewTransform transform;
    transform.centre = { (low.x + high.x) / 2, (low.y + high.y) / 2, (low.z + high.z) / 2 };
    Vec half = Minus(high, transform.centre);
    transform.radius = std::max(1e-9, std::sqrt(Dot(half, half)));
    transform.cy = std::cos(g_camera.yaw);
    transform.sy = std::sin(g_camera.yaw);
    transform.cp = std::cos(g_camera.pitch);
    transform.sp = std::sin(g_camera.pitch);
    return transform;
}

// Newell's normal, sound for any flat or nearly flat polygon.
Vec FaceNormal(const std::vector<Vec>& view, int first, int count)
{
    Vec n = { 0, 0, 0 };
    for (int i = 0; i < count; ++i)
    {
        const Vec& a = view[first + i];
        const Vec& b = view[first + (i + 1) % count];
        n.x += (a.y - b.y) * (a.z + b.z);
        n.y += (a.z - b.z) * (a.x + b.x);
        n.z += (a.x - b.x) * (a.y + b.y);
    }
    double length = std::sqrt(Dot(n, n));
    return length > 0 ? Vec{ n.x / length, n.y / length, n.z / length } : Vec{ 0, 0, 1 };
}

void DrawFace(HDC dc, const POINT* points, int count, COLORREF fill, int alpha, bool selected)
{
    if (selected)
        fill = Blend(SELECTION_TINT, fill, 150);
    if (alpha == 0)
    {
        // An invisible material: hatched, so that its faces can still be found and picked.
        HBRUSH hatch = CreateHatchBrush(HS_DIAGCROSS, fill);
        HGDIOBJ old = SelectObject(dc, hatch);
        SetDCPenColor(dc, selected ? RGB(255, 255, 255) : fill);
        Polygon(dc, points, count);
        SelectObject(dc, old);
        DeleteObject(hatch);
        return;
    }
    SetDCBrushColor(dc, fill);
    SetDCPenColor(dc, selected ? RGB(255, 255, 255) : Shade(fill, 0.78));
    Polygon(dc, points, count);
}

// One face to draw: where its corners are in the view, and what it shows.
struct ViewFace
{
    double depth;
    int first, count;   // in the corner arrays
    COLORREF colour;
    int alpha;
    bool selected;
    bool shown;         // of the selected polyhedron; the others are drawn faded
};

// Flat-shaded faces, far to near, lit by one light from the upper left behind the viewer. Both
// sides of a face are lit: models do not agree on which way their faces wind.
void DrawModel(HDC dc, const RECT& area, ZvkHandle selected)
{
    ViewTransform transform = ModelTransform();
    double scale = g_camera.zoom * 0.46 * std::min(area.right - area.left, area.bottom - area.top) / transform.radius;
    double midX = (area.left + area.right) / 2.0, midY = (area.top + area.bottom) / 2.0;
    const Vec light = { -0.42, 0.52, 0.74 };
    std::vector<Vec> view;
    std::vector<POINT> points;
    std::vector<ViewFace> faces;
    for (size_t i = 0; i < g_model.objects.size(); ++i)
    {
        const ModelObject& object = g_model.objects[i];
        ZvkHandle polyhedron = i < g_modelPolyhedra.size() ? g_modelPolyhedra[i] : NULL;
        int slots = zvktSlotCount(polyhedron);
        std::vector<ZvktMaterial> materials(slots);
        for (int m = 0; m < slots; ++m)
            zvktGetSlot(polyhedron, m, &materials[m]);
        int offset = (int)view.size();
        for (int index : object.corners)
        {
            Vec v = transform.Apply(g_model.positions[index]);
            view.push_back(v);
            points.push_back({ (LONG)std::lround(midX + v.x * scale), (LONG)std::lround(midY - v.y * scale) });
        }
        int count = std::min(object.FaceCount(), zvktFaceCount(polyhedron));
        for (int f = 0; f < count; ++f)
        {
            ViewFace face;
            face.first = offset + object.faceStarts[f];
            face.count = object.CornerCount(f);
            face.depth = 0;
            for (int c = face.first; c < face.first + face.count; ++c)
                face.depth += view[c].z;
            face.depth /= face.count;
            int m = zvktFaceMaterialIndex(polyhedron, f);
            face.colour = m >= 0 && m < slots ? ToColorRef(materials[m].colour) : RGB(255, 0, 255);
            face.alpha = m >= 0 && m < slots ? materials[m].colour.a : 255;
            face.shown = polyhedron == selected;
            face.selected = face.shown && zvktIsFaceSelected(polyhedron, f);
            double lit = 0.3 + 0.7 * std::fabs(Dot(FaceNormal(view, face.first, face.count), light));
            face.colour = Shade(face.colour, lit);
            if (!face.shown)
                face.colour = Blend(face.colour, BACKGROUND, 50);
            faces.push_back(face);
        }
    }
    std::sort(faces.begin(), faces.end(), [](const ViewFace& a, const ViewFace& b) { return a.depth < b.depth; });

    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(DC_BRUSH));
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(DC_PEN));
    SetBkMode(dc, TRANSPARENT);
    for (const ViewFace& face : faces)
        DrawFace(dc, &points[face.first], face.count, face.colour, face.alpha, face.selected);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
}

void OnDrag(HWND window, POINT at)
{
    g_camera.yaw += (at.x - g_camera.last.x) * 0.01;
    g_camera.pitch = std::max(-1.55, std::min(1.55, g_camera.pitch + (at.y - g_camera.last.y) * 0.01));
    g_camera.last = at;
    InvalidateRect(window, NULL, FALSE);
}

void OnWheel(HWND window, int delta)
{
    g_camera.zoom = std::max(0.1, std::min(40.0, g_camera.zoom * std::pow(1.2, delta / (double)WHEEL_DELTA)));
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
    FillSolid(dc, client, BACKGROUND);
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

static void PaintViewport(HWND window, HDC target)
{
    RECT client;
    GetClientRect(window, &client);
    HDC dc = CreateCompatibleDC(target);
    HBITMAP bitmap = CreateCompatibleBitmap(target, client.right, client.bottom);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    DrawBackground(dc, client);

    const SceneObject* object = FindObject(g_selection);
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
    const ModelObject* shape = object ? ModelObjectOf(object->handle) : NULL;
    if (shape && g_camera.model != g_modelPath)
    {
        g_camera = Camera();
        g_camera.model = g_modelPath;
    }
    // The captions at the bottom, where the tool window (opened at 100, 100) does not hide them.
    const char* legend = shape ? "Drag to turn, wheel to zoom; faces selected in the host tinted and outlined, invisible ones hatched"
                               : "Face map: a cell a face, in its material's colour; selected faces in white";
    DrawViewportText(dc, 10, client.bottom - 40, legend, RGB(150, 156, 166), g_font);
    DrawViewportText(dc, 10, client.bottom - 22, caption, RGB(235, 238, 242), g_boldFont);
    RECT area = { 10, 10, client.right - 10, client.bottom - 50 };
    if (shape)
    {
        // Clear of the tool window, which opens over the viewport's left part.
        if (area.right - area.left > 480)
            area.left += 200;
        DrawModel(dc, area, object->handle);
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
    switch (message)
    {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
    {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        PaintViewport(window, dc);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_LBUTTONDOWN:
        SetFocus(window);
        SetCapture(window);
        g_camera.dragging = true;
        g_camera.last = { GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam) };
        return 0;
    case WM_MOUSEMOVE:
        if (g_camera.dragging && GetCapture() == window)
            OnDrag(window, { GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam) });
        return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        if (g_camera.dragging)
        {
            g_camera.dragging = false;
            if (message == WM_LBUTTONUP)
                ReleaseCapture();
        }
        return 0;
    case WM_MOUSEWHEEL:
        OnWheel(window, GET_WHEEL_DELTA_WPARAM(wParam));
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace sandbox
