#include "core/da_codes.h"

#include <cmath>
#include <string>

#include "core/bcd_address.h"
#include "core/voltage_checks.h"

namespace varidac {
namespace {

constexpr std::size_t kAddress0500 = 1280;
constexpr std::size_t kAddress0600 = 1536;
constexpr std::size_t kAddress1600 = 5632;
constexpr std::size_t kAddress1700 = 5888;

std::size_t address(int frequency) { return static_cast<std::size_t>(HexWaarde(static_cast<int16_t>(frequency))); }

}  // namespace

Message tuningListMessage() {
    return errorMessage({kSomethingWrong, "First set Start and End voltage settings correct,  ", "then fetch a D/A INF file, ",
                         "then fill the EPROM file  "});
}

Message codeOutOfRangeMessage(int frequency) {
    return errorMessage({kSomethingWrong, "D/A code outside 00H to FFH at " + std::to_string(frequency) + " kHz  ",
                         "Correct the settings and reload input file  "});
}

Message voltageTooLargeMessage() {
    return errorMessage({kSomethingWrong, "D/A Start or End voltage is too large  ", "Correct the settings and start again  "});
}

double daCode(double offset, double voltageStep) { return std::floor(offset / voltageStep + 0.5); }

std::optional<Message> fillerInputChecks(const TuningState& state, std::string_view startText, std::string_view endText) {
    double top = state.UvarTable[16];
    if (!(top > 7.0 && top < 15.0)) return tuningListMessage();
    if (auto m = checkEndVoltage(state, endText)) return m;
    if (auto m = checkStartVoltage(state, startText)) return m;
    // An end voltage beyond the double range passes the margin check, but its
    // step is infinite: every code would be 0 and the report would show NaN.
    if (!stepShowable(state.VoltageStep)) return voltageTooLargeMessage();
    return std::nullopt;
}

std::variant<CodeRun, Message> computeCodes(const TuningState& state) {
    CodeRun run;
    run.image.fill(255);
    run.rows.reserve(1001);
    // Codes are checked before they are stored: a byte of the image cannot
    // hold anything outside 0..255.
    auto store = [&](int frequency, double offset, std::size_t index) -> bool {
        double code = daCode(offset, state.VoltageStep);
        if (!(code >= 0 && code <= 255)) return false;
        run.image[index] = static_cast<int16_t>(code);
        run.rows.push_back(CodeRow{static_cast<int16_t>(frequency), offset, static_cast<int16_t>(code)});
        return true;
    };
    for (int range = 6; range <= 15; ++range) {
        std::size_t r = static_cast<std::size_t>(range);
        double base = state.UvarTable[r] - state.StartVoltage;
        if (!store(range * 100, base, address(range * 100))) return codeOutOfRangeMessage(range * 100);
        double kHzStep = (state.UvarTable[r + 1] - state.UvarTable[r]) / 100;
        for (int k = 1; k <= 99; ++k) {
            int frequency = range * 100 + k;
            double offset = k * kHzStep + base;
            if (!store(frequency, offset, address(frequency))) return codeOutOfRangeMessage(frequency);
        }
    }
    if (!store(1600, state.UvarTable[16] - state.StartVoltage, kAddress1600)) return codeOutOfRangeMessage(1600);

    run.image[kAddress1700] = 255;
    int16_t low = run.image[kAddress0600];
    for (int f = 501; f <= 599; ++f) run.image[address(f)] = low;
    int16_t high = run.image[kAddress1600];
    for (int f = 1601; f <= 1699; ++f) run.image[address(f)] = high;
    run.image[kAddress0500] = 0;
    return run;
}

}  // namespace varidac
