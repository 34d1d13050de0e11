#include "core/voltage_checks.h"

#include "core/number_text.h"

namespace varidac {

Message endVoltageMessage() {
    return errorMessage({kSomethingWrong, "D/A EndVoltage must be at least ", "0.25V larger than the 1600-Voltage  ",
                         "Correct the settings and reload input file  "});
}

Message startVoltageMessage() {
    return errorMessage({"Something is wrong!   ", "D/A StartVoltage must be at least", "0.25V lower than the 600-Voltage  ",
                         "Correct the settings and reload input file  "});
}

std::optional<Message> checkEndVoltage(const TuningState& state, std::string_view endText) {
    if (state.UvarTable[16] + kMarginVolts >= readNumber(endText)) return endVoltageMessage();
    return std::nullopt;
}

std::optional<Message> checkStartVoltage(const TuningState& state, std::string_view startText) {
    if (state.UvarTable[6] - kMarginVolts <= readNumber(startText)) return startVoltageMessage();
    return std::nullopt;
}

}  // namespace varidac
