#pragma once
// The plain-text test report: alignment header and one row per kHz.
#include <string>
#include <string_view>
#include <vector>

#include "core/da_codes.h"
#include "core/tuning_state.h"

namespace varidac {

std::string testReportPath(const TuningState& state);

// Fields of a row or heading laid out in 14-column print zones.
std::string printZones(const std::vector<std::string>& fields);

// The whole report, CR LF after every line. `rows` are the 1001 rows of a
// code run; `decimalSign` is used where the user's regional sign belongs.
std::string testReportText(const TuningState& state, const std::vector<CodeRow>& rows, char decimalSign);

}  // namespace varidac
