#include "app/window_start.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace varidac {
namespace {

using Kind = WindowStart::Kind;

TEST(WindowStart, SortsTheCommandLine) {
    struct Case {
        std::vector<std::string> args;
        bool slashHelp;
        Kind kind;
        std::vector<std::string> lists;
        std::string problem;
    };
    const Case cases[] = {
        {{}, false, Kind::OpenWindow, {}, ""},
        {{"LIST.INF"}, false, Kind::OpenWindow, {"LIST.INF"}, ""},
        {{"Mätlisten/Empfänger Liste.INF"}, false, Kind::OpenWindow, {"Mätlisten/Empfänger Liste.INF"}, ""},
        {{"A.INF", "B.INF"}, false, Kind::OpenWindow, {"A.INF", "B.INF"}, ""},
        {{"--", "-odd.INF"}, false, Kind::OpenWindow, {"-odd.INF"}, ""},
        {{"-"}, false, Kind::OpenWindow, {"-"}, ""},
        {{"--help"}, false, Kind::PrintHelp, {}, ""},
        {{"-h"}, false, Kind::PrintHelp, {}, ""},
        {{"/?"}, true, Kind::PrintHelp, {}, ""},
        {{"/?"}, false, Kind::OpenWindow, {"/?"}, ""},
        {{"--version"}, false, Kind::PrintVersion, {}, ""},
        {{"--help", "LIST.INF"}, false, Kind::WrongUsage, {}, "--help stands alone"},
        {{"LIST.INF", "--version"}, false, Kind::WrongUsage, {}, "--version stands alone"},
        {{"--eprom"}, false, Kind::WrongUsage, {}, "unknown option --eprom"},
        {{"--", "--help"}, false, Kind::OpenWindow, {"--help"}, ""},
    };
    for (const Case& c : cases) {
        const WindowStart start = windowStart(c.args, c.slashHelp);
        const std::string what = c.args.empty() ? "(none)" : c.args.front();
        EXPECT_EQ(start.kind, c.kind) << what;
        EXPECT_EQ(start.lists, c.lists) << what;
        EXPECT_EQ(start.problem, c.problem) << what;
    }
}

}  // namespace
}  // namespace varidac
