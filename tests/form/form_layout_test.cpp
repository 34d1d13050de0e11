// The control table against the window's design, and twips to pixels.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "ui/form_events.h"
#include "core/list_text.h"
#include "ui/editor_layout.h"
#include "ui/form_layout.h"
#include "ui/twips.h"

namespace varidac {
namespace {

using K = ControlKind;

// Copied by hand from the window's design.
const FormControl kDesign[] = {
    {"Label3", -1, K::Label, "Form1", "NRD-515  Varidac Eprom filler - Kordan", {120, 120, 3735, 255}, 19, 700},
    {"Frame2", -1, K::Frame, "Form1", "Input", {120, 360, 3615, 3855}, 6, 400},
    {"Frame1", -1, K::Frame, "Form1", "Output", {120, 4440, 3615, 1935}, 0, 400},
    {"cmdLeeslijst", -1, K::CommandButton, "Frame2", "Read File", {240, 360, 1215, 375}, 14, 400},
    {"Command1", -1, K::CommandButton, "Frame2", "?", {1680, 360, 375, 375}, 21, 700},
    {"lbDAlijst", -1, K::Label, "Frame2", "D/A tune list", {2280, 360, 1095, 255}, 7, 400},
    {"Label2", -1, K::Label, "Frame2", "Freq.  -  Volt", {2280, 600, 1095, 255}, 18, 400},
    {"txtDAlist", -1, K::ListBox, "Frame2", "", {2040, 960, 1335, 2595}, 17, 400,
     "Double-click or press Enter to see the tuning curve; Escape closes it"},
    {"lbStartvoltage", -1, K::Label, "Frame2", "Start Voltage at 00H", {240, 1080, 1575, 255}, 8, 400},
    {"txtStartVoltage", -1, K::TextBox, "Frame2", "Text2", {240, 1320, 1335, 285}, 9, 400},
    {"lbEndvoltage", -1, K::Label, "Frame2", "End Voltage = ", {240, 1800, 1575, 255}, 10, 400},
    {"Label5", -1, K::Label, "Frame2", "StartVoltage + FFH", {240, 2040, 1575, 255}, 22, 400},
    {"txtEndVoltage", -1, K::TextBox, "Frame2", "Text3", {240, 2280, 1335, 285}, 11, 400},
    {"lbStep", -1, K::Label, "Frame2", "Calculated Step U", {240, 2760, 1455, 255}, 12, 400},
    {"Label1", -1, K::Label, "Frame2", "(255 D/A steps)", {240, 3000, 1455, 255}, 15, 400},
    {"txtStep", -1, K::TextBox, "Frame2", "Text1", {240, 3240, 1335, 285}, 13, 400},
    {"optEprom", 0, K::OptionButton, "Frame1", "27C64", {240, 360, 975, 255}, 1, 400},
    {"optEprom", 1, K::OptionButton, "Frame1", "27C128", {240, 720, 975, 255}, 3, 400},
    {"optEprom", 2, K::OptionButton, "Frame1", "27C256", {240, 1080, 975, 255}, 4, 400},
    {"optEprom", 3, K::OptionButton, "Frame1", "27C512", {240, 1440, 975, 255}, 5, 400},
    {"Label4", -1, K::Label, "Frame1", "Previous is overwritten!", {1680, 360, 1815, 255}, 20, 400},
    {"cmdFiller", -1, K::CommandButton, "Frame1", "Start Filler", {1680, 720, 1575, 375}, 2, 400},
    {"cmdStoppen", -1, K::CommandButton, "Frame1", "Exit", {1680, 1320, 1575, 375}, 16, 400},
};

TEST(ControlTable, HoldsTheDesignAndEveryTabIndexOnce) {
    const auto table = formControls();
    ASSERT_EQ(table.size(), std::size(kDesign));
    std::set<int> tabIndices;
    for (std::size_t i = 0; i < table.size(); ++i) {
        FormControl designed = table[i];
        designed.accessibleName = {};  // not part of the design: see the test below
        EXPECT_TRUE(designed == kDesign[i]) << kDesign[i].name << " " << kDesign[i].index;
        tabIndices.insert(table[i].tabIndex);
    }
    EXPECT_EQ(tabIndices.size(), 23u);
    EXPECT_EQ(*tabIndices.rbegin(), 22);
}

// A screen reader reads the name of the control that has the focus: a field
// named after its frame ("Input") three times tells nothing.
TEST(ControlTable, EveryControlThatTakesTheFocusHasANameOfItsOwn) {
    const auto table = formControls();
    std::set<std::string_view> names;
    for (ControlId id : focusOrder()) {
        const std::string_view name = accessibleNameOf(table[id]);
        EXPECT_TRUE(name.size() > 1) << table[id].name;
        EXPECT_TRUE(names.insert(name).second) << table[id].name << ": " << name;
    }
    EXPECT_EQ(accessibleNameOf(table[controlOf(TextBox::txtEndVoltage)]), "End Voltage = StartVoltage + FFH");
}

TEST(EditorTable, ThePlotThenEachPointsCaptionFieldAndMarkThenTheButtons) {
    const auto table = editorControls();
    ASSERT_EQ(table.size(), 1u + 3 * kListPoints + 3);
    EXPECT_TRUE(table[0] == (FormControl{"picCurve", -1, K::PictureBox, kCurveFormName, "", {0, 0, 9600, 6600}, table[0].tabIndex, 400}));
    for (int i = 0; i < kListPoints; ++i) {
        SCOPED_TRACE(i);
        const FormControl* row = &table[static_cast<std::size_t>(1 + 3 * i)];
        const int top = 240 + i * 450;
        const std::string caption = std::to_string(pointKHz(i)) + " kHz";
        EXPECT_TRUE(row[0] == (FormControl{"lblPoint", i, K::Label, kCurveFormName, caption, {9720, top, 780, 255}, row[0].tabIndex, 400}));
        EXPECT_TRUE(row[1] == (FormControl{"txtPoint", i, K::TextBox, kCurveFormName, "", {10560, top - 30, 840, 285}, i, 400, {}, caption}));
        EXPECT_TRUE(row[2] == (FormControl{"lblCheck", i, K::Label, kCurveFormName, "", {11460, top, 240, 255}, row[2].tabIndex, 400}));
    }
    const FormControl buttons[] = {
        {"cmdNew", -1, K::CommandButton, kCurveFormName, "New", {9720, 5280, 1980, 375}, 11, 400},
        {"cmdSave", -1, K::CommandButton, kCurveFormName, "Save", {9720, 5700, 1980, 375}, 12, 400},
        {"cmdSaveAs", -1, K::CommandButton, kCurveFormName, "Save as...", {9720, 6120, 1980, 375}, 13, 400},
    };
    for (std::size_t b = 0; b < 3; ++b) EXPECT_TRUE(table[table.size() - 3 + b] == buttons[b]) << buttons[b].name;
    std::set<int> tabIndices;
    for (const FormControl& row : table) tabIndices.insert(row.tabIndex);
    EXPECT_EQ(tabIndices.size(), table.size());
    EXPECT_EQ(*tabIndices.rbegin(), static_cast<int>(table.size()) - 1);
}

TEST(EditorTable, NoTwoControlsOverlapAndAllLieInsideTheWindow) {
    const auto table = editorControls();
    auto overlap = [](const TwipsRect& a, const TwipsRect& b) {
        return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height && b.top < a.top + a.height;
    };
    for (std::size_t i = 0; i < table.size(); ++i) {
        const TwipsRect& r = table[i].rect;
        EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.left + r.width <= kCurveClientWidthTwips && r.top + r.height <= kCurveClientHeightTwips)
            << table[i].name << table[i].index;
        EXPECT_TRUE(table[i].name == "picCurve" || r.left >= kEditorColumnLeftTwips) << table[i].name << table[i].index;
        for (std::size_t j = i + 1; j < table.size(); ++j) {
            EXPECT_FALSE(overlap(r, table[j].rect)) << table[i].name << table[i].index << " and " << table[j].name << table[j].index;
        }
    }
}

TEST(ControlTable, TwipsConvertAtTheDisplayResolution) {
    struct Case {
        int twips, dpi, pixels;
    };
    const Case cases[] = {
        {3870, 96, 258}, {6525, 96, 435}, {15, 96, 1}, {0, 96, 0}, {3870, 120, 323}, {6525, 120, 544},
        {1440, 144, 144}, {375, 192, 50}, {7, 96, 0}, {8, 96, 1},
    };
    for (const Case& c : cases) EXPECT_EQ(twipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << " at " << c.dpi;
}

}  // namespace
}  // namespace varidac
