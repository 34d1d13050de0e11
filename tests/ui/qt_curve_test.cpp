// The curve window, dropped files and the help viewer's keys on Qt: what
// only the toolkit can show. What they decide is tested on Form1 and the
// list editor.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QScreen>
#include <QTextBrowser>
#include <QUrl>
#include <cmath>
#include <optional>
#include <utility>
#include <variant>

#include "core/curve_plot.h"
#include "core/list_text.h"
#include "tests/ui/qt_support.h"
#include "ui/drawing_fit.h"
#include "ui/editor_layout.h"
#include "ui/qt/caption_fit.h"
#include "ui/qt/curve_window.h"
#include "ui/qt/drawing_box.h"
#include "ui/qt/help_viewer.h"
#include "ui/qt/qt_platform.h"
#include "ui/qt/window_controls.h"
#include "ui/twips.h"
#include "ui/window_placement.h"

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

// The curve window's control of a row of its table.
QWidget* controlOf(const CurveWindow& curve, const FormControl& row) {
    const QList<QWidget*> named = curve.findChildren<QWidget*>(QString::fromUtf8(row.name.data(), row.name.size()));
    const qsizetype index = row.index < 0 ? 0 : row.index;
    return index < named.size() ? named[index] : nullptr;
}

TEST(QtCurve, TheWindowIsBuiltFromItsTableAndItsColumnKeepsToTheRightEdge) {
    CurveTestWindow w;
    w.showAndWait();
    QTest::mouseDClick(w.tuneList()->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
    CurveWindow& curve = w.window.curveWindow();
    ASSERT_TRUE(becomesActive(&curve));
    EXPECT_EQ(curve.windowTitle(), "Tuning curve - new list");
    EXPECT_FALSE(curve.testAttribute(Qt::WA_QuitOnClose));
    // Beside the main window as far as the screen lets it, level with it.
    const QRect main = w.window.frameGeometry();
    const QRect room = w.window.screen()->availableGeometry();
    const PixelPoint beside = placeBeside({main.left(), main.top(), main.width(), main.height()}, curve.frameGeometry().width(),
                                          {room.left(), room.top(), room.width(), room.height()});
    EXPECT_EQ(curve.frameGeometry().topLeft(), QPoint(beside.x, beside.y));

    const QSize client(twipsToPixels(kCurveClientWidthTwips, 96), twipsToPixels(kCurveClientHeightTwips, 96));
    ASSERT_EQ(curve.size(), client);
    const char* const classes[] = {"QLabel",      "QGroupBox",    "QPushButton",          "QLineEdit",
                                   "QListWidget", "QRadioButton", "varidac::DrawingBox"};
    for (const QSize extra : {QSize(0, 0), QSize(120, 80)}) {
        curve.resize(client + extra);
        for (const FormControl& row : editorControls()) {
            SCOPED_TRACE(std::string(row.name) + " " + std::to_string(row.index) + " grown by " + std::to_string(extra.width()));
            QWidget* control = controlOf(curve, row);
            ASSERT_NE(control, nullptr);
            EXPECT_TRUE(control->inherits(classes[static_cast<int>(row.kind)])) << control->metaObject()->className();
            if (row.kind != ControlKind::TextBox) {
                EXPECT_EQ(captionOf(control).toStdString(), row.caption);
            }
            const QRect placed = pixelGeometry(row.rect, 96, 96);
            if (row.kind == ControlKind::PictureBox) {
                EXPECT_EQ(control->geometry(), placed.adjusted(0, 0, extra.width(), extra.height()));
            } else {
                ASSERT_GE(row.rect.left, kEditorColumnLeftTwips);
                EXPECT_EQ(control->geometry(), placed.translated(extra.width(), 0));
            }
        }
    }
    // A point not above the one before it is marked beside its field.
    QTest::keyClicks(curve.field(0), "5");
    QTest::keyClicks(curve.field(1), "4.5");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(curve.checkMark(i)->text(), i == 1 ? "!" : "") << i;
        EXPECT_EQ(curve.checkMark(i)->toolTip().contains("not above"), i == 1) << curve.checkMark(i)->toolTip().toStdString();
    }
    // Down and Up go from point to point.
    curve.field(1)->setFocus();
    QTest::keyClick(curve.field(1), Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget(), curve.field(2));
    QTest::keyClick(curve.field(2), Qt::Key_Up);
    EXPECT_EQ(QApplication::focusWidget(), curve.field(1));
    // Tab goes through the fields from 600 kHz, then the buttons.
    curve.field(0)->setFocus();
    QStringList visited;
    for (int i = 0; i < kListPoints + 3; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    QStringList expected;
    for (int i = 1; i < kListPoints; ++i) expected << "txtPoint";
    expected << "cmdNew" << "cmdSave" << "cmdSaveAs" << "txtPoint";
    EXPECT_EQ(visited, expected);
}

// The list editor on the real dialogs and message boxes, driven by keys and the mouse.
struct EditorTestWindow {
    EditorTestWindow() {
        platform.setOwner(&form);
        form.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&form));
        form.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
    }
    std::string path(const char* name) const { return appDir.path().toStdString() + "/" + name; }
    template <typename Widget>
    Widget* in(QWidget& window, const char* name) const {
        return window.findChild<Widget*>(name);
    }
    CurveWindow& curve() { return form.curveWindow(); }

    // Where the plot shows the point of `kHz`, in its own pixels.
    std::optional<QPointF> pointOnPlot(int kHz) {
        const Drawing& drawing = curve().plot()->drawing();
        const DrawingFit fit = fitDrawing(drawing, DeviceRect{0, 0, double(curve().plot()->width()), double(curve().plot()->height())});
        const std::string caption = std::to_string(kHz) + " kHz:";
        for (const Primitive& p : drawing.primitives) {
            const auto* c = std::get_if<Circle>(&p);
            if (c && c->role == Role::ListPoint && c->tooltip.starts_with(caption)) {
                const Point at = fit.toDevice(c->centre);
                return QPointF(at.x, at.y);
            }
        }
        return std::nullopt;
    }

    QTemporaryDir appDir;
    QtPlatform platform;
    QtForm form{platform, appDir.path().toStdString()};
};

TEST(QtCurve, AListTypedIntoAnEmptyWindowIsSavedFilledDraggedAndClosed) {
    EditorTestWindow w;
    auto* tuneList = w.in<QListWidget>(w.form, "txtDAlist");
    QTest::mouseDClick(tuneList->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
    CurveWindow& curve = w.curve();
    ASSERT_TRUE(becomesActive(&curve));

    // Eleven voltages, one typed with a decimal comma and one pasted with
    // it (after a paste that is refused); Enter goes to the next field.
    const char* const typed[kListPoints] = {"2.1", "2.75", "3.4", "4,15", "5", "5.8", "6,6", "7.5", "8.4", "9.3", "10.2"};
    const int pasted = 6;
    std::string expectedList;
    for (int i = 0; i < kListPoints; ++i) {
        ASSERT_EQ(QApplication::focusWidget(), curve.field(i)) << i;
        if (i == pasted) {
            QApplication::clipboard()->setText("6 V");
            QTest::keyClick(curve.field(i), Qt::Key_V, Qt::ControlModifier);
            EXPECT_EQ(curve.field(i)->text(), "");
            EXPECT_EQ(shownTip(), "Only digits and one decimal point");
            QApplication::clipboard()->setText(typed[i]);
            QTest::keyClick(curve.field(i), Qt::Key_V, Qt::ControlModifier);
        } else {
            QTest::keyClicks(QApplication::focusWidget(), typed[i]);
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QString volts = QString(typed[i]).replace(',', '.');
        EXPECT_EQ(curve.field(i)->text(), volts);
        expectedList += std::to_string(pointKHz(i)) + "," + volts.toStdString() + "\r\n";
    }
    EXPECT_EQ(curve.windowTitle(), "Tuning curve - new list *");

    // Saved through the real dialog, under a name typed without extension.
    bool saved = false;
    whenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
        EXPECT_EQ(dialog->directory().absolutePath(), w.appDir.path());
        auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(name, nullptr);
        name->clear();
        QTest::keyClicks(name, "MYLIST");
        pressAccept(dialog);
        saved = true;
    });
    QTest::mouseClick(w.in<QPushButton>(curve, "cmdSave"), Qt::LeftButton);
    ASSERT_TRUE(saved);
    EXPECT_TRUE(readBytes(w.path("MYLIST.INF")) == expectedList) << readBytes(w.path("MYLIST.INF"));
    EXPECT_EQ(curve.windowTitle(), "Tuning curve - MYLIST.INF");
    ASSERT_EQ(tuneList->count(), 13);

    // The main window runs the filler on the list it read back.
    QString shown;
    whenModal([&](QWidget* modal) {
        shown = modal->windowTitle() + "|" + static_cast<QMessageBox*>(modal)->text();
        QTest::keyClick(modal, Qt::Key_Return);
    }, "QMessageBox");
    QTest::mouseClick(w.in<QPushButton>(w.form, "cmdFiller"), Qt::LeftButton);
    EXPECT_EQ(shown, "Run OK!|Okido!  \nMYLIST_27C64.BIN is created.  ");
    QTemporaryDir reference;
    const std::string referenceList = reference.path().toStdString() + "/MYLIST.INF";
    writeBytes(referenceList, expectedList);
    QProcess companion;
    companion.start(VARIDAC_FILL_PATH, {"--start", "1.50", "--end", "12.00", "--eprom", "27C64", QString::fromStdString(referenceList)});
    ASSERT_TRUE(companion.waitForFinished(30000));
    ASSERT_EQ(companion.exitCode(), 0);
    for (const char* name : {"/MYLIST_27C64.BIN", "/MYLIST_test_DA.TXT"}) {
        const std::string ours = readBytes(w.appDir.path().toStdString() + name);
        EXPECT_FALSE(ours.empty()) << name;
        EXPECT_TRUE(ours == readBytes(reference.path().toStdString() + name)) << name;
    }

    // A point dragged upwards follows the mouse in steps of 0.01 V.
    DrawingBox* plot = curve.plot();
    const std::optional<QPointF> from = w.pointOnPlot(1100);
    ASSERT_TRUE(from);
    const QPoint press = from->toPoint();
    QTest::mousePress(plot, Qt::LeftButton, {}, press);
    for (const int up : {7, 19, 30}) {
        SCOPED_TRACE(up);
        QTest::mouseMove(plot, press - QPoint(0, up));
        const std::optional<double> volts = pointVoltage(curve.field(5)->text().toStdString());
        ASSERT_TRUE(volts);
        EXPECT_GT(*volts, 5.8);
        EXPECT_NEAR(*volts * 100, std::round(*volts * 100), 1e-6);
        EXPECT_NEAR(w.pointOnPlot(1100)->y(), press.y() - up, 1.0);
    }
    QTest::mouseRelease(plot, Qt::LeftButton, {}, press - QPoint(0, 30));
    EXPECT_EQ(curve.windowTitle(), "Tuning curve - MYLIST.INF *");

    // Either window closed with unsaved changes asks: Cancel keeps it open,
    // No closes it.
    struct Closing {
        QWidget* window;
        QMessageBox::StandardButton answer;
        bool staysOpen;
    };
    for (const Closing& c : {Closing{&w.form, QMessageBox::Cancel, true}, Closing{&curve, QMessageBox::Cancel, true},
                             Closing{&curve, QMessageBox::No, false}}) {
        SCOPED_TRACE(c.window->objectName().toStdString());
        QString asked;
        whenModal([&](QWidget* modal) {
            auto* box = static_cast<QMessageBox*>(modal);
            asked = box->text();
            QTest::mouseClick(box->button(c.answer), Qt::LeftButton);
        }, "QMessageBox");
        c.window->QWidget::close();
        EXPECT_EQ(asked, "Save changes to MYLIST.INF?");
        EXPECT_EQ(c.window->isVisible(), c.staysOpen);
        EXPECT_EQ(curve.isVisible(), w.form.form().curveWindowOpen());
    }
    EXPECT_TRUE(w.form.isVisible());
    EXPECT_TRUE(readBytes(w.path("MYLIST.INF")) == expectedList);

    // Enter on the list opens it again with the list as saved; Escape in a
    // field closes it, with nothing to ask.
    tuneList->setFocus();
    QTest::keyClick(tuneList, Qt::Key_Return);
    ASSERT_TRUE(becomesActive(&curve));
    EXPECT_EQ(curve.field(5)->text(), "5.8");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(curve.isVisible());
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
