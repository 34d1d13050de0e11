// The frames paint what the style sheet they replaced painted, pixel for pixel.
#include <gtest/gtest.h>

#include <QGroupBox>
#include <QImage>

#include "ui/qt/frame_box.h"

namespace varidac::testing {
namespace {

QImage framed(QWidget& window, QGroupBox* frame, const QFont& font) {
    window.setFixedSize(257, 273);
    window.setFont(font);
    frame->setFont(font);  // under a style sheet the window's face does not reach the frame
    frame->setGeometry(8, 8, 241, 257);
    return window.grab().toImage();
}

TEST(FrameBox, LooksAsTheGroupBoxUnderItsFormerStyleSheet) {
    const char* const sheet =
        "QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 7px; }"
        "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left; left: 7px; padding: 0 2px; }";
    for (const char* caption : {"Input", "Output", "W", "Il1 ij.", "Freq.  -  Volt", ""}) {
        for (int weight : {400, 700}) {
            QFont font("Sans Serif");
            font.setPointSizeF(8.25);
            font.setWeight(static_cast<QFont::Weight>(weight));
            QWidget styled, painted;
            styled.setStyleSheet(sheet);
            const QImage expected = framed(styled, new QGroupBox(caption, &styled), font);
            EXPECT_TRUE(framed(painted, new FrameBox(caption, &painted), font) == expected) << caption << " " << weight;
        }
    }
}

}  // namespace
}  // namespace varidac::testing
