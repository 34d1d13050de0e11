// "Start Filler" in the window: its messages, and whole runs whose files
// equal those of the command-line companion for the same inputs.
#include <gtest/gtest.h>

#include <QProcess>
#include <filesystem>

#include "tests/ui/expected_messages.h"
#include "tests/ui/window_support.h"

namespace varidac::testing {
namespace {

const RecordedMessage kNoList{"Error !", MessageIcon::Error,
                              "Something is wrong!  \rFirst set Start and End voltage settings correct,  \r"
                              "then fetch a D/A INF file, \rthen fill the EPROM file  \r"};

RecordedMessage runOk(const std::string& name, const std::string& type) {
    return {"Run OK!", MessageIcon::Information, "Okido!  \r" + name + "_" + type + ".BIN is created.  \r"};
}

std::string copyExampleInto(const QTemporaryDir& dir) {
    const std::string path = dir.path().toStdString() + "/EXAMPLE.INF";
    writeBytes(path, readBytes(VARIDAC_EXAMPLE_LIST));
    return path;
}

// Runs the companion on its own copy of the example list; returns the folder.
std::unique_ptr<QTemporaryDir> companionRun(const QStringList& options) {
    auto dir = std::make_unique<QTemporaryDir>();
    const std::string list = copyExampleInto(*dir);
    QProcess companion;
    companion.start(VARIDAC_FILL_PATH, QStringList(options) << QString::fromStdString(list));
    EXPECT_TRUE(companion.waitForFinished(30000));
    EXPECT_EQ(companion.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(companion.exitCode(), 0) << companion.readAllStandardError().toStdString();
    return dir;
}

TEST(StartFiller, BeforeAnyListItRefusesAndWritesNothing) {
    TestWindow w;
    w.showAndWait();
    w.click("cmdFiller");
    EXPECT_EQ(w.platform.messages, std::vector<RecordedMessage>{kNoList});
    const std::filesystem::path here = w.form->tuningState().pad;
    EXPECT_FALSE(std::filesystem::exists(here / "DUMMY_515ZE_test_DA.TXT"));
    EXPECT_FALSE(std::filesystem::exists(here / "DUMMY_515ZE_27C64.BIN"));
}

TEST(StartFiller, RefusesVoltagesWithTooLittleMarginEndFirst) {
    struct Case {
        const char* start;
        const char* end;
        RecordedMessage message;
    };
    const Case cases[] = {
        {"1.50", "11.75", kEndVoltage},   // exactly 0.25 V above 11.5
        {"1.85", "12.00", kStartVoltage},  // exactly 0.25 V below 2.1
        {"2", "11", kEndVoltage},          // both wrong: only the end voltage is named
        {"1.90abc", "12", kStartVoltage},  // pasted text counts as far as it is a number
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.start) + " / " + c.end);
        TestWindow w;
        w.showAndWait();
        QTemporaryDir dir;
        w.platform.openAnswers.push_back(copyExampleInto(dir));
        w.click("cmdLeeslijst");
        w.platform.messages.clear();
        // Typed after reading, so that only the filler run speaks.
        w.field("txtStartVoltage")->setText(c.start);
        w.retype("txtEndVoltage", c.end);
        w.click("cmdFiller");
        EXPECT_EQ(w.platform.messages, std::vector<RecordedMessage>{c.message});
        EXPECT_FALSE(std::filesystem::exists(dir.path().toStdString() + "/EXAMPLE_test_DA.TXT"));
    }
}

TEST(StartFiller, AVoltageBeyondAnyStepIsRefused) {
    TestWindow w;
    w.showAndWait();
    QTemporaryDir dir;
    w.platform.openAnswers.push_back(copyExampleInto(dir));
    w.click("cmdLeeslijst");
    // 400 nines: more than a double holds.
    w.retype("txtEndVoltage", QString(400, '9'));
    EXPECT_EQ(w.field("txtStep")->text(), "too large");
    w.click("cmdFiller");
    const RecordedMessage expected{"Error !", MessageIcon::Error,
                                   "Something is wrong!  \rD/A Start or End voltage is too large  \r"
                                   "Correct the settings and start again  \r"};
    EXPECT_EQ(w.platform.messages, std::vector<RecordedMessage>{expected});
    EXPECT_FALSE(std::filesystem::exists(dir.path().toStdString() + "/EXAMPLE_test_DA.TXT"));
}

TEST(StartFiller, WholeRunsWriteWhatTheCompanionWrites) {
    struct Case {
        const char* start;
        const char* end;
        int option;
    };
    const Case cases[] = {
        {"1.50", "12.00", 0},
        {"1.2", "12.5", 1},
        {"1.50", "12.00", 2},
        {".9", "13", 3},
    };
    const char* const types[] = {"27C64", "27C128", "27C256", "27C512"};
    for (const Case& c : cases) {
        const std::string type = types[c.option];
        SCOPED_TRACE(std::string(c.start) + " / " + c.end + " " + type);
        TestWindow w;
        w.showAndWait();
        w.retype("txtStartVoltage", c.start);
        w.retype("txtEndVoltage", c.end);
        QTemporaryDir dir;
        w.platform.openAnswers.push_back(copyExampleInto(dir));
        w.click("cmdLeeslijst");
        QTest::mouseClick(w.options()[static_cast<std::size_t>(c.option)], Qt::LeftButton);
        w.click("cmdFiller");
        EXPECT_EQ(w.platform.messages, std::vector<RecordedMessage>{runOk("EXAMPLE", type)});

        auto reference = companionRun({"--start", c.start, "--end", c.end, "--eprom", QString::fromStdString(type)});
        for (const std::string& name : {std::string("EXAMPLE_test_DA.TXT"), "EXAMPLE_" + type + ".BIN"}) {
            const std::string ours = readBytes(dir.path().toStdString() + "/" + name);
            const std::string theirs = readBytes(reference->path().toStdString() + "/" + name);
            EXPECT_FALSE(ours.empty()) << name;
            EXPECT_TRUE(ours == theirs) << name << " differs from the companion's";
        }
        const std::string image = readBytes(dir.path().toStdString() + "/EXAMPLE_" + type + ".BIN");
        EXPECT_EQ(image.size(), 8192u << c.option);
        ASSERT_GT(image.size(), 0x1700u);
        EXPECT_EQ(static_cast<unsigned char>(image[0x0500]), 0x00);
        EXPECT_EQ(static_cast<unsigned char>(image[0x1700]), 0xFF);
    }
}

TEST(StartFiller, TheDefaultRunGivesTheExpectedReportHeader) {
    TestWindow w;
    w.showAndWait();
    QTemporaryDir dir;
    w.platform.openAnswers.push_back(copyExampleInto(dir));
    w.click("cmdLeeslijst");
    w.click("cmdFiller");
    const std::string report = readBytes(dir.path().toStdString() + "/EXAMPLE_test_DA.TXT");
    EXPECT_EQ(report.rfind("Start voltage outside D/A range =  1.5 Volt\r\nAlign D/A = 00H at 500.0 setting\r\n \r\n"
                           "End voltage outside D/A range =  12 Volt\r\nAlign D/A = FFH at 1700.0 setting\r\n \r\n"
                           "Calculated 255 D/A steps = 0.0412 Volt\r\n",
                           0),
              0u);
    EXPECT_EQ(readBytes(dir.path().toStdString() + "/EXAMPLE_27C64.BIN").size(), 8192u);
}

TEST(StartFiller, RunningTwiceGivesTheSameFilesAndTypesSitSideBySide) {
    TestWindow w;
    w.showAndWait();
    QTemporaryDir dir;
    w.platform.openAnswers.push_back(copyExampleInto(dir));
    w.click("cmdLeeslijst");
    const std::string folder = dir.path().toStdString();
    w.click("cmdFiller");
    const std::string first = readBytes(folder + "/EXAMPLE_27C64.BIN");
    w.click("cmdFiller");
    EXPECT_TRUE(readBytes(folder + "/EXAMPLE_27C64.BIN") == first);
    QTest::mouseClick(w.options()[3], Qt::LeftButton);
    w.click("cmdFiller");
    EXPECT_EQ(readBytes(folder + "/EXAMPLE_27C64.BIN").size(), 8192u);
    EXPECT_EQ(readBytes(folder + "/EXAMPLE_27C512.BIN").size(), 65536u);
    EXPECT_EQ(w.platform.messages,
              (std::vector<RecordedMessage>{runOk("EXAMPLE", "27C64"), runOk("EXAMPLE", "27C64"), runOk("EXAMPLE", "27C512")}));
}

TEST(StartFiller, AWriteFailureIsShownAndTheWindowStaysUp) {
    TestWindow w;
    w.showAndWait();
    auto dir = std::make_unique<QTemporaryDir>();
    const std::string folder = dir->path().toStdString();
    w.platform.openAnswers.push_back(copyExampleInto(*dir));
    w.click("cmdLeeslijst");
    dir.reset();  // the list's folder is gone before the run
    w.click("cmdFiller");
    const RecordedMessage expected{"Error !", MessageIcon::Error,
                                   "Something is wrong!  \rCannot write " + folder + "/EXAMPLE_test_DA.TXT  \r"
                                   "The folder does not exist: read the list from an existing folder  \r"};
    EXPECT_EQ(w.platform.messages, std::vector<RecordedMessage>{expected});
    EXPECT_TRUE(w.form->isVisible());
    EXPECT_EQ(w.platform.endRequests, 0);
    // The window goes on working: a list from an existing folder runs.
    QTemporaryDir again;
    w.platform.openAnswers.push_back(copyExampleInto(again));
    w.click("cmdLeeslijst");
    w.click("cmdFiller");
    ASSERT_EQ(w.platform.messages.size(), 2u);
    EXPECT_EQ(w.platform.messages[1], runOk("EXAMPLE", "27C64"));
}

}  // namespace
}  // namespace varidac::testing
