#include "core/da_codes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/bcd_address.h"
#include "core/tuning_state.h"
#include "core/voltage_checks.h"
#include "tests/test_printers.h"

namespace varidac {
namespace {

// The state after start-up with the given table ends and a rising curve.
TuningState stateWith(double u6, double u16, const char* start = "1.50", const char* end = "12.00") {
    TuningState state;
    recomputeVoltages(state, start, end);
    for (int i = 6; i <= 16; ++i) state.UvarTable[static_cast<std::size_t>(i)] = u6 + (u16 - u6) * (i - 6) / 10;
    return state;
}

CodeRun codesOf(const std::variant<CodeRun, Message>& result) {
    if (auto* message = std::get_if<Message>(&result)) {
        ADD_FAILURE() << "refused: " << message->text();
        return {};
    }
    return std::get<CodeRun>(result);
}

TEST(DaCode, RoundsToNearestWithHalvesUpwards) {
    EXPECT_EQ(daCode(2.5, 1), 3);
    EXPECT_EQ(daCode(-2.5, 1), -2);
    EXPECT_EQ(daCode(2.49, 1), 2);
    EXPECT_EQ(daCode(0, 1), 0);
    EXPECT_TRUE(std::isinf(daCode(1, 0)));
}

TEST(ComputeCodes, WorkedExampleOfTheFirstRange) {
    TuningState state = stateWith(4.0, 11.5);
    state.UvarTable[7] = 5.0;
    const CodeRun run = codesOf(computeCodes(state));
    ASSERT_EQ(run.rows.size(), 1001u);
    struct Row {
        int frequency;
        double offset;
        int code;
    };
    const Row rows[] = {{600, 2.5, 61}, {601, 2.51, 61}, {602, 2.52, 61}, {650, 3.0, 73}, {699, 3.49, 85}};
    for (const auto& r : rows) {
        const CodeRow& row = run.rows[static_cast<std::size_t>(r.frequency - 600)];
        EXPECT_EQ(row.frequency, r.frequency);
        EXPECT_NEAR(row.offset, r.offset, 1e-12) << r.frequency;
        EXPECT_EQ(row.code, r.code) << r.frequency;
        EXPECT_EQ(run.image[static_cast<std::size_t>(HexWaarde(static_cast<int16_t>(r.frequency)))], r.code);
    }
    // The offset is k times the step plus the base, in that order.
    EXPECT_EQ(run.rows[1].offset, 1 * ((5.0 - 4.0) / 100) + (4.0 - 1.5));
    for (int f = 501; f <= 599; ++f) EXPECT_EQ(run.image[static_cast<std::size_t>(HexWaarde(static_cast<int16_t>(f)))], 61) << f;
}

TEST(ComputeCodes, FixesTheAlignmentPointsAndEdgesAndPresetsTheRest) {
    TuningState state = stateWith(2.1, 11.5);
    const CodeRun run = codesOf(computeCodes(state));
    EXPECT_EQ(run.image[0x0500], 0);
    EXPECT_EQ(run.image[0x1700], 255);
    for (int f = 501; f <= 599; ++f) EXPECT_EQ(run.image[static_cast<std::size_t>(HexWaarde(static_cast<int16_t>(f)))], run.image[0x0600]);
    for (int f = 1601; f <= 1699; ++f) EXPECT_EQ(run.image[static_cast<std::size_t>(HexWaarde(static_cast<int16_t>(f)))], run.image[0x1600]);
    EXPECT_EQ(run.image[0x1600], daCode(11.5 - 1.5, state.VoltageStep));
    EXPECT_EQ(run.rows.back().frequency, 1600);
    EXPECT_EQ(run.rows.back().code, run.image[0x1600]);

    // Every index that is no BCD address of 500..1700 kHz keeps the preset.
    int bcdAddresses = 0;
    for (std::size_t index = 0; index < kImageSize; ++index) {
        bool isBcd = (index & 0xF) <= 9 && ((index >> 4) & 0xF) <= 9 && ((index >> 8) & 0xF) <= 9;
        bool inBand = isBcd && index >= 0x0500 && index <= 0x1700;
        if (inBand) {
            ++bcdAddresses;
        } else {
            EXPECT_EQ(run.image[index], 255) << std::hex << index;
        }
        EXPECT_GE(run.image[index], 0);
        EXPECT_LE(run.image[index], 255);
    }
    EXPECT_EQ(bcdAddresses, 1201);
}

TEST(ComputeCodes, FlatRangeGivesEqualCodesAndTheRunRepeatsExactly) {
    TuningState state = stateWith(2.1, 11.5);
    state.UvarTable[9] = 4.0;
    state.UvarTable[10] = 4.0;
    const CodeRun run = codesOf(computeCodes(state));
    for (int f = 900; f <= 999; ++f) EXPECT_EQ(run.rows[static_cast<std::size_t>(f - 600)].code, run.rows[300].code) << f;
    const CodeRun again = codesOf(computeCodes(state));
    EXPECT_EQ(run.image, again.image);
}

TEST(ComputeCodes, RefusesCodesOutsideTheByteAtTheFirstSuchFrequency) {
    struct Case {
        const char* name;
        TuningState state;
        int frequency;
    };
    // 1.50 V to 12.00 V: codes below 0 start under 1.4794 V, above 255 from 12.0206 V.
    TuningState dip = stateWith(2.1, 11.5);
    dip.UvarTable[8] = 2.0;
    dip.UvarTable[9] = 1.0;  // 852 kHz needs 1.48 V (code 0), 853 kHz 1.47 V
    TuningState peak = stateWith(2.1, 11.5);
    peak.UvarTable[10] = 11.0;
    peak.UvarTable[11] = 13.0;  // 1051 kHz needs 12.02 V (code 255), 1052 kHz 12.04 V
    TuningState zeroStep = stateWith(2.1, 11.5, "5", "5");
    const Case cases[] = {
        {"dip", dip, 853},
        {"peak", peak, 1052},
        {"zero step", zeroStep, 600},
    };
    for (const auto& c : cases) {
        auto result = computeCodes(c.state);
        ASSERT_TRUE(std::holds_alternative<Message>(result)) << c.name;
        EXPECT_EQ(std::get<Message>(result), codeOutOfRangeMessage(c.frequency)) << c.name;
    }
    EXPECT_EQ(codeOutOfRangeMessage(860).text(),
              "Something is wrong!  \rD/A code outside 00H to FFH at 860 kHz  \rCorrect the settings and reload input file  \r");
}

TEST(FillerInputChecks, RefuseInTheirOrderAtTheExactBoundaries) {
    struct Case {
        double u6;
        double u16;
        const char* start;
        const char* end;
        std::optional<Message> expected;
    };
    const Case cases[] = {
        {0, 0, "1.50", "12.00", tuningListMessage()},  // nothing read yet
        {2.1, 7.0, "1.50", "12.00", tuningListMessage()},
        {2.1, 15.0, "1.50", "16.00", tuningListMessage()},
        {2.1, 7.01, "1.50", "12.00", std::nullopt},
        {2.1, 14.99, "1.50", "15.25", std::nullopt},
        {2.1, 11.75, "1.50", "12.00", endVoltageMessage()},   // exactly 0.25 above
        {2.1, 11.5, "1.50", "12.00", std::nullopt},
        {1.75, 11.5, "1.50", "12.00", startVoltageMessage()},  // exactly 0.25 below
        {1.75, 11.75, "1.50", "12.00", endVoltageMessage()},  // both wrong: end first
        {2.1, 11.5, "1.50", "12abc", std::nullopt},           // reads as 12
        {2.1, 11.5, "x", "12.00", std::nullopt},              // reads as 0
        {2.1, 11.5, "1.50", "", endVoltageMessage()},
    };
    for (const auto& c : cases) {
        TuningState state;
        state.UvarTable[6] = c.u6;
        state.UvarTable[16] = c.u16;
        EXPECT_EQ(fillerInputChecks(state, c.start, c.end), c.expected) << c.u6 << " " << c.u16 << " " << c.start << " " << c.end;
    }
    EXPECT_EQ(tuningListMessage().text(),
              "Something is wrong!  \rFirst set Start and End voltage settings correct,  \rthen fetch a D/A INF file, \r"
              "then fill the EPROM file  \r");
}

}  // namespace
}  // namespace varidac
