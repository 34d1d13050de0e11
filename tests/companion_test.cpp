#include "app/companion.h"

#include <gtest/gtest.h>

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

const std::string kUsage = "usage: varidac-fill [--start TEXT] [--end TEXT] [--eprom 27C64|27C128|27C256|27C512] LIST\n";

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

}  // namespace
}  // namespace varidac
