// varidac-fill.exe as a Windows user runs it: any name the file system
// holds, the regional decimal sign, and a held image refused with status 1.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

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

}  // namespace
}  // namespace varidac::windows
