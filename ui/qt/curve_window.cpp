#include "ui/qt/curve_window.h"

#include <QCloseEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QToolTip>

#include "ui/form_layout.h"
#include "ui/hover_tip.h"
#include "ui/qt/drawing_painter.h"

namespace varidac {

CurveWindow::CurveWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("CurveWindow");
    setWindowTitle(QString::fromUtf8(kCurveWindowTitle.data(), static_cast<qsizetype>(kCurveWindowTitle.size())));
    // A companion of the main window: closing it alone ends nothing.
    setAttribute(Qt::WA_QuitOnClose, false);
    setMinimumSize(320, 220);
    resize(640, 440);
}

void CurveWindow::setDrawing(Drawing drawing) {
    drawing_ = std::move(drawing);
    update();
}

void CurveWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    paintDrawing(painter, drawing_, QRectF(rect()));
}

void CurveWindow::keyPressEvent(QKeyEvent* event) {
    if (onKey) onKey(*event);
    QWidget::keyPressEvent(event);
}

void CurveWindow::closeEvent(QCloseEvent* event) {
    if (!closingFromProgram_ && onClosedByUser) onClosedByUser();
    QWidget::closeEvent(event);
}

void CurveWindow::closeFromProgram() {
    closingFromProgram_ = true;
    close();
    closingFromProgram_ = false;
}

bool CurveWindow::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const DrawingFit fit = fitDrawing(drawing_, DeviceRect{0, 0, double(width()), double(height())});
        const std::string tip = hoverTip(drawing_, fit, Point{double(help->pos().x()), double(help->pos().y())});
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
