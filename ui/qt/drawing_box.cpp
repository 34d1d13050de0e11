#include "ui/qt/drawing_box.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include "ui/drawing_fit.h"
#include "ui/hover_tip.h"
#include "ui/qt/drawing_painter.h"

namespace varidac {
namespace {

DrawingFit fitIn(const Drawing& drawing, const QWidget& widget) {
    return fitDrawing(drawing, DeviceRect{0, 0, double(widget.width()), double(widget.height())});
}

Point toPoint(QPointF p) { return Point{p.x(), p.y()}; }

}  // namespace

DrawingBox::DrawingBox(QWidget* parent) : QWidget(parent) {
    // Tracked so that the cursor can tell where a point may be taken.
    setMouseTracking(true);
}

void DrawingBox::setDrawing(Drawing drawing) {
    drawing_ = std::move(drawing);
    update();
}

Point DrawingBox::toDrawing(QPointF position) const {
    const DrawingFit fit = fitIn(drawing_, *this);
    if (fit.scale <= 0) return toPoint(position);
    return fit.toDrawing(toPoint(position));
}

std::string DrawingBox::tipAt(QPointF position) const { return hoverTip(drawing_, fitIn(drawing_, *this), toPoint(position)); }

void DrawingBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    paintDrawing(painter, drawing_, QRectF(rect()));
}

void DrawingBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    pressed_ = true;
    if (onPress) onPress(toDrawing(event->position()));
}

void DrawingBox::mouseMoveEvent(QMouseEvent* event) {
    if (pressed_) {
        if (onDrag) onDrag(toDrawing(event->position()));
        return;
    }
    if (tipAt(event->position()).empty()) {
        unsetCursor();
    } else {
        setCursor(pointCursor);
    }
}

void DrawingBox::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressed_) return QWidget::mouseReleaseEvent(event);
    pressed_ = false;
    if (onRelease) onRelease();
}

bool DrawingBox::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const std::string tip = tipAt(help->pos());
        if (tip.empty()) {
            QToolTip::hideText();
        } else {
            QToolTip::showText(help->globalPos(), QString::fromStdString(tip), this);
        }
        return true;
    }
    return QWidget::event(event);
}

}  // namespace varidac
