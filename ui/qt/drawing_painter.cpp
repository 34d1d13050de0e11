#include "ui/qt/drawing_painter.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPolygonF>
#include <algorithm>
#include <variant>

#include "ui/drawing_fit.h"

namespace varidac {
namespace {

QColor toQt(Rgb rgb) { return QColor(rgb.red, rgb.green, rgb.blue); }
QPointF toQt(Point p) { return QPointF(p.x, p.y); }

QPen pen(const std::optional<Stroke>& stroke) {
    if (!stroke) return Qt::NoPen;
    QPen pen(toQt(stroke->colour), stroke->width);
    if (stroke->dashed) pen.setDashPattern({6 / std::max(stroke->width, 0.1), 4 / std::max(stroke->width, 0.1)});
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

QFont fontFor(const Text& text) {
    QFont font(QStringList{"Arial", "Helvetica", "Liberation Sans", "DejaVu Sans"});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(std::max(1, static_cast<int>(text.size + 0.5)));
    font.setBold(text.bold);
    return font;
}

QTransform fitting(const Drawing& drawing, const QRectF& target) {
    const DrawingFit fit = fitDrawing(drawing, DeviceRect{target.left(), target.top(), target.width(), target.height()});
    return QTransform(fit.scale, 0, 0, fit.scale, fit.dx, fit.dy);
}

struct Painter {
    QPainter& p;

    void operator()(const Line& line) const {
        p.setPen(pen(line.stroke));
        p.drawLine(toQt(line.from), toQt(line.to));
    }
    void operator()(const Polyline& polyline) const {
        QPolygonF points;
        points.reserve(static_cast<qsizetype>(polyline.points.size()));
        for (Point point : polyline.points) points << toQt(point);
        p.setPen(pen(polyline.stroke));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(points);
    }
    void operator()(const Rectangle& rectangle) const {
        p.setPen(pen(rectangle.stroke));
        p.setBrush(rectangle.fill ? QBrush(toQt(*rectangle.fill)) : QBrush(Qt::NoBrush));
        p.drawRect(QRectF(toQt(rectangle.topLeft), QSizeF(rectangle.width, rectangle.height)));
    }
    void operator()(const Circle& circle) const {
        p.setPen(pen(circle.stroke));
        p.setBrush(toQt(circle.fill));
        p.drawEllipse(toQt(circle.centre), circle.radius, circle.radius);
    }
    void operator()(const Text& text) const {
        QFont font = fontFor(text);
        QFontMetricsF metrics(font);
        QString string = QString::fromStdString(text.text);
        double width = metrics.horizontalAdvance(string);
        double x = text.at.x;
        if (text.horizontal == HorizontalAnchor::Middle) x -= width / 2;
        if (text.horizontal == HorizontalAnchor::End) x -= width;
        double baseline = text.at.y;
        if (text.vertical == VerticalAnchor::Top) baseline += metrics.ascent();
        if (text.vertical == VerticalAnchor::Middle) baseline += (metrics.ascent() - metrics.descent()) / 2;
        p.setFont(font);
        p.setPen(toQt(text.colour));
        p.drawText(QPointF(x, baseline), string);
    }
};

}  // namespace

void paintDrawing(QPainter& painter, const Drawing& drawing, const QRectF& target) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setTransform(fitting(drawing, target), true);
    Painter paint{painter};
    for (const Primitive& primitive : drawing.primitives) std::visit(paint, primitive);
    painter.restore();
}

}  // namespace varidac
