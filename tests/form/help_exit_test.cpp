// "?" and "Exit".
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/form/form_harness.h"

namespace varidac::testing {
namespace {

const RecordedMessage kHelpMissing{"Error !", MessageIcon::Error,
                                   "Something is wrong!   \rHelp file VARIDAC.HLP not found  \r"};

TEST(Help, EachClickLooksForTheFileInTheProgramFolderAgain) {
    FormHarness h;
    h.platform.log.clear();
    const std::string help = (h.appDir.path() / "VARIDAC.HLP").string();
    h.form.Command1_Click();
    std::ofstream(help) << "<html><body>help</body></html>";
    h.form.Command1_Click();
    std::filesystem::remove(help);
    h.form.Command1_Click();
    EXPECT_EQ(h.platform.log, (std::vector<std::string>{"message:Error !", "help", "message:Error !"}));
    EXPECT_EQ(h.platform.messages, (std::vector<RecordedMessage>{kHelpMissing, kHelpMissing}));
    ASSERT_EQ(h.platform.helpRequests.size(), 1u);
    EXPECT_EQ(h.platform.helpRequests[0].HelpFile, help);
    EXPECT_EQ(h.platform.helpRequests[0].HelpCommand, 9);
}

TEST(Help, NeitherTheCurrentFolderNorAFolderNamedLikeTheFileCounts) {
    FormHarness h;
    TempFolder elsewhere;
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(elsewhere.path());
    elsewhere.write("VARIDAC.HLP", "x");
    std::filesystem::create_directory(h.appDir.path() / "VARIDAC.HLP");
    h.form.Command1_Click();
    std::filesystem::current_path(previous);
    EXPECT_EQ(h.platform.messages, std::vector<RecordedMessage>{kHelpMissing});
    EXPECT_TRUE(h.platform.helpRequests.empty());
}

TEST(Help, AFailingViewerGivesTheSameMessage) {
    FormHarness h;
    h.platform.log.clear();
    h.appDir.write("VARIDAC.HLP", "x");
    h.platform.helpFails = true;
    h.form.Command1_Click();
    EXPECT_EQ(h.platform.log, (std::vector<std::string>{"help", "message:Error !"}));
    EXPECT_EQ(h.platform.messages, std::vector<RecordedMessage>{kHelpMissing});
    EXPECT_EQ(h.platform.endRequests, 0);
}

TEST(Exit, ClosesTheWindowAndEndsTheProgramWithoutAMessage) {
    FormHarness h;
    h.platform.log.clear();
    h.form.cmdStoppen_Click();
    EXPECT_EQ(h.platform.log, (std::vector<std::string>{"close", "end"}));
}

}  // namespace
}  // namespace varidac::testing
