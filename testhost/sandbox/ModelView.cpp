#include "ModelView.h"

#include "zvktest.h"

#include <algorithm>
#include <cmath>

namespace {

const COLORREF SELECTION_TINT = RGB(255, 196, 0);

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
ViewTransform ModelTransform(const Model& model, const ViewAngles& angles)
{
    Vec low = { 1e300, 1e300, 1e300 }, high = { -1e300, -1e300, -1e300 };
    for (const ModelObject& object : model.objects)
        for (int index : object.corners)
        {
            const ModelPosition& p = model.positions[index];
            low = { std::min(low.x, (double)p.x), std::min(low.y, (double)p.y), std::min(low.z, (double)p.z) };
            high = { std::max(high.x, (double)p.x), std::max(high.y, (double)p.y), std::max(high.z, (double)p.z) };
        }
    ViewTransform transform;
    transform.centre = { (low.x + high.x) / 2, (low.y + high.y) / 2, (low.z + high.z) / 2 };
    Vec half = Minus(high, transform.centre);
    transform.radius = std::max(1e-9, std::sqrt(Dot(half, half)));
    transform.cy = std::cos(angles.yaw);
    transform.sy = std::sin(angles.yaw);
    transform.cp = std::cos(angles.pitch);
    transform.sp = std::sin(angles.pitch);
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
} // namespace

void DrawModel(HDC dc, const RECT& area, const Model& model, const std::vector<ZvkHandle>& polyhedra, ZvkHandle selected,
               const ViewAngles& angles)
{
    ViewTransform transform = ModelTransform(model, angles);
    double scale = angles.zoom * 0.46 * std::min(area.right - area.left, area.bottom - area.top) / transform.radius;
    double midX = (area.left + area.right) / 2.0, midY = (area.top + area.bottom) / 2.0;
    const Vec light = { -0.42, 0.52, 0.74 };
    std::vector<Vec> view;
    std::vector<POINT> points;
    std::vector<ViewFace> faces;
    for (size_t i = 0; i < model.objects.size(); ++i)
    {
        const ModelObject& object = model.objects[i];
        ZvkHandle polyhedron = i < polyhedra.size() ? polyhedra[i] : NULL;
        int slots = zvktSlotCount(polyhedron);
        std::vector<ZvktMaterial> materials(slots);
        for (int m = 0; m < slots; ++m)
            zvktGetSlot(polyhedron, m, &materials[m]);
        int offset = (int)view.size();
        for (int index : object.corners)
        {
            Vec v = transform.Apply(model.positions[index]);
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
                face.colour = Blend(face.colour, VIEW_BACKGROUND, 50);
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

