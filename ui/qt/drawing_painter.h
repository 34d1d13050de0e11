#pragma once
// Paints a drawing's primitives with Qt, scaled to fit a rectangle.
#include <QRectF>

#include "core/drawing.h"

class QPainter;

namespace varidac {

// The drawing keeps its proportions and is centred in `target`.
void paintDrawing(QPainter& painter, const Drawing& drawing, const QRectF& target);

}  // namespace varidac
