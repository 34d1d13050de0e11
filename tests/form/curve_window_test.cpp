// The "Tuning curve" window: opened from the D/A tune list with the list
// last read, following the list, the voltages and the filler run while open,
// closed with Escape or its title bar.
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
    for (const int16_t pressed : {int16_t{'a'}, int16_t{13}}) {
        CurveHarness h;
        int16_t key = pressed;
        h.form.txtDAlist_KeyPress(key);
        EXPECT_EQ(h.view.curve.isOpen, pressed == 13) << pressed;
        EXPECT_EQ(h.form.curveWindowOpen(), pressed == 13) << pressed;
    }
    CurveHarness h;
    h.form.txtDAlist_DblClick();
    ASSERT_TRUE(h.view.curve.isOpen);
    ASSERT_TRUE(h.view.curve.drawing);
    // Before any list: a new list, every field empty and the first one to type in.
    EXPECT_EQ(h.view.curve.drawing->title, "new list");
    EXPECT_EQ(h.view.curve.title, "Tuning curve - new list");
    EXPECT_EQ(count<Circle>(*h.view.curve.drawing, Role::ListPoint), 0u);
    EXPECT_EQ(h.view.curve.texts, (std::array<std::string, kListPoints>{}));
    EXPECT_EQ(h.view.curve.focus, 0);
}

TEST(CurveWindow, OpensWithTheListLastReadInItsFields) {
    CurveHarness h;
    h.readFile(h.exampleList);
    h.form.txtDAlist_DblClick();
    const std::array<std::string, kListPoints> example = {"2.1", "2.6", "3.2", "3.9", "4.7", "5.6", "6.6", "7.7", "8.9", "10.2", "11.5"};
    EXPECT_EQ(h.view.curve.texts, example);
    EXPECT_EQ(h.view.curve.title, "Tuning curve - EXAMPLE.INF");
    EXPECT_EQ(h.view.curve.focus, 0);
    EXPECT_EQ(h.form.curveEditor().listPath(), h.exampleList);
    EXPECT_FALSE(h.form.curveEditor().hasUnsavedChanges());
}

TEST(CurveWindow, FollowsReadFileTheVoltagesAndTheFillerRunWhileOpen) {
    CurveHarness h;
    h.form.txtDAlist_DblClick();
    h.readFile(h.exampleList);
    ASSERT_TRUE(h.view.curve.drawing);
    const Drawing& drawing = *h.view.curve.drawing;
    EXPECT_EQ(drawing.title, "EXAMPLE.INF");
    EXPECT_EQ(h.view.curve.texts[10], "11.5");
    EXPECT_EQ(count<Circle>(drawing, Role::ListPoint), 11u);
    EXPECT_EQ(count<Polyline>(drawing, Role::Staircase), 0u);

    h.view.type(TextBox::txtStartVoltage, "\b");
    EXPECT_EQ(startLabel(*h.view.curve.drawing), "00H  1.5 V");
    h.view.type(TextBox::txtStartVoltage, "2");
    EXPECT_EQ(startLabel(*h.view.curve.drawing), "00H  1.52 V");

    h.form.cmdFiller_Click();
    ASSERT_EQ(h.platform.messages.back().title, "Run OK!");
    EXPECT_EQ(count<Polyline>(*h.view.curve.drawing, Role::Staircase), 1u);
    // A new list's curve has no codes until it is filled.
    h.readFile(h.exampleList);
    EXPECT_EQ(count<Polyline>(*h.view.curve.drawing, Role::Staircase), 0u);
}

TEST(CurveWindow, EscapeClosesItAndAClosedWindowStaysClosed) {
    CurveHarness h;
    h.form.txtDAlist_DblClick();
    ListEditor& editor = h.form.curveEditor();
    int16_t key = 'x';
    editor.CurveWindow_KeyPress(key);
    EXPECT_TRUE(h.view.curve.isOpen);
    key = 27;
    editor.CurveWindow_KeyPress(key);
    EXPECT_FALSE(h.view.curve.isOpen);
    EXPECT_FALSE(h.form.curveWindowOpen());

    // Closed by its title bar: nothing opens it again but the list.
    h.form.txtDAlist_DblClick();
    h.view.curve.closeFromTitleBar();
    EXPECT_FALSE(h.form.curveWindowOpen());
    h.view.curve.drawing.reset();
    h.readFile(h.exampleList);
    h.view.type(TextBox::txtEndVoltage, "5");
    EXPECT_FALSE(h.view.curve.isOpen);
    EXPECT_FALSE(h.view.curve.drawing);
    EXPECT_EQ(std::count(h.platform.log.begin(), h.platform.log.end(), "curve:open"), 2);
}

}  // namespace
}  // namespace varidac::testing
