#include "ui/qt/frame_box.h"

#include <QPainter>
#include <QStyleOptionGroupBox>
#include <algorithm>

namespace varidac {
namespace {

// The look was first given by a style sheet ("border: 1px solid palette(mid);
// border-radius: 2px; margin-top: 7px", the title 7 px from the left with 2 px
// of padding on each side). A style sheet puts every widget of the window
// under Qt's style-sheet style, which costs a good part of the start-up time
// and memory, so the frame paints that same look itself, pixel for pixel.
constexpr int kBorderTop = 7;   // the caption's upper half stands above the border
constexpr qreal kRadius = 2;

// The border as Qt's style sheets draw a solid one-pixel border with round
// corners, antialiased: each edge a filled one-pixel strip between the
// corners, each corner two 45-degree arcs (one drawn with each of the edges
// that meet there), in the order bottom, right, left, top, since the
// antialiased arcs overlap and the later ones decide the corner pixels.
void drawRoundedBorder(QPainter& painter, const QRect& rect, const QBrush& brush) {
    const qreal left = rect.x();
    const qreal top = rect.y();
    const qreal right = left + rect.width();
    const qreal bottom = top + rect.height();
    const qreal r = kRadius;
    const qreal d = 2 * r - 1;  // a one-pixel pen draws its arcs half a pixel inside
    const QPen arcPen(brush, 1, Qt::SolidLine, Qt::SquareCap);
    auto strip = [&](qreal x, qreal y, qreal w, qreal h) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(brush);
        painter.drawRect(QRectF(x, y, w, h));
    };
    auto arc = [&](qreal x, qreal y, int startDegrees, int spanDegrees) {
        painter.setPen(arcPen);
        painter.setBrush(Qt::NoBrush);
        painter.drawArc(QRectF(x + 0.5, y + 0.5, d, d), startDegrees * 16, spanDegrees * 16);
    };
    painter.setRenderHint(QPainter::Antialiasing);
    strip(left + r, bottom - 1, right - left - 2 * r, 1);
    arc(left, bottom - 2 * r, -90, -45);
    arc(right - 2 * r, bottom - 2 * r, -90, 45);
    strip(right - 1, top + r, 1, bottom - top - 2 * r);
    arc(right - 2 * r, top, 45, -45);
    arc(right - 2 * r, bottom - 2 * r, 315, 45);
    strip(left, top + r, 1, bottom - top - 2 * r);
    arc(left, top, 135, 45);
    arc(left, bottom - 2 * r, 180, 45);
    strip(left + r, top, right - left - 2 * r, 1);
    arc(left, top, 135, -45);
    arc(right - 2 * r, top, 45, 45);
}

}  // namespace

void FrameBox::paintEvent(QPaintEvent*) {
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    QPainter painter(this);
    const QFontMetrics& metrics = option.fontMetrics;
    // The caption's box is as wide as the caption and a blank, as a plain
    // group box's, or the caption's full advance where that is wider.
    const int captionWidth = std::max(metrics.horizontalAdvance(option.text),
                                      metrics.size(Qt::TextShowMnemonic, option.text + ' ').width());
    const QRect caption(kFrameCaptionLeft + kFrameCaptionPad, 0, captionWidth, metrics.height());

    painter.save();
    if (!option.text.isEmpty()) {
        painter.setClipRegion(QRegion(rect()) - caption.adjusted(-kFrameCaptionPad, 0, kFrameCaptionPad, 0));
    }
    drawRoundedBorder(painter, rect().adjusted(0, kBorderTop, 0, 0), option.palette.brush(QPalette::Mid));
    painter.restore();

    if (option.text.isEmpty()) return;
    QPalette palette = option.palette;
    if (option.textColor.isValid()) palette.setColor(QPalette::WindowText, option.textColor);
    int flags = Qt::AlignCenter | Qt::TextShowMnemonic;
    if (!style()->styleHint(QStyle::SH_UnderlineShortcut, &option, this)) flags |= Qt::TextHideMnemonic;
    style()->drawItemText(&painter, caption, flags, palette, option.state & QStyle::State_Enabled, option.text,
                          QPalette::WindowText);
}

}  // namespace varidac
