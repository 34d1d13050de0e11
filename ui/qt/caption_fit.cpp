#include "ui/qt/caption_fit.h"

#include <QAbstractButton>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <algorithm>

#include "ui/qt/frame_box.h"

namespace varidac {
namespace {

constexpr double kSmallestPoints = 6.0;
constexpr double kPointStep = 0.25;

}  // namespace

QString captionOf(const QWidget* control) {
    if (auto* label = qobject_cast<const QLabel*>(control)) return label->text();
    if (auto* frame = qobject_cast<const QGroupBox*>(control)) return frame->title();
    if (auto* button = qobject_cast<const QAbstractButton*>(control)) return button->text();
    return {};
}

int captionWidthNeeded(const QWidget* control, const QFont& font) {
    const QFontMetrics metrics(font);
    int widest = 0;
    for (const QString& line : captionOf(control).split('\n')) widest = std::max(widest, metrics.horizontalAdvance(line));
    return widest;
}

int captionWidthAvailable(const QWidget* control) {
    const QStyle* style = control->style();
    if (qobject_cast<const QLabel*>(control)) return control->contentsRect().width();
    if (qobject_cast<const QGroupBox*>(control)) return control->width() - 2 * (kFrameCaptionLeft + kFrameCaptionPad);
    if (qobject_cast<const QRadioButton*>(control)) {
        return control->width() - style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, control) -
               style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, control);
    }
    if (qobject_cast<const QPushButton*>(control)) {
        return control->width() - 2 * (style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, control) / 2 +
                                       style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, control));
    }
    return control->width();
}

void fitCaption(QWidget* control) {
    const int available = captionWidthAvailable(control);
    QFont font = control->font();
    if (captionWidthNeeded(control, font) <= available) return;
    while (captionWidthNeeded(control, font) > available && font.pointSizeF() - kPointStep >= kSmallestPoints) {
        font.setPointSizeF(font.pointSizeF() - kPointStep);
    }
    control->setFont(font);
}

}  // namespace varidac
