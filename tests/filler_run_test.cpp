#include "core/filler_run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/da_codes.h"
#include "core/image_file.h"
#include "core/tuning_list.h"
#include "tests/temp_folder.h"
#include "tests/test_printers.h"
#include "util/file_names.h"

namespace varidac {
namespace {

namespace fs = std::filesystem;

class FillerRun : public ::testing::Test {
protected:
    void SetUp() override {
        state.pad = folder.path().string();
        state.alleendenaam = "DUMMY_515ZE";
        recomputeVoltages(state, "1.50", "12.00");
        selectEpromType(state, 0);
    }

    void readExample() {
        fs::copy_file(fs::path(VARIDAC_SOURCE_DIR) / "examples/EXAMPLE.INF", folder.path() / "EXAMPLE.INF");
        ASSERT_EQ(readTuningList(state, (folder.path() / "EXAMPLE.INF").string()), std::nullopt);
    }

    std::string golden(const char* name) { return readFile(fs::path(VARIDAC_SOURCE_DIR) / "tests/golden" / name); }

    std::size_t filesInFolder() {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()));
    }

    TempFolder folder;
    TuningState state;
};

TEST_F(FillerRun, WritesTheExampleExactlyAndSaysSo) {
    readExample();
    Message message = fillerRun(state, "1.50", "12.00", '.');
    EXPECT_EQ(message.title, "Run OK!");
    EXPECT_EQ(message.icon, MessageIcon::Information);
    EXPECT_EQ(message.text(), "Okido!  \rEXAMPLE_27C64.BIN is created.  \r");
    EXPECT_EQ(readFile(folder.path() / "EXAMPLE_test_DA.TXT"), golden("EXAMPLE_test_DA.TXT"));
    EXPECT_EQ(readFile(folder.path() / "EXAMPLE_27C64.BIN"), golden("EXAMPLE_27C64.BIN"));
    EXPECT_EQ(state.Freq, 16);
    EXPECT_EQ(state.EpromImage[0x0500], 0);
    EXPECT_EQ(filesInFolder(), 3u);  // the list and the two outputs, no temporaries

    // The same inputs give the same files again.
    EXPECT_EQ(fillerRun(state, "1.50", "12.00", '.').title, "Run OK!");
    EXPECT_EQ(readFile(folder.path() / "EXAMPLE_test_DA.TXT"), golden("EXAMPLE_test_DA.TXT"));
}

TEST_F(FillerRun, RepeatsTheImageToFillEachDevice) {
    readExample();
    const std::string image = golden("EXAMPLE_27C64.BIN");
    const struct {
        int16_t option;
        const char* file;
        std::size_t copies;
    } types[] = {{0, "EXAMPLE_27C64.BIN", 1}, {1, "EXAMPLE_27C128.BIN", 2}, {2, "EXAMPLE_27C256.BIN", 4}, {3, "EXAMPLE_27C512.BIN", 8}};
    for (const auto& t : types) {
        selectEpromType(state, t.option);
        EXPECT_EQ(fillerRun(state, "1.50", "12.00", '.').lines[1], std::string(t.file) + " is created.  ");
        std::string bytes = readFile(folder.path() / t.file);
        ASSERT_EQ(bytes.size(), 8192 * t.copies) << t.file;
        for (std::size_t copy = 0; copy < t.copies; ++copy) EXPECT_EQ(bytes.substr(copy * 8192, 8192), image) << t.file << copy;
    }
}

TEST_F(FillerRun, ReplacesOlderFilesWhole) {
    readExample();
    folder.write("EXAMPLE_27C64.BIN", std::string(65536, '\x55'));
    folder.write("EXAMPLE_test_DA.TXT", std::string(200000, 'x'));
    EXPECT_EQ(fillerRun(state, "1.50", "12.00", '.').title, "Run OK!");
    EXPECT_EQ(readFile(folder.path() / "EXAMPLE_27C64.BIN"), golden("EXAMPLE_27C64.BIN"));
    EXPECT_EQ(readFile(folder.path() / "EXAMPLE_test_DA.TXT"), golden("EXAMPLE_test_DA.TXT"));
}

TEST_F(FillerRun, RefusesWithoutTouchingAnyFile) {
    folder.write("DUMMY_515ZE_test_DA.TXT", "old report");
    folder.write("DUMMY_515ZE_27C64.BIN", "old image");
    // Nothing read yet: the table holds zeros.
    EXPECT_EQ(fillerRun(state, "1.50", "12.00", '.'), tuningListMessage());

    for (int i = 6; i <= 16; ++i) state.UvarTable[static_cast<std::size_t>(i)] = i - 4.0;  // 2 V to 12 V
    EXPECT_EQ(fillerRun(state, "1.50", "12.00", '.').lines[1], "D/A EndVoltage must be at least ");

    recomputeVoltages(state, "1.50", "13.00");
    state.UvarTable[11] = 20.0;
    EXPECT_EQ(fillerRun(state, "1.50", "13.00", '.').lines[1].substr(0, 31), "D/A code outside 00H to FFH at ");
    state.UvarTable[11] = 7.0;

    TuningState noType = state;
    noType.eprom_64 = 0;
    EXPECT_EQ(fillerRun(noType, "1.50", "13.00", '.').text(), "Something is wrong!  \rFirst select an EPROM type  \r");

    EXPECT_EQ(readFile(folder.path() / "DUMMY_515ZE_test_DA.TXT"), "old report");
    EXPECT_EQ(readFile(folder.path() / "DUMMY_515ZE_27C64.BIN"), "old image");
    EXPECT_EQ(state.Freq, 0);
    EXPECT_EQ(state.EpromImage[0x0500], 0);
    EXPECT_EQ(state.EpromImage[0x0000], 0);  // still as created: never preset
    EXPECT_EQ(filesInFolder(), 2u);

    EXPECT_EQ(fillerRun(state, "1.50", "13.00", '.').title, "Run OK!");
}

TEST_F(FillerRun, MissingFolderIsReportedAndNothingIsWritten) {
    readExample();
    state.pad = (folder.path() / "gone").string();
    Message message = fillerRun(state, "1.50", "12.00", '.');
    EXPECT_EQ(message.title, "Error !");
    EXPECT_EQ(message.lines,
              (std::vector<std::string>{"Something is wrong!  ", "Cannot write " + joinPath(state.pad, "EXAMPLE_test_DA.TXT") + "  ",
                                        "The folder does not exist: read the list from an existing folder  "}));
    EXPECT_FALSE(fs::exists(folder.path() / "gone"));
}

}  // namespace
}  // namespace varidac
