// Start-up, the voltage fields with their step, the key filters, the focus
// moves and the EPROM options, driven through key presses and clicks.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QSignalSpy>
#include <QTimer>
#include <filesystem>

#include "tests/ui/window_support.h"

namespace varidac::testing {
namespace {

TEST(StartUp, BeforeTheWindowIsShownNoTypeIsSelected) {
    TestWindow w;
    const TuningState& s = w.form->tuningState();
    EXPECT_EQ(s.pad, std::filesystem::current_path().string());
    EXPECT_EQ(s.alleendenaam, "DUMMY_515ZE");
    EXPECT_EQ(s.naamzonderpad, "DUMMY_515ZE.INF");
    EXPECT_EQ(w.field("txtStartVoltage")->text(), "1.50");
    EXPECT_EQ(w.field("txtEndVoltage")->text(), "12.00");
    EXPECT_EQ(w.field("txtStep")->text(), "0.0412");
    EXPECT_EQ(s.StartVoltage, 1.5);
    EXPECT_EQ(s.EndVoltage, 12.0);
    EXPECT_EQ(s.RangeVoltage, 10.5);
    EXPECT_EQ(s.VoltageStep, 0.041176470588235294);
    EXPECT_EQ(s.eprom_64, 0);
    EXPECT_EQ(s.eprom_128, 0);
    EXPECT_EQ(s.eprom_256, 0);
    EXPECT_EQ(s.eprom_512, 0);
    EXPECT_EQ(s.epromtype, "");
    for (QRadioButton* option : w.options()) EXPECT_FALSE(option->isChecked());
    EXPECT_TRUE(w.platform.log.empty());
}

TEST(StartUp, ShowingTheWindowSelects27C64WithTheFocusOnIt) {
    TestWindow w;
    w.showAndWait();
    const TuningState& s = w.form->tuningState();
    EXPECT_EQ(w.form->focusWidget(), w.options()[0]);
    EXPECT_TRUE(w.options()[0]->isChecked());
    EXPECT_EQ(s.eprom_64, 1);
    EXPECT_EQ(s.eprom_128, 0);
    EXPECT_EQ(s.eprom_256, 0);
    EXPECT_EQ(s.eprom_512, 0);
    EXPECT_EQ(s.epromtype, "27C64");
    // Hiding and showing again changes nothing that the user chose.
    QTest::mouseClick(w.options()[3], Qt::LeftButton);
    w.form->hide();
    w.showAndWait();
    EXPECT_EQ(w.form->tuningState().epromtype, "27C512");
    EXPECT_TRUE(w.options()[3]->isChecked());
}

TEST(StartUp, LoadSetsTheStartTextFirstAndEachChangeRunsAtOnce) {
    TestWindow w;
    w.retype("txtStartVoltage", "9");
    w.retype("txtEndVoltage", "");
    QSignalSpy steps(w.field("txtStep"), &QLineEdit::textChanged);
    w.form->Form_Load();
    // Setting "1.50" runs the change handler while the end field is still
    // empty (0 V): |0 - 1.5| / 255 = 0.0059; then "12.00" gives 0.0412.
    ASSERT_EQ(steps.count(), 2);
    EXPECT_EQ(steps.at(0).at(0).toString(), "0.0059");
    EXPECT_EQ(steps.at(1).at(0).toString(), "0.0412");
    EXPECT_EQ(w.form->tuningState().VoltageStep, 10.5 / 255);
}

struct StepCase {
    const char* start;
    const char* end;
    const char* stepText;
    double startVoltage;
    double endVoltage;
    double range;
};

TEST(VoltageFields, TypingRecomputesTheVoltagesAndTheStepText) {
    const StepCase cases[] = {
        {"12.00", "1.50", "0.0412", 12.0, 1.5, -10.5},
        {"5", "5", "00", 5, 5, 0},
        {"0", "0.01", "00", 0, 0.01, 0.01},
        {"0", "300", "01.1765", 0, 300, 300},
        {"0", "255", "01", 0, 255, 255},
        {"0", "5", "0.0196", 0, 5, 5},
        {"1.2.3", "12", "0.0424", 1.2, 12, 10.8},
        {".", "12", "0.0471", 0, 12, 12},
        {"", "12", "0.0471", 0, 12, 12},
        {"12.", "24", "0.0471", 12, 24, 12},
        {".5", "1", "0.002", 0.5, 1, 0.5},
        {"1.50", "", "0.0059", 1.5, 0, -1.5},
    };
    for (const StepCase& c : cases) {
        SCOPED_TRACE(std::string(c.start) + " / " + c.end);
        TestWindow w;
        w.retype("txtStartVoltage", c.start);
        w.retype("txtEndVoltage", c.end);
        const TuningState& s = w.form->tuningState();
        EXPECT_EQ(w.field("txtStartVoltage")->text().toStdString(), c.start);
        EXPECT_EQ(w.field("txtEndVoltage")->text().toStdString(), c.end);
        EXPECT_EQ(w.field("txtStep")->text().toStdString(), c.stepText);
        EXPECT_EQ(s.StartVoltage, c.startVoltage);
        EXPECT_EQ(s.EndVoltage, c.endVoltage);
        EXPECT_EQ(s.RangeVoltage, c.endVoltage - c.startVoltage);
        EXPECT_DOUBLE_EQ(s.RangeVoltage, c.range);
        EXPECT_EQ(s.VoltageStep, (c.endVoltage - c.startVoltage) / 255);
        EXPECT_EQ(w.platform.beeps, 0);
    }
}

TEST(VoltageFields, EveryKeystrokeRecomputes) {
    TestWindow w;
    w.retype("txtEndVoltage", "");
    QLineEdit* end = w.field("txtEndVoltage");
    const struct {
        char key;
        double endVoltage;
        const char* step;
    } keys[] = {{'3', 3, "0.0059"}, {'0', 30, "0.1118"}, {'.', 30, "0.1118"}, {'6', 30.6, "0.1141"}};
    for (const auto& k : keys) {
        QTest::keyClick(end, k.key);
        EXPECT_EQ(w.form->tuningState().EndVoltage, k.endVoltage) << k.key;
        EXPECT_EQ(w.field("txtStep")->text().toStdString(), k.step) << k.key;
    }
    QTest::keyClick(end, Qt::Key_Backspace);
    EXPECT_EQ(end->text(), "30.");
    EXPECT_EQ(w.form->tuningState().EndVoltage, 30);
    EXPECT_EQ(w.platform.beeps, 0);
}

TEST(KeyFilter, VoltageFieldsRefuseAllButDigitsPointAndBackspace) {
    for (const char* name : {"txtStartVoltage", "txtEndVoltage"}) {
        SCOPED_TRACE(name);
        TestWindow w;
        QLineEdit* edit = w.field(name);
        const QString before = edit->text();
        const double startBefore = w.form->tuningState().StartVoltage;
        const double endBefore = w.form->tuningState().EndVoltage;
        int beeps = 0;
        for (char c : std::string("a-, +eEx/")) {
            QTest::keyClick(edit, c);
            EXPECT_EQ(edit->text(), before) << c;
            EXPECT_EQ(w.platform.beeps, ++beeps) << c;
        }
        QTest::keyClick(edit, Qt::Key_A, Qt::ShiftModifier);
        EXPECT_EQ(w.platform.beeps, ++beeps);
        QTest::keyClick(edit, Qt::Key_Escape);
        EXPECT_EQ(w.platform.beeps, ++beeps);
        EXPECT_EQ(edit->text(), before);
        EXPECT_EQ(w.form->tuningState().StartVoltage, startBefore);
        EXPECT_EQ(w.form->tuningState().EndVoltage, endBefore);
        // Digits and any number of points pass.
        QTest::keyClick(edit, Qt::Key_End);
        QTest::keyClicks(edit, "0123456789..");
        EXPECT_EQ(edit->text(), before + "0123456789..");
        EXPECT_EQ(w.platform.beeps, beeps);
        EXPECT_TRUE(w.platform.messages.empty());
    }
}

TEST(KeyFilter, StepFieldRefusesEveryCharacter) {
    TestWindow w;
    QLineEdit* step = w.field("txtStep");
    QTest::keyClick(step, Qt::Key_End);
    int beeps = 0;
    for (char c : std::string("05.a ")) {
        QTest::keyClick(step, c);
        EXPECT_EQ(step->text(), "0.0412") << c;
        EXPECT_EQ(w.platform.beeps, ++beeps) << c;
    }
    QTest::keyClick(step, Qt::Key_Backspace);
    EXPECT_EQ(step->text(), "0.0412");
    EXPECT_EQ(w.platform.beeps, ++beeps);
}

TEST(KeyFilter, ClipboardShortcutsAreRefusedWithABeep) {
    QApplication::clipboard()->setText("7");
    const Qt::Key shortcuts[] = {Qt::Key_V, Qt::Key_C, Qt::Key_X, Qt::Key_Z, Qt::Key_A};
    for (const char* name : {"txtStartVoltage", "txtEndVoltage", "txtStep"}) {
        SCOPED_TRACE(name);
        TestWindow w;
        QLineEdit* edit = w.field(name);
        const QString before = edit->text();
        int beeps = 0;
        for (Qt::Key key : shortcuts) {
            QTest::keyClick(edit, Qt::Key_End);
            QTest::keyClick(edit, Qt::Key_Home, Qt::ShiftModifier);
            QTest::keyClick(edit, key, Qt::ControlModifier);
            EXPECT_EQ(edit->text(), before) << key;
            EXPECT_EQ(w.platform.beeps, ++beeps) << key;
        }
        EXPECT_EQ(QApplication::clipboard()->text(), "7") << "nothing was copied or cut";
    }
}

TEST(KeyFilter, DeleteBypassesTheFilterAndStillRecomputes) {
    TestWindow w;
    QLineEdit* start = w.field("txtStartVoltage");
    QTest::keyClick(start, Qt::Key_Home);
    QTest::keyClick(start, Qt::Key_Delete);
    EXPECT_EQ(start->text(), ".50");
    EXPECT_EQ(w.form->tuningState().StartVoltage, 0.5);
    EXPECT_EQ(w.field("txtStep")->text(), "0.0451");
    EXPECT_EQ(w.platform.beeps, 0);
    // In the step field Delete changes only what is shown.
    QLineEdit* step = w.field("txtStep");
    QTest::keyClick(step, Qt::Key_Home);
    QTest::keyClick(step, Qt::Key_Delete);
    EXPECT_EQ(step->text(), ".0451");
    EXPECT_EQ(w.form->tuningState().VoltageStep, 11.5 / 255);
    EXPECT_EQ(w.platform.beeps, 0);
    // The next recomputation puts it right.
    QTest::keyClick(start, Qt::Key_End);
    QTest::keyClick(start, '0');
    EXPECT_EQ(step->text(), "0.0451");
}

TEST(KeyFilter, ContextMenuPasteBypassesTheFilter) {
    TestWindow w;
    w.showAndWait();
    QApplication::clipboard()->setText("x2");
    QLineEdit* end = w.field("txtEndVoltage");
    w.retype("txtEndVoltage", "");
    // The menu may be a popup or run its own loop; find it either way.
    bool pasted = false;
    QTimer::singleShot(0, [&pasted] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            auto* menu = qobject_cast<QMenu*>(top);
            if (!menu || !menu->isVisible()) continue;
            for (QAction* action : menu->actions()) {
                // Named "edit-paste" from Qt 6.5 on; before that only its text tells.
                if (action->objectName() == "edit-paste" || action->text().startsWith("&Paste")) {
                    action->trigger();
                    pasted = true;
                }
            }
            menu->close();
        }
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), end->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(end, &event);
    for (int i = 0; i < 100 && !pasted; ++i) QTest::qWait(10);
    ASSERT_TRUE(pasted);
    EXPECT_EQ(end->text(), "x2");
    // A text that does not begin with a number reads as 0.
    EXPECT_EQ(w.form->tuningState().EndVoltage, 0);
    EXPECT_EQ(w.field("txtStep")->text(), "0.0059");
    EXPECT_EQ(w.platform.beeps, 0);
}

TEST(FocusMoves, EnterMovesTheFocusAndPressesNoButton) {
    struct Case {
        const char* from;
        const char* to;
    };
    const Case cases[] = {
        {"txtStartVoltage", "txtEndVoltage"},
        {"txtEndVoltage", "txtStartVoltage"},
        {"txtStep", "txtStartVoltage"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.from);
        TestWindow w;
        w.showAndWait();
        QLineEdit* from = w.field(c.from);
        from->setFocus();
        const QString before = from->text();
        QTest::keyClick(from, Qt::Key_Return);
        EXPECT_EQ(w.form->focusWidget(), w.field(c.to));
        EXPECT_EQ(from->text(), before);
        QTest::keyClick(w.field(c.to), Qt::Key_Escape);
        // Enter and Esc reach no button: nothing but the refused Esc's beep.
        EXPECT_EQ(w.platform.log, std::vector<std::string>{"beep"});
    }
}

TEST(FocusMoves, EnterOrSpacePressesTheFocusedButtonOnly) {
    TestWindow w;
    w.showAndWait();
    QPushButton* filler = w.button("cmdFiller");
    filler->setFocus();
    QTest::keyClick(filler, Qt::Key_Return);
    QTest::keyClick(filler, Qt::Key_Space);
    // No list yet: each press gives the filler run's refusal, nothing else.
    EXPECT_EQ(w.platform.log, (std::vector<std::string>{"message:Error !", "message:Error !"}));
}

TEST(FocusMoves, TabFromTheStartGoesThroughTheControlsInTabOrder) {
    TestWindow w;
    w.showAndWait();
    std::vector<std::string> visited;
    for (int i = 0; i < 10; ++i) {
        QTest::keyClick(w.form->focusWidget(), Qt::Key_Tab);
        QWidget* focus = w.form->focusWidget();
        std::string name = focus->objectName().toStdString();
        if (name == "optEprom") name += std::to_string(focus->property("Index").toInt());
        visited.push_back(name);
    }
    // The unselected options are passed over, as usual for an option group.
    const std::vector<std::string> expected = {"cmdFiller",  "txtStartVoltage", "txtEndVoltage", "txtStep",
                                               "cmdLeeslijst", "cmdStoppen",    "txtDAlist",     "Command1",
                                               "optEprom0",  "cmdFiller"};
    EXPECT_EQ(visited, expected);
}

TEST(EpromOptions, ClickingAnOptionStoresItsType) {
    struct Case {
        int index;
        int16_t e64, e128, e256, e512;
        const char* type;
    };
    const Case cases[] = {
        {1, 0, 1, 0, 0, "27C128"},
        {2, 0, 0, 1, 0, "27C256"},
        {3, 0, 0, 0, 1, "27C512"},
        {0, 1, 0, 0, 0, "27C64"},
    };
    TestWindow w;
    w.showAndWait();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        QTest::mouseClick(w.options()[static_cast<std::size_t>(c.index)], Qt::LeftButton);
        const TuningState& s = w.form->tuningState();
        EXPECT_EQ(s.eprom_64, c.e64);
        EXPECT_EQ(s.eprom_128, c.e128);
        EXPECT_EQ(s.eprom_256, c.e256);
        EXPECT_EQ(s.eprom_512, c.e512);
        EXPECT_EQ(s.epromtype, c.type);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(w.options()[static_cast<std::size_t>(i)]->isChecked(), i == c.index);
        // Clicking it again leaves everything as it is.
        QTest::mouseClick(w.options()[static_cast<std::size_t>(c.index)], Qt::LeftButton);
        EXPECT_EQ(w.form->tuningState().epromtype, c.type);
        EXPECT_EQ(w.form->tuningState().eprom_64, c.e64);
    }
}

TEST(EpromOptions, ArrowKeysMoveTheSelectionInsideTheGroup) {
    TestWindow w;
    w.showAndWait();
    QTest::keyClick(w.options()[0], Qt::Key_Down);
    EXPECT_EQ(w.form->focusWidget(), w.options()[1]);
    EXPECT_EQ(w.form->tuningState().epromtype, "27C128");
    QTest::keyClick(w.options()[1], Qt::Key_Down);
    EXPECT_EQ(w.form->tuningState().epromtype, "27C256");
    EXPECT_EQ(w.form->tuningState().eprom_256, 1);
    QTest::keyClick(w.options()[2], Qt::Key_Up);
    EXPECT_EQ(w.form->tuningState().epromtype, "27C128");
}

TEST(EpromOptions, AnIndexOutsideTheArrayChangesNothing) {
    TestWindow w;
    w.showAndWait();
    for (int16_t index : {int16_t{-1}, int16_t{4}, int16_t{100}}) {
        w.form->optEprom_Click(index);
        EXPECT_EQ(w.form->tuningState().epromtype, "27C64");
        EXPECT_EQ(w.form->tuningState().eprom_64, 1);
    }
}

TEST(KeyFilter, CharacterCodesOfKeyEvents) {
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

}  // namespace
}  // namespace varidac::testing
