#include "core/curve_plot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <variant>
#include <vector>

#include "core/bcd_address.h"
#include "core/da_codes.h"
#include "core/number_text.h"
#include "core/svg_writer.h"

namespace varidac {
namespace {

TuningState exampleState(double start = 1.5, double end = 12) {
    TuningState state;
    state.naamzonderpad = "EXAMPLE.INF";
    state.StartVoltage = start;
    state.EndVoltage = end;
    state.RangeVoltage = end - start;
    state.VoltageStep = state.RangeVoltage / 255;
    const double volts[] = {2.1, 2.6, 3.2, 3.9, 4.7, 5.6, 6.6, 7.7, 8.9, 10.2, 11.5};
    for (std::size_t i = 0; i < 11; ++i) state.UvarTable[i + 6] = volts[i];
    return state;
}

template <typename Kind>
std::vector<Kind> all(const Drawing& drawing, Role role) {
    std::vector<Kind> found;
    for (const Primitive& p : drawing.primitives) {
        if (auto* k = std::get_if<Kind>(&p); k && k->role == role) found.push_back(*k);
    }
    return found;
}

std::vector<std::string> texts(const Drawing& drawing, Role role) {
    std::vector<std::string> found;
    for (const Text& t : all<Text>(drawing, role)) found.push_back(t.text);
    return found;
}

constexpr Rgb kPointColour{31, 100, 180};
constexpr Rgb kWarningColour{214, 39, 40};

TEST(CurvePlot, ListPointsSitOnTheCurveWithTheirCaptions) {
    TuningState state = exampleState();
    CurvePlotInput input{state};
    Drawing drawing = curvePlot(input);
    CurveAxes axes = curveAxes(input);
    EXPECT_EQ(drawing.title, "EXAMPLE.INF");
    EXPECT_EQ(texts(drawing, Role::Title), std::vector<std::string>{"EXAMPLE.INF"});

    std::vector<Circle> points = all<Circle>(drawing, Role::ListPoint);
    std::vector<Polyline> curve = all<Polyline>(drawing, Role::Curve);
    ASSERT_EQ(points.size(), 11u);
    ASSERT_EQ(curve.size(), 1u);
    ASSERT_EQ(curve[0].points.size(), 11u);
    const char* captions[] = {"600 kHz: 2.1 V", "700 kHz: 2.6 V", "800 kHz: 3.2 V",  "900 kHz: 3.9 V",
                              "1000 kHz: 4.7 V", "1100 kHz: 5.6 V", "1200 kHz: 6.6 V", "1300 kHz: 7.7 V",
                              "1400 kHz: 8.9 V", "1500 kHz: 10.2 V", "1600 kHz: 11.5 V"};
    for (std::size_t i = 0; i < 11; ++i) {
        double kHz = 600 + 100.0 * static_cast<double>(i);
        Point expected{axes.x(kHz), axes.y(state.UvarTable[i + 6])};
        EXPECT_EQ(points[i].centre, expected) << kHz;
        EXPECT_EQ(curve[0].points[i], expected) << kHz;
        EXPECT_EQ(points[i].tooltip, captions[i]);
        EXPECT_EQ(points[i].fill, kPointColour) << kHz;
    }
    // The axes frame the plot: 500 kHz at its left edge, 1700 at its right;
    // the lowest tick at its bottom, the highest at its top.
    EXPECT_EQ(axes.x(500), axes.left);
    EXPECT_EQ(axes.x(1700), axes.right);
    EXPECT_EQ(axes.y(axes.lowVoltage), axes.bottom);
    EXPECT_EQ(axes.y(axes.highVoltage), axes.top);
    EXPECT_LT(axes.y(2.6), axes.y(2.1));
}

TEST(CurvePlot, AxesHaveRoundTicksAndLabelEveryOtherHundredKilohertz) {
    struct Case {
        double start, end, top;
        std::vector<std::string> voltageLabels;
    };
    const Case cases[] = {
        {1.5, 12, 11.5, {"0", "2", "4", "6", "8", "10", "12"}},
        {0.5, 3.3, 2.9, {"0.5", "1", "1.5", "2", "2.5", "3", "3.5"}},
        {3.1, 3.1, 3.1, {"2.6", "2.8", "3", "3.2", "3.4", "3.6"}},
    };
    for (const auto& c : cases) {
        TuningState state = exampleState(c.start, c.end);
        state.UvarTable.fill(c.start);
        state.UvarTable[16] = c.top;
        Drawing drawing = curvePlot({state});
        std::vector<std::string> labels = texts(drawing, Role::Label);
        std::vector<std::string> frequencyLabels(labels.begin(), labels.begin() + 7);
        std::vector<std::string> voltageLabels(labels.begin() + 7, labels.end() - 2);
        EXPECT_EQ(frequencyLabels, (std::vector<std::string>{"500", "700", "900", "1100", "1300", "1500", "1700"}));
        EXPECT_EQ(voltageLabels, c.voltageLabels) << c.start;
        EXPECT_EQ(all<Line>(drawing, Role::Tick).size(), 13 + c.voltageLabels.size());
    }
}

TEST(CurvePlot, ShadesTheMarginsAboveTheStartAndBelowTheEndVoltage) {
    TuningState state = exampleState();
    CurvePlotInput input{state};
    Drawing drawing = curvePlot(input);
    CurveAxes axes = curveAxes(input);
    std::vector<Rectangle> margins = all<Rectangle>(drawing, Role::Margin);
    ASSERT_EQ(margins.size(), 2u);
    const double bands[2][2] = {{1.5, 1.75}, {11.75, 12}};
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_DOUBLE_EQ(margins[i].topLeft.y, axes.y(bands[i][1]));
        EXPECT_DOUBLE_EQ(margins[i].topLeft.y + margins[i].height, axes.y(bands[i][0]));
        EXPECT_EQ(margins[i].topLeft.x, axes.left);
        EXPECT_EQ(margins[i].width, axes.right - axes.left);
    }
    std::vector<Line> daLines = all<Line>(drawing, Role::DaVoltage);
    ASSERT_EQ(daLines.size(), 2u);
    EXPECT_EQ(daLines[0].from.y, axes.y(1.5));
    EXPECT_EQ(daLines[1].from.y, axes.y(12));
    EXPECT_EQ(texts(drawing, Role::DaVoltage), (std::vector<std::string>{"00H  1.5 V", "FFH  12 V"}));
}

TEST(CurvePlot, PointsThatBreakAMarginTakeTheWarningColour) {
    struct Case {
        const char* what;
        std::size_t index;
        double volts;
        bool breaks;
    };
    const Case cases[] = {
        {"600 kHz 0.25 V above the start voltage", 6, 1.75, true},
        {"600 kHz just clear of the margin", 6, 1.7500000000000002, false},
        {"1600 kHz 0.25 V below the end voltage", 16, 11.75, true},
        {"a point in between below the start voltage", 10, 1.0, true},
        {"a point in between above the end voltage", 12, 13.0, true},
    };
    for (const auto& c : cases) {
        TuningState state = exampleState();
        state.UvarTable[c.index] = c.volts;
        std::vector<Circle> points = all<Circle>(curvePlot({state}), Role::ListPoint);
        ASSERT_EQ(points.size(), 11u);
        for (std::size_t i = 0; i < 11; ++i) {
            bool warned = points[i].fill == kWarningColour;
            EXPECT_EQ(warned, c.breaks && i + 6 == c.index) << c.what << ", point " << i + 6;
        }
    }
}

TEST(CurvePlot, AfterAFillerRunTheCodesShowAsAStaircase) {
    TuningState state = exampleState();
    auto run = computeCodes(state);
    ASSERT_TRUE(std::holds_alternative<CodeRun>(run));
    const CodeRun& codes = std::get<CodeRun>(run);
    CurvePlotInput input{state, true, &codes.image};
    CurveAxes axes = curveAxes(input);
    std::vector<Polyline> stairs = all<Polyline>(curvePlot(input), Role::Staircase);
    ASSERT_EQ(stairs.size(), 1u);
    const std::vector<Point>& p = stairs[0].points;
    EXPECT_EQ(p.front(), (Point{axes.x(500), axes.y(1.5)}));
    EXPECT_EQ(p.back(), (Point{axes.x(1700), axes.y(12)}));
    // Every segment is level or upright, and each frequency's level is the
    // voltage its code gives.
    for (std::size_t i = 1; i < p.size(); ++i) EXPECT_TRUE(p[i].x == p[i - 1].x || p[i].y == p[i - 1].y) << i;
    for (int kHz : {501, 600, 650, 744, 1000, 1599, 1600, 1650}) {
        double x = axes.x(kHz);
        int16_t code = codes.image[static_cast<std::size_t>(HexWaarde(static_cast<int16_t>(kHz)))];
        double level = axes.y(state.StartVoltage + code * state.VoltageStep);
        bool found = false;
        for (std::size_t i = 1; i < p.size(); ++i) {
            if (p[i - 1].y == p[i].y && p[i - 1].x < x && x < p[i].x) found = p[i].y == level;
        }
        EXPECT_TRUE(found) << kHz << " kHz, code " << code;
    }
    EXPECT_TRUE(all<Polyline>(curvePlot({state}), Role::Staircase).empty());
}

TEST(CurvePlot, BeforeAnyListOnlyTheVoltagesAreDrawn) {
    TuningState state = exampleState();
    Drawing drawing = curvePlot({state, false});
    EXPECT_EQ(drawing.title, "No tuning list read yet");
    EXPECT_TRUE(all<Circle>(drawing, Role::ListPoint).empty());
    EXPECT_TRUE(all<Polyline>(drawing, Role::Curve).empty());
    EXPECT_EQ(all<Line>(drawing, Role::DaVoltage).size(), 2u);
}

TEST(CurvePlot, ExtremeVoltagesStayInsideThePicture) {
    const double extremes[][3] = {
        {1e300, -1e300, 7},
        {INFINITY, 1.5, -INFINITY},
        {NAN, NAN, 2},
        {0, 0, 0},
        {1e9, 1e9 + 1e-6, 1e9},
        {4.9e-324, -4.9e-324, 0},
    };
    for (const auto& e : extremes) {
        TuningState state = exampleState(e[0], e[1]);
        state.UvarTable.fill(e[2]);
        state.UvarTable[9] = -1e308;
        state.UvarTable[10] = 1e308;
        auto inside = [&](Point p) { return p.x >= 0 && p.x <= kCurvePlotWidth && p.y >= 0 && p.y <= kCurvePlotHeight; };
        std::array<int16_t, kImageSize> image{};
        image.fill(255);
        Drawing drawing = curvePlot({state, true, &image});
        for (const Primitive& primitive : drawing.primitives) {
            auto check = [&](Point p) { EXPECT_TRUE(inside(p)) << e[0] << " " << p.x << "," << p.y; };
            if (auto* c = std::get_if<Circle>(&primitive)) check(c->centre);
            if (auto* t = std::get_if<Text>(&primitive)) check(t->at);
            if (auto* l = std::get_if<Line>(&primitive)) {
                check(l->from);
                check(l->to);
            }
            if (auto* r = std::get_if<Rectangle>(&primitive)) {
                check(r->topLeft);
                check({r->topLeft.x + r->width, r->topLeft.y + r->height});
            }
            if (auto* p = std::get_if<Polyline>(&primitive)) {
                for (Point point : p->points) check(point);
            }
        }
        EXPECT_LE(all<Text>(drawing, Role::Label).size(), 40u);
    }
}

TEST(CurveAxes, AHeightReadsBackAsItsVoltageWithinTheAxis) {
    TuningState state = exampleState();
    const CurveAxes axes = curveAxes({state});
    for (double volts : {0.0, 2.37, 5.5, 11.99, 12.0}) EXPECT_NEAR(axes.volts(axes.y(volts)), volts, 1e-12) << volts;
    EXPECT_EQ(axes.volts(axes.bottom + 30), axes.lowVoltage);
    EXPECT_EQ(axes.volts(axes.top - 30), axes.highVoltage);
    EXPECT_EQ(axes.volts(NAN), axes.lowVoltage);
}

ListPoints examplePoints() {
    ListPoints points;
    const double volts[] = {2.1, 2.6, 3.2, 3.9, 4.7, 5.6, 6.6, 7.7, 8.9, 10.2, 11.5};
    for (std::size_t i = 0; i < points.size(); ++i) points[i] = volts[i];
    return points;
}

TEST(CurvePlot, EditorPointsReplaceTheListAndAnEmptyOneBreaksTheLine) {
    struct Case {
        std::vector<int> empty;
        std::vector<std::size_t> lineLengths;
    };
    const Case cases[] = {
        {{}, {11}},
        {{3}, {3, 7}},
        {{0, 5, 6}, {4, 4}},
        {{1, 3, 5, 7, 9}, {}},  // no two present points side by side
        {{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, {}},
    };
    TuningState state = exampleState();
    state.UvarTable.fill(40);  // what the main window read must not show
    for (const Case& c : cases) {
        ListPoints points = examplePoints();
        for (int i : c.empty) points[static_cast<std::size_t>(i)].reset();
        CurvePlotInput input{.state = state, .points = &points};
        const Drawing drawing = curvePlot(input);
        const CurveAxes axes = curveAxes(input);
        std::vector<std::size_t> lengths;
        std::vector<Point> linePoints;
        for (const Polyline& line : all<Polyline>(drawing, Role::Curve)) {
            lengths.push_back(line.points.size());
            linePoints.insert(linePoints.end(), line.points.begin(), line.points.end());
        }
        EXPECT_EQ(lengths, c.lineLengths) << c.empty.size();
        std::vector<Point> centres;
        for (const Circle& circle : all<Circle>(drawing, Role::ListPoint)) centres.push_back(circle.centre);
        std::vector<Point> expected;
        for (int i = 0; i < kListPoints; ++i) {
            if (const auto& volts = points[static_cast<std::size_t>(i)]) expected.push_back({axes.x(pointKHz(i)), axes.y(*volts)});
        }
        EXPECT_EQ(centres, expected);
        for (const Point& p : linePoints) EXPECT_NE(std::find(expected.begin(), expected.end(), p), expected.end());
        // The scale takes the D/A voltages and the present points only.
        EXPECT_EQ(axes.highVoltage, 12);
    }
}

TEST(CurvePlot, TitleNoteAndAHeldScaleAreTheEditorsToGive) {
    TuningState state = exampleState();
    const ListPoints points = examplePoints();
    CurveAxes held = curveAxes({state});
    held.highVoltage = 20;
    const Drawing drawing = curvePlot({.state = state, .points = &points, .title = "new list", .note = "Start Filler again", .axes = held});
    EXPECT_EQ(drawing.title, "new list");
    EXPECT_EQ(texts(drawing, Role::Title), std::vector<std::string>{"new list"});
    EXPECT_EQ(texts(drawing, Role::Label).front(), "Start Filler again");
    EXPECT_EQ(all<Circle>(drawing, Role::ListPoint)[10].centre.y, held.y(11.5));
    EXPECT_EQ(texts(curvePlot({.state = state, .points = &points}), Role::Title), std::vector<std::string>{"EXAMPLE.INF"});
}

TEST(CurvePlot, APointNotAboveTheOneBeforeItIsWarnedOfWithTheReason) {
    struct Case {
        std::size_t point;
        std::optional<double> volts;
        std::array<const char*, kListPoints> checks;
    };
    const char* margin = "0.25 V or less to a D/A voltage";
    const Case cases[] = {
        {2, 2.6, {"", "", "not above 700 kHz (2.6 V)"}},
        {2, 1.7, {"", "", "not above 700 kHz (2.6 V); 0.25 V or less to a D/A voltage"}},
        {1, std::nullopt, {}},
        {0, 2.6, {"", "not above 600 kHz (2.6 V)"}},
        {0, 1.75, {margin}},
        {10, 10.2, {"", "", "", "", "", "", "", "", "", "", "not above 1500 kHz (10.2 V)"}},
        {10, 12.5, {"", "", "", "", "", "", "", "", "", "", margin}},
    };
    TuningState state = exampleState();
    for (const Case& c : cases) {
        ListPoints points = examplePoints();
        points[c.point] = c.volts;
        if (c.point == 1) points[2] = 2.0;  // below 600 kHz, with 700 kHz empty between
        std::array<std::string, kListPoints> expected;
        for (std::size_t i = 0; i < expected.size(); ++i) expected[i] = c.checks[i] ? c.checks[i] : "";
        if (c.point == 1) expected[2] = "not above 600 kHz (2.1 V)";
        EXPECT_EQ(pointChecks(points, 1.5, 12), expected) << c.point;
        for (const Circle& circle : all<Circle>(curvePlot({.state = state, .points = &points}), Role::ListPoint)) {
            const auto i = static_cast<std::size_t>(std::stoi(circle.tooltip) / 100 - 6);
            EXPECT_EQ(circle.fill == kWarningColour, !expected[i].empty()) << circle.tooltip;
            const std::size_t reason = expected[i].find("not above");
            const std::string tip = listPointCaption(pointKHz(static_cast<int>(i)), *points[i]) +
                                    (reason == std::string::npos ? "" : ", " + expected[i].substr(reason, expected[i].find(';') - reason));
            EXPECT_EQ(circle.tooltip, tip);
        }
    }
}

TEST(SvgDocument, EscapesTextAndGivesEachListPointItsTitle) {
    Drawing drawing;
    drawing.width = 100;
    drawing.height = 50.5;
    drawing.title = "A&B <list> \"1\" \xc3\xa9\xff\x01";
    drawing.primitives.push_back(Circle{{10.004, -0.001}, 4, {255, 0, 16}, std::nullopt, "600 kHz: 2.1 V", Role::ListPoint});
    drawing.primitives.push_back(Text{{1, 2}, "x\xe2\x82", 11, {}, HorizontalAnchor::End, VerticalAnchor::Top, true, Role::Label});
    std::string svg = svgDocument(drawing);
    EXPECT_NE(svg.find("<title>A&amp;B &lt;list&gt; &quot;1&quot; \xc3\xa9?" "?</title>"), std::string::npos) << svg;
    EXPECT_NE(svg.find("<circle cx=\"10\" cy=\"0\" r=\"4\" fill=\"#ff0010\" stroke=\"none\"><title>600 kHz: 2.1 V</title></circle>"),
              std::string::npos)
        << svg;
    EXPECT_NE(svg.find("<text x=\"1\" y=\"10.8\" font-size=\"11\" text-anchor=\"end\" font-weight=\"bold\" fill=\"#000000\">x?" "?</text>"),
              std::string::npos)
        << svg;
    EXPECT_NE(svg.find("width=\"100\" height=\"50.5\" viewBox=\"0 0 100 50.5\""), std::string::npos);
}

TEST(SvgDocument, AFarOffCoordinateIsWrittenInFull) {
    Drawing drawing;
    drawing.primitives.push_back(Circle{{1e300, 5}, 4, {0, 0, 0}, std::nullopt, "", Role::ListPoint});
    const std::string svg = svgDocument(drawing);
    const std::size_t at = svg.find("cx=\"");
    ASSERT_NE(at, std::string::npos) << svg;
    const std::string number = svg.substr(at + 4, svg.find('"', at + 4) - (at + 4));
    EXPECT_EQ(number.size(), 301u) << number;
    EXPECT_EQ(readNumber(number), 1e300) << number;
}

}  // namespace
}  // namespace varidac
