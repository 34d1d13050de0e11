// The companion binary as a user runs it, through the shell, with its
// environment.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/temp_folder.h"

namespace varidac {
namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

// The real binary, with its environment, as a user runs it.
Outcome runBinary(const std::string& environment, const std::string& args, const fs::path& scratch) {
    std::string command = environment + " '" VARIDAC_FILL "' " + args + " >'" + (scratch / "out").string() + "' 2>'" +
                          (scratch / "err").string() + "'";
    int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readFile(scratch / "out"), readFile(scratch / "err")};
}

TEST(CompanionBinary, WritesBesideTheListWithTheUsersDecimalSign) {
    TempFolder folder, scratch;
    fs::create_directory(folder.path() / "lists");
    fs::copy_file(fs::path(VARIDAC_SOURCE_DIR) / "examples/EXAMPLE.INF", folder.path() / "lists/EXAMPLE.INF");
    const std::string golden = readFile(fs::path(VARIDAC_SOURCE_DIR) / "tests/golden/EXAMPLE_test_DA.TXT");

    // A relative path: the outputs still land in the list's folder.
    Outcome ok = runBinary("cd '" + folder.path().string() + "' && LC_ALL=C.UTF-8", "--eprom 27C256 lists/EXAMPLE.INF", scratch.path());
    EXPECT_EQ(ok.status, 0) << ok.err;
    EXPECT_EQ(ok.out, "Run OK!\nOkido!  \nEXAMPLE_27C256.BIN is created.  \n");
    EXPECT_EQ(ok.err, "");
    EXPECT_EQ(readFile(folder.path() / "lists/EXAMPLE_test_DA.TXT"), golden);
    EXPECT_EQ(fs::file_size(folder.path() / "lists/EXAMPLE_27C256.BIN"), 32768u);

    Outcome comma = runBinary("LC_ALL=de_DE.UTF-8", "'" + (folder.path() / "lists/EXAMPLE.INF").string() + "'", scratch.path());
    EXPECT_EQ(comma.status, 0) << comma.err;
    std::string report = readFile(folder.path() / "lists/EXAMPLE_test_DA.TXT");
    EXPECT_NE(report.find("The total D/A voltage range = 10,5 Volt\r\n"), std::string::npos);
    EXPECT_NE(report.find("\r\n 601           2,11          15           F              2,12 \r\n"), std::string::npos);
    EXPECT_NE(report.find("Calculated 255 D/A steps = 0.0412 Volt"), std::string::npos);
}

TEST(CompanionBinary, RefusalGoesToStandardErrorAndChangesNothing) {
    TempFolder folder, scratch;
    const std::string list = folder.write("BAD.INF", "700,2.6\r\n1600,11.5\r\n");
    folder.write("BAD_test_DA.TXT", "old");
    Outcome bad = runBinary("", "'" + list + "'", scratch.path());
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.out, "");
    EXPECT_EQ(bad.err, "Error !\nSomething is wrong!  \nThe INF input file doesn't start the way it should  \n"
                       "Correct the INF file and reload  \n");

    const std::string good = folder.write("GOOD.INF", "600,2.1\r\n1600,11.5\r\n");
    Outcome margin = runBinary("", "--end 11.75 '" + good + "'", scratch.path());
    EXPECT_EQ(margin.status, 1);
    EXPECT_EQ(margin.err, "Error !\nSomething is wrong!  \nD/A EndVoltage must be at least \n0.25V larger than the 1600-Voltage  \n"
                          "Correct the settings and reload input file  \n");
    EXPECT_EQ(readFile(folder.path() / "BAD_test_DA.TXT"), "old");
    EXPECT_FALSE(fs::exists(folder.path() / "GOOD_test_DA.TXT"));
    EXPECT_FALSE(fs::exists(folder.path() / "GOOD_27C64.BIN"));

    Outcome usage = runBinary("", "--eprom 2764 '" + good + "'", scratch.path());
    EXPECT_EQ(usage.status, 2);
}

}  // namespace
}  // namespace varidac
