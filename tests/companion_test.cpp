#include "app/companion.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/wait.h>
#endif

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "app/companion_options.h"
#include "core/da_codes.h"
#include "core/message.h"
#include "core/tuning_list.h"
#include "core/tuning_state.h"
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

const std::string kUsage =
    "usage: varidac-fill [--start TEXT] [--end TEXT] [--eprom 27C64|27C128|27C256|27C512] [--format bin|ihex|srec]\n"
    "                   [--plot FILE.svg] LIST\n"
    "       varidac-fill --check DUMP [--start TEXT] [--end TEXT] [--eprom TYPE] LIST\n"
    "       varidac-fill --recover DUMP --start TEXT --end TEXT [--eprom TYPE] [--force] OUT.INF\n";

std::string printed(const Message& message) {
    std::string out = message.title + "\n";
    for (const auto& line : message.lines) out += line + "\n";
    return out;
}

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
        {{"--\x1B]0;owned\x07", "L.INF"}, "unknown option --\\x1B]0;owned\\x07"},
        {{"--eprom", "27C64\x9B", "L.INF"}, "--eprom: \"27C64\\x9B\" is not one of 27C64, 27C128, 27C256, 27C512"},
        {{"--force", "L.INF"}, "--force applies only with --recover"},
        {{"--check", "C.BIN", "--force", "L.INF"}, "--force applies only with --recover"},
        {{"--recover=C.BIN", "--start=1", "--end=2", "--force=yes", "O.INF"}, "--force takes no value"},
        {{}, "no LIST given"},
        {{"A.INF", "B.INF"}, "only one LIST may be given"},
        {{"--format", "hex", "L.INF"}, "--format: \"hex\" is not one of bin, ihex, srec"},
        {{"--check", "C.BIN", "--recover", "C.BIN", "L.INF"}, "--check and --recover cannot be combined"},
        {{"--check=C.BIN", "--format", "ihex", "L.INF"}, "--format applies only when writing an image"},
        {{"--recover=C.BIN", "--plot", "C.svg", "L.INF"}, "--plot applies only when writing an image"},
        {{"--recover", "C.BIN", "--start", "1.5", "OUT.INF"}, "--recover needs --start and --end, the D/A voltages at 00H and FFH"},
        {{"--recover", "C.BIN", "--end", "2", "OUT.INF"}, "--recover needs --start and --end, the D/A voltages at 00H and FFH"},
        {{"--help=yes"}, "--help takes no value"},
        {{"--speed", "--help"}, "unknown option --speed"},
        {{"L.INF", "--", "--start"}, "only one LIST may be given"},
    };
    for (const auto& c : cases) {
        Outcome o = run(c.args);
        EXPECT_EQ(o.status, 2) << c.problem;
        EXPECT_EQ(o.err, "varidac-fill: " + c.problem + "\n" + kUsage);
        EXPECT_EQ(o.out, "");
    }
}

TEST(PrintablePath, EscapesWhatATerminalWouldActOnAndNothingElse) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"Empf\xC3\xA4nger.INF", "Empf\xC3\xA4nger.INF"},
        {"C:\\Lists\\A B.INF", "C:\\Lists\\A B.INF"},
        {"\xF0\x9F\x93\xBB \xE6\xB3\xA2.INF", "\xF0\x9F\x93\xBB \xE6\xB3\xA2.INF"},
        {"a\x1B[2Jb", "a\\x1B[2Jb"},
        {std::string("\0\t\n\r\x1F\x7F", 6), "\\x00\\x09\\x0A\\x0D\\x1F\\x7F"},
        {"\xC2\x80\xC2\x85\xC2\x9B\xC2\x9F", "\\u0080\\u0085\\u009B\\u009F"},
        {"\xC2\xA0\xC2\xBF", "\xC2\xA0\xC2\xBF"},  // no-break space and inverted question mark stay
        {"\xFF\xFE", "\\xFF\\xFE"},
        {"\x80x", "\\x80x"},                              // a lone continuation byte
        {"\xC3", "\\xC3"},                                // cut off at the end
        {"\xC3(", "\\xC3("},                              // cut off before an ASCII byte
        {"\xC2\x1B", "\\xC2\\x1B"},                      // a C1 lead followed by a control
        {"\xC0\xAF\xE0\x80\xAF", "\\xC0\\xAF\\xE0\\x80\\xAF"},  // overlong "/"
        {"\xED\xA0\x80", "\\xED\\xA0\\x80"},            // a surrogate
        {"\xF4\x8F\xBF\xBF", "\xF4\x8F\xBF\xBF"},        // U+10FFFF, the last
        {"\xF4\x90\x80\x80", "\\xF4\\x90\\x80\\x80"},    // beyond it
    };
    for (const auto& [name, shown] : cases) EXPECT_EQ(printablePath(name), shown) << shown;
}

TEST(Companion, HelpAndVersion) {
    Outcome help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.substr(0, kUsage.size()), kUsage);
    // Each option at the start of a line (the manual page's check reads
    // them there), its text in one column however long its name.
    for (const CompanionOption& option : companionOptions()) {
        EXPECT_NE(help.out.find("\n  " + std::string(option.name) + " "), std::string::npos) << option.name;
    }
    for (const char* rows : {"\n\n  --start TEXT   D/A output voltage at code 00H (default 1.50)\n",
                             "\n  --format FORM  the image as bin (NAME_TYPE.BIN, default), ihex (Intel HEX,\n"
                             "                 NAME_TYPE.HEX) or srec (S-records, NAME_TYPE.S19)\n",
                             "\n  --recover DUMP write the tuning list",
                             "\n  --version      show the version and exit\n\nExamples:\n"}) {
        EXPECT_NE(help.out.find(rows), std::string::npos) << rows;
    }
    // Help ends the reading: nothing after it is looked at.
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{{"-h"}, {"--help", "--speed"}}) {
        Outcome also = run(args);
        EXPECT_EQ(also.status, 0);
        EXPECT_EQ(also.out, help.out);
    }
    Outcome version = run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("varidac-fill ", 0), 0u);
    EXPECT_NE(version.out.find("\nCopyright (c) 2026 The Varidac EPROM filler authors\n"), std::string::npos);
    EXPECT_NE(version.out.find("MIT License"), std::string::npos);
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

class CompanionChip : public ::testing::Test {
protected:
    void SetUp() override { fs::copy_file(fs::path(VARIDAC_SOURCE_DIR) / "examples/EXAMPLE.INF", folder.path() / "EXAMPLE.INF"); }
    std::string path(const std::string& name) const { return (folder.path() / name).string(); }

    TempFolder folder;
    const std::string list = path("EXAMPLE.INF");
};

// A list saved by Notepad as "Unicode" (UTF-16 little endian with its mark)
// is the same list: every output is the same, byte for byte.
TEST_F(CompanionChip, AListSavedAsUtf16GivesTheFilesOfItsAsciiTwin) {
    const std::string ascii = readFile(list);
    ASSERT_FALSE(ascii.empty());
    std::string utf16 = "\xFF\xFE";
    for (char c : ascii) utf16 += {c, '\0'};
    fs::create_directory(folder.path() / "utf16");
    const std::string utf16List = folder.write("utf16/EXAMPLE.INF", utf16);

    const std::vector<std::string> options = {"--eprom", "27C256", "--format", "ihex", "--plot"};
    auto runOn = [&](const std::string& listPath) {
        std::vector<std::string> args = options;
        args.push_back((fs::path(listPath).parent_path() / "EXAMPLE.svg").string());
        args.push_back(listPath);
        return run(args);
    };
    const Outcome fromAscii = runOn(list);
    const Outcome fromUtf16 = runOn(utf16List);
    EXPECT_EQ(fromAscii.status, 0) << fromAscii.err;
    EXPECT_EQ(fromUtf16.status, fromAscii.status);
    EXPECT_EQ(fromUtf16.out, fromAscii.out);
    EXPECT_EQ(fromUtf16.err, fromAscii.err);
    for (const char* output : {"EXAMPLE_27C256.HEX", "EXAMPLE_test_DA.TXT", "EXAMPLE.svg"}) {
        const std::string expected = readFile(folder.path() / output);
        EXPECT_FALSE(expected.empty()) << output;
        EXPECT_EQ(readFile(folder.path() / "utf16" / output), expected) << output;
    }
}

TEST_F(CompanionChip, ChecksEveryTypeInEveryFormAsTheSame) {
    const char* formats[][2] = {{"bin", ".BIN"}, {"ihex", ".HEX"}, {"srec", ".S19"}};
    for (std::string_view type : kEpromTypes) {
        for (const auto& [format, extension] : formats) {
            const std::string image = "EXAMPLE_" + std::string(type) + extension;
            Outcome fill = run({"--eprom", std::string(type), "--format", format, list});
            ASSERT_EQ(fill.status, 0) << fill.err;
            EXPECT_EQ(fill.out, "Run OK!\nOkido!  \n" + image + " is created.  \n");
            Outcome check = run({"--check", path(image), list});
            EXPECT_EQ(check.status, 0) << image << check.err << check.out;
            EXPECT_EQ(check.out, "Same as " + list + "\n");
        }
    }
    EXPECT_EQ(readFile(path("EXAMPLE_27C64.HEX")).substr(0, 45), ":10000000" + std::string(32, 'F') + "00\r\n");
}

TEST_F(CompanionChip, NamesEachDifferenceAndRefusesWhatItCannotRead) {
    ASSERT_EQ(run({"--eprom", "27C128", list}).status, 0);
    std::string chip = readFile(path("EXAMPLE_27C128.BIN"));
    chip[0x2650] = '\x16';
    folder.write("CHANGED.BIN", chip);
    Outcome changed = run({"--check", path("CHANGED.BIN"), list});
    EXPECT_EQ(changed.status, 3);
    EXPECT_EQ(changed.out, "1 address differs from " + list + ":\n2650H  650 kHz: expected 15H (2.365 V), found 16H (2.406 V)\n"
                           "The copies of the 8 KB image disagree at 1 address:\n0650H  650 kHz: the copies hold 15H 16H\n");
    // The list's own checks still hold: a check with a wrong end voltage is refused.
    EXPECT_EQ(run({"--check", path("CHANGED.BIN"), "--end", "11.6", list}).status, 1);

    ASSERT_EQ(run({"--format", "ihex", list}).status, 0);
    const std::string hex = readFile(path("EXAMPLE_27C64.HEX"));
    folder.write("CUT.HEX", hex.substr(0, hex.find("\r\n", hex.size() / 2) + 2));
    folder.write("CUT.BIN", chip.substr(0, 8000));
    const std::pair<std::string, std::string> unreadable[] = {
        {"CUT.HEX", "It ends without an end record: the file is incomplete"},
        {"CUT.BIN", "It holds 8000 bytes; an image of a 27C64, 27C128, 27C256 or 27C512 holds 8192, 16384, 32768 or 65536"},
        {"MISSING.BIN", "It cannot be opened: No such file or directory"},
    };
    for (const auto& [name, problem] : unreadable) {
        Outcome o = run({"--check", path(name), list});
        EXPECT_EQ(o.status, 1) << name;
        EXPECT_EQ(o.out, "");
        EXPECT_EQ(o.err, "Error !\nSomething is wrong!  \nThe chip image " + path(name) + " could not be read  \n" + problem + "  \n");
    }
}

TEST_F(CompanionChip, RecoversTheListOfAChip) {
    ASSERT_EQ(run({"--format", "srec", "--eprom", "27C256", list}).status, 0);
    Outcome recovered = run({"--recover", path("EXAMPLE_27C256.S19"), "--start", "1.50", "--end=12.00", path("FOUND.INF")});
    EXPECT_EQ(recovered.status, 0) << recovered.err;
    EXPECT_EQ(recovered.out, path("FOUND.INF") + " is created.\n");
    const std::string found = readFile(path("FOUND.INF"));
    EXPECT_EQ(found.substr(0, 22), "600,2.11764705882353\r\n");
    EXPECT_EQ(found.substr(found.size() - 25), "\r\n1600,11.5058823529412\r\n");

    ASSERT_EQ(run({list}).status, 0);
    std::string chip = readFile(path("EXAMPLE_27C64.BIN"));
    chip[0x0500] = '\x0F';
    folder.write("OTHER.BIN", chip);
    Outcome other = run({"--recover", path("OTHER.BIN"), "--start", "1.50", "--end", "12.00", path("OTHER.INF")});
    EXPECT_EQ(other.status, 1);
    EXPECT_EQ(other.err, "Error !\nSomething is wrong!  \nNo tuning list can be recovered from " + path("OTHER.BIN") +
                             "  \n0500H holds 0FH, not 00H: this is not an image of a Varidac filler  \n");
    EXPECT_FALSE(fs::exists(path("OTHER.INF")));
}

// An earlier file is replaced only when asked, and the dump never, however
// its name is spelled.
TEST_F(CompanionChip, RecoversOverAnEarlierFileOnlyWithForce) {
    ASSERT_EQ(run({list}).status, 0);
    const std::string dump = path("EXAMPLE_27C64.BIN");
    const std::string chip = readFile(dump);
    fs::create_directory(folder.path() / "sub");
    struct Case {
        std::string out;
        bool force;
        int status;
    };
    const Case cases[] = {
        {path("FOUND.INF"), false, 1},
        {path("FOUND.INF"), true, 0},
        {dump, true, 1},
        {path("sub/../EXAMPLE_27C64.BIN"), true, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.out + (c.force ? " --force" : ""));
        if (c.out != dump) folder.write("FOUND.INF", "earlier\r\n");
        std::vector<std::string> args = {"--recover", dump, "--start", "1.50", "--end", "12.00", c.out};
        if (c.force) args.insert(args.begin(), "--force");
        Outcome o = run(args);
        EXPECT_EQ(o.status, c.status) << o.err;
        if (c.status == 0) {
            EXPECT_EQ(readFile(c.out).substr(0, 22), "600,2.11764705882353\r\n");
        } else {
            EXPECT_NE(o.err.find("Cannot write " + c.out + "  \n"), std::string::npos) << o.err;
            EXPECT_EQ(o.out, "");
            EXPECT_EQ(readFile(c.out), c.out == path("FOUND.INF") ? "earlier\r\n" : chip);
        }
    }
}

// A step too large to show gives every code an infinite voltage: the fill
// refuses it, and so must the list that would hold "INF".
TEST_F(CompanionChip, RecoverRefusesTheVoltagesAFillRefuses) {
    ASSERT_EQ(run({list}).status, 0);
    const std::string nines(400, '9');
    const std::string tooLarge = printed(voltageTooLargeMessage());
    struct Case {
        std::string start, end;
        bool fillAgrees;  // the fill refuses the same way (a huge start fails its margin first)
    };
    const Case cases[] = {{"1.50", nines, true}, {nines, nines, false}, {"1.50", "1000000000000000000", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.start.substr(0, 20) + " " + c.end.substr(0, 20));
        Outcome o = run({"--recover", path("EXAMPLE_27C64.BIN"), "--start", c.start, "--end", c.end, path("BIG.INF")});
        EXPECT_EQ(o.status, 1);
        EXPECT_EQ(o.err, tooLarge);
        EXPECT_FALSE(fs::exists(path("BIG.INF")));
        if (c.fillAgrees) {
            EXPECT_EQ(run({"--start", c.start, "--end", c.end, list}).err, tooLarge);
        }
    }
    // A step still shown is recovered, to a list that reads back.
    Outcome large = run({"--recover", path("EXAMPLE_27C64.BIN"), "--start=1.50", "--end=100000000000000", path("LARGE.INF")});
    EXPECT_EQ(large.status, 0) << large.err;
    EXPECT_TRUE(std::holds_alternative<TuningList>(parseTuningListText(readFile(path("LARGE.INF")))));
}

#ifndef _WIN32
// Control characters in names never reach the terminal raw, whichever
// message names the file. Windows allows no such names.
TEST_F(CompanionChip, ShowsControlCharactersInNamesEscaped) {
    const std::string esc = "E\x1B[2J";
    const std::string shown = "E\\x1B[2J";
    const std::string escList = path(esc + ".INF");
    fs::copy_file(list, escList);
    fs::create_directory(path(esc + "_27C128.BIN"));
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string out, err;
    };
    const Case cases[] = {
        {{escList}, 0, "Run OK!\nOkido!  \n" + shown + "_27C64.BIN is created.  \n", ""},
        {{"--check", path(esc + "_27C64.BIN"), escList}, 0, "Same as " + path(shown + ".INF") + "\n", ""},
        {{"--recover", path(esc + "_27C64.BIN"), "--start=1.5", "--end=12", path(esc + "R.INF")}, 0,
         path(shown + "R.INF") + " is created.\n", ""},
        {{"--check", path(esc + "X.BIN"), escList}, 1, "",
         "Error !\nSomething is wrong!  \nThe chip image " + path(shown + "X.BIN") +
             " could not be read  \nIt cannot be opened: No such file or directory  \n"},
        {{"--eprom", "27C128", escList}, 1, "",
         "Error !\nSomething is wrong!  \nCannot write " + path(shown + "_27C128.BIN") +
             "  \nA folder has that name: rename or move the folder  \n"},
    };
    for (const auto& c : cases) {
        Outcome o = run(c.args);
        EXPECT_EQ(o.status, c.status) << o.err;
        EXPECT_EQ(o.out, c.out);
        EXPECT_EQ(o.err, c.err);
    }
}

// The real binary, with its environment, as a user runs it through a POSIX
// shell; tests/windows runs the Windows program its own way.
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
#endif

// "/?" asks for help where Windows programs answer it; elsewhere it is a
// path like any other, here one that names no list.
TEST(Companion, SlashQuestionMarkIsHelpOnWindowsOnly) {
    const Outcome help = run({"--help"});
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{{"/?"}, {"/?", "--eprom", "27C128"}}) {
        const Outcome o = run(args);
#ifdef _WIN32
        EXPECT_EQ(o.status, 0);
        EXPECT_EQ(o.out, help.out);
        EXPECT_EQ(o.err, "");
#else
        EXPECT_EQ(o.status, 1);
        EXPECT_EQ(o.out, "");
        EXPECT_EQ(o.err.rfind("Error !\n", 0), 0u) << o.err;
#endif
    }
    // Given after "--", it is the LIST on every system.
    const Outcome listed = run({"--", "/?"});
    EXPECT_EQ(listed.status, 1);
    EXPECT_EQ(listed.out, "");
}

}  // namespace
}  // namespace varidac
