#include "core/test_report.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "core/da_codes.h"
#include "tests/test_printers.h"

namespace varidac {
namespace {

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "text after the last CR LF";
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// Start 1.50 V, end 12.00 V, 4.00 V at 600 kHz and 5.00 V at 700 kHz.
std::string workedExampleReport(char decimalSign, double u16 = 11.5) {
    TuningState state;
    recomputeVoltages(state, "1.50", "12.00");
    for (int i = 6; i <= 16; ++i) state.UvarTable[static_cast<std::size_t>(i)] = 4.0 + (i - 6) * 0.75;
    state.UvarTable[7] = 5.0;
    state.UvarTable[16] = u16;
    auto run = computeCodes(state);
    EXPECT_TRUE(std::holds_alternative<CodeRun>(run));
    return testReportText(state, std::get<CodeRun>(run).rows, decimalSign);
}

TEST(TestReport, HeaderTellsHowToAlignTheConverter) {
    std::vector<std::string> lines = linesOf(workedExampleReport('.'));
    ASSERT_EQ(lines.size(), 1015u);
    const std::vector<std::string> header = {
        "Start voltage outside D/A range =  1.5 Volt",
        "Align D/A = 00H at 500.0 setting",
        " ",
        "End voltage outside D/A range =  12 Volt",
        "Align D/A = FFH at 1700.0 setting",
        " ",
        "Calculated 255 D/A steps = 0.0412 Volt",
        "(required real voltage step per KHz recalculated for every 100 KHz range) ",
        "The total D/A voltage range = 10.5 Volt",
        " ",
        "Keep in mind that the INT( ) values are ROUNDED values ",
        " ",
        "frequency     tune-U        D/A code      D/A code      tune-U",
        "              required      in INT(dec.)  in INT(Hex)   D/A",
    };
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 14), header);
}

TEST(TestReport, RowsSitInFourteenColumnZones) {
    std::vector<std::string> lines = linesOf(workedExampleReport('.', 10.123));
    EXPECT_EQ(lines[14], " 600           4             61           3D             4.01 ");
    EXPECT_EQ(lines[15], " 601           4.01          61           3D             4.01 ");
    EXPECT_EQ(lines[14 + 50], " 650           4.5           73           49             4.51 ");
    EXPECT_EQ(lines[14 + 99].substr(0, 5), " 699 ");
    // 1600 kHz: a literal without trailing blank, and the stored voltage unrounded.
    EXPECT_EQ(lines.back().substr(0, 28), " 1600          10.123       ");
    for (std::size_t i = 14; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i][14], ' ') << i;   // each number starts with its blank
        EXPECT_NE(lines[i][15], ' ') << i;
        EXPECT_NE(lines[i][42], ' ') << i;   // the hex code has no blank
    }
}

TEST(TestReport, RegionalDecimalSignOnlyInTheRowsAndTheRange) {
    std::vector<std::string> lines = linesOf(workedExampleReport(','));
    EXPECT_EQ(lines[0], "Start voltage outside D/A range =  1.5 Volt");
    EXPECT_EQ(lines[6], "Calculated 255 D/A steps = 0.0412 Volt");
    EXPECT_EQ(lines[8], "The total D/A voltage range = 10,5 Volt");
    EXPECT_EQ(lines[15], " 601           4,01          61           3D             4,01 ");
    EXPECT_EQ(lines.back().substr(0, 20), " 1600          11,5 ");
}

TEST(PrintZones, NextFieldStartsAtTheNextZoneStart) {
    struct Case {
        std::vector<std::string> fields;
        std::string line;
    };
    const Case cases[] = {
        {{"a", "b"}, "a             b"},
        {{std::string(13, 'x'), "b"}, std::string(13, 'x') + " b"},
        {{std::string(14, 'x'), "b"}, std::string(14, 'x') + "b"},  // ends in the zone's last column
        {{std::string(15, 'x'), "b"}, std::string(15, 'x') + std::string(13, ' ') + "b"},
        {{"", "b"}, "b"},
        {{"a"}, "a"},
    };
    for (const auto& c : cases) EXPECT_EQ(printZones(c.fields), c.line);
}

TEST(TestReport, StartVoltageDecimalsCarryIntoTheRows) {
    TuningState state;
    recomputeVoltages(state, "1.505", "12.00");
    for (int i = 6; i <= 16; ++i) state.UvarTable[static_cast<std::size_t>(i)] = 2.0 + i * 0.5;
    auto run = computeCodes(state);
    ASSERT_TRUE(std::holds_alternative<CodeRun>(run));
    std::vector<std::string> lines = linesOf(testReportText(state, std::get<CodeRun>(run).rows, '.'));
    EXPECT_EQ(lines[0], "Start voltage outside D/A range =  1.505 Volt");
    EXPECT_EQ(lines[8], "The total D/A voltage range = 10.495 Volt");
    // 5.0 - 1.505 = 3.495 rounds to 3.5 (3.495 * 100 lies above 349.5 here), then 1.505 is added.
    EXPECT_EQ(lines[14].substr(0, 28), " 600           5.005        ");
}

}  // namespace
}  // namespace varidac
