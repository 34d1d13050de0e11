// Captions laid out in DejaVu Sans, the widest face a Linux desktop commonly
// falls back on: each must fit its control once fitted, none clipped.
#include <gtest/gtest.h>

#include <QFontInfo>

#include "tests/ui/qt_support.h"
#include "ui/qt/caption_fit.h"

namespace varidac::testing {
namespace {

TEST(CaptionFit, EveryCaptionFitsItsControlInTheWidestFallbackFace) {
    TestWindow w;
    int shrunk = 0;
    for (QWidget* control : w.window.findChildren<QWidget*>()) {
        QFont wide = control->font();
        wide.setFamily("DejaVu Sans");
        ASSERT_EQ(QFontInfo(wide).family(), "DejaVu Sans") << "the face this test needs is not installed";
        control->setFont(wide);
        const bool fitted = captionWidthNeeded(control, wide) <= captionWidthAvailable(control);
        fitCaption(control);
        shrunk += !fitted;
        EXPECT_LE(captionWidthNeeded(control, control->font()), captionWidthAvailable(control)) << control->objectName().toStdString();
        EXPECT_EQ(control->font().weight(), wide.weight());
        EXPECT_GE(control->font().pointSizeF(), 6.0);
        if (fitted) {
            EXPECT_EQ(control->font().pointSizeF(), wide.pointSizeF()) << "a caption that fits keeps its size";
        }
    }
    EXPECT_GT(shrunk, 0) << "DejaVu Sans should be too wide for some caption at the table's size";
}

}  // namespace
}  // namespace varidac::testing
