#pragma once
// A tuning list as the program writes it: one "kHz,volts" line per point
// from 600 to 1600 kHz, each ended by CR LF, the voltage in plain decimals
// with "." whatever the regional settings ("600,2.1", "700,0.75").
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/message.h"

namespace varidac {

inline constexpr int kListPoints = 11;
constexpr int pointKHz(int point) { return 600 + 100 * point; }

// The eleven points from 600 kHz; an empty one has not been measured yet.
using ListPoints = std::array<std::optional<double>, kListPoints>;
using ListVoltages = std::array<double, kListPoints>;

// A field's text as a point's voltage: nothing for an empty text or one
// that is not a number yet (".").
std::optional<double> pointVoltage(std::string_view text);

// "2.1", "0.75", "12": as the list and the fields show a voltage.
std::string pointText(double volts);

// The frequencies of the empty points, ascending.
std::vector<int> emptyPointKHz(const ListPoints& points);

// The voltages when every point has one.
std::optional<ListVoltages> completeVoltages(const ListPoints& points);

// "The list is not saved" naming the empty points.
Message emptyPointsMessage(const std::vector<int>& kHz);

// The list text of the eleven points.
std::string listText(const ListVoltages& voltages);

// The list text to write over `existing`: where `existing` reads as a list,
// its records of other frequencies stay, in their order, and each of the
// eleven points takes the place of its first record there (a later record
// of the same point would override it, so it goes); a point it lacks
// follows the record of the nearest point below it. Otherwise the eleven
// points alone.
std::string listTextOver(std::string_view existing, const ListVoltages& voltages);

}  // namespace varidac
