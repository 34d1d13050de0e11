// "Start Filler": its messages, and whole runs whose files equal those that
// the command-line companion writes for the same inputs.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "app/companion.h"
#include "tests/form/expected_messages.h"
#include "tests/form/form_harness.h"
#include "util/file_names.h"

namespace varidac::testing {
namespace {

const RecordedMessage kNoList{"Error !", MessageIcon::Error,
                              "Something is wrong!  \rFirst set Start and End voltage settings correct,  \r"
                              "then fetch a D/A INF file, \rthen fill the EPROM file  \r"};

RecordedMessage runOk(const std::string& type) {
    return {"Run OK!", MessageIcon::Information, "Okido!  \rEXAMPLE_" + type + ".BIN is created.  \r"};
}

std::string copyExampleInto(const TempFolder& folder) { return folder.write("EXAMPLE.INF", readFile(VARIDAC_EXAMPLE_LIST)); }

TEST(StartFiller, BeforeAnyListItRefusesAndWritesNothing) {
    FormHarness h;
    h.form.Form_Shown();
    h.form.cmdFiller_Click();
    EXPECT_EQ(h.platform.messages, std::vector<RecordedMessage>{kNoList});
    const std::filesystem::path here = h.state().pad;
    EXPECT_FALSE(std::filesystem::exists(here / "DUMMY_515ZE_test_DA.TXT"));
    EXPECT_FALSE(std::filesystem::exists(here / "DUMMY_515ZE_27C64.BIN"));
}

TEST(StartFiller, RefusesVoltagesItCannotUseAndWritesNothing) {
    const RecordedMessage tooLarge{"Error !", MessageIcon::Error,
                                   "Something is wrong!  \rD/A Start or End voltage is too large  \r"
                                   "Correct the settings and start again  \r"};
    const struct {
        std::string start, end;
        RecordedMessage message;
    } cases[] = {
        {"1.50", "11.75", kEndVoltage},   // exactly 0.25 V above 11.5
        {"1.85", "12.00", kStartVoltage},  // exactly 0.25 V below 2.1
        {"2", "11", kEndVoltage},          // both wrong: only the end voltage is named
        {"1.90abc", "12", kStartVoltage},  // pasted text counts as far as it is a number
        {"1.50", std::string(400, '9'), tooLarge},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.start + " / " + c.end);
        FormHarness h;
        h.form.Form_Shown();
        TempFolder folder;
        h.readFile(copyExampleInto(folder));
        h.platform.messages.clear();
        h.setVoltages(c.start, c.end);  // after reading, so that only the filler run speaks
        h.form.cmdFiller_Click();
        EXPECT_EQ(h.platform.messages, std::vector<RecordedMessage>{c.message});
        EXPECT_FALSE(std::filesystem::exists(folder.path() / "EXAMPLE_test_DA.TXT"));
    }
}

TEST(StartFiller, WholeRunsWriteWhatTheCompanionWrites) {
    const struct {
        const char* start;
        const char* end;
        int16_t option;
    } cases[] = {{"1.50", "12.00", 0}, {"1.2", "12.5", 1}, {"1.50", "12.00", 2}, {".9", "13", 3}};
    for (const auto& c : cases) {
        const std::string type(kEpromTypes[static_cast<std::size_t>(c.option)]);
        SCOPED_TRACE(std::string(c.start) + " / " + c.end + " " + type);
        FormHarness h;
        h.form.Form_Shown();
        h.view.setText(TextBox::txtStartVoltage, "");
        h.view.type(TextBox::txtStartVoltage, c.start);
        h.view.setText(TextBox::txtEndVoltage, "");
        h.view.type(TextBox::txtEndVoltage, c.end);
        TempFolder ours;
        h.readFile(copyExampleInto(ours));
        h.form.optEprom_Click(c.option);
        h.form.cmdFiller_Click();
        h.form.cmdFiller_Click();  // a second run writes the same files again
        EXPECT_EQ(h.platform.messages, (std::vector<RecordedMessage>{runOk(type), runOk(type)}));

        TempFolder theirs;
        std::ostringstream out, err;
        ASSERT_EQ(runCompanion({"--start", c.start, "--end", c.end, "--eprom", type, copyExampleInto(theirs)}, out, err), 0)
            << err.str();
        for (const std::string& name : {std::string("EXAMPLE_test_DA.TXT"), "EXAMPLE_" + type + ".BIN"}) {
            const std::string written = readFile(ours.path() / name);
            EXPECT_FALSE(written.empty()) << name;
            EXPECT_TRUE(written == readFile(theirs.path() / name)) << name << " differs from the companion's";
        }
        EXPECT_EQ(readFile(ours.path() / ("EXAMPLE_" + type + ".BIN")).size(), 8192u << c.option);
    }
}

TEST(StartFiller, AWriteFailureIsShownAndTheFormGoesOn) {
    FormHarness h;
    h.form.Form_Shown();
    auto gone = std::make_unique<TempFolder>();
    const std::string folder = gone->path().string();
    h.readFile(copyExampleInto(*gone));
    gone.reset();  // the list's folder is gone before the run
    h.form.cmdFiller_Click();
    TempFolder again;
    h.readFile(copyExampleInto(again));
    h.form.cmdFiller_Click();
    const RecordedMessage failed{"Error !", MessageIcon::Error,
                                 "Something is wrong!  \rCannot write " + joinPath(folder, "EXAMPLE_test_DA.TXT") + "  \r"
                                 "The folder does not exist: read the list from an existing folder  \r"};
    // Another type's image sits beside the first.
    h.form.optEprom_Click(3);
    h.form.cmdFiller_Click();
    EXPECT_EQ(h.platform.messages, (std::vector<RecordedMessage>{failed, runOk("27C64"), runOk("27C512")}));
    EXPECT_EQ(readFile(again.path() / "EXAMPLE_27C64.BIN").size(), 8192u);
    EXPECT_EQ(readFile(again.path() / "EXAMPLE_27C512.BIN").size(), 65536u);
    EXPECT_EQ(h.platform.endRequests, 0);
}

// The window's runs go through the same writer as the companion's: what a
// killed run left is cleared, and an output that is the list is refused.
TEST(StartFiller, ClearsWhatAKilledRunLeftAndNeverWritesOverTheList) {
    FormHarness h;
    h.form.Form_Shown();
    TempFolder folder;
    const std::string list = copyExampleInto(folder);
    folder.write("~varidac-k1lled00.tmp", "half a report");
    folder.write("~varidac-k1lled00.old", "an earlier image");
    h.readFile(list);
    h.platform.messages.clear();
    h.form.cmdFiller_Click();
    EXPECT_EQ(h.platform.messages, std::vector<RecordedMessage>{runOk("27C64")});
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"EXAMPLE.INF", "EXAMPLE_27C64.BIN", "EXAMPLE_test_DA.TXT"}));
#ifndef _WIN32
    std::filesystem::remove(folder.path() / "EXAMPLE_27C64.BIN");
    std::filesystem::create_hard_link(list, folder.path() / "EXAMPLE_27C64.BIN");
    h.platform.messages.clear();
    h.form.cmdFiller_Click();
    const RecordedMessage refused{"Error !", MessageIcon::Error,
                                  "Something is wrong!  \rCannot write " + joinPath(folder.path().string(), "EXAMPLE_27C64.BIN") +
                                      "  \rIt is the tuning list " + list + ": give the output another name  \r"};
    EXPECT_EQ(h.platform.messages, std::vector<RecordedMessage>{refused});
    EXPECT_EQ(readFile(list), readFile(VARIDAC_EXAMPLE_LIST));
#endif
}

}  // namespace
}  // namespace varidac::testing
