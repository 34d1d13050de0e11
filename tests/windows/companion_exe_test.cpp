// varidac-fill.exe as a Windows user runs it: any name the file system
// holds, the regional decimal sign, and a held image refused with status 1.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "tests/temp_folder.h"
#include "tests/windows/windows_support.h"
#include "util/file_names.h"

namespace varidac::windows {
namespace {

class CompanionExe : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directory(pathFromUtf8(lists));
        writeFile(list, readFile(VARIDAC_SOURCE_DIR "/examples/EXAMPLE.INF").value_or(""));
    }

    UserDecimalSign point{L"."};
    TempFolder folder;
    const std::string dir = utf8FromPath(folder.path());
    const std::string lists = joinPath(dir, "M\xC3\xA4tlisten");
    const std::string list = joinPath(lists, "Empf\xC3\xA4nger Liste.INF");
    const std::string report = joinPath(lists, "Empf\xC3\xA4nger Liste_test_DA.TXT");
};

TEST_F(CompanionExe, NamesBeyondAsciiGiveOutputsNamedAfterTheList) {
    const std::string golden = readFile(VARIDAC_SOURCE_DIR "/tests/golden/EXAMPLE_test_DA.TXT").value_or("?");
    struct Case {
        std::vector<std::string> args;
        const char* image;
        std::size_t size;
    };
    const Case cases[] = {
        {{list}, "Empf\xC3\xA4nger Liste_27C64.BIN", 8192},
        {{"--eprom", "27C256", "M\xC3\xA4tlisten\\Empf\xC3\xA4nger Liste.INF"}, "Empf\xC3\xA4nger Liste_27C256.BIN", 32768},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.image);
        ExeResult result = runCompanionExe(c.args, dir);
        EXPECT_EQ(result.status, 0u) << result.err;
        EXPECT_EQ(result.out, "Run OK!\r\nOkido!  \r\n" + std::string(c.image) + " is created.  \r\n");
        EXPECT_EQ(result.err, "");
        EXPECT_EQ(readFile(report), golden);
        EXPECT_EQ(readFile(joinPath(lists, c.image)).value_or("").size(), c.size);
    }
    EXPECT_EQ(namesIn(lists), (std::set<std::string>{"Empf\xC3\xA4nger Liste.INF", "Empf\xC3\xA4nger Liste_test_DA.TXT",
                                                     "Empf\xC3\xA4nger Liste_27C64.BIN", "Empf\xC3\xA4nger Liste_27C256.BIN"}));
}

// Notepad's "Unicode" (UTF-16 little endian with its mark): the same list,
// so the same image and report, and the messages name the list and the
// image as the folder spells them.
TEST_F(CompanionExe, AListSavedAsUtf16GivesTheFilesOfItsAsciiTwin) {
    const std::string image = joinPath(lists, "Empf\xC3\xA4nger Liste_27C64.BIN");
    ExeResult fromAscii = runCompanionExe({list}, dir);
    ASSERT_EQ(fromAscii.status, 0u) << fromAscii.err;
    const std::string asciiImage = readFile(image).value_or("");
    const std::string asciiReport = readFile(report).value_or("");
    ASSERT_EQ(asciiImage.size(), 8192u);

    std::string utf16 = "\xFF\xFE";
    for (char c : readFile(list).value_or("")) utf16 += {c, '\0'};
    writeFile(list, utf16);
    writeFile(image, "earlier image");
    writeFile(report, "earlier report");
    ExeResult fromUtf16 = runCompanionExe({list}, dir);
    EXPECT_EQ(fromUtf16.status, 0u) << fromUtf16.err;
    EXPECT_EQ(fromUtf16.out, "Run OK!\r\nOkido!  \r\nEmpf\xC3\xA4nger Liste_27C64.BIN is created.  \r\n");
    EXPECT_EQ(fromUtf16.out, fromAscii.out);
    EXPECT_EQ(fromUtf16.err, "");
    EXPECT_EQ(readFile(image), asciiImage);
    EXPECT_EQ(readFile(report), asciiReport);

    ExeResult check = runCompanionExe({"--check", image, list}, dir);
    EXPECT_EQ(check.status, 0u) << check.err;
    EXPECT_EQ(check.out, "Same as " + list + "\r\n");
    EXPECT_EQ(check.err, "");
}

TEST_F(CompanionExe, TheReportTakesTheUsersDecimalSign) {
    for (const wchar_t* sign : {L",", L"."}) {
        SCOPED_TRACE(*sign == L',' ? "comma" : "point");
        UserDecimalSign users(sign);
        ExeResult result = runCompanionExe({list}, dir);
        EXPECT_EQ(result.status, 0u) << result.err;
        std::string text = readFile(report).value_or("");
        EXPECT_NE(text.find(*sign == L',' ? "range = 10,5 Volt\r\n" : "range = 10.5 Volt\r\n"), std::string::npos);
        EXPECT_NE(text.find("Calculated 255 D/A steps = 0.0412 Volt"), std::string::npos);
    }
}

TEST_F(CompanionExe, AHeldImageIsRefusedWithStatusOne) {
    const std::string image = joinPath(lists, "Empf\xC3\xA4nger Liste_27C64.BIN");
    writeFile(report, "earlier report");
    writeFile(image, "earlier image");
    HeldFile held(image);
    ASSERT_TRUE(held.held());
    ExeResult result = runCompanionExe({list}, dir);
    EXPECT_EQ(result.status, 1u);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "Error !\r\nSomething is wrong!  \r\nCannot write " + image +
                              "  \r\nThe file is in use by another program: close it and run again  \r\n");
    EXPECT_EQ(readFile(report), "earlier report");
    EXPECT_EQ(readFile(image), "earlier image");
    EXPECT_EQ(namesIn(lists).size(), 3u);
}

// An output that is the list, another output of the run or a device: the
// same file under any spelling Windows accepts, refused before anything is
// written.
TEST_F(CompanionExe, APlotOntoAnInputAnOutputOrADeviceIsRefused) {
    const std::string listText = readFile(list).value_or("?");
    const std::string relative = "M\xC3\xA4tlisten\\";
    const std::string cases[] = {
        list,
        relative + "empf\xC3\xA4nger liste.inf",
        relative + ".\\Empf\xC3\xA4nger Liste.INF",
        joinPath(lists, "Empf\xC3\xA4nger Liste_27C64.BIN"),
        relative + "EMPF\xC3\xA4NGER LISTE_27c64.bin",
        "NUL",
        joinPath(lists, "CON"),
    };
    for (const auto& plot : cases) {
        SCOPED_TRACE(plot);
        ExeResult result = runCompanionExe({"--plot", plot, list}, dir);
        EXPECT_EQ(result.status, 1u);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err.rfind("Error !\r\nSomething is wrong!  \r\nCannot write " + plot + "  \r\n", 0), 0u) << result.err;
        EXPECT_EQ(readFile(list), listText);
        EXPECT_EQ(namesIn(lists), std::set<std::string>{"Empf\xC3\xA4nger Liste.INF"});
    }
}

// "/?" and "-h" are --help, as Windows users ask for it; the help names no
// file, so the folder it runs in stays as it was.
TEST_F(CompanionExe, SlashQuestionMarkAndDashHAreHelp) {
    const ExeResult help = runCompanionExe({"--help"}, dir);
    ASSERT_EQ(help.status, 0u) << help.err;
    ASSERT_EQ(help.out.rfind("usage: varidac-fill ", 0), 0u) << help.out;
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{{"/?"}, {"-h"}, {"/?", list}, {list, "/?"}}) {
        SCOPED_TRACE(args.front() + (args.size() > 1 ? " " + args.back() : ""));
        const ExeResult result = runCompanionExe(args, dir);
        EXPECT_EQ(result.status, 0u);
        EXPECT_EQ(result.out, help.out);
        EXPECT_EQ(result.err, "");
    }
    EXPECT_EQ(namesIn(lists), std::set<std::string>{"Empf\xC3\xA4nger Liste.INF"});
}

class CompanionRecover : public CompanionExe {
protected:
    void SetUp() override {
        CompanionExe::SetUp();
        ASSERT_EQ(runCompanionExe({list}, dir).status, 0u);
        dump = readFile(joinPath(lists, "Empf\xC3\xA4nger Liste_27C64.BIN")).value_or("");
        ASSERT_EQ(dump.size(), 8192u);
        writeFile(joinPath(dir, "CHIP.BIN"), dump);
    }

    ExeResult recover(const std::string& out, bool force) {
        std::vector<std::string> args = {"--recover", "CHIP.BIN", "--start", "1.5", "--end", "12"};
        if (force) args.push_back("--force");
        args.push_back(out);
        return runCompanionExe(args, dir);
    }

    std::set<std::string> namesBefore() const { return {"CHIP.BIN", "M\xC3\xA4tlisten"}; }

    std::string dump;
};

TEST_F(CompanionRecover, NeverWritesOntoTheDump) {
    for (const char* out : {"CHIP.BIN", "chip.bin", ".\\CHIP.BIN"}) {
        for (bool force : {false, true}) {
            SCOPED_TRACE(std::string(out) + (force ? " --force" : ""));
            ExeResult result = recover(out, force);
            EXPECT_EQ(result.status, 1u);
            EXPECT_EQ(result.out, "");
            EXPECT_NE(result.err.find("Cannot write " + std::string(out) + "  \r\n"), std::string::npos) << result.err;
            EXPECT_EQ(readFile(joinPath(dir, "CHIP.BIN")), dump);
            EXPECT_EQ(namesIn(dir), namesBefore());
        }
    }
}

TEST_F(CompanionRecover, ReplacesAnExistingListOnlyWithForce) {
    ExeResult fresh = recover("NEW.INF", false);
    ASSERT_EQ(fresh.status, 0u) << fresh.err;
    const std::string recovered = readFile(joinPath(dir, "NEW.INF")).value_or("");
    ASSERT_FALSE(recovered.empty());

    writeFile(joinPath(dir, "FOUND.INF"), "earlier list");
    ExeResult refused = recover("FOUND.INF", false);
    EXPECT_EQ(refused.status, 1u);
    EXPECT_NE(refused.err.find("Cannot write FOUND.INF  \r\n"), std::string::npos) << refused.err;
    EXPECT_EQ(readFile(joinPath(dir, "FOUND.INF")), "earlier list");

    ExeResult forced = recover("FOUND.INF", true);
    EXPECT_EQ(forced.status, 0u) << forced.err;
    EXPECT_EQ(forced.err, "");
    EXPECT_EQ(readFile(joinPath(dir, "FOUND.INF")), recovered);
    EXPECT_EQ(readFile(joinPath(dir, "CHIP.BIN")), dump);
    std::set<std::string> names = namesBefore();
    names.insert({"NEW.INF", "FOUND.INF"});
    EXPECT_EQ(namesIn(dir), names);
}

}  // namespace
}  // namespace varidac::windows
