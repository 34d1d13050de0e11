#include "ui/win32/drawing_gdi.h"

#include <algorithm>
#include <cmath>
#include <variant>
#include <vector>

#include "os/wide_text.h"
#include "ui/drawing_fit.h"

namespace varidac::win32 {

using os::utf8;
using os::wide;
namespace {

COLORREF colour(Rgb rgb) { return RGB(rgb.red, rgb.green, rgb.blue); }

// Logical units to the target's whole pixels.
struct Fit {
    DrawingFit fit;
    POINT at(Point p) const {
        const Point device = fit.toDevice(p);
        return POINT{std::lround(device.x), std::lround(device.y)};
    }
    int length(double units) const { return std::max(1, static_cast<int>(std::lround(units * fit.scale))); }
};

Fit fitting(const Drawing& drawing, const RECT& target) {
    return Fit{fitDrawing(drawing, DeviceRect{double(target.left), double(target.top), double(target.right - target.left),
                                              double(target.bottom - target.top)})};
}

HPEN makePen(const std::optional<Stroke>& stroke, const Fit& fit) {
    if (!stroke) return static_cast<HPEN>(GetStockObject(NULL_PEN));
    LOGBRUSH brush{BS_SOLID, colour(stroke->colour), 0};
    const DWORD style = PS_GEOMETRIC | PS_JOIN_ROUND | (stroke->dashed ? PS_DASH : PS_SOLID);
    return ExtCreatePen(style, static_cast<DWORD>(fit.length(stroke->width)), &brush, 0, nullptr);
}

struct Painter {
    HDC dc;
    Fit fit;

    // Selects a pen and a brush for one primitive and puts the old ones back.
    template <typename Draw>
    void with(const std::optional<Stroke>& stroke, const std::optional<Rgb>& fill, Draw draw) const {
        HPEN pen = makePen(stroke, fit);
        HBRUSH brush = fill ? CreateSolidBrush(colour(*fill)) : static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
        HGDIOBJ oldPen = SelectObject(dc, pen);
        HGDIOBJ oldBrush = SelectObject(dc, brush);
        draw();
        SelectObject(dc, oldPen);
        SelectObject(dc, oldBrush);
        if (stroke) DeleteObject(pen);
        if (fill) DeleteObject(brush);
    }

    void operator()(const Line& line) const {
        with(line.stroke, std::nullopt, [&] {
            POINT points[] = {fit.at(line.from), fit.at(line.to)};
            ::Polyline(dc, points, 2);
        });
    }
    void operator()(const Polyline& polyline) const {
        std::vector<POINT> points;
        for (Point point : polyline.points) points.push_back(fit.at(point));
        with(polyline.stroke, std::nullopt, [&] { ::Polyline(dc, points.data(), static_cast<int>(points.size())); });
    }
    void operator()(const Rectangle& rectangle) const {
        with(rectangle.stroke, rectangle.fill, [&] {
            POINT from = fit.at(rectangle.topLeft);
            POINT to = fit.at(Point{rectangle.topLeft.x + rectangle.width, rectangle.topLeft.y + rectangle.height});
            ::Rectangle(dc, from.x, from.y, to.x + 1, to.y + 1);
        });
    }
    void operator()(const Circle& circle) const {
        with(circle.stroke, circle.fill, [&] {
            POINT from = fit.at(Point{circle.centre.x - circle.radius, circle.centre.y - circle.radius});
            POINT to = fit.at(Point{circle.centre.x + circle.radius, circle.centre.y + circle.radius});
            Ellipse(dc, from.x, from.y, to.x + 1, to.y + 1);
        });
    }
    void operator()(const Text& text) const {
        HFONT font = CreateFontW(-fit.length(text.size), 0, 0, 0, text.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                                 DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                                 VARIABLE_PITCH | FF_SWISS, L"Arial");
        HGDIOBJ old = SelectObject(dc, font);
        UINT align = text.horizontal == HorizontalAnchor::Middle ? TA_CENTER : text.horizontal == HorizontalAnchor::End ? TA_RIGHT : TA_LEFT;
        POINT at = fit.at(text.at);
        if (text.vertical == VerticalAnchor::Middle) {
            TEXTMETRICW metrics;
            GetTextMetricsW(dc, &metrics);
            at.y += (metrics.tmAscent - metrics.tmDescent) / 2;
        }
        SetTextAlign(dc, align | (text.vertical == VerticalAnchor::Top ? TA_TOP : TA_BASELINE));
        SetTextColor(dc, colour(text.colour));
        SetBkMode(dc, TRANSPARENT);
        const std::wstring shown = wide(text.text);
        TextOutW(dc, at.x, at.y, shown.c_str(), static_cast<int>(shown.size()));
        SelectObject(dc, old);
        DeleteObject(font);
    }
};

}  // namespace

void paintDrawing(HDC dc, const Drawing& drawing, const RECT& target) {
    Painter paint{dc, fitting(drawing, target)};
    for (const Primitive& primitive : drawing.primitives) std::visit(paint, primitive);
}

}  // namespace varidac::win32
