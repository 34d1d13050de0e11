#pragma once
// The D/A codes of the tuning curve, laid out at their BCD addresses.
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <variant>
#include <vector>

#include "core/message.h"
#include "core/tuning_state.h"

namespace varidac {

// One row handed to the test report: 600 to 1599 kHz, then 1600 kHz.
struct CodeRow {
    int16_t frequency = 0;
    double offset = 0;  // needed voltage minus StartVoltage; unused for 1600 kHz
    int16_t code = 0;
};

struct CodeRun {
    std::array<int16_t, kImageSize> image{};
    std::vector<CodeRow> rows;  // 1001 rows, the last one for 1600 kHz
};

// The code nearest to `offset`: floor(offset / step + 0.5), not clamped.
double daCode(double offset, double voltageStep);

// The input checks of a filler run, in their order: the tuning list, the end
// voltage, the start voltage, then whether the voltages give a step that can
// be shown at all (see stepShowable).
std::optional<Message> fillerInputChecks(const TuningState& state, std::string_view startText, std::string_view endText);

// Computes every code from the state's UvarTable, StartVoltage and
// VoltageStep and fills the edges. Refuses with a message when a code from
// 600 to 1600 kHz is not a number in 0..255.
std::variant<CodeRun, Message> computeCodes(const TuningState& state);

Message tuningListMessage();
Message codeOutOfRangeMessage(int frequency);
Message voltageTooLargeMessage();

}  // namespace varidac
