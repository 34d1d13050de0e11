#include "ui/hover_tip.h"

#include <variant>

namespace varidac {

std::string hoverTip(const Drawing& drawing, const DrawingFit& fit, Point device) {
    if (fit.scale <= 0) return {};
    const Point logical = fit.toDrawing(device);
    for (auto it = drawing.primitives.rbegin(); it != drawing.primitives.rend(); ++it) {
        const auto* circle = std::get_if<Circle>(&*it);
        if (!circle || circle->tooltip.empty()) continue;
        const double dx = logical.x - circle->centre.x, dy = logical.y - circle->centre.y;
        const double reach = circle->radius + 3;  // a little slack for the mouse
        if (dx * dx + dy * dy <= reach * reach) return circle->tooltip;
    }
    return {};
}

}  // namespace varidac
