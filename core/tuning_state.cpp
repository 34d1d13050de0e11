#include "core/tuning_state.h"

#include <cmath>

#include "core/number_text.h"

namespace varidac {

void loadStartupValues(TuningState& state, std::string pad) {
    state.pad = std::move(pad);
    state.alleendenaam = kStartupName;
    state.naamzonderpad = kStartupFileName;
    recomputeVoltages(state, kStartupStartText, kStartupEndText);
}

std::string recomputeVoltages(TuningState& state, std::string_view startText, std::string_view endText) {
    state.StartVoltage = readNumber(startText);
    state.EndVoltage = readNumber(endText);
    state.RangeVoltage = state.EndVoltage - state.StartVoltage;
    state.VoltageStep = state.RangeVoltage / 255;
    return stepText(state.VoltageStep);
}

double roundedStep(double voltageStep) { return std::floor(voltageStep * 10000 + 0.5) / 10000; }

std::string stepText(double voltageStep) {
    double magnitude = std::fabs(roundedStep(voltageStep));
    if (!std::isfinite(magnitude)) return std::string(kStepTooLarge);
    std::string digits = numberText(magnitude).substr(1);
    // Steps from 0.0001 up never need an exponent until they reach 10^15.
    if (digits.find('E') != std::string::npos) return std::string(kStepTooLarge);
    return "0" + digits;
}

bool stepShowable(double voltageStep) { return stepText(voltageStep) != kStepTooLarge; }

void selectEpromType(TuningState& state, int16_t index) {
    if (index < 0 || index > 3) return;
    state.eprom_64 = index == 0 ? 1 : 0;
    state.eprom_128 = index == 1 ? 1 : 0;
    state.eprom_256 = index == 2 ? 1 : 0;
    state.eprom_512 = index == 3 ? 1 : 0;
    state.epromtype = std::string(kEpromTypes[static_cast<std::size_t>(index)]);
}

}  // namespace varidac
