#pragma once
// The tuning curve as a drawing: the list's points and the line between
// them, the two D/A voltages with their 0.25 V margins, and after a filler
// run the voltages that the image's codes give.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "core/drawing.h"
#include "core/list_text.h"
#include "core/tuning_state.h"

namespace varidac {

inline constexpr double kCurvePlotWidth = 640;
inline constexpr double kCurvePlotHeight = 440;
// Points that fail a check, in the plot and in the marks beside the fields.
inline constexpr Rgb kWarningColour{214, 39, 40};

// The plot area inside the drawing, and the scale it was drawn to.
struct CurveAxes {
    double left = 0, top = 0, right = 0, bottom = 0;
    double lowVoltage = 0, highVoltage = 0;  // the voltage axis runs from tick to tick
    double voltageTick = 0;

    double x(double kHz) const;
    double y(double volts) const;  // kept inside the plot area
    double volts(double y) const;  // the voltage at height y, kept inside the axis
};

struct CurvePlotInput {
    const TuningState& state;  // UvarTable, StartVoltage, EndVoltage, VoltageStep, naamzonderpad
    bool listRead = true;      // false: no list has been read, UvarTable means nothing yet
    // The image of a filler run; code n gives StartVoltage + n × VoltageStep.
    const std::array<int16_t, kImageSize>* image = nullptr;

    // What the list editor draws instead of the list in UvarTable: its
    // points, an empty one a gap in the line, each point not above the one
    // before it marked as a likely typo; a note under the title; the scale
    // held while a point is dragged.
    const ListPoints* points = nullptr;
    std::optional<std::string> title = {};
    std::string note = {};
    std::optional<CurveAxes> axes = {};
};

// Whether a list voltage leaves 0.25 V or less to either D/A voltage, by the
// comparisons that Read File and Start Filler make at 600 and 1600 kHz.
bool breaksMargin(double volts, double startVoltage, double endVoltage);

// "600 kHz: 2.1 V"
std::string listPointCaption(int kHz, double volts);

// What the editor says of each point beside its field: empty when it passes
// every check, else "not above 800 kHz (3.2 V)" and/or "0.25 V or less to a
// D/A voltage", joined by "; ".
std::array<std::string, kListPoints> pointChecks(const ListPoints& points, double startVoltage, double endVoltage);

CurveAxes curveAxes(const CurvePlotInput& input);
Drawing curvePlot(const CurvePlotInput& input);

}  // namespace varidac
