#include "ui/drawing_fit.h"

#include <algorithm>

namespace varidac {

DrawingFit fitDrawing(const Drawing& drawing, const DeviceRect& target) {
    if (drawing.width <= 0 || drawing.height <= 0) return {};
    const double scale = std::max(0.0, std::min(target.width / drawing.width, target.height / drawing.height));
    return DrawingFit{scale, target.left + (target.width - drawing.width * scale) / 2,
                      target.top + (target.height - drawing.height * scale) / 2};
}

}  // namespace varidac
