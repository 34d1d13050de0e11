#include "core/number_text.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "core/tuning_state.h"
#include "tests/printf_number_text.h"

namespace varidac {
namespace {

TEST(NumberText, WritesBlankOrMinusAndNoNeedlessDigits) {
    struct Case {
        double value;
        const char* text;
    };
    const Case cases[] = {
        {0, " 0"},
        {-0.0, " 0"},
        {0.5, " .5"},
        {12, " 12"},
        {600, " 600"},
        {2.1, " 2.1"},
        {-1.25, "-1.25"},
        {-0.5, "-.5"},
        {10.5, " 10.5"},
        {10.123, " 10.123"},
        {10.5 / 255, " .0411764705882353"},
        {0.0001, " .0001"},
        {0.05, " .05"},
        {1.005, " 1.005"},                 // 100.49999999999999 hundredths
        {0.0375, " .0375"},
        {0.00375, " .00375"},              // five decimals
        {1234567890123.45, " 1234567890123.45"},
        {12345678901234.56, " 12345678901234.6"},  // sixteen digits: rounded to fifteen
        {0.00012345, " .00012345"},
        {2.51 + 1.5, " 4.01"},             // 4.0099999999999998 in binary
        {0.1 + 0.2, " .3"},                // 15 significant digits hide the binary tail
        {123456789012345.0, " 123456789012345"},
        {999999999999999.9, " 1E+15"},     // rounds up into the exponent range
        {1e15, " 1E+15"},
        {1.5e20, " 1.5E+20"},
        {0.00001, " 1E-05"},
        {-2.5e-7, "-2.5E-07"},
        {1e300, " 1E+300"},
        {std::numeric_limits<double>::infinity(), " INF"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(numberText(c.value), c.text) << c.value;
    }
}

double fromBits(std::uint64_t bits) {
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

TEST(NumberText, ShowsTheFifteenDigitRoundingOfEveryDouble) {
    ASSERT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
    const double hard[] = {
        std::numeric_limits<double>::denorm_min(),  // 4.9E-324
        2 * std::numeric_limits<double>::denorm_min(),
        1.35776641240448e-310,     // its shortest form has 14 digits and differs
        1e-310,
        1.2345678901234567e-315,
        9.99999999999999999e-309,  // rounds up into a new leading digit
        DBL_MIN,
        DBL_MAX,
        1e15,
        999999999999999.9,
        999999999999999.4,
        1000000000000005.0,        // an exact tie: to even, 1E+15
        1000000000000015.0,        // an exact tie: to even, upwards
        123456789012345.5,
        0.0001,
        0.000099999999999999995,   // rounds up to .0001
        0.00009999999999999,
        0.1 + 0.2,
        0.99999999999999994,       // the 16th digit rounds up into the 15th
        9.9999999999999995,
        0.41176470588235294,
        1.005,
        2.51 + 1.5,
    };
    std::vector<double> values;
    for (double v : hard) {
        double below = v;
        double above = v;
        values.push_back(v);
        for (int i = 0; i < 3; ++i) {
            below = std::nextafter(below, 0.0);
            above = std::nextafter(above, HUGE_VAL);
            values.push_back(below);
            if (!std::isinf(above)) values.push_back(above);
        }
    }
    // A fixed spread over every exponent, subnormals and both signs included.
    std::uint64_t state = 0x9E3779B97F4A7C15u;
    for (std::uint64_t exponent = 0; exponent < 2047; ++exponent) {
        for (int i = 0; i < 8; ++i) {
            state = state * 6364136223846793005u + 1442695040888963407u;
            std::uint64_t mantissa = (state >> 12) & ((std::uint64_t{1} << 52) - 1);
            values.push_back(fromBits((state & (std::uint64_t{1} << 63)) | exponent << 52 | mantissa));
        }
    }
    for (double v : values) {
        EXPECT_EQ(numberText(v), printfNumberText(v)) << std::hexfloat << v;
    }
}

TEST(NumberText, PlainFormHasAZeroBeforeTheDecimalSign) {
    EXPECT_EQ(plainNumberText(10.5), "10.5");
    EXPECT_EQ(plainNumberText(0.5), "0.5");
    EXPECT_EQ(plainNumberText(-0.25), "-0.25");
    EXPECT_EQ(plainNumberText(255), "255");
    EXPECT_EQ(plainNumberText(0), "0");
    EXPECT_EQ(withDecimalSign(plainNumberText(10.5), ','), "10,5");
    std::string line;
    appendNumberText(line, 2.51 + 1.5, ',');
    appendNumberText(line, 0.05, ',');
    EXPECT_EQ(line, " 4,01 ,05");
}

TEST(ReadNumber, ReadsTheLeadingNumberAndStopsAtTheFirstOtherCharacter) {
    struct Case {
        const char* text;
        double value;
    };
    const Case cases[] = {
        {"1.50", 1.5},  {"12.00", 12},  {"1.2.3", 1.2}, {"12.", 12},    {".5", 0.5},   {"", 0},
        {".", 0},       {"abc", 0},     {"1.50V", 1.5}, {"1,5", 1},     {"-3", -3},    {"0012", 12},
        {"1e2", 100},   {"1e", 1},      {"2E-1x", 0.2}, {" 5", 5},      {"+4", 4},     {"-.25", -0.25},
        {"1e999", HUGE_VAL}, {"1e-999", 0}, {"-1e400", -HUGE_VAL},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(readNumber(c.text), c.value) << '"' << c.text << '"';
    }
}

TEST(ParseNumberField, AcceptsOnlyAWholeNumber) {
    EXPECT_EQ(parseNumberField("600")->value, 600);
    EXPECT_EQ(parseNumberField("-1.25")->value, -1.25);
    EXPECT_EQ(parseNumberField("6e2")->value, 600);
    EXPECT_TRUE(parseNumberField("1e400")->outOfRange);
    for (const char* bad : {"", "abc", "1.2.3", "12V", "\"600\"", "1 2", ".", "-", "1e"}) {
        EXPECT_FALSE(parseNumberField(bad).has_value()) << '"' << bad << '"';
    }
}

TEST(StepText, ShowsTheStepToFourDecimalsWithALeadingZero) {
    struct Case {
        const char* start;
        const char* end;
        const char* step;
    };
    const Case cases[] = {
        {"1.50", "12.00", "0.0412"}, {"12.00", "1.50", "0.0412"}, {"5", "5", "00"},
        {"0", "0.01", "00"},         {"0", "300", "01.1765"},     {"0", "255", "01"},
        {"0", "5", "0.0196"},        {"", "", "00"},              {"1.50", "Text3", "0.0059"},
        {"0", "0.0255", "0.0001"},   {"0", "2.55", "0.01"},       {"0", "510", "02"},
    };
    for (const auto& c : cases) {
        TuningState state;
        EXPECT_EQ(recomputeVoltages(state, c.start, c.end), c.step) << c.start << " .. " << c.end;
    }
}

TEST(StepText, HalfwayStepsRoundUpwardsForBothSigns) {
    // Scaled by 10000 these are exact halves: a positive step goes up, a
    // negative one shows the smaller magnitude.
    ASSERT_EQ(0.00025 * 10000, 2.5);
    ASSERT_EQ(5e-05 * 10000, 0.5);
    EXPECT_EQ(stepText(0.00025), "0.0003");
    EXPECT_EQ(stepText(-0.00025), "0.0002");
    EXPECT_EQ(stepText(5e-05), "0.0001");
    EXPECT_EQ(stepText(-5e-05), "00");
}

TEST(RecomputeVoltages, DerivesRangeAndStepFromTheTexts) {
    TuningState state;
    recomputeVoltages(state, "1.50", "12.00");
    EXPECT_EQ(state.StartVoltage, 1.5);
    EXPECT_EQ(state.EndVoltage, 12);
    EXPECT_EQ(state.RangeVoltage, 10.5);
    EXPECT_EQ(state.VoltageStep, 10.5 / 255);
    EXPECT_DOUBLE_EQ(state.VoltageStep, 0.041176470588235294);
}

}  // namespace
}  // namespace varidac
