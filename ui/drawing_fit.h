#pragma once
// A drawing fitted into a rectangle of a device (a window's client area):
// it keeps its proportions and is centred. Every painter and every hit
// test maps through this one rule, so what is hit is what was painted.
#include "core/drawing.h"

namespace varidac {

struct DeviceRect {
    double left = 0, top = 0, width = 0, height = 0;
};

struct DrawingFit {
    double scale = 1;
    double dx = 0;
    double dy = 0;

    Point toDevice(Point p) const { return Point{dx + p.x * scale, dy + p.y * scale}; }
    // Only for a fit with a scale above 0.
    Point toDrawing(Point p) const { return Point{(p.x - dx) / scale, (p.y - dy) / scale}; }
};

// The identity for a drawing without a size.
DrawingFit fitDrawing(const Drawing& drawing, const DeviceRect& target);

}  // namespace varidac
