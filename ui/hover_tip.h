#pragma once
// The tip of the point under the mouse in a drawing shown on a device.
#include <string>

#include "core/drawing.h"
#include "ui/drawing_fit.h"

namespace varidac {

// The tooltip of the topmost circle that has one and lies under `device`
// (a position in the device's coordinates, as `fit` places the drawing),
// or an empty text.
std::string hoverTip(const Drawing& drawing, const DrawingFit& fit, Point device);

}  // namespace varidac
