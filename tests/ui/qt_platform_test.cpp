// The Qt side of the platform: the real message box, file dialog and help
// viewer, answered by a timer as a user would.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QListView>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QRadioButton>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTimer>
#include <functional>
#include <memory>

#include "tests/ui/qt_support.h"
#include "ui/qt/help_viewer.h"
#include "ui/qt/qt_platform.h"
#include "varidac_version.h"

namespace varidac::testing {
namespace {

// The names that the dialog lists, once it has read its folder.
QStringList listing(QFileDialog* dialog) {
    auto* view = dialog->findChild<QListView*>("listView");
    if (!view) return {};
    QStringList names;
    for (int wait = 0; wait < 300 && names.isEmpty(); ++wait) {
        QTest::qWait(10);
        const QModelIndex root = view->rootIndex();
        for (int row = 0; row < view->model()->rowCount(root); ++row) {
            names << view->model()->index(row, 0, root).data().toString();
        }
    }
    return names;
}

TEST(QtPlatform, MessageTextsShowOneLinePerLine) {
    struct Case {
        const char* text;
        const char* shown;
    };
    const Case cases[] = {
        {"Something is wrong!   \rHelp file VARIDAC.HLP not found  \r",
         "Something is wrong!   \nHelp file VARIDAC.HLP not found  "},
        {"one\r", "one"},
        {"a\r\rb\r", "a\n\nb"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(messageBoxText(c.text), QString(c.shown)) << c.text;
}

TEST(QtPlatform, DialogFiltersBecomeQtNameFilters) {
    EXPECT_EQ(nameFilters("Varidac File (*.inf)|*.inf|Notepad File (*.txt)|*.txt"),
              (QStringList{"Varidac File (*.inf)", "Notepad File (*.txt)"}));
    EXPECT_EQ(nameFilters("Lists|*.inf;*.lst"), QStringList{"Lists (*.inf;*.lst)"});
    EXPECT_EQ(nameFilters(""), QStringList{});
    EXPECT_EQ(nameFilters("odd"), QStringList{});
    EXPECT_EQ(nameFilters("All files (*.*)|*.*|Every file|*.*"), (QStringList{"All files (*)", "Every file (*)"}));
}

TEST(QtPlatform, TheMessageBoxIsModalOnTopWithOneOk) {
    struct Case {
        MessageIcon icon;
        QMessageBox::Icon shown;
        const char* title;
    };
    for (const Case& c : {Case{MessageIcon::Error, QMessageBox::Critical, "Error !"},
                          Case{MessageIcon::Information, QMessageBox::Information, "Run OK!"}}) {
        QtPlatform platform;
        bool seen = false;
        whenModal([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            seen = true;
            EXPECT_EQ(box->windowTitle(), c.title);
            EXPECT_EQ(box->icon(), c.shown);
            EXPECT_EQ(box->text(), "Okido!  \nEXAMPLE_27C64.BIN is created.  ");
            EXPECT_EQ(box->textFormat(), Qt::PlainText);
            EXPECT_EQ(box->windowModality(), Qt::ApplicationModal);
            EXPECT_TRUE(box->windowFlags() & Qt::WindowStaysOnTopHint);
            ASSERT_EQ(box->buttons().size(), 1);
            EXPECT_EQ(box->standardButton(box->buttons().first()), QMessageBox::Ok);
            QTest::mouseClick(box->buttons().first(), Qt::LeftButton);
        });
        platform.showMessage(c.title, c.icon, "Okido!  \rEXAMPLE_27C64.BIN is created.  \r");
        EXPECT_TRUE(seen);
    }
}

TEST(QtPlatform, TheFileDialogIsSetUpFromTheRequest) {
    QTemporaryDir folder;
    const std::string list = folder.path().toStdString() + "/EXAMPLE.INF";
    writeBytes(list, "600,2\r\n");
    writeBytes(folder.path().toStdString() + "/notes.txt", "x");
    QtPlatform platform;
    FileDialogRequest request{"Open Varidac *.INF file", "Varidac File (*.inf)|*.inf|Notepad File (*.txt)|*.txt",
                              "*.INF", folder.path().toStdString(), ""};
    bool seen = false;
    whenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        seen = true;
        EXPECT_EQ(dialog->windowTitle(), "Open Varidac *.INF file");
        EXPECT_EQ(dialog->nameFilters(), (QStringList{"Varidac File (*.inf)", "Notepad File (*.txt)"}));
        EXPECT_EQ(dialog->selectedNameFilter(), "Varidac File (*.inf)");
        EXPECT_EQ(dialog->directory().absolutePath(), folder.path());
        EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptOpen);
        // The *.inf filter lists the upper-case name; the *.txt file is not listed.
        const QStringList names = listing(dialog);
        EXPECT_TRUE(names.contains("EXAMPLE.INF")) << names.join(",").toStdString();
        EXPECT_FALSE(names.contains("notes.txt")) << names.join(",").toStdString();
        auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(name, nullptr);
        EXPECT_EQ(name->text(), "*.INF");
        // The user types the name and presses "Open".
        name->clear();
        QTest::keyClicks(name, "EXAMPLE.INF");
        pressAccept(dialog);
    });
    EXPECT_EQ(platform.showOpen(request), std::optional<std::string>(list));
    EXPECT_TRUE(seen);
}

TEST(QtPlatform, CancellingTheFileDialogGivesNothing) {
    QTemporaryDir folder;
    QtPlatform platform;
    whenModal([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
    EXPECT_EQ(platform.showOpen({"t", "All (*)|*", "", folder.path().toStdString(), ""}), std::nullopt);
}

TEST(QtPlatform, TheSaveDialogAddsTheExtensionAndAsksBeforeReplacingAFile) {
    QTemporaryDir folder;
    const std::string dir = folder.path().toStdString();
    writeBytes(dir + "/OLD.INF", "600,2\r\n");
    QtPlatform platform;
    const FileDialogRequest request{"Save Varidac *.INF file", "Varidac File (*.inf)|*.inf|All files (*.*)|*.*", "", dir, "INF"};
    struct Case {
        const char* typed;
        bool replaces;
        const char* chosen;
    };
    for (const Case& c : {Case{"NEW", false, "NEW.INF"}, Case{"OLD", true, "OLD.INF"}, Case{"notes.txt", false, "notes.txt"}}) {
        SCOPED_TRACE(c.typed);
        QString asked;
        whenModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
            EXPECT_EQ(dialog->windowTitle(), "Save Varidac *.INF file");
            EXPECT_EQ(dialog->nameFilters(), (QStringList{"Varidac File (*.inf)", "All files (*)"}));
            EXPECT_EQ(dialog->directory().absolutePath(), folder.path());
            auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
            ASSERT_NE(name, nullptr);
            name->clear();
            QTest::keyClicks(name, c.typed);
            if (c.replaces) {
                whenModal([&](QWidget* question) {
                    asked = static_cast<QMessageBox*>(question)->text();
                    QTest::mouseClick(static_cast<QMessageBox*>(question)->button(QMessageBox::Yes), Qt::LeftButton);
                }, "QMessageBox");
            }
            pressAccept(dialog);
        }, "QFileDialog");
        EXPECT_EQ(platform.showSave(request), std::optional<std::string>(dir + "/" + c.chosen));
        EXPECT_EQ(asked.contains("OLD.INF"), c.replaces) << asked.toStdString();
    }
}

TEST(QtPlatform, TheQuestionIsYesNoOrCancelAndClosingItCancels) {
    struct Case {
        std::function<void(QMessageBox*)> answer;
        Answer expected;
    };
    const Case cases[] = {
        {[](QMessageBox* box) { QTest::mouseClick(box->button(QMessageBox::No), Qt::LeftButton); }, Answer::No},
        {[](QMessageBox* box) { QTest::mouseClick(box->button(QMessageBox::Cancel), Qt::LeftButton); }, Answer::Cancel},
        {[](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Return); }, Answer::Yes},
        {[](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); }, Answer::Cancel},
        {[](QMessageBox* box) { box->close(); }, Answer::Cancel},
    };
    QtPlatform platform;
    for (const Case& c : cases) {
        whenModal([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->windowTitle(), "Tuning curve");
            EXPECT_EQ(box->text(), "Save changes to LIST.INF?");
            EXPECT_EQ(box->icon(), QMessageBox::Question);
            EXPECT_EQ(box->windowModality(), Qt::ApplicationModal);
            c.answer(box);
        });
        EXPECT_EQ(platform.askYesNoCancel("Tuning curve", "Save changes to LIST.INF?"), c.expected);
    }
}

std::string longHelp(const char* title) {
    std::string html = std::string("<html><body><h1>") + title + "</h1>";
    for (int i = 0; i < 300; ++i) html += "<p>line " + std::to_string(i) + "</p>";
    return html + "</body></html>";
}

TEST(HelpViewer, ForceFileShowsAFileAtItsStartUnlessItIsAlreadyShown) {
    QTemporaryDir folder;
    const std::string first = folder.path().toStdString() + "/VARIDAC.HLP";
    const std::string second = folder.path().toStdString() + "/OTHER.HLP";
    writeBytes(first, longHelp("First guide"));
    writeBytes(second, longHelp("Second guide"));
    QtPlatform platform;
    platform.showHelp({first, kHelpForceFile});
    HelpViewer* viewer = platform.helpViewer();
    ASSERT_NE(viewer, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(viewer));
    EXPECT_TRUE(viewer->browser()->toPlainText().startsWith("First guide"));
    EXPECT_EQ(viewer->currentFile().toStdString(), first);
    QScrollBar* scroll = viewer->browser()->verticalScrollBar();
    ASSERT_GT(scroll->maximum(), 0);

    // Already showing that file: it stays where the reader is.
    scroll->setValue(scroll->maximum() / 2);
    const int reading = scroll->value();
    ASSERT_GT(reading, 0);
    platform.showHelp({first, kHelpForceFile});
    EXPECT_EQ(scroll->value(), reading);

    // Another file is shown from its start.
    platform.showHelp({second, kHelpForceFile});
    EXPECT_TRUE(viewer->browser()->toPlainText().startsWith("Second guide"));
    EXPECT_EQ(scroll->value(), 0);

    // Once the viewer was closed, the same file opens at its start again.
    scroll->setValue(scroll->maximum() / 2);
    viewer->close();
    platform.showHelp({second, kHelpForceFile});
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_EQ(scroll->value(), 0);
    EXPECT_FALSE(viewer->testAttribute(Qt::WA_QuitOnClose));
}

TEST(HelpViewer, F1ShowsWhatProgramThisIsWithItsVersionAndLicence) {
    QTemporaryDir folder;
    const std::string help = folder.path().toStdString() + "/VARIDAC.HLP";
    writeBytes(help, "<html><body>guide</body></html>");
    QtPlatform platform;
    platform.showHelp({help, kHelpForceFile});
    HelpViewer* viewer = platform.helpViewer();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(viewer));
    QString title, text;
    whenModal([&](QWidget* box) {
        title = box->windowTitle();
        text = static_cast<QMessageBox*>(box)->text();
        static_cast<QMessageBox*>(box)->accept();
    }, "QMessageBox");
    QTest::keyClick(viewer->browser(), Qt::Key_F1);
    EXPECT_EQ(title, "About Varidac EPROM filler");
    EXPECT_TRUE(text.contains("Version " VARIDAC_VERSION)) << text.toStdString();
    EXPECT_TRUE(text.contains("MIT License")) << text.toStdString();
}

TEST(HelpViewer, AnUnreadableFileOrAnotherCommandFails) {
    QTemporaryDir folder;
    QtPlatform platform;
    EXPECT_THROW(platform.showHelp({folder.path().toStdString() + "/NONE.HLP", kHelpForceFile}),
                 std::runtime_error);
    const std::string help = folder.path().toStdString() + "/VARIDAC.HLP";
    writeBytes(help, "<html></html>");
    EXPECT_THROW(platform.showHelp({help, 3}), std::runtime_error);
}

TEST(QtPlatform, TheWholeWayThroughRealDialogs) {
    QTemporaryDir appDir;
    QTemporaryDir listDir;
    writeBytes(listDir.path().toStdString() + "/EXAMPLE.INF", readBytes(VARIDAC_EXAMPLE_LIST));
    writeBytes(appDir.path().toStdString() + "/OLD.INF", "600,1\r\n");
    QtPlatform platform;
    QtForm form(platform, appDir.path().toStdString());
    platform.setOwner(&form);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));

    // The user types both voltages, replacing the start-up texts.
    for (const auto& [field, text] : {std::pair{"txtStartVoltage", "1.2"}, std::pair{"txtEndVoltage", "12.5"}}) {
        auto* edit = form.findChild<QLineEdit*>(field);
        QTest::mouseClick(edit, Qt::LeftButton);
        QTest::keyClick(edit, Qt::Key_End);
        QTest::keyClick(edit, Qt::Key_Home, Qt::ShiftModifier);
        QTest::keyClicks(edit, text);
    }

    bool opened = false;
    whenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        opened = true;
        // It starts in the program's folder; the user goes to the list.
        EXPECT_EQ(dialog->directory().absolutePath(), appDir.path());
        EXPECT_EQ(listing(dialog), QStringList{"OLD.INF"});
        auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(name, nullptr);
        // Into the list's folder first, then the name, as a user does.
        name->clear();
        QTest::keyClicks(name, listDir.path());
        QTest::keyClick(name, Qt::Key_Return);
        EXPECT_EQ(dialog->directory().absolutePath(), listDir.path());
        EXPECT_EQ(listing(dialog), QStringList{"EXAMPLE.INF"});
        name->clear();
        QTest::keyClicks(name, "EXAMPLE.INF");
        pressAccept(dialog);
    });
    QTest::mouseClick(form.findChild<QPushButton*>("cmdLeeslijst"), Qt::LeftButton);
    EXPECT_TRUE(opened);
    auto* list = form.findChild<QListWidget*>("txtDAlist");
    ASSERT_EQ(list->count(), 13);
    EXPECT_EQ(list->item(0)->text(), "  500 ,  1.2");
    EXPECT_EQ(list->item(6)->text(), "  1100 ,  5.6");
    EXPECT_EQ(list->item(12)->text(), "  1700 ,  12.5");

    for (QRadioButton* option : form.findChildren<QRadioButton*>("optEprom")) {
        if (option->text() == "27C256") QTest::mouseClick(option, Qt::LeftButton);
    }
    QString shown;
    whenModal([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        shown = box->windowTitle() + "|" + box->text();
        QTest::keyClick(box, Qt::Key_Return);
    });
    QTest::mouseClick(form.findChild<QPushButton*>("cmdFiller"), Qt::LeftButton);
    EXPECT_EQ(shown, "Run OK!|Okido!  \nEXAMPLE_27C256.BIN is created.  ");

    // Byte for byte what the companion writes for the same inputs.
    QTemporaryDir reference;
    const std::string referenceList = reference.path().toStdString() + "/EXAMPLE.INF";
    writeBytes(referenceList, readBytes(VARIDAC_EXAMPLE_LIST));
    QProcess companion;
    companion.start(VARIDAC_FILL_PATH, {"--start", "1.2", "--end", "12.5", "--eprom", "27C256",
                                        QString::fromStdString(referenceList)});
    ASSERT_TRUE(companion.waitForFinished(30000));
    ASSERT_EQ(companion.exitCode(), 0);
    for (const char* name : {"/EXAMPLE_27C256.BIN", "/EXAMPLE_test_DA.TXT"}) {
        const std::string ours = readBytes(listDir.path().toStdString() + name);
        EXPECT_FALSE(ours.empty()) << name;
        EXPECT_TRUE(ours == readBytes(reference.path().toStdString() + name)) << name;
    }
    EXPECT_EQ(readBytes(listDir.path().toStdString() + "/EXAMPLE_27C256.BIN").size(), 32768u);
}

}  // namespace
}  // namespace varidac::testing
