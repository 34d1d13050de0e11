#pragma once
// The Qt window on a recording platform with its own program folder,
// controls found by their names, and typing.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>
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
