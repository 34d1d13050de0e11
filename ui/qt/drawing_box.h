#pragma once
// A picture box that shows a drawing fitted to its size, with the tooltip of
// the point under the mouse, and tells where the left button is pressed,
// moved and released, in the drawing's coordinates.
#include <QWidget>
#include <functional>

#include "core/drawing.h"

namespace varidac {

class DrawingBox : public QWidget {
    Q_OBJECT
public:
    explicit DrawingBox(QWidget* parent = nullptr);

    void setDrawing(Drawing drawing);
    const Drawing& drawing() const { return drawing_; }

    // Where a position of the widget lies on the drawing as it is shown.
    Point toDrawing(QPointF position) const;

    std::function<void(Point)> onPress;
    std::function<void(Point)> onDrag;  // moves while the left button is down
    std::function<void()> onRelease;
    // The cursor over a part of the picture that has a tip (a point), while
    // no button is down; the widget's own cursor elsewhere.
    Qt::CursorShape pointCursor = Qt::SizeVerCursor;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

private:
    std::string tipAt(QPointF position) const;

    Drawing drawing_;
    bool pressed_ = false;
};

}  // namespace varidac
