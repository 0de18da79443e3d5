// A model's objects in 3D with plain GDI: flat-shaded faces in their slots' colours, one light,
// painter's order. The sandbox's viewport and the view benchmark draw with it.
#ifndef MODELVIEW_H
#define MODELVIEW_H

#include <windows.h>

#include <vector>

#include "ObjModel.h"

const COLORREF VIEW_BACKGROUND = RGB(58, 62, 70);

struct ViewAngles
{
    double yaw = 0.6, pitch = 0.35;   // radians: a three-quarter view to start with
    double zoom = 1.0;
};

inline COLORREF ToColorRef(const ZvkColor& colour)
{
    return RGB(colour.r, colour.g, colour.b);
}

inline COLORREF Blend(COLORREF over, COLORREF under, int alpha)
{
    return RGB((GetRValue(over) * alpha + GetRValue(under) * (255 - alpha)) / 255,
               (GetGValue(over) * alpha + GetGValue(under) * (255 - alpha)) / 255,
               (GetBValue(over) * alpha + GetBValue(under) * (255 - alpha)) / 255);
}

// Draws every object of the model, turned about the model's centre and fitted to area; the
// selected polyhedron in its colours as the host holds them (faces selected in the host tinted
// and outlined, faces of an alpha-0 material hatched), the others faded towards the background.
// polyhedra are the host's polyhedra of the model's objects, in order.
void DrawModel(HDC dc, const RECT& area, const Model& model, const std::vector<ZvkHandle>& polyhedra, ZvkHandle selected,
               const ViewAngles& angles);

#endif
