#pragma once
// Paints a drawing's primitives with Qt, scaled to fit a rectangle.
#include <QPointF>
#include <QRectF>
#include <QString>

#include "core/drawing.h"

class QPainter;

namespace varidac {

// The drawing keeps its proportions and is centred in `target`.
void paintDrawing(QPainter& painter, const Drawing& drawing, const QRectF& target);

// The tooltip of the circle under `position` (in the same coordinates as
// `target`), or an empty text.
QString tooltipAt(const Drawing& drawing, const QRectF& target, QPointF position);

}  // namespace varidac
