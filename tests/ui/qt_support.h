#pragma once
// The Qt window on a recording platform with its own program folder,
// controls found by their names, and typing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "tests/form/recording_platform.h"
#include "ui/qt/qt_form.h"

// Readable QStrings in failure messages.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }
QT_END_NAMESPACE

namespace varidac::testing {

inline std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeBytes(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

// Calls `act` with the modal dialog as soon as one is up (one of class
// `kind`, when given).
inline void whenModal(std::function<void(QWidget*)> act, const char* kind = nullptr) {
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, act, kind] {
        if (QWidget* modal = QApplication::activeModalWidget(); modal && (!kind || modal->inherits(kind))) {
            poll->stop();
            poll->deleteLater();
            QPointer<QWidget> guard(modal);
            act(modal);
            // A failed check must not leave the test waiting on the dialog.
            if (guard && guard->isVisible()) {
                ADD_FAILURE() << "the dialog was left open";
                if (auto* dialog = qobject_cast<QDialog*>(guard.data())) dialog->reject();
            }
        }
    });
    poll->start(10);
}

// Presses the file dialog's accept button ("Open" or "Save") once it may be pressed.
inline void pressAccept(QFileDialog* dialog) {
    auto* buttons = dialog->findChild<QDialogButtonBox*>("buttonBox");
    ASSERT_NE(buttons, nullptr);
    QPushButton* accept =
        buttons->button(dialog->acceptMode() == QFileDialog::AcceptSave ? QDialogButtonBox::Save : QDialogButtonBox::Open);
    ASSERT_NE(accept, nullptr);
    for (int wait = 0; wait < 200 && !accept->isEnabled(); ++wait) QTest::qWait(10);
    ASSERT_TRUE(accept->isEnabled()) << dialog->findChild<QLineEdit*>("fileNameEdit")->text().toStdString();
    QTest::mouseClick(accept, Qt::LeftButton);
}

// Waits until the window is the application's active one: a window shown
// with the focus reports itself active before the application knows.
inline bool becomesActive(QWidget* window) {
    for (int wait = 0; wait < 200 && QApplication::activeWindow() != window; ++wait) QTest::qWait(10);
    return QApplication::activeWindow() == window;
}

// The tip on the screen, empty when none is shown.
inline QString shownTip() { return QToolTip::isVisible() ? QToolTip::text() : QString(); }

class TestWindow {
public:
    const TuningState& state() const { return window.form().tuningState(); }
    QLineEdit* field(const char* name) const { return window.findChild<QLineEdit*>(name); }
    QPushButton* button(const char* name) const { return window.findChild<QPushButton*>(name); }
    QRadioButton* option(std::size_t index) const {
        for (QRadioButton* option : window.findChildren<QRadioButton*>("optEprom")) {
            if (option->text().toStdString() == kEpromTypes.at(index)) return option;
        }
        return nullptr;
    }

    // Shows the window and makes it the active one, as the desktop does for
    // a new window (a bare X server without a window manager does not).
    void showAndWait() {
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    void click(const char* buttonName) { QTest::mouseClick(button(buttonName), Qt::LeftButton); }

    // What a user does to replace a field's text: select it with Shift+Home
    // from its end, then type.
    void retype(const char* fieldName, const QString& text) {
        QLineEdit* edit = field(fieldName);
        QTest::keyClick(edit, Qt::Key_End);
        QTest::keyClick(edit, Qt::Key_Home, Qt::ShiftModifier);
        QTest::keyClicks(edit, text);
    }

    QTemporaryDir appDir;
    RecordingPlatform platform;
    QtForm window{platform, appDir.path().toStdString()};
};

}  // namespace varidac::testing
