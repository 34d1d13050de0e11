// Events as front ends report them, by the control's place in the table:
// each reaches its control's handler and no other, and the tab order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/form/form_harness.h"
#include "ui/form_events.h"
#include "ui/form_layout.h"

namespace varidac::testing {
namespace {

constexpr int16_t kEnter = 13;
constexpr int16_t kLetter = 'x';

// What one event did to a loaded form, in words: the recorded calls, the
// field given the focus, the EPROM type chosen and what became of the key.
std::string effectOf(ControlId id, ControlEvent event, int16_t key = 0) {
    FormHarness h;
    h.platform.log.clear();
    const std::string eprom = h.state().epromtype;
    int16_t KeyAscii = key;
    if (event == ControlEvent::KeyPress) {
        dispatchKeyPress(h.form, id, KeyAscii);
    } else {
        dispatch(h.form, id, event);
    }
    std::string effect;
    for (const std::string& entry : h.platform.log) effect += entry + " ";
    if (h.view.focus) effect += "focus:" + std::string(textBoxName(*h.view.focus)) + " ";
    if (h.state().epromtype != eprom) effect += "eprom:" + h.state().epromtype + " ";
    if (KeyAscii != key) effect += "key:" + std::to_string(KeyAscii) + " ";
    return effect;
}

struct Expected {
    std::string_view name;
    int index;
    std::string click = "", dblClick = "", enter = "", letter = "", change = "";
};

// Every control that has a handler; the others must do nothing at all.
const Expected kRouted[] = {
    {"cmdLeeslijst", -1, "open "},
    {"cmdFiller", -1, "message:Error ! "},
    {"cmdStoppen", -1, "close end "},
    {"Command1", -1, "message:Error ! "},
    {"optEprom", 0, "eprom:27C64 "},
    {"optEprom", 1, "eprom:27C128 "},
    {"optEprom", 2, "eprom:27C256 "},
    {"optEprom", 3, "eprom:27C512 "},
    {"txtDAlist", -1, "", "curve:open ", "curve:open ", ""},
    {"txtStartVoltage", -1, "", "", "focus:txtEndVoltage ", "beep key:0 ", "txtStep=0.0412 "},
    {"txtEndVoltage", -1, "", "", "focus:txtStartVoltage ", "beep key:0 ", "txtStep=0.0412 "},
    {"txtStep", -1, "", "", "focus:txtStartVoltage ", "beep key:0 ", ""},
};

TEST(FormEvents, EachEventOfEachControlReachesItsHandlerOnly) {
    const auto rows = formControls();
    std::size_t routed = 0;
    for (ControlId id = 0; id < rows.size(); ++id) {
        SCOPED_TRACE(std::string(rows[id].name) + " " + std::to_string(rows[id].index));
        Expected expected{rows[id].name, rows[id].index};
        for (const Expected& e : kRouted) {
            if (e.name == expected.name && e.index == expected.index) expected = e, ++routed;
        }
        EXPECT_EQ(effectOf(id, ControlEvent::Click), expected.click);
        EXPECT_EQ(effectOf(id, ControlEvent::DblClick), expected.dblClick);
        EXPECT_EQ(effectOf(id, ControlEvent::KeyPress, kEnter), expected.enter);
        EXPECT_EQ(effectOf(id, ControlEvent::KeyPress, kLetter), expected.letter);
        EXPECT_EQ(effectOf(id, ControlEvent::Change), expected.change);
        EXPECT_EQ(handles(id, ControlEvent::Click), !expected.click.empty());
        EXPECT_EQ(handles(id, ControlEvent::DblClick), !expected.dblClick.empty());
        EXPECT_EQ(handles(id, ControlEvent::KeyPress), !expected.enter.empty());
        EXPECT_EQ(handles(id, ControlEvent::Change), !expected.change.empty());
    }
    EXPECT_EQ(routed, std::size(kRouted));
}

TEST(FormEvents, ADropReadsTheDroppedList) {
    FormHarness h;
    TempFolder folder;
    dispatchFilesDropped(h.form, {folder.write("EXAMPLE.INF", varidac::readFile(VARIDAC_EXAMPLE_LIST))});
    EXPECT_EQ(h.state().naamzonderpad, "EXAMPLE.INF");
}

std::vector<std::string> namesOf(std::span<const ControlId> ids) {
    std::vector<std::string> names;
    for (ControlId id : ids) {
        const FormControl& row = formControls()[id];
        names.push_back(std::string(row.name) + (row.index >= 0 ? std::to_string(row.index) : ""));
    }
    return names;
}

TEST(FormEvents, TabVisitsTheControlsThatTakeTheFocusByTabIndex) {
    EXPECT_EQ(namesOf(focusOrder()),
              (std::vector<std::string>{"optEprom0", "cmdFiller", "optEprom1", "optEprom2", "optEprom3", "txtStartVoltage",
                                        "txtEndVoltage", "txtStep", "cmdLeeslijst", "cmdStoppen", "txtDAlist", "Command1"}));
    const std::vector<std::string> all = namesOf(tabOrder());
    ASSERT_EQ(all.size(), formControls().size());
    EXPECT_EQ(all.front(), "Frame1");
    EXPECT_EQ(all.back(), "Label5");
}

TEST(FormEvents, TheTextBoxesAreTheTablesControlsOfTheirName) {
    const auto rows = formControls();
    int boxes = 0;
    for (ControlId id = 0; id < rows.size(); ++id) {
        const std::optional<TextBox> box = textBoxOf(id);
        EXPECT_EQ(box.has_value(), rows[id].kind == ControlKind::TextBox) << rows[id].name;
        if (!box) continue;
        ++boxes;
        EXPECT_EQ(textBoxName(*box), rows[id].name);
        EXPECT_EQ(controlOf(*box), id);
    }
    EXPECT_EQ(boxes, 3);
}

}  // namespace
}  // namespace varidac::testing
