// The Qt front end: widgets built from the control table, Qt's events
// reaching Form1's handlers, and the mapping of keys to character codes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontInfo>
#include <QGroupBox>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QTimer>

#include "tests/ui/qt_support.h"
#include "ui/form_layout.h"
#include "ui/qt/caption_fit.h"
#include "ui/qt/key_codes.h"
#include "ui/qt/qt_platform.h"
#include "ui/twips.h"

namespace varidac::testing {
namespace {

TEST(QtForm, BuildsWhatTheControlTableSays) {
    const QFont applicationFont = QApplication::font();
    TestWindow w;
    // Message boxes and dialogs keep the application's face.
    EXPECT_EQ(QApplication::font().toString(), applicationFont.toString());
    w.showAndWait();
    const char* const classes[] = {"QLabel",      "QGroupBox",    "QPushButton",          "QLineEdit",
                                   "QListWidget", "QRadioButton", "varidac::DrawingBox"};
    for (const FormControl& row : formControls()) {
        SCOPED_TRACE(std::string(row.name) + " " + std::to_string(row.index));
        QWidget* control = row.index >= 0 ? w.option(static_cast<std::size_t>(row.index))
                                           : w.window.findChild<QWidget*>(QString::fromUtf8(row.name.data(), row.name.size()));
        ASSERT_NE(control, nullptr);
        EXPECT_TRUE(control->inherits(classes[static_cast<int>(row.kind)])) << control->metaObject()->className();
        EXPECT_EQ(control->parentWidget()->objectName().toStdString(), row.container);
        if (row.kind != ControlKind::TextBox) {
            EXPECT_EQ(captionOf(control).toStdString(), row.caption);
        }
        const TwipsRect& r = row.rect;
        EXPECT_EQ(control->geometry(), QRect(twipsToPixels(r.left, 96), twipsToPixels(r.top, 96),
                                             twipsToPixels(r.width, 96), twipsToPixels(r.height, 96)));
        EXPECT_EQ(control->font().weight(), row.fontWeight);
        EXPECT_DOUBLE_EQ(control->font().pointSizeF(), 8.25);
        // The face really used is the window's, also inside the frames.
        EXPECT_EQ(QFontInfo(control->font()).family(), QFontInfo(w.window.font()).family());
        EXPECT_TRUE(control->isEnabled());
        EXPECT_FALSE(control->isHidden());
        EXPECT_FALSE(captionOf(control).contains('&')) << "no access keys";
        if (auto* button = qobject_cast<QPushButton*>(control)) {
            EXPECT_FALSE(button->isDefault());
        }
        // A container holds exactly the controls that the table puts in it.
        const auto held = std::count_if(formControls().begin(), formControls().end(),
                                         [&](const FormControl& c) { return c.container == row.name; });
        if (row.kind == ControlKind::Frame) {
            EXPECT_EQ(control->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).size(), held);
        }
    }
    // The two frames and the title label; the curve window, a window of its
    // own, only once it is first needed.
    EXPECT_EQ(w.window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly).size(), 3);
    w.window.curveWindow();
    EXPECT_EQ(w.window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly).size(), 4);
    auto* list = w.window.findChild<QListWidget*>("txtDAlist");
    EXPECT_EQ(list->count(), 0);
    EXPECT_EQ(list->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_FALSE(list->isSortingEnabled());
}

TEST(QtForm, FixedClientSizeTitleAndTitleBarButtons) {
    TestWindow w;
    w.showAndWait();
    ASSERT_EQ(w.window.logicalDpiX(), 96);
    ASSERT_EQ(w.window.logicalDpiY(), 96);
    EXPECT_EQ(w.window.size(), QSize(258, 435));
    w.window.resize(400, 600);
    EXPECT_EQ(w.window.size(), QSize(258, 435));
    EXPECT_EQ(w.window.windowTitle(), QString("VARIDAC EPROM FILLER "));
    const Qt::WindowFlags flags = w.window.windowFlags();
    EXPECT_TRUE(flags & Qt::WindowTitleHint);
    EXPECT_TRUE(flags & Qt::WindowSystemMenuHint);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
}

TEST(QtForm, IconIsTheRedJrcOnNearWhite) {
    TestWindow w;
    const QImage image = w.window.windowIcon().pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(image.size(), QSize(32, 32));
    const QRgb red = qRgb(255, 0, 0);
    const QRgb ground = qRgb(252, 254, 252);
    int reds = 0;
    bool fullRow = false;  // the border spans the full width
    for (int y = 0; y < 32; ++y) {
        bool all = true;
        for (int x = 0; x < 32; ++x) {
            const QRgb p = image.pixel(x, y);
            EXPECT_EQ(qAlpha(p), 255) << x << "," << y;
            EXPECT_TRUE((p | 0xff000000u) == red || (p | 0xff000000u) == ground) << x << "," << y;
            reds += (p | 0xff000000u) == red;
            all = all && (p | 0xff000000u) == red;
        }
        fullRow = fullRow || all;
    }
    EXPECT_GT(reds, 100);
    EXPECT_TRUE(fullRow);
    // The corners lie outside the border, on the ground.
    EXPECT_EQ(image.pixel(0, 0) | 0xff000000u, ground);
    EXPECT_EQ(image.pixel(31, 31) | 0xff000000u, ground);
}

TEST(QtForm, LoadFillsTheFieldsAndShowingSelects27C64WithTheFocusOnIt) {
    TestWindow w;
    EXPECT_EQ(w.field("txtStartVoltage")->text(), "1.50");
    EXPECT_EQ(w.field("txtEndVoltage")->text(), "12.00");
    EXPECT_EQ(w.field("txtStep")->text(), "0.0412");
    for (std::size_t i = 0; i < 4; ++i) EXPECT_FALSE(w.option(i)->isChecked());
    w.showAndWait();
    EXPECT_EQ(w.window.focusWidget(), w.option(0));
    EXPECT_TRUE(w.option(0)->isChecked());
    EXPECT_EQ(w.state().epromtype, "27C64");
    // Arrow keys move the selection inside the group.
    QTest::keyClick(w.option(0), Qt::Key_Down);
    EXPECT_EQ(w.window.focusWidget(), w.option(1));
    EXPECT_EQ(w.state().epromtype, "27C128");
    // Options are one group; showing again changes nothing that the user chose.
    QTest::mouseClick(w.option(3), Qt::LeftButton);
    EXPECT_EQ(w.state().epromtype, "27C512");
    w.window.hide();
    w.showAndWait();
    EXPECT_EQ(w.state().epromtype, "27C512");
    for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(w.option(i)->isChecked(), i == 3);
}

TEST(QtForm, KeysReachTheFiltersAndEveryChangeTheHandlers) {
    TestWindow w;
    w.retype("txtStartVoltage", "0");
    w.retype("txtEndVoltage", "5");
    EXPECT_EQ(w.state().EndVoltage, 5);
    EXPECT_EQ(w.field("txtStep")->text(), "0.0196");
    for (const char* name : {"txtEndVoltage", "txtStep"}) {
        QLineEdit* edit = w.field(name);
        const QString before = edit->text();
        QTest::keyClick(edit, ',');
        QTest::keyClick(edit, Qt::Key_A, Qt::ShiftModifier);
        QTest::keyClick(edit, Qt::Key_Escape);
        EXPECT_EQ(edit->text(), before) << name;
    }
    EXPECT_EQ(w.platform.beeps, 6);
    // Delete types no character: it passes no filter and still recomputes.
    QLineEdit* end = w.field("txtEndVoltage");
    QTest::keyClick(end, Qt::Key_Home);
    QTest::keyClick(end, Qt::Key_Delete);
    EXPECT_EQ(end->text(), "");
    EXPECT_EQ(w.field("txtStep")->text(), "00");
    EXPECT_EQ(w.platform.beeps, 6);
}

// The ways text leaves or reaches a field other than a typed character.
enum class Way { CtrlV, ShiftInsert, MenuPaste, Drop, MiddleButton, CtrlC, CtrlX, ShiftDelete, DeleteKey, MenuCut, MenuDelete };

// Runs the entry of the field's own context menu whose text (without its
// shortcut) is `entry`.
void runMenuEntry(QLineEdit* edit, const QString& entry) {
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), edit->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(edit, &event);
    for (QWidget* top : QApplication::topLevelWidgets()) {
        auto* menu = qobject_cast<QMenu*>(top);
        if (!menu || !menu->isVisible()) continue;
        // As a menu does: it closes, then runs the entry.
        menu->close();
        for (QAction* action : menu->actions()) {
            if (action->text().section('\t', 0, 0) == entry) action->trigger();
        }
    }
}

void edit(QLineEdit* field, Way way, const QString& text) {
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->setText(text);
    switch (way) {
        case Way::CtrlV:
            return QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
        case Way::ShiftInsert:
            return QTest::keyClick(field, Qt::Key_Insert, Qt::ShiftModifier);
        case Way::MenuPaste:
            return runMenuEntry(field, "&Paste");
        case Way::Drop: {
            QMimeData data;
            data.setText(text);
            const QPoint end(field->width() - 2, field->height() / 2);
            QDragEnterEvent enter(end, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(field, &enter);
            QDropEvent drop(end, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(field, &drop);
            return;
        }
        case Way::MiddleButton:
            clipboard->setText(text, QClipboard::Selection);
            return QTest::mouseClick(field, Qt::MiddleButton, {}, QPoint(field->width() - 2, field->height() / 2));
        case Way::CtrlC:
            return QTest::keyClick(field, Qt::Key_C, Qt::ControlModifier);
        case Way::CtrlX:
            return QTest::keyClick(field, Qt::Key_X, Qt::ControlModifier);
        case Way::ShiftDelete:
            return QTest::keyClick(field, Qt::Key_Delete, Qt::ShiftModifier);
        case Way::DeleteKey:
            return QTest::keyClick(field, Qt::Key_Delete);
        case Way::MenuCut:
            return runMenuEntry(field, "Cu&t");
        case Way::MenuDelete:
            return runMenuEntry(field, "Delete");
    }
}

TEST(QtForm, PastesCutsAndDeletesAreTakenOnlyWhereTheFormLetsThem) {
    struct Case {
        const char* field;
        Way way;
        const char* text;    // on the clipboard, or dropped
        bool selectAll;      // else the cursor stands at the end
        const char* after;   // the field's text afterwards
        const char* tip;     // shown beside the field
        int beeps;
        const char* clipboard;  // afterwards
    };
    const char* const point = "Type the decimal point as .";
    const Case cases[] = {
        {"txtStartVoltage", Way::CtrlV, "12,5", true, "1.50", point, 1, "12,5"},
        {"txtStartVoltage", Way::ShiftInsert, "2.5", true, "2.5", "", 0, "2.5"},
        {"txtStartVoltage", Way::MiddleButton, "3,5", false, "1.50", point, 1, "3,5"},
        {"txtEndVoltage", Way::MenuPaste, "x2", true, "12.00", "Only digits and one decimal point", 1, "x2"},
        {"txtEndVoltage", Way::MenuPaste, "5", false, "12.005", "", 0, "5"},
        {"txtEndVoltage", Way::Drop, "7", true, "12.007", "", 0, "7"},
        {"txtEndVoltage", Way::Drop, "1.5", false, "12.00", "One decimal point only", 1, "1.5"},
        {"txtStartVoltage", Way::CtrlC, "7", true, "1.50", "", 1, "7"},
        {"txtStartVoltage", Way::MenuCut, "7", true, "", "", 0, "1.50"},
        {"txtStartVoltage", Way::DeleteKey, "7", true, "", "", 0, "7"},
        {"txtStep", Way::CtrlV, "1", true, "0.0412", "", 1, "1"},
        {"txtStep", Way::MenuPaste, "1", true, "0.0412", "", 1, "1"},
        {"txtStep", Way::CtrlX, "1", true, "0.0412", "", 1, "1"},
        {"txtStep", Way::ShiftDelete, "1", true, "0.0412", "", 1, "1"},
        {"txtStep", Way::MenuCut, "1", true, "0.0412", "", 1, "1"},
        {"txtStep", Way::DeleteKey, "1", true, "0.0412", "", 1, "1"},
        {"txtStep", Way::MenuDelete, "1", true, "0.0412", "", 1, "1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " way " + std::to_string(static_cast<int>(c.way)) + " " + c.text);
        // The middle button pastes the selection only where the system has one (X11).
        if (c.way == Way::MiddleButton && !QApplication::clipboard()->supportsSelection()) continue;
        TestWindow w;
        w.showAndWait();
        QToolTip::showText(QPoint(), QString());
        QLineEdit* field = w.field(c.field);
        field->setFocus();
        field->end(false);
        if (c.selectAll) field->selectAll();
        edit(field, c.way, c.text);
        EXPECT_EQ(field->text(), c.after);
        EXPECT_EQ(shownTip(), c.tip);
        EXPECT_EQ(w.platform.beeps, c.beeps);
        EXPECT_EQ(QApplication::clipboard()->text(), c.clipboard);
    }
}

TEST(QtForm, EnterMovesTheFocusAndOnlyAFocusedButtonIsPressed) {
    const std::pair<const char*, const char*> moves[] = {
        {"txtStartVoltage", "txtEndVoltage"}, {"txtEndVoltage", "txtStartVoltage"}, {"txtStep", "txtStartVoltage"}};
    TestWindow w;
    w.showAndWait();
    for (const auto& [from, to] : moves) {
        w.field(from)->setFocus();
        QTest::keyClick(w.field(from), Qt::Key_Return);
        EXPECT_EQ(w.window.focusWidget(), w.field(to)) << from;
    }
    QTest::keyClick(w.field("txtStartVoltage"), Qt::Key_Escape);
    // Enter and Esc reach no button: nothing but the refused Esc's beep.
    EXPECT_EQ(w.platform.log, std::vector<std::string>{"beep"});
    w.button("cmdFiller")->setFocus();
    QTest::keyClick(w.button("cmdFiller"), Qt::Key_Return);
    QTest::keyClick(w.button("cmdFiller"), Qt::Key_Space);
    // No list yet: each press gives the filler run's refusal.
    EXPECT_EQ(w.platform.log, (std::vector<std::string>{"beep", "message:Error !", "message:Error !"}));
}

TEST(QtForm, TabFromTheStartGoesThroughTheControlsInTabOrder) {
    TestWindow w;
    w.showAndWait();
    std::vector<std::string> visited;
    for (int i = 0; i < 10; ++i) {
        QTest::keyClick(w.window.focusWidget(), Qt::Key_Tab);
        QWidget* focus = w.window.focusWidget();
        visited.push_back(focus == w.option(0) ? "27C64" : focus->objectName().toStdString());
    }
    // The unselected options are passed over, as usual for an option group.
    const std::vector<std::string> expected = {"cmdFiller",    "txtStartVoltage", "txtEndVoltage", "txtStep", "cmdLeeslijst",
                                               "cmdStoppen", "txtDAlist",       "Command1",      "27C64",   "cmdFiller"};
    EXPECT_EQ(visited, expected);
}

TEST(QtForm, ButtonsReachTheirHandlers) {
    TestWindow w;
    w.showAndWait();
    // Twice: the second list replaces the first's items.
    w.platform.openAnswers = {std::string(VARIDAC_EXAMPLE_LIST), std::string(VARIDAC_EXAMPLE_LIST)};
    w.click("cmdLeeslijst");
    w.click("cmdLeeslijst");
    auto* list = w.window.findChild<QListWidget*>("txtDAlist");
    ASSERT_EQ(list->count(), 13);
    EXPECT_EQ(list->item(0)->text(), "  500 ,  1.50");
    EXPECT_EQ(list->item(12)->text(), "  1700 ,  12.00");
    w.click("Command1");
    w.click("cmdStoppen");
    EXPECT_EQ(w.platform.log, (std::vector<std::string>{"open", "open", "message:Error !", "end"}));
    EXPECT_FALSE(w.window.isVisible());
}

// Runs the event loop until the program ends, or fails after a while.
int runUntilTheProgramEnds() {
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    watchdog.start(10000);
    return QApplication::exec();
}

TEST(QtForm, ExitAndTheCloseButtonEndTheEventLoop) {
    QTemporaryDir appDir;
    QtPlatform platform;
    QtForm form(platform, appDir.path().toStdString());
    platform.setOwner(&form);
    form.show();
    QTimer::singleShot(0, &form, [&form] { QTest::mouseClick(form.findChild<QPushButton*>("cmdStoppen"), Qt::LeftButton); });
    EXPECT_EQ(runUntilTheProgramEnds(), 0);
    EXPECT_FALSE(form.isVisible());

    TestWindow w;
    w.showAndWait();
    QTimer::singleShot(0, &w.window, [&w] { w.window.close(); });
    EXPECT_EQ(runUntilTheProgramEnds(), 0);
    EXPECT_TRUE(w.platform.log.empty()) << "no handler runs, no message";
}

TEST(QtForm, KeyEventsBecomeCharacterCodes) {
    struct Case {
        int key;
        Qt::KeyboardModifiers modifiers;
        const char* text;
        int code;
    };
    const Case cases[] = {
        {Qt::Key_5, Qt::NoModifier, "5", 53},
        {Qt::Key_Period, Qt::NoModifier, ".", 46},
        {Qt::Key_Return, Qt::NoModifier, "\r", 13},
        {Qt::Key_Enter, Qt::KeypadModifier, "\r", 13},
        {Qt::Key_Backspace, Qt::NoModifier, "\b", 8},
        {Qt::Key_Escape, Qt::NoModifier, "\x1b", 27},
        {Qt::Key_V, Qt::ControlModifier, "\x16", 22},
        {Qt::Key_V, Qt::ControlModifier, "v", 22},
        {Qt::Key_V, Qt::ControlModifier, "", 22},
        {Qt::Key_C, Qt::ControlModifier, "", 3},
        {Qt::Key_X, Qt::ControlModifier, "", 24},
        {Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, "", 26},
        {Qt::Key_A, Qt::ShiftModifier, "A", 65},
        {Qt::Key_Delete, Qt::NoModifier, "\x7f", -1},
        {Qt::Key_Left, Qt::NoModifier, "", -1},
        {Qt::Key_Tab, Qt::NoModifier, "\t", -1},
        {Qt::Key_Home, Qt::ShiftModifier, "", -1},
        {Qt::Key_Insert, Qt::ShiftModifier, "", -1},
        {Qt::Key_5, Qt::AltModifier, "5", -1},
        {Qt::Key_unknown, Qt::NoModifier, "\xc3\xa9", 0xe9},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(characterCode(c.key, c.modifiers, QString::fromUtf8(c.text)), c.code) << c.key << " " << c.text;
    }
}

TEST(QtForm, TheBuildPutsTheUsersGuideBesideTheProgram) {
    const std::string help = readBytes(std::string(VARIDAC_PROGRAM_DIR) + "/VARIDAC.HLP");
    ASSERT_FALSE(help.empty());
    EXPECT_EQ(help, readBytes(VARIDAC_HELP_SOURCE));
    // It covers the list format, the alignment points and every message.
    for (const char* needed :
         {"<html", "600,2.1", "1600,11.5", "500.0 kHz", "1700.0 kHz", "_test_DA.TXT", "27C512", "65536",
          "I don't like what you did !", "doesn't start the way it should", "could not be read",
          "D/A EndVoltage must be at least", "D/A StartVoltage must be at least", "First set Start and End voltage",
          "D/A code outside 00H to FFH", "First select an EPROM type", "Cannot write", "Okido!",
          "Help file VARIDAC.HLP not found"}) {
        EXPECT_NE(help.find(needed), std::string::npos) << needed;
    }
}

}  // namespace
}  // namespace varidac::testing
