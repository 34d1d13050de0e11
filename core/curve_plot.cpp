#include "core/curve_plot.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/number_text.h"
#include "core/voltage_checks.h"

namespace varidac {
namespace {

constexpr double kLowKHz = 500;
constexpr double kHighKHz = 1700;
// Voltages beyond this are drawn at the edge of the plot: no D/A converter
// gets near, and the axis arithmetic stays far from overflow.
constexpr double kLargestShown = 1e9;

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kAxis{64, 64, 64};
constexpr Rgb kGrid{224, 224, 224};
constexpr Rgb kCurve{31, 100, 180};
constexpr Rgb kDaVoltage{30, 130, 60};
constexpr Rgb kMarginShade{255, 228, 180};
constexpr Rgb kStaircase{235, 120, 10};

constexpr double kLabelSize = 11;
constexpr double kTitleSize = 15;
constexpr double kPointRadius = 4;

double shown(double volts) { return std::clamp(volts, -kLargestShown, kLargestShown); }

double tableVoltage(const TuningState& state, int kHz) { return state.UvarTable[static_cast<std::size_t>(kHz / 100)]; }

// A step of 1, 2 or 5 times a power of ten that divides `span` into about six.
struct TickStep {
    double mantissa = 1;
    int exponent = 0;
    double value() const { return exponent >= 0 ? mantissa * std::pow(10.0, exponent) : mantissa / std::pow(10.0, -exponent); }
    // k steps, exactly as the decimal k × mantissa × 10^exponent rounds.
    double times(double k) const {
        return exponent >= 0 ? k * mantissa * std::pow(10.0, exponent) : k * mantissa / std::pow(10.0, -exponent);
    }
};

TickStep tickStep(double span) {
    double rough = span / 6;
    int exponent = static_cast<int>(std::floor(std::log10(rough)));
    TickStep step{1, exponent};
    double fraction = rough / step.value();
    if (fraction > 5) {
        step.exponent += 1;
    } else if (fraction > 2) {
        step.mantissa = 5;
    } else if (fraction > 1) {
        step.mantissa = 2;
    }
    return step;
}

Text label(Point at, std::string text, HorizontalAnchor h, VerticalAnchor v, Role role = Role::Label) {
    return Text{at, std::move(text), kLabelSize, kAxis, h, v, false, role};
}

std::string voltsText(double volts) { return plainNumberText(volts) + " V"; }

// The centre frequency's code holds from half a kHz below it to half a kHz
// above; equal codes in a row make one step.
Polyline staircase(const CurveAxes& axes, const TuningState& state, const std::array<int16_t, kImageSize>& image) {
    Polyline stairs{{}, Stroke{kStaircase, 1, false}, Role::Staircase};
    stairs.points.reserve(1024);
    auto level = [&](int16_t code) { return axes.y(shown(state.StartVoltage + code * state.VoltageStep)); };
    // The image is addressed by the frequency's BCD digits; they are counted
    // up here rather than converted 1201 times.
    int digits[4] = {0, 5, 0, 0};  // thousands, hundreds, tens, units of 500
    auto address = [&] { return static_cast<std::size_t>(digits[0] << 12 | digits[1] << 8 | digits[2] << 4 | digits[3]); };
    auto nextKHz = [&] {
        for (int d = 3; d >= 0 && ++digits[d] == 10; --d) digits[d] = 0;
    };
    int16_t code = image[address()];
    double y = level(code);
    stairs.points.push_back({axes.x(kLowKHz), y});
    for (int kHz = 501; kHz <= 1700; ++kHz) {
        nextKHz();
        int16_t next = image[address()];
        if (next == code) continue;
        double x = axes.x(kHz - 0.5);
        stairs.points.push_back({x, y});
        code = next;
        y = level(code);
        stairs.points.push_back({x, y});
    }
    stairs.points.push_back({axes.x(kHighKHz), y});
    return stairs;
}

void addLegend(Drawing& drawing, const CurveAxes& axes, bool withCodes, const char* warning) {
    double y = kCurvePlotHeight - 16;
    double x = axes.left;
    auto entry = [&](Primitive sample, const char* text, double width) {
        drawing.primitives.push_back(std::move(sample));
        drawing.primitives.push_back(label({x + 14, y}, text, HorizontalAnchor::Start, VerticalAnchor::Middle, Role::Legend));
        x += width;
    };
    entry(Circle{{x + 5, y}, kPointRadius, kCurve, Stroke{kWhite, 1, false}, "", Role::Legend}, "list point", 82);
    entry(Circle{{x + 5, y}, kPointRadius, kWarningColour, Stroke{kWhite, 1, false}, "", Role::Legend}, warning, 196);
    entry(Rectangle{{x, y - 5}, 10, 10, kMarginShade, std::nullopt, Role::Legend}, "margin", 66);
    if (withCodes) {
        entry(Line{{x, y + 4}, {x + 10, y - 4}, Stroke{kStaircase, 1.5, false}, Role::Legend}, "D/A codes", 80);
    }
}

// The nearest point before `point` that has a voltage, when `point` is not
// above it: a likely typo while a list is measured.
std::optional<int> notAbove(const ListPoints& points, int point) {
    const auto& volts = points[static_cast<std::size_t>(point)];
    if (!volts) return std::nullopt;
    for (int before = point - 1; before >= 0; --before) {
        const auto& earlier = points[static_cast<std::size_t>(before)];
        if (earlier) return *volts <= *earlier ? std::optional(before) : std::nullopt;
    }
    return std::nullopt;
}

std::string notAboveText(const ListPoints& points, int before) {
    return "not above " + std::to_string(pointKHz(before)) + " kHz (" + voltsText(*points[static_cast<std::size_t>(before)]) + ")";
}

}  // namespace

double CurveAxes::x(double kHz) const { return left + (kHz - kLowKHz) / (kHighKHz - kLowKHz) * (right - left); }

double CurveAxes::y(double volts) const {
    double y = bottom - (volts - lowVoltage) / (highVoltage - lowVoltage) * (bottom - top);
    if (!(y >= top)) return volts < lowVoltage ? bottom : top;  // NaN goes to the top edge
    return std::min(y, bottom);
}

double CurveAxes::volts(double y) const {
    double volts = lowVoltage + (bottom - y) / (bottom - top) * (highVoltage - lowVoltage);
    if (!(volts >= lowVoltage)) return lowVoltage;  // NaN too
    return std::min(volts, highVoltage);
}

bool breaksMargin(double volts, double startVoltage, double endVoltage) {
    return volts - kMarginVolts <= startVoltage || volts + kMarginVolts >= endVoltage;
}

std::string listPointCaption(int kHz, double volts) {
    return std::to_string(kHz) + " kHz: " + plainNumberText(volts) + " V";
}

std::array<std::string, kListPoints> pointChecks(const ListPoints& points, double startVoltage, double endVoltage) {
    std::array<std::string, kListPoints> checks;
    for (int point = 0; point < kListPoints; ++point) {
        const auto& volts = points[static_cast<std::size_t>(point)];
        if (!volts) continue;
        std::string& check = checks[static_cast<std::size_t>(point)];
        if (std::optional<int> before = notAbove(points, point)) check = notAboveText(points, *before);
        if (breaksMargin(*volts, startVoltage, endVoltage)) check += (check.empty() ? "" : "; ") + std::string("0.25 V or less to a D/A voltage");
    }
    return checks;
}

CurveAxes curveAxes(const CurvePlotInput& input) {
    const TuningState& state = input.state;
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    auto include = [&](double volts) {
        if (std::isnan(volts)) return;
        low = std::min(low, shown(volts));
        high = std::max(high, shown(volts));
    };
    include(state.StartVoltage);
    include(state.EndVoltage);
    if (input.points) {
        for (const auto& volts : *input.points) {
            if (volts) include(*volts);
        }
    } else if (input.listRead) {
        for (int kHz = 600; kHz <= 1600; kHz += 100) include(tableVoltage(state, kHz));
    }
    if (!(low <= high)) low = high = 0;
    // Below a volt the picture would magnify nothing worth seeing.
    if (high - low < 1) {
        double middle = low / 2 + high / 2;
        low = middle - 0.5;
        high = middle + 0.5;
    }
    TickStep step = tickStep(high - low);
    // A voltage a rounding error beyond a tick counts as on it.
    double firstTick = std::floor(low / step.value() + 1e-9);
    double lastTick = std::ceil(high / step.value() - 1e-9);
    CurveAxes axes;
    axes.left = 64;
    axes.right = kCurvePlotWidth - 24;
    axes.top = 44;
    axes.bottom = kCurvePlotHeight - 76;
    axes.lowVoltage = step.times(firstTick);
    axes.highVoltage = step.times(lastTick);
    axes.voltageTick = step.value();
    return axes;
}

Drawing curvePlot(const CurvePlotInput& input) {
    const TuningState& state = input.state;
    CurveAxes axes = input.axes ? *input.axes : curveAxes(input);
    Drawing drawing;
    drawing.width = kCurvePlotWidth;
    drawing.height = kCurvePlotHeight;
    if (input.title) {
        drawing.title = *input.title;
    } else {
        drawing.title = input.listRead ? state.naamzonderpad : "No tuning list read yet";
    }
    auto& out = drawing.primitives;
    out.reserve(128);

    out.push_back(Rectangle{{0, 0}, kCurvePlotWidth, kCurvePlotHeight, kWhite, std::nullopt, Role::Background});
    out.push_back(Text{{kCurvePlotWidth / 2, 26}, drawing.title, kTitleSize, kBlack, HorizontalAnchor::Middle,
                       VerticalAnchor::Baseline, true, Role::Title});
    if (!input.note.empty()) out.push_back(label({kCurvePlotWidth / 2, 39}, input.note, HorizontalAnchor::Middle, VerticalAnchor::Baseline));

    // Grid and axes: 100 kHz apart with a label every 200 kHz from 500; the
    // voltage at every round tick.
    const Stroke grid{kGrid, 1, false};
    const Stroke tick{kAxis, 1, false};
    for (int kHz = 500; kHz <= 1700; kHz += 100) {
        double x = axes.x(kHz);
        out.push_back(Line{{x, axes.top}, {x, axes.bottom}, grid, Role::Grid});
        out.push_back(Line{{x, axes.bottom}, {x, axes.bottom + 5}, tick, Role::Tick});
        if ((kHz - 500) % 200 == 0) {
            out.push_back(label({x, axes.bottom + 8}, std::to_string(kHz), HorizontalAnchor::Middle, VerticalAnchor::Top));
        }
    }
    TickStep step = tickStep(axes.highVoltage - axes.lowVoltage);
    double firstTick = std::round(axes.lowVoltage / step.value());
    double lastTick = std::round(axes.highVoltage / step.value());
    for (double k = firstTick; k <= lastTick && k < firstTick + 20; ++k) {
        double volts = step.times(k);
        double y = axes.y(volts);
        out.push_back(Line{{axes.left, y}, {axes.right, y}, grid, Role::Grid});
        out.push_back(Line{{axes.left - 5, y}, {axes.left, y}, tick, Role::Tick});
        out.push_back(label({axes.left - 8, y}, plainNumberText(volts), HorizontalAnchor::End, VerticalAnchor::Middle));
    }
    out.push_back(label({axes.left, axes.top - 8}, "V", HorizontalAnchor::Middle, VerticalAnchor::Baseline));
    out.push_back(label({(axes.left + axes.right) / 2, axes.bottom + 36}, "kHz", HorizontalAnchor::Middle, VerticalAnchor::Baseline));

    // The bands in which a list voltage is too close to a D/A voltage: above
    // the start voltage and below the end voltage.
    const double start = state.StartVoltage;
    const double end = state.EndVoltage;
    auto band = [&](double from, double to) {
        if (std::isnan(from) || std::isnan(to)) return;
        double y1 = axes.y(shown(from)), y2 = axes.y(shown(to));
        out.push_back(Rectangle{{axes.left, std::min(y1, y2)}, axes.right - axes.left, std::fabs(y2 - y1), kMarginShade,
                                std::nullopt, Role::Margin});
    };
    band(start, start + kMarginVolts);
    band(end - kMarginVolts, end);
    const Stroke daLine{kDaVoltage, 1.5, true};
    if (!std::isnan(start)) {
        double y = axes.y(shown(start));
        out.push_back(Line{{axes.left, y}, {axes.right, y}, daLine, Role::DaVoltage});
        out.push_back(Text{{axes.right - 6, axes.y(shown(start + kMarginVolts)) - 3}, "00H  " + voltsText(start), kLabelSize, kDaVoltage,
                           HorizontalAnchor::End, VerticalAnchor::Baseline, false, Role::DaVoltage});
    }
    if (!std::isnan(end)) {
        double y = axes.y(shown(end));
        out.push_back(Line{{axes.left, y}, {axes.right, y}, daLine, Role::DaVoltage});
        out.push_back(Text{{axes.left + 6, axes.y(shown(end - kMarginVolts)) + 3}, "FFH  " + voltsText(end), kLabelSize, kDaVoltage,
                           HorizontalAnchor::Start, VerticalAnchor::Top, false, Role::DaVoltage});
    }

    out.push_back(Rectangle{{axes.left, axes.top}, axes.right - axes.left, axes.bottom - axes.top, std::nullopt, Stroke{kAxis, 1, false},
                            Role::Frame});

    const Stroke curveStroke{kCurve, 2.5, false};
    std::vector<Point> centres;
    if (input.points) {
        // An empty point breaks the line: each run of two or more points is a line of its own.
        Polyline run{{}, curveStroke, Role::Curve};
        for (int point = 0; point <= kListPoints; ++point) {
            const bool present = point < kListPoints && (*input.points)[static_cast<std::size_t>(point)];
            if (present) {
                run.points.push_back({axes.x(pointKHz(point)), axes.y(shown(*(*input.points)[static_cast<std::size_t>(point)]))});
                continue;
            }
            if (run.points.size() > 1) out.push_back(run);
            run.points.clear();
        }
    } else if (input.listRead) {
        Polyline curve{{}, curveStroke, Role::Curve};
        for (int kHz = 600; kHz <= 1600; kHz += 100) curve.points.push_back({axes.x(kHz), axes.y(shown(tableVoltage(state, kHz)))});
        centres = curve.points;
        out.push_back(std::move(curve));
    }
    // The steps lie on the curve: drawn thinner and over it, both show.
    if (input.image) out.push_back(staircase(axes, state, *input.image));
    if (input.points) {
        const ListPoints& points = *input.points;
        for (int point = 0; point < kListPoints; ++point) {
            const auto& volts = points[static_cast<std::size_t>(point)];
            if (!volts) continue;
            const std::optional<int> before = notAbove(points, point);
            const Rgb colour = before || breaksMargin(*volts, start, end) ? kWarningColour : kCurve;
            std::string tip = listPointCaption(pointKHz(point), *volts);
            if (before) tip += ", " + notAboveText(points, *before);
            out.push_back(Circle{{axes.x(pointKHz(point)), axes.y(shown(*volts))}, kPointRadius, colour, Stroke{kWhite, 1, false},
                                 std::move(tip), Role::ListPoint});
        }
    } else if (input.listRead) {
        for (int kHz = 600, i = 0; kHz <= 1600; kHz += 100, ++i) {
            double volts = tableVoltage(state, kHz);
            Rgb colour = breaksMargin(volts, start, end) ? kWarningColour : kCurve;
            out.push_back(Circle{centres[static_cast<std::size_t>(i)], kPointRadius, colour, Stroke{kWhite, 1, false},
                                 listPointCaption(kHz, volts), Role::ListPoint});
        }
    }
    addLegend(drawing, axes, input.image != nullptr, input.points ? "a check fails: hover for why" : "0.25 V or less to a D/A voltage");
    return drawing;
}

}  // namespace varidac
