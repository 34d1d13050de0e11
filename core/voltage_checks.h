#pragma once
// The margin checks of the two D/A voltages against the ends of the tuning
// curve; "Read File" warns with them and "Start Filler" refuses with them.
#include <optional>
#include <string_view>

#include "core/message.h"
#include "core/tuning_state.h"

namespace varidac {

// The least room, in volts, the D/A voltages must leave to the tuning curve.
inline constexpr double kMarginVolts = 0.25;

Message endVoltageMessage();
Message startVoltageMessage();

// The end voltage must exceed the 1600 kHz voltage by more than 0.25 V.
std::optional<Message> checkEndVoltage(const TuningState& state, std::string_view endText);
// The start voltage must lie more than 0.25 V below the 600 kHz voltage.
std::optional<Message> checkStartVoltage(const TuningState& state, std::string_view startText);

}  // namespace varidac
