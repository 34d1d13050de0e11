// Start-up, the voltage fields with their step, the key filters, the focus
// moves and the EPROM type, decided by Form1 alone.
#include <gtest/gtest.h>

#include <filesystem>
#include <limits>

#include "tests/form/form_harness.h"

namespace varidac::testing {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

TEST(StartUp, LoadSetsTheStartTextFirstAndEachChangeRunsAtOnce) {
    FormHarness h;
    // Setting "1.50" runs the change handler while the end field still holds
    // "Text3" (0 V): |0 - 1.5| / 255 = 0.0059; then "12.00" gives 0.0412.
    EXPECT_EQ(h.platform.log, (std::vector<std::string>{"txtStartVoltage=1.50", "txtStep=0.0059", "txtEndVoltage=12.00",
                                                        "txtStep=0.0412", "txtStep=0.0412"}));
    const TuningState& s = h.state();
    EXPECT_EQ(s.pad, std::filesystem::current_path().string());
    EXPECT_EQ(s.alleendenaam, "DUMMY_515ZE");
    EXPECT_EQ(s.naamzonderpad, "DUMMY_515ZE.INF");
    EXPECT_EQ(s.StartVoltage, 1.5);
    EXPECT_EQ(s.EndVoltage, 12.0);
    EXPECT_EQ(s.RangeVoltage, 10.5);
    EXPECT_EQ(s.VoltageStep, 0.041176470588235294);
    // No type until the window is shown.
    EXPECT_EQ(s.eprom_64 + s.eprom_128 + s.eprom_256 + s.eprom_512, 0);
    EXPECT_EQ(s.epromtype, "");
}

TEST(StartUp, TheFirstShowingSelects27C64Once) {
    FormHarness h;
    h.platform.log.clear();
    h.form.Form_Shown();
    EXPECT_EQ(h.state().eprom_64, 1);
    EXPECT_EQ(h.state().epromtype, "27C64");
    h.form.optEprom_Click(3);
    h.form.Form_Shown();
    EXPECT_EQ(h.state().epromtype, "27C512");
    EXPECT_EQ(h.platform.log, std::vector<std::string>{"select:0"});
}

TEST(VoltageFields, EachChangeRecomputesTheVoltagesAndTheStepText) {
    struct Case {
        std::string start, end, stepText;
        double startVoltage, endVoltage;
    };
    const Case cases[] = {
        {"12.00", "1.50", "0.0412", 12.0, 1.5}, {"5", "5", "00", 5, 5},         {"0", "0.01", "00", 0, 0.01},
        {"0", "300", "01.1765", 0, 300},        {"0", "255", "01", 0, 255},     {"0", "5", "0.0196", 0, 5},
        {"1.2.3", "12", "0.0424", 1.2, 12},     {".", "12", "0.0471", 0, 12},   {"", "12", "0.0471", 0, 12},
        {"12.", "24", "0.0471", 12, 24},        {".5", "1", "0.002", 0.5, 1},   {"1.50", "", "0.0059", 1.5, 0},
        {"x2", "12", "0.0471", 0, 12},          {"1.5", std::string(400, '9'), "too large", 1.5, kInfinity},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.start + " / " + c.end);
        FormHarness h;
        h.setVoltages(c.start, c.end);
        const TuningState& s = h.state();
        EXPECT_EQ(h.view.texts[TextBox::txtStep], c.stepText);
        EXPECT_EQ(s.StartVoltage, c.startVoltage);
        EXPECT_EQ(s.EndVoltage, c.endVoltage);
        EXPECT_EQ(s.RangeVoltage, c.endVoltage - c.startVoltage);
        EXPECT_EQ(s.VoltageStep, (c.endVoltage - c.startVoltage) / 255);
        EXPECT_EQ(h.platform.beeps, 0);
    }
}

TEST(KeyFilter, EachFieldPassesItsOwnCharactersAndBeepsAtTheRest) {
    struct Case {
        TextBox box;
        std::string passes;
        TextBox enterGoesTo;
    };
    const Case cases[] = {
        {TextBox::txtStartVoltage, "0123456789.\b", TextBox::txtEndVoltage},
        {TextBox::txtEndVoltage, "0123456789.\b", TextBox::txtStartVoltage},
        {TextBox::txtStep, "", TextBox::txtStartVoltage},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(textBoxName(c.box)));
        FormHarness h;
        h.view.texts[c.box] = "";  // so that a point may pass
        int beeps = 0;
        for (int code = 0; code <= 300; ++code) {
            auto KeyAscii = static_cast<int16_t>(code);
            const bool passes = code == 13 || (code > 0 && code < 128 && c.passes.find(static_cast<char>(code)) != std::string::npos);
            if (c.box == TextBox::txtStartVoltage) h.form.txtStartVoltage_KeyPress(KeyAscii);
            if (c.box == TextBox::txtEndVoltage) h.form.txtEndVoltage_KeyPress(KeyAscii);
            if (c.box == TextBox::txtStep) h.form.txtStep_KeyPress(KeyAscii);
            EXPECT_EQ(KeyAscii, passes ? code : 0) << code;
            EXPECT_EQ(h.platform.beeps, passes ? beeps : ++beeps) << code;
            EXPECT_EQ(h.view.focus, code >= 13 ? std::optional(c.enterGoesTo) : std::nullopt) << code;
        }
        EXPECT_TRUE(h.platform.messages.empty());
    }
}

TEST(KeyFilter, TypedTextRecomputesAtEveryKeystrokeAndRefusedKeysChangeNothing) {
    FormHarness h;
    h.view.setText(TextBox::txtEndVoltage, "");
    const struct {
        char key;
        const char* text;
        double endVoltage;
        const char* step;
    } keys[] = {{'3', "3", 3, "0.0059"}, {'0', "30", 30, "0.1118"}, {',', "30", 30, "0.1118"}, {'.', "30.", 30, "0.1118"},
                {'6', "30.6", 30.6, "0.1141"}, {'-', "30.6", 30.6, "0.1141"}, {'\b', "30.", 30, "0.1118"}};
    for (const auto& k : keys) {
        h.view.type(TextBox::txtEndVoltage, std::string(1, k.key));
        EXPECT_EQ(h.view.texts[TextBox::txtEndVoltage], k.text) << k.key;
        EXPECT_EQ(h.state().EndVoltage, k.endVoltage) << k.key;
        EXPECT_EQ(h.view.texts[TextBox::txtStep], k.step) << k.key;
    }
    EXPECT_EQ(h.platform.beeps, 2);
    h.view.type(TextBox::txtStep, "5");
    EXPECT_EQ(h.view.texts[TextBox::txtStep], "0.1118");
    EXPECT_EQ(h.platform.beeps, 3);
}

TEST(KeyFilter, ACommaOrASecondPointIsRefusedWithATipOtherRefusalsOnlyBeep) {
    struct Case {
        std::string text;
        std::optional<Selection> selection;
        char key;
        bool passes;
        std::string tip;  // empty: none
    };
    const Case cases[] = {
        {"30", std::nullopt, ',', false, kTipDecimalPoint},
        {"3.0", Selection{0, 3}, ',', false, kTipDecimalPoint},
        {"3.0", std::nullopt, '.', false, kTipOnePoint},
        {".", std::nullopt, '.', false, kTipOnePoint},
        {"3.0", Selection{1, 1}, '.', true, ""},  // the point typed over
        {"30", std::nullopt, '.', true, ""},
        {"30", std::nullopt, 'x', false, ""},
    };
    for (TextBox box : {TextBox::txtStartVoltage, TextBox::txtEndVoltage}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(textBoxName(box)) + " " + c.text + " " + c.key);
            FormHarness h;
            h.view.texts[box] = c.text;
            h.view.selection = c.selection;
            int16_t KeyAscii = c.key;
            (box == TextBox::txtStartVoltage ? h.form.txtStartVoltage_KeyPress(KeyAscii) : h.form.txtEndVoltage_KeyPress(KeyAscii));
            EXPECT_EQ(KeyAscii, c.passes ? c.key : 0);
            EXPECT_EQ(h.platform.beeps, c.passes ? 0 : 1);
            using Tips = std::vector<std::pair<TextBox, std::string>>;
            EXPECT_EQ(h.view.tips, (c.tip.empty() ? Tips{} : Tips{{box, c.tip}}));
        }
    }
}

TEST(FieldEdit, AVoltageFieldTakesAPasteTheKeysWouldPassTheStepFieldNoEdit) {
    struct Case {
        TextBox box;
        FieldEdit edit;
        std::string pasted, text;
        std::optional<Selection> selection;
        bool allowed;
        std::string tip;  // empty: none
    };
    constexpr auto start = TextBox::txtStartVoltage;
    constexpr auto end = TextBox::txtEndVoltage;
    constexpr auto step = TextBox::txtStep;
    const Case cases[] = {
        {start, FieldEdit::Paste, "2.5", "", std::nullopt, true, ""},
        {end, FieldEdit::Paste, "12", "1.5", std::nullopt, true, ""},
        {start, FieldEdit::Paste, "", "1.5", std::nullopt, true, ""},
        {start, FieldEdit::Paste, "2.5", "1.0", std::nullopt, false, kTipOnePoint},
        {start, FieldEdit::Paste, "2.5", "1.0", Selection{0, 3}, true, ""},
        {end, FieldEdit::Paste, "1.2.3", "", std::nullopt, false, kTipOnePoint},
        {start, FieldEdit::Paste, "2,5", "", std::nullopt, false, kTipDecimalPoint},
        {end, FieldEdit::Paste, "12 V", "", std::nullopt, false, kTipDigitsOnly},
        {start, FieldEdit::Paste, "-1", "", std::nullopt, false, kTipDigitsOnly},
        {start, FieldEdit::Paste, "1e3", "", std::nullopt, false, kTipDigitsOnly},
        {start, FieldEdit::Cut, "", "1.50", std::nullopt, true, ""},
        {end, FieldEdit::Delete, "", "12.00", std::nullopt, true, ""},
        {step, FieldEdit::Paste, "1", "0.0412", std::nullopt, false, ""},
        {step, FieldEdit::Cut, "", "0.0412", std::nullopt, false, ""},
        {step, FieldEdit::Delete, "", "0.0412", std::nullopt, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(textBoxName(c.box)) + " " + std::to_string(static_cast<int>(c.edit)) + " \"" + c.pasted + "\" on " + c.text);
        FormHarness h;
        h.view.texts[c.box] = c.text;
        h.view.selection = c.selection;
        EXPECT_EQ(h.form.Field_Edit(c.box, c.edit, c.pasted), c.allowed);
        EXPECT_EQ(h.platform.beeps, c.allowed ? 0 : 1);
        using Tips = std::vector<std::pair<TextBox, std::string>>;
        EXPECT_EQ(h.view.tips, (c.tip.empty() ? Tips{} : Tips{{c.box, c.tip}}));
    }
}

TEST(EpromOptions, EachIndexStoresItsTypeAndOthersChangeNothing) {
    struct Case {
        int16_t index;
        int16_t e64, e128, e256, e512;
        const char* type;
    };
    const Case cases[] = {
        {1, 0, 1, 0, 0, "27C128"}, {2, 0, 0, 1, 0, "27C256"}, {3, 0, 0, 0, 1, "27C512"}, {3, 0, 0, 0, 1, "27C512"},
        {0, 1, 0, 0, 0, "27C64"},  {-1, 1, 0, 0, 0, "27C64"}, {4, 1, 0, 0, 0, "27C64"},  {100, 1, 0, 0, 0, "27C64"},
    };
    FormHarness h;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        h.form.optEprom_Click(c.index);
        const TuningState& s = h.state();
        EXPECT_EQ(s.eprom_64, c.e64);
        EXPECT_EQ(s.eprom_128, c.e128);
        EXPECT_EQ(s.eprom_256, c.e256);
        EXPECT_EQ(s.eprom_512, c.e512);
        EXPECT_EQ(s.epromtype, c.type);
    }
}

}  // namespace
}  // namespace varidac::testing
