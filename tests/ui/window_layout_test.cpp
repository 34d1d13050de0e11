// The window against its control table: kinds, containers, captions,
// positions and sizes in twips, tab indices, fonts, and the window itself.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QFontInfo>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QSet>

#include "tests/ui/window_support.h"
#include "ui/common_dialog.h"
#include "ui/twips.h"

namespace varidac::testing {
namespace {

struct ControlRow {
    const char* name;
    int index;  // option index, -1 for the others
    const char* kind;
    const char* container;
    const char* caption;
    int left, top, width, height;
    int tabIndex;
    bool bold;
};

// Copied by hand from the control table of the window.
const ControlRow kControls[] = {
    {"Label3", -1, "QLabel", "Form1", "NRD-515  Varidac Eprom filler - Kordan", 120, 120, 3735, 255, 19, true},
    {"Frame2", -1, "QGroupBox", "Form1", "Input", 120, 360, 3615, 3855, 6, false},
    {"Frame1", -1, "QGroupBox", "Form1", "Output", 120, 4440, 3615, 1935, 0, false},
    {"cmdLeeslijst", -1, "QPushButton", "Frame2", "Read File", 240, 360, 1215, 375, 14, false},
    {"Command1", -1, "QPushButton", "Frame2", "?", 1680, 360, 375, 375, 21, true},
    {"lbDAlijst", -1, "QLabel", "Frame2", "D/A tune list", 2280, 360, 1095, 255, 7, false},
    {"Label2", -1, "QLabel", "Frame2", "Freq.  -  Volt", 2280, 600, 1095, 255, 18, false},
    {"txtDAlist", -1, "QListWidget", "Frame2", "", 2040, 960, 1335, 2595, 17, false},
    {"lbStartvoltage", -1, "QLabel", "Frame2", "Start Voltage at 00H", 240, 1080, 1575, 255, 8, false},
    {"txtStartVoltage", -1, "QLineEdit", "Frame2", nullptr, 240, 1320, 1335, 285, 9, false},
    {"lbEndvoltage", -1, "QLabel", "Frame2", "End Voltage = ", 240, 1800, 1575, 255, 10, false},
    {"Label5", -1, "QLabel", "Frame2", "StartVoltage + FFH", 240, 2040, 1575, 255, 22, false},
    {"txtEndVoltage", -1, "QLineEdit", "Frame2", nullptr, 240, 2280, 1335, 285, 11, false},
    {"lbStep", -1, "QLabel", "Frame2", "Calculated Step U", 240, 2760, 1455, 255, 12, false},
    {"Label1", -1, "QLabel", "Frame2", "(255 D/A steps)", 240, 3000, 1455, 255, 15, false},
    {"txtStep", -1, "QLineEdit", "Frame2", nullptr, 240, 3240, 1335, 285, 13, false},
    {"optEprom", 0, "QRadioButton", "Frame1", "27C64", 240, 360, 975, 255, 1, false},
    {"optEprom", 1, "QRadioButton", "Frame1", "27C128", 240, 720, 975, 255, 3, false},
    {"optEprom", 2, "QRadioButton", "Frame1", "27C256", 240, 1080, 975, 255, 4, false},
    {"optEprom", 3, "QRadioButton", "Frame1", "27C512", 240, 1440, 975, 255, 5, false},
    {"Label4", -1, "QLabel", "Frame1", "Previous is overwritten!", 1680, 360, 1815, 255, 20, false},
    {"cmdFiller", -1, "QPushButton", "Frame1", "Start Filler", 1680, 720, 1575, 375, 2, false},
    {"cmdStoppen", -1, "QPushButton", "Frame1", "Exit", 1680, 1320, 1575, 375, 16, false},
};

QWidget* find(const TestWindow& w, const ControlRow& row) {
    if (row.index >= 0) return w.options().at(static_cast<std::size_t>(row.index));
    return w.control<QWidget>(row.name);
}

QString captionOf(QWidget* control) {
    if (auto* label = qobject_cast<QLabel*>(control)) return label->text();
    if (auto* frame = qobject_cast<QGroupBox*>(control)) return frame->title();
    if (auto* button = qobject_cast<QAbstractButton*>(control)) return button->text();
    return {};
}

TEST(WindowLayout, EveryControlAsTheTableSays) {
    TestWindow w;
    const int dpiX = w.form->logicalDpiX();
    const int dpiY = w.form->logicalDpiY();
    for (const ControlRow& row : kControls) {
        SCOPED_TRACE(std::string(row.name) + " " + std::to_string(row.index));
        QWidget* control = find(w, row);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->objectName().toStdString(), row.name);
        EXPECT_TRUE(control->inherits(row.kind)) << control->metaObject()->className();
        ASSERT_NE(control->parentWidget(), nullptr);
        EXPECT_EQ(control->parentWidget()->objectName().toStdString(), row.container);
        if (row.caption && row.index < 0) {
            EXPECT_EQ(captionOf(control).toStdString(), row.caption);
        }
        if (row.index >= 0) {
            EXPECT_EQ(captionOf(control).toStdString(), row.caption);
        }
        const QRect expected(twipsToPixels(row.left, dpiX), twipsToPixels(row.top, dpiY),
                             twipsToPixels(row.width, dpiX), twipsToPixels(row.height, dpiY));
        EXPECT_EQ(control->geometry(), expected);
        EXPECT_EQ(control->property("TabIndex").toInt(), row.tabIndex);
        EXPECT_EQ(control->font().bold(), row.bold);
        if (row.bold) {
            EXPECT_EQ(control->font().weight(), QFont::Bold);
        }
        EXPECT_DOUBLE_EQ(control->font().pointSizeF(), 8.25);
        // The face really used is the window's, also inside the frames.
        EXPECT_EQ(QFontInfo(control->font()).family(), QFontInfo(w.form->font()).family());
        EXPECT_TRUE(control->isEnabled());
        EXPECT_FALSE(control->isHidden());
    }
}

TEST(WindowLayout, TabIndicesRunFromZeroToTwentyTwoOnce) {
    TestWindow w;
    QSet<int> seen;
    int count = 0;
    for (QWidget* control : w.form->findChildren<QWidget*>()) {
        const QVariant tab = control->property("TabIndex");
        if (!tab.isValid()) continue;
        ++count;
        seen.insert(tab.toInt());
    }
    EXPECT_EQ(count, 23);
    for (int i = 0; i <= 22; ++i) EXPECT_TRUE(seen.contains(i)) << i;
}

TEST(WindowLayout, FramesHoldThirteenAndSevenControls) {
    TestWindow w;
    auto childrenOf = [&](const char* frame) {
        return w.control<QWidget>(frame)->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).size();
    };
    EXPECT_EQ(childrenOf("Frame2"), 13);
    EXPECT_EQ(childrenOf("Frame1"), 7);
    // The window itself holds the title label and the two frames; the common
    // dialog has no face.
    EXPECT_EQ(w.form->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).size(), 3);
    auto* dialog = w.form->findChild<CommonDialog*>("CommonDialog1");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->parent(), w.form.get());
    EXPECT_TRUE(dialog->DialogTitle().empty());
    EXPECT_TRUE(dialog->Filter().empty());
    EXPECT_TRUE(dialog->InitDir().empty());
    EXPECT_TRUE(dialog->HelpFile().empty());
}

TEST(WindowLayout, FixedClientSizeTitleAndButtons) {
    TestWindow w;
    w.showAndWait();
    ASSERT_EQ(w.form->logicalDpiX(), 96);
    ASSERT_EQ(w.form->logicalDpiY(), 96);
    EXPECT_EQ(w.form->size(), QSize(258, 435));
    EXPECT_EQ(w.form->minimumSize(), QSize(258, 435));
    EXPECT_EQ(w.form->maximumSize(), QSize(258, 435));
    w.form->resize(400, 600);
    EXPECT_EQ(w.form->size(), QSize(258, 435));
    EXPECT_EQ(w.form->windowTitle(), QString("VARIDAC EPROM FILLER "));
    const Qt::WindowFlags flags = w.form->windowFlags();
    EXPECT_TRUE(flags & Qt::WindowTitleHint);
    EXPECT_TRUE(flags & Qt::WindowSystemMenuHint);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    for (QPushButton* button : w.form->findChildren<QPushButton*>()) {
        EXPECT_FALSE(button->isDefault()) << button->objectName().toStdString();
        EXPECT_FALSE(button->text().contains('&')) << "no access keys";
    }
    for (QRadioButton* option : w.options()) EXPECT_FALSE(option->text().contains('&'));
}

TEST(WindowLayout, TwipsConvertAtTheDisplayResolution) {
    struct Case {
        int twips, dpi, pixels;
    };
    const Case cases[] = {
        {3870, 96, 258}, {6525, 96, 435}, {15, 96, 1}, {0, 96, 0}, {3870, 120, 323}, {6525, 120, 544},
        {1440, 144, 144}, {375, 192, 50}, {7, 96, 0}, {8, 96, 1},
    };
    for (const Case& c : cases) EXPECT_EQ(twipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << " at " << c.dpi;
}

TEST(WindowLayout, IconIsTheRedJrcOnNearWhite) {
    TestWindow w;
    const QIcon icon = w.form->windowIcon();
    ASSERT_FALSE(icon.isNull());
    const QImage image = icon.pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(image.size(), QSize(32, 32));
    const QRgb red = qRgb(255, 0, 0);
    const QRgb ground = qRgb(252, 254, 252);
    int reds = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const QRgb p = image.pixel(x, y);
            EXPECT_EQ(qAlpha(p), 255) << x << "," << y;
            EXPECT_TRUE((p | 0xff000000u) == red || (p | 0xff000000u) == ground) << x << "," << y;
            if ((p | 0xff000000u) == red) ++reds;
        }
    }
    EXPECT_GT(reds, 100);
    // The border spans the full width: some row is red from edge to edge.
    bool fullRow = false;
    for (int y = 0; y < 32 && !fullRow; ++y) {
        bool all = true;
        for (int x = 0; x < 32; ++x) all = all && (image.pixel(x, y) | 0xff000000u) == red;
        fullRow = all;
    }
    EXPECT_TRUE(fullRow);
    // The corners lie outside the border, on the ground.
    EXPECT_EQ(image.pixel(0, 0) | 0xff000000u, ground);
    EXPECT_EQ(image.pixel(31, 31) | 0xff000000u, ground);
}

TEST(WindowLayout, ListBoxIsEmptySingleSelectionUnsorted) {
    TestWindow w;
    EXPECT_EQ(w.list()->count(), 0);
    EXPECT_EQ(w.list()->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_FALSE(w.list()->isSortingEnabled());
}

}  // namespace
}  // namespace varidac::testing
