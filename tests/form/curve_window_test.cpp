// The "Tuning curve" window: opened from the D/A tune list, following the
// list, the voltages and the filler run while open, closed with Escape.
#include <gtest/gtest.h>

#include <algorithm>
#include <variant>

#include "tests/form/form_harness.h"

namespace varidac::testing {
namespace {

template <typename Kind>
std::size_t count(const Drawing& drawing, Role role) {
    return static_cast<std::size_t>(std::count_if(drawing.primitives.begin(), drawing.primitives.end(), [&](const Primitive& p) {
        const auto* k = std::get_if<Kind>(&p);
        return k && k->role == role;
    }));
}

// The start voltage's label, which says the voltage the line stands for.
std::string startLabel(const Drawing& drawing) {
    for (const Primitive& p : drawing.primitives) {
        if (const auto* t = std::get_if<Text>(&p); t && t->role == Role::DaVoltage) return t->text;
    }
    return "";
}

struct CurveHarness : FormHarness {
    CurveHarness() {
        form.Form_Shown();
        exampleList = folder.write("EXAMPLE.INF", varidac::readFile(VARIDAC_EXAMPLE_LIST));
    }
    TempFolder folder;
    std::string exampleList;
};

TEST(CurveWindow, DoubleClickOrEnterOnTheListOpensItOtherKeysDoNot) {
    CurveHarness h;
    int16_t key = 'a';
    h.form.txtDAlist_KeyPress(key);
    EXPECT_FALSE(h.view.curve);
    h.form.txtDAlist_DblClick();
    ASSERT_TRUE(h.view.curve);
    EXPECT_EQ(h.view.curve->title, "No tuning list read yet");
    EXPECT_EQ(count<Circle>(*h.view.curve, Role::ListPoint), 0u);

    h.view.curve.reset();
    key = 13;
    h.form.txtDAlist_KeyPress(key);
    ASSERT_TRUE(h.view.curve);
    EXPECT_TRUE(h.form.curveWindowOpen());
}

TEST(CurveWindow, FollowsReadFileTheVoltagesAndTheFillerRunWhileOpen) {
    CurveHarness h;
    h.form.txtDAlist_DblClick();
    h.readFile(h.exampleList);
    ASSERT_TRUE(h.view.curve);
    EXPECT_EQ(h.view.curve->title, "EXAMPLE.INF");
    EXPECT_EQ(count<Circle>(*h.view.curve, Role::ListPoint), 11u);
    EXPECT_EQ(count<Polyline>(*h.view.curve, Role::Staircase), 0u);

    h.view.type(TextBox::txtStartVoltage, "\b");
    EXPECT_EQ(startLabel(*h.view.curve), "00H  1.5 V");
    h.view.type(TextBox::txtStartVoltage, "2");
    EXPECT_EQ(startLabel(*h.view.curve), "00H  1.52 V");

    h.form.cmdFiller_Click();
    ASSERT_EQ(h.platform.messages.back().title, "Run OK!");
    EXPECT_EQ(count<Polyline>(*h.view.curve, Role::Staircase), 1u);
    // A new list's curve has no codes until it is filled.
    h.readFile(h.exampleList);
    EXPECT_EQ(count<Polyline>(*h.view.curve, Role::Staircase), 0u);
}

TEST(CurveWindow, EscapeClosesItAndAClosedWindowStaysClosed) {
    CurveHarness h;
    h.form.txtDAlist_DblClick();
    int16_t key = 'x';
    h.form.CurveWindow_KeyPress(key);
    EXPECT_TRUE(h.view.curve);
    key = 27;
    h.form.CurveWindow_KeyPress(key);
    EXPECT_FALSE(h.view.curve);
    EXPECT_FALSE(h.form.curveWindowOpen());

    // Closed by its title bar: nothing opens it again but the list.
    h.form.txtDAlist_DblClick();
    h.form.CurveWindow_Unload();
    h.view.curve.reset();
    h.readFile(h.exampleList);
    h.view.type(TextBox::txtEndVoltage, "5");
    EXPECT_FALSE(h.view.curve);
    EXPECT_EQ(std::count(h.platform.log.begin(), h.platform.log.end(), "curve:open"), 2);
}

}  // namespace
}  // namespace varidac::testing
