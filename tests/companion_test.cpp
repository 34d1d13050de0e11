#include "app/companion.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/temp_folder.h"

namespace varidac {
namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

Outcome run(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    int status = runCompanion(args, out, err);
    return {status, out.str(), err.str()};
}

const std::string kUsage = "usage: varidac-fill [--start TEXT] [--end TEXT] [--eprom 27C64|27C128|27C256|27C512] [--plot FILE.svg] LIST\n";

TEST(Companion, RefusesWhatTheWindowWouldNotLetAUserType) {
    struct Case {
        std::vector<std::string> args;
        std::string problem;
    };
    const Case cases[] = {
        {{"--start", "1,5", "L.INF"}, "--start: \"1,5\" is not a voltage (digits with at most one \".\")"},
        {{"--end", "1.2.3", "L.INF"}, "--end: \"1.2.3\" is not a voltage (digits with at most one \".\")"},
        {{"--start=1.50V", "L.INF"}, "--start: \"1.50V\" is not a voltage (digits with at most one \".\")"},
        {{"--start", "", "L.INF"}, "--start: \"\" is not a voltage (digits with at most one \".\")"},
        {{"--start", "-3", "L.INF"}, "--start: \"-3\" is not a voltage (digits with at most one \".\")"},
        {{"--end", ".", "L.INF"}, "--end: \".\" is not a voltage (digits with at most one \".\")"},
        {{"--eprom", "27C32", "L.INF"}, "--eprom: \"27C32\" is not one of 27C64, 27C128, 27C256, 27C512"},
        {{"--start"}, "--start needs a value"},
        {{"--plot=", "L.INF"}, "--plot needs a file name"},
        {{"--speed", "1", "L.INF"}, "unknown option --speed"},
        {{}, "no LIST given"},
        {{"A.INF", "B.INF"}, "only one LIST may be given"},
    };
    for (const auto& c : cases) {
        Outcome o = run(c.args);
        EXPECT_EQ(o.status, 2) << c.problem;
        EXPECT_EQ(o.err, "varidac-fill: " + c.problem + "\n" + kUsage);
        EXPECT_EQ(o.out, "");
    }
}

TEST(Companion, HelpAndVersion) {
    Outcome help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.substr(0, kUsage.size()), kUsage);
    Outcome version = run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("varidac-fill ", 0), 0u);
    EXPECT_EQ(version.out.back(), '\n');
}

TEST(Companion, AcceptsEveryTypableVoltageForm) {
    TempFolder folder;
    fs::copy_file(fs::path(VARIDAC_SOURCE_DIR) / "examples/EXAMPLE.INF", folder.path() / "EXAMPLE.INF");
    const std::string list = (folder.path() / "EXAMPLE.INF").string();
    for (const char* start : {"1", "1.", ".5", "1.505", "0001.5"}) {
        Outcome o = run({"--start", start, "--end=12", list});
        EXPECT_EQ(o.status, 0) << start << o.err;
    }
}

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

    const std::string good = folder.write("GOOD.INF", readFile(fs::path(VARIDAC_SOURCE_DIR) / "examples/EXAMPLE.INF"));
    Outcome margin = runBinary("", "--end 11.75 --plot '" + (folder.path() / "GOOD.svg").string() + "' '" + good + "'", scratch.path());
    EXPECT_EQ(margin.status, 1);
    EXPECT_EQ(margin.err, "Error !\nSomething is wrong!  \nD/A EndVoltage must be at least \n0.25V larger than the 1600-Voltage  \n"
                          "Correct the settings and reload input file  \n");
    EXPECT_EQ(readFile(folder.path() / "BAD_test_DA.TXT"), "old");
    EXPECT_FALSE(fs::exists(folder.path() / "GOOD_test_DA.TXT"));
    EXPECT_FALSE(fs::exists(folder.path() / "GOOD_27C64.BIN"));
    EXPECT_FALSE(fs::exists(folder.path() / "GOOD.svg"));

    Outcome usage = runBinary("", "--eprom 2764 '" + good + "'", scratch.path());
    EXPECT_EQ(usage.status, 2);
}

TEST(CompanionBinary, RefusesAListWithoutSomeHundredKilohertzPoints) {
    TempFolder folder, scratch;
    std::string example = readFile(fs::path(VARIDAC_SOURCE_DIR) / "examples/EXAMPLE.INF");
    for (const char* record : {"800,3.2\r\n", "900,3.9\r\n"}) example.erase(example.find(record), std::string(record).size());
    const std::string list = folder.write("GAPS.INF", example);
    folder.write("GAPS_27C64.BIN", "old");
    Outcome o = runBinary("", "--plot '" + (folder.path() / "GAPS.svg").string() + "' '" + list + "'", scratch.path());
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(o.err, "Error !\nSomething is wrong!  \nThe INF input file could not be read  \nNo record for 800, 900 kHz  \n");
    EXPECT_EQ(readFile(folder.path() / "GAPS_27C64.BIN"), "old");
    EXPECT_FALSE(fs::exists(folder.path() / "GAPS_test_DA.TXT"));
    EXPECT_FALSE(fs::exists(folder.path() / "GAPS.svg"));
}

TEST(CompanionBinary, PlotsTheCurveAndTheCodesBesideTheOtherOutputs) {
    TempFolder folder, scratch;
    fs::copy_file(fs::path(VARIDAC_SOURCE_DIR) / "examples/EXAMPLE.INF", folder.path() / "EXAMPLE.INF");
    Outcome o = runBinary("cd '" + folder.path().string() + "' &&", "--plot=curve.svg EXAMPLE.INF", scratch.path());
    EXPECT_EQ(o.status, 0) << o.err;
    std::string svg = readFile(folder.path() / "curve.svg");
    EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
    EXPECT_NE(svg.find("<title>EXAMPLE.INF</title>"), std::string::npos);
    EXPECT_NE(svg.find("><title>1000 kHz: 4.7 V</title></circle>"), std::string::npos);
    EXPECT_NE(svg.find("<polyline"), std::string::npos);
    EXPECT_TRUE(fs::exists(folder.path() / "EXAMPLE_27C64.BIN"));
}

}  // namespace
}  // namespace varidac
