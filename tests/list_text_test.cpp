#include "core/list_text.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "core/tuning_list.h"

namespace varidac {
namespace {

constexpr ListVoltages kVoltages = {2.1, 0.75, 3, 3.9, 4.7, 5.6, 6.6, 7.7, 8.9, 10.2, 11.5};

// The record that listText writes for point `i` of kVoltages.
std::string line(int i) {
    const char* texts[] = {"2.1", "0.75", "3", "3.9", "4.7", "5.6", "6.6", "7.7", "8.9", "10.2", "11.5"};
    return std::to_string(pointKHz(i)) + "," + texts[i] + "\r\n";
}

std::string lines(int from, int to) {
    std::string text;
    for (int i = from; i <= to; ++i) text += line(i);
    return text;
}

TEST(ListText, FieldTextsReadAsVoltagesWhenTheyAreNumbers) {
    const struct {
        const char* text;
        std::optional<double> volts;
    } cases[] = {
        {"2.37", 2.37}, {"2.", 2}, {".5", 0.5}, {"03.20", 3.2}, {"0", 0},
        {"", std::nullopt}, {".", std::nullopt}, {"1.2.3", std::nullopt}, {"2,5", std::nullopt}, {" 2", std::nullopt},
        {"1e999", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(pointVoltage(c.text), c.volts) << c.text;
    for (double volts : {2.37, 0.75, 12.0, 0.0, 1.0001, 10.2}) EXPECT_EQ(pointVoltage(pointText(volts)), volts) << volts;
    EXPECT_EQ(pointText(0.75), "0.75");
    EXPECT_EQ(pointText(12), "12");
}

TEST(ListText, TheElevenPointsOneLineEachWithCrLf) {
    EXPECT_EQ(listText(kVoltages), lines(0, 10));
    EXPECT_EQ(lines(0, 1), "600,2.1\r\n700,0.75\r\n");
    // What it writes reads back as those voltages.
    const ListOrMessage read = parseTuningListText(listText(kVoltages));
    ASSERT_TRUE(std::holds_alternative<TuningList>(read));
    for (int i = 0; i < kListPoints; ++i) {
        EXPECT_EQ(std::get<TuningList>(read).voltages[static_cast<std::size_t>(pointKHz(i) / 100)], kVoltages[static_cast<std::size_t>(i)]);
    }
}

TEST(ListText, EmptyPointsAreNamedInOrder) {
    ListPoints points;
    points[0] = 2.1;
    points[3] = 3.9;
    EXPECT_EQ(emptyPointKHz(points), (std::vector<int>{700, 800, 1000, 1100, 1200, 1300, 1400, 1500, 1600}));
    EXPECT_FALSE(completeVoltages(points));
    for (std::size_t i = 0; i < points.size(); ++i) points[i] = kVoltages[i];
    EXPECT_EQ(completeVoltages(points), kVoltages);
    EXPECT_TRUE(emptyPointKHz(points).empty());
    EXPECT_EQ(emptyPointsMessage({800, 900}),
              errorMessage({"Something is wrong!  ", "No voltage for 800, 900 kHz  ", "The list is not saved  "}));
}

TEST(ListText, OverAListTheOtherRecordsStayAndEachPointTakesItsFirstRecordsPlace) {
    const struct {
        const char* what;
        std::string existing, written;
    } cases[] = {
        {"a list of the points alone", lines(0, 10), lines(0, 10)},
        {"other records in their places, their texts as they were, blanks dropped",
         "600,1\r\n650 , 2.350\r\n700,1\n800,1\r900,1\r\n1000,1\r\n\r\n  \r\n1100,1\r\n1200,1\r\n1300,1\r\n1400,1\r\n1500,1\r\n1600,1\r\n1650,+12e0",
         line(0) + "650,2.350\r\n" + lines(1, 10) + "1650,+12e0\r\n"},
        {"a repeated point goes, the first one's place kept",
         "600,1\r\n700,1\r\n650,2\r\n700,9\r\n1600,1\r\n600,5\r\n",
         line(0) + line(1) + lines(2, 9) + "650,2\r\n" + line(10)},
        {"records two to a line or split over lines", "600,1,650\r\n2,700,1\r\n800\r\n1\r\n",
         line(0) + "650,2\r\n" + lines(1, 10)},
        {"frequencies written otherwise", "600.0,1\r\n7e2,1\r\n", lines(0, 10)},
        {"a missing point follows the nearest point below it", "600,1\r\n650,2\r\n900,1\r\n950,3\r\n",
         line(0) + lines(1, 2) + "650,2\r\n" + lines(3, 10) + "950,3\r\n"},
        {"with no point below it, first", "6000,1\r\n700,1\r\n", line(0) + "6000,1\r\n" + lines(1, 10)},
        {"a byte-order mark is dropped", "\xEF\xBB\xBF" "600,1\r\n650,2\r\n", line(0) + lines(1, 10) + "650,2\r\n"},
        {"UTF-16 is read as its text", std::string("\xFF\xFE" "6\0" "0\0" "0\0" ",\0" "1\0" "\n\0" "5\0" "5\0" "0\0" ",\0" "2\0", 24),
         lines(0, 10) + "550,2\r\n"},
        {"not a list: the points alone", "700,1\r\n650,2\r\n", lines(0, 10)},
        {"a decimal comma is no list either", "600,2,1\r\n650,2,35\r\n", lines(0, 10)},
        {"nor an empty file", "", lines(0, 10)},
    };
    for (const auto& c : cases) {
        const std::string written = listTextOver(c.existing, kVoltages);
        EXPECT_EQ(written, c.written) << c.what;
        EXPECT_TRUE(std::holds_alternative<TuningList>(parseTuningListText(written))) << c.what;
    }
}

}  // namespace
}  // namespace varidac
