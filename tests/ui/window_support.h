#pragma once
// Shared pieces of the window tests: a window on a recording platform with
// its own program folder, controls found by their names, and typing.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "tests/ui/recording_platform.h"
#include "ui/main_window.h"

// Readable QStrings in failure messages.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }
QT_END_NAMESPACE

namespace varidac::testing {

inline std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

// A window on a recording platform whose program folder is a fresh temporary
// folder (no help file unless a test puts one there).
class TestWindow {
public:
    TestWindow() : appDir_(std::make_unique<QTemporaryDir>()) {
        form = std::make_unique<Form1>(platform, appDir_->path().toStdString());
    }

    std::string appPath() const { return appDir_->path().toStdString(); }

    template <class T>
    T* control(const char* name) const {
        return form->findChild<T*>(name);
    }
    QLineEdit* field(const char* name) const { return control<QLineEdit>(name); }
    QPushButton* button(const char* name) const { return control<QPushButton>(name); }
    QListWidget* list() const { return control<QListWidget>("txtDAlist"); }

    // The four options, by their index.
    std::vector<QRadioButton*> options() const {
        std::vector<QRadioButton*> found;
        for (QRadioButton* option : form->findChildren<QRadioButton*>("optEprom")) found.push_back(option);
        std::sort(found.begin(), found.end(), [](QRadioButton* a, QRadioButton* b) {
            return a->property("Index").toInt() < b->property("Index").toInt();
        });
        return found;
    }

    // Shows the window and makes it the active one, as the desktop does for
    // a new window (a bare X server without a window manager does not).
    void showAndWait() {
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    void click(const char* buttonName) { QTest::mouseClick(button(buttonName), Qt::LeftButton); }

    // What a user does to replace a field's text: select it with Shift+Home
    // from its end, then type.
    void retype(const char* fieldName, const QString& text) {
        QLineEdit* edit = field(fieldName);
        QTest::keyClick(edit, Qt::Key_End);
        QTest::keyClick(edit, Qt::Key_Home, Qt::ShiftModifier);
        if (text.isEmpty()) {
            QTest::keyClick(edit, Qt::Key_Backspace);
        } else {
            QTest::keyClicks(edit, text);
        }
    }

    std::vector<std::string> listItems() const {
        std::vector<std::string> items;
        for (int i = 0; i < list()->count(); ++i) items.push_back(list()->item(i)->text().toStdString());
        return items;
    }

    RecordingPlatform platform;
    std::unique_ptr<Form1> form;

private:
    std::unique_ptr<QTemporaryDir> appDir_;
};

}  // namespace varidac::testing
