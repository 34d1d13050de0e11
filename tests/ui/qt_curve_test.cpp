// The curve window, dropped files and the help viewer's keys on Qt: what
// only the toolkit can show. What they decide is tested on Form1.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDropEvent>
#include <QListWidget>
#include <QMimeData>
#include <QTextBrowser>
#include <QUrl>

#include "core/curve_plot.h"
#include "tests/ui/qt_support.h"
#include "ui/qt/curve_window.h"
#include "ui/qt/help_viewer.h"
#include "ui/qt/qt_platform.h"

namespace varidac::testing {
namespace {

struct CurveTestWindow : TestWindow {
    CurveTestWindow() {
        list = appDir.path().toStdString() + "/EXAMPLE.INF";
        writeBytes(list, readBytes(VARIDAC_EXAMPLE_LIST));
    }
    QListWidget* tuneList() const { return window.findChild<QListWidget*>("txtDAlist"); }
    std::string list;
};

TEST(QtCurve, ADoubleClickOnTheListOpensItBesideTheWindowPaintedAndEscapeClosesIt) {
    CurveTestWindow w;
    w.showAndWait();
    EXPECT_EQ(w.tuneList()->toolTip(), "Double-click or press Enter to see the tuning curve; Escape closes it");
    w.platform.openAnswers.push_back(w.list);
    w.click("cmdLeeslijst");
    ASSERT_EQ(w.tuneList()->count(), 13);

    QTest::mouseDClick(w.tuneList()->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
    CurveWindow* curve = w.window.curveWindow();
    ASSERT_NE(curve, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(curve));
    EXPECT_EQ(curve->windowTitle(), "Tuning curve");
    EXPECT_EQ(curve->drawing().title, "EXAMPLE.INF");

    // Painted at its drawing's size: the 1000 kHz point is a dot of its colour.
    ASSERT_EQ(curve->size(), QSize(640, 440));
    const TuningState& state = w.state();
    const CurveAxes axes = curveAxes(CurvePlotInput{state});
    const QImage picture = curve->grab().toImage();
    EXPECT_EQ(picture.pixelColor(qRound(axes.x(1000)), qRound(axes.y(state.UvarTable[10]))), QColor(31, 100, 180));
    EXPECT_EQ(picture.pixelColor(5, 5), QColor(Qt::white));

    // Typing keeps the list's selection: the rows change their texts only.
    w.tuneList()->setCurrentRow(5);
    QTest::keyClicks(w.field("txtEndVoltage"), "5");
    EXPECT_EQ(w.tuneList()->item(12)->text(), "  1700 ,  12.005");
    EXPECT_EQ(w.tuneList()->currentRow(), 5);

    curve->activateWindow();
    QTest::keyClick(curve, Qt::Key_Escape);
    EXPECT_FALSE(curve->isVisible());
    EXPECT_FALSE(w.window.form().curveWindowOpen());

    // Enter in the list opens it again; the title bar's close tells the form.
    w.tuneList()->setFocus();
    QTest::keyClick(w.tuneList(), Qt::Key_Return);
    EXPECT_TRUE(curve->isVisible());
    curve->close();
    EXPECT_FALSE(w.window.form().curveWindowOpen());
}

TEST(QtCurve, DroppedLocalFilesReachTheFormOthersAreRefused) {
    CurveTestWindow w;
    w.showAndWait();
    auto drop = [&](const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w.window, &enter);
        if (!enter.isAccepted()) return false;
        QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w.window, &dropped);
        QCoreApplication::processEvents();
        return true;
    };
    EXPECT_FALSE(drop({QUrl("https://example.org/EXAMPLE.INF")}));
    EXPECT_TRUE(drop({QUrl::fromLocalFile(QString::fromStdString(w.list))}));
    EXPECT_EQ(w.tuneList()->count(), 13);
    EXPECT_EQ(w.state().naamzonderpad, "EXAMPLE.INF");
    EXPECT_TRUE(w.platform.openRequests.empty());
}

TEST(QtCurve, TheHelpViewerClosesWithEscapeAndTheCloseShortcut) {
    QTemporaryDir folder;
    const std::string help = folder.path().toStdString() + "/VARIDAC.HLP";
    writeBytes(help, "<html><body><p>Help</p></body></html>");
    QtPlatform platform;
    for (const QKeySequence& keys : {QKeySequence(Qt::Key_Escape), QKeySequence(QKeySequence::Close)}) {
        SCOPED_TRACE(keys.toString().toStdString());
        platform.showHelp({help, kHelpForceFile});
        HelpViewer* viewer = platform.helpViewer();
        ASSERT_TRUE(QTest::qWaitForWindowActive(viewer));
        QTest::keySequence(viewer->browser(), keys);
        EXPECT_FALSE(viewer->isVisible());
    }
}

}  // namespace
}  // namespace varidac::testing
