// "?" and "Exit", the close button, and the help file beside the program.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QTimer>
#include <filesystem>

#include "tests/ui/window_support.h"
#include "ui/qt_platform.h"

namespace varidac::testing {
namespace {

const RecordedMessage kHelpMissing{"Error !", MessageIcon::Error,
                                   "Something is wrong!   \rHelp file VARIDAC.HLP not found  \r"};

TEST(Help, WithoutTheHelpFileTheMessageIsShown) {
    TestWindow w;
    w.showAndWait();
    w.click("Command1");
    EXPECT_EQ(w.platform.messages, std::vector<RecordedMessage>{kHelpMissing});
    EXPECT_TRUE(w.platform.helpRequests.empty());
}

TEST(Help, WithTheHelpFileTheViewerGetsTheForceFileRequest) {
    TestWindow w;
    w.showAndWait();
    const std::string help = w.appPath() + "/VARIDAC.HLP";
    writeBytes(help, "<html><body>help</body></html>");
    w.click("Command1");
    EXPECT_TRUE(w.platform.messages.empty());
    ASSERT_EQ(w.platform.helpRequests.size(), 1u);
    const HelpRequest& r = w.platform.helpRequests[0];
    EXPECT_EQ(r.HelpFile, help);
    EXPECT_EQ(r.HelpCommand, 9);
}

TEST(Help, EachClickLooksAgain) {
    TestWindow w;
    w.showAndWait();
    w.click("Command1");
    writeBytes(w.appPath() + "/VARIDAC.HLP", "x");
    w.click("Command1");
    std::filesystem::remove(w.appPath() + "/VARIDAC.HLP");
    w.click("Command1");
    EXPECT_EQ(w.platform.log, (std::vector<std::string>{"message:Error !", "help", "message:Error !"}));
    EXPECT_EQ(w.platform.messages, (std::vector<RecordedMessage>{kHelpMissing, kHelpMissing}));
}

TEST(Help, OnlyTheProgramFolderCounts) {
    TestWindow w;
    w.showAndWait();
    // A help file in the current folder, or one that is a folder, is not found.
    QTemporaryDir elsewhere;
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(elsewhere.path()));
    writeBytes(elsewhere.path().toStdString() + "/VARIDAC.HLP", "x");
    std::filesystem::create_directory(w.appPath() + "/VARIDAC.HLP");
    w.click("Command1");
    QDir::setCurrent(previous);
    EXPECT_EQ(w.platform.messages, std::vector<RecordedMessage>{kHelpMissing});
    EXPECT_TRUE(w.platform.helpRequests.empty());
}

TEST(Help, AFailingViewerGivesTheSameMessage) {
    TestWindow w;
    w.showAndWait();
    writeBytes(w.appPath() + "/VARIDAC.HLP", "x");
    w.platform.helpFails = true;
    w.click("Command1");
    EXPECT_EQ(w.platform.log, (std::vector<std::string>{"help", "message:Error !"}));
    EXPECT_EQ(w.platform.messages, std::vector<RecordedMessage>{kHelpMissing});
    EXPECT_TRUE(w.form->isVisible());
}

TEST(Exit, EndsTheProgram) {
    TestWindow w;
    w.showAndWait();
    w.click("cmdStoppen");
    EXPECT_FALSE(w.form->isVisible());
    EXPECT_EQ(w.platform.endRequests, 1);
    EXPECT_TRUE(w.platform.messages.empty());
}

// Runs the event loop until the program ends, or fails after a while.
int runUntilTheProgramEnds() {
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    watchdog.start(10000);
    return QApplication::exec();
}

TEST(Exit, TheRealExitButtonEndsTheEventLoop) {
    QTemporaryDir appDir;
    QtPlatform platform;
    Form1 form(platform, appDir.path().toStdString());
    platform.setOwner(&form);
    form.show();
    QTimer::singleShot(0, &form, [&form] {
        QTest::mouseClick(form.findChild<QPushButton*>("cmdStoppen"), Qt::LeftButton);
    });
    EXPECT_EQ(runUntilTheProgramEnds(), 0);
    EXPECT_FALSE(form.isVisible());
}

TEST(Exit, ClosingTheWindowEndsTheProgramWithoutAMessage) {
    TestWindow w;
    w.showAndWait();
    QTimer::singleShot(0, w.form.get(), [&w] { w.form->close(); });
    EXPECT_EQ(runUntilTheProgramEnds(), 0);
    EXPECT_FALSE(w.form->isVisible());
    EXPECT_TRUE(w.platform.log.empty());
}

TEST(HelpFile, TheBuildPutsTheUsersGuideBesideTheProgram) {
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
