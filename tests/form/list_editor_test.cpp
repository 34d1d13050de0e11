// The curve window's fields and plot: what a key, a paste or a drag does to
// a point, the checks beside the fields, and when the codes show.
#include <gtest/gtest.h>

#include <functional>

#include "tests/form/editor_harness.h"

namespace varidac::testing {
namespace {

using Tips = std::vector<std::pair<int, std::string>>;

TEST(PointKeys, DigitsBackspaceAndEditingKeysPassOnePointCommaAsPointEverythingElseBeeps) {
    EditorHarness h;
    h.openWithList();
    h.curve().texts[3] = "39";
    int beeps = 0;
    for (int code = 0; code <= 300; ++code) {
        SCOPED_TRACE(code);
        auto KeyAscii = static_cast<int16_t>(code);
        h.editor().txtPoint_KeyPress(3, KeyAscii);
        // Ctrl+C, Ctrl+V, Ctrl+X and Ctrl+Z: the field's own editing keys.
        const bool digitOrBackspace = (code >= '0' && code <= '9') || code == 8 || code == 3 || code == 22 || code == 24 || code == 26;
        const bool point = code == '.' || code == ',';
        EXPECT_EQ(KeyAscii, digitOrBackspace ? code : point ? '.' : 0);
        EXPECT_EQ(h.platform.beeps, digitOrBackspace || point || code == 13 ? beeps : ++beeps);
    }
    EXPECT_TRUE(h.curve().tips.empty());
}

TEST(PointKeys, ASecondPointIsRefusedWithATipUnlessTheSelectionHoldsTheFirst) {
    struct Case {
        std::string text;
        std::optional<Selection> selection;
        char key;
        std::string after;
        bool refused;
    };
    const Case cases[] = {
        {"3.9", std::nullopt, '.', "3.9", true},
        {"3.9", std::nullopt, ',', "3.9", true},
        {".", std::nullopt, ',', ".", true},
        {"3.9", Selection{1, 2}, ',', "3.", false},
        {"3.9", Selection{0, 3}, '.', ".", false},
        {"39", Selection{1, 0}, ',', "3.9", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text + " " + c.key);
        EditorHarness h;
        h.openWithList();
        h.curve().texts[3] = c.text;
        h.curve().selection = c.selection;
        h.curve().type(3, std::string(1, c.key));
        EXPECT_EQ(h.curve().texts[3], c.after);
        EXPECT_EQ(h.platform.beeps, c.refused ? 1 : 0);
        EXPECT_EQ(h.curve().tips, (c.refused ? Tips{{3, kTipOnePoint}} : Tips{}));
    }
}

TEST(PointKeys, EnterAndDownGoToTheNextPointUpToThePreviousAndStopAtTheEnds) {
    struct Case {
        int16_t point;
        int16_t key;  // 13 typed, else a key code
        int focus;
        bool used;
    };
    const Case cases[] = {
        {0, 13, 1, true},      {9, 13, 10, true},     {10, 13, 10, true},    {4, kKeyDown, 5, true},
        {10, kKeyDown, 10, true}, {4, kKeyUp, 3, true}, {0, kKeyUp, 0, true},  {4, 37, 4, false},  // Left stays with the field
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.point) + " " + std::to_string(c.key));
        EditorHarness h;
        h.openWithList();
        h.curve().focus = c.point;
        int16_t key = c.key;
        if (c.key == 13) {
            h.editor().txtPoint_KeyPress(c.point, key);
        } else {
            h.keyDown(c.point, key);
        }
        EXPECT_EQ(h.curve().focus, c.focus);
        EXPECT_EQ(key, c.used ? 0 : c.key);
        EXPECT_EQ(h.platform.beeps, 0);
    }
}

TEST(PointPaste, TakesDigitsAndOnePointWithCommasAsPoints) {
    struct Case {
        std::string pasted, text;
        std::optional<Selection> selection;
        bool taken;
        std::string becomes;  // the paste as the toolkit goes on with it
        std::string tip;
    };
    const Case cases[] = {
        {"2.37", "", std::nullopt, true, "2.37", ""},
        {"2,37", "", std::nullopt, true, "2.37", ""},
        {"37", "2.", std::nullopt, true, "37", ""},
        {"", "2.", std::nullopt, true, "", ""},
        {",5", "2.", std::nullopt, false, "", kTipOnePoint},
        {".5", "2.1", Selection{1, 2}, true, ".5", ""},
        {"1.2.3", "", std::nullopt, false, "", kTipOnePoint},
        {"2.37 V", "", std::nullopt, false, "", kTipDigitsOnly},
        {"-2", "", std::nullopt, false, "", kTipDigitsOnly},
        {"2.37\n", "", std::nullopt, false, "", kTipDigitsOnly},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("\"" + c.pasted + "\" on " + c.text);
        EditorHarness h;
        h.openWithList();
        h.curve().texts[5] = c.text;
        h.curve().selection = c.selection;
        std::string pasted = c.pasted;
        EXPECT_EQ(h.editor().txtPoint_Paste(5, pasted), c.taken);
        if (c.taken) {
            EXPECT_EQ(pasted, c.becomes);
        }
        EXPECT_EQ(h.platform.beeps, c.taken ? 0 : 1);
        EXPECT_EQ(h.curve().tips, (c.tip.empty() ? Tips{} : Tips{{5, c.tip}}));
    }
}

TEST(PointChecks, ShowBesideTheFieldsAndInThePlotAsTheyAreTyped) {
    struct Case {
        int point;
        std::string text;
        std::vector<std::pair<int, std::string>> checks;  // every other point passes
    };
    const std::string margin = "0.25 V or less to a D/A voltage";
    const Case cases[] = {
        {2, "2.6", {{2, "not above 700 kHz (2.6 V)"}}},
        {2, "2.59", {{2, "not above 700 kHz (2.6 V)"}}},
        {2, "2.61", {}},
        {1, "3.9", {{2, "not above 700 kHz (3.9 V)"}}},  // 900 kHz is above 800 kHz
        {1, "", {}},  // an empty point is skipped: 800 is compared with 600
        {0, "1.75", {{0, margin}}},
        {10, "11.75", {{10, margin}}},
        {1, "1.6", {{1, "not above 600 kHz (2.1 V); " + margin}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.point) + " " + c.text);
        EditorHarness h;
        h.openWithList();
        h.curve().retype(c.point, c.text);
        std::array<std::string, kListPoints> expected;
        for (const auto& [point, check] : c.checks) expected[static_cast<std::size_t>(point)] = check;
        EXPECT_EQ(h.curve().checks, expected);
        // The plot marks the same points, and tells why the order is wrong.
        const std::vector<Circle> circles = primitives<Circle>(h.drawing(), Role::ListPoint);
        ASSERT_EQ(circles.size(), c.text.empty() ? 10u : 11u);
        for (const Circle& circle : circles) {
            const int point = std::stoi(circle.tooltip) / 100 - 6;
            const std::string& check = expected[static_cast<std::size_t>(point)];
            EXPECT_EQ(circle.fill == (Rgb{214, 39, 40}), !check.empty()) << circle.tooltip;
            const std::size_t notAbove = check.find("not above");
            EXPECT_EQ(circle.tooltip.find(", not above") != std::string::npos, notAbove != std::string::npos) << circle.tooltip;
        }
    }
}

TEST(PointChecks, FollowTheDaVoltages) {
    EditorHarness h;
    h.openWithList();
    EXPECT_EQ(h.curve().checks[0], "");
    h.setVoltages("1.90", "12.00");
    EXPECT_EQ(h.curve().checks[0], "0.25 V or less to a D/A voltage");
    h.setVoltages("1.50", "11.7");
    EXPECT_EQ(h.curve().checks[0], "");
    EXPECT_EQ(h.curve().checks[10], "0.25 V or less to a D/A voltage");
}

TEST(PointChecks, TheTitleMarksUnsavedPointsUntilTheirValuesAreBack) {
    EditorHarness h;
    h.openWithList();
    const struct {
        std::string text;
        std::string title;
    } steps[] = {
        {"3.25", "Tuning curve - EXAMPLE.INF *"}, {"3.2", "Tuning curve - EXAMPLE.INF"},
        {"3.20", "Tuning curve - EXAMPLE.INF"},   {"", "Tuning curve - EXAMPLE.INF *"},
        {".", "Tuning curve - EXAMPLE.INF *"},    {"03.2", "Tuning curve - EXAMPLE.INF"},
    };
    for (const auto& step : steps) {
        h.curve().retype(2, step.text);
        EXPECT_EQ(h.curve().title, step.title) << step.text;
        EXPECT_EQ(h.editor().hasUnsavedChanges(), step.title.back() == '*') << step.text;
    }
}

TEST(PointDrag, MovesThePointInHundredthsOfAVoltWhileTheScaleStays) {
    EditorHarness h;
    h.openWithList();
    const ListPoints before = h.points();
    const CurveAxes axes = curveAxes(CurvePlotInput{.state = h.state(), .points = &before});
    const Point at700{axes.x(700), axes.y(2.6)};
    // A press beside every point starts nothing.
    h.editor().Plot_MouseDown({at700.x + 6, at700.y - 6});
    EXPECT_FALSE(h.editor().draggedPoint());
    h.editor().Plot_MouseMove({at700.x, axes.y(5)});
    EXPECT_EQ(h.curve().texts[1], "2.6");

    h.editor().Plot_MouseDown({at700.x + 3, at700.y + 4});
    ASSERT_EQ(h.editor().draggedPoint(), 1);
    const struct {
        double y;
        std::string text;
    } moves[] = {
        {axes.y(2.37), "2.37"},     {axes.y(2.3749), "2.37"},  {axes.y(2.3751), "2.38"},
        {axes.bottom + 50, "0"},    {axes.top - 50, pointText(axes.highVoltage)},
        {axes.y(3.1), "3.1"},
    };
    for (const auto& move : moves) {
        h.editor().Plot_MouseMove({at700.x + 40, move.y});
        EXPECT_EQ(h.curve().texts[1], move.text) << move.y;
        EXPECT_EQ(primitives<Circle>(h.drawing(), Role::ListPoint)[1].centre.y, axes.y(pointVoltage(move.text).value()));
    }
    h.editor().Plot_MouseMove({at700.x, axes.y(2.37)});
    h.editor().Plot_MouseUp();
    EXPECT_FALSE(h.editor().draggedPoint());
    EXPECT_EQ(h.curve().title, "Tuning curve - EXAMPLE.INF *");
    EXPECT_EQ(h.curve().checks[1], "");

    // Saved as the field shows it: no trace of the arithmetic.
    int16_t ctrlS = kKeyS;
    h.editor().CurveWindow_KeyDown(ctrlS, kCtrlMask);
    EXPECT_EQ(readFile(h.listPath), "600,2.1\r\n650,2.35\r\n700,2.37\r\n800,3.2\r\n900,3.9\r\n1000,4.7\r\n1100,5.6\r\n"
                                    "1200,6.6\r\n1300,7.7\r\n1400,8.9\r\n1500,10.2\r\n1600,11.5\r\n");
    EXPECT_EQ(h.state().UvarTable[7], 2.37);
}

TEST(PointDrag, TakesTheNearestPointAndAnEmptyOneCannotBeTaken) {
    EditorHarness h;
    h.openWithList();
    h.curve().retype(3, "");
    const ListPoints points = h.points();
    const CurveAxes axes = curveAxes(CurvePlotInput{.state = h.state(), .points = &points});
    h.editor().Plot_MouseDown({axes.x(900), axes.y(3.55)});  // where 900 kHz would lie between its neighbours
    EXPECT_FALSE(h.editor().draggedPoint());
    h.editor().Plot_MouseDown({axes.x(800) + 2, axes.y(3.2)});
    EXPECT_EQ(h.editor().draggedPoint(), 2);
}

TEST(PlotCodes, TheStaircaseShowsOnlyWhileTheFieldsAndVoltagesAreThoseOfTheRun) {
    EditorHarness h;
    h.openWithList();
    auto stairs = [&] { return primitives<Polyline>(h.drawing(), Role::Staircase).size(); };
    auto outdated = [&] { return holdsText(h.drawing(), kCodesOutdatedNote); };
    EXPECT_EQ(stairs(), 0u);
    EXPECT_FALSE(outdated()) << "no run yet: nothing is out of date";
    h.form.cmdFiller_Click();
    ASSERT_EQ(h.platform.messages.back().title, "Run OK!");
    const struct {
        const char* what;
        std::function<void()> change;
        bool current;
    } steps[] = {
        {"after the run", [] {}, true},
        {"a point changed", [&] { h.curve().retype(4, "4.8"); }, false},
        {"the point back", [&] { h.curve().retype(4, "4.70"); }, true},
        {"a point emptied", [&] { h.curve().retype(4, ""); }, false},
        {"and back", [&] { h.curve().retype(4, "4.7"); }, true},
        {"the start voltage", [&] { h.view.type(TextBox::txtStartVoltage, "1"); }, false},
        {"and back", [&] { h.view.type(TextBox::txtStartVoltage, "\b"); }, true},
        {"the end voltage", [&] { h.view.setText(TextBox::txtEndVoltage, "12.1"); }, false},
        {"and back", [&] { h.view.setText(TextBox::txtEndVoltage, "12"); }, true},
    };
    for (const auto& step : steps) {
        step.change();
        EXPECT_EQ(stairs(), step.current ? 1u : 0u) << step.what;
        EXPECT_EQ(outdated(), !step.current) << step.what;
    }
}

}  // namespace
}  // namespace varidac::testing
