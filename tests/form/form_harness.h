#pragma once
// Form1 without a toolkit: a view that keeps the controls' state the way a
// toolkit does (a voltage field's change runs its change handler inside the
// set), a recording platform, and a program folder of its own.
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tests/form/recording_platform.h"
#include "tests/temp_folder.h"
#include "ui/main_window.h"

namespace varidac::testing {

class RecordingView : public FormView {
public:
    explicit RecordingView(std::vector<std::string>& log) : log_(log) {}

    std::string text(TextBox box) const override { return texts.at(box); }

    void setText(TextBox box, const std::string& text) override {
        texts[box] = text;
        log_.push_back(std::string(textBoxName(box)) + "=" + text);
        if (box == TextBox::txtStartVoltage) form->txtStartVoltage_Change();
        if (box == TextBox::txtEndVoltage) form->txtEndVoltage_Change();
    }

    void setListItems(const std::vector<std::string>& newItems) override { items = newItems; }

    void giveFocus(TextBox box) override { focus = box; }

    void selectOption(int16_t index) override {
        log_.push_back("select:" + std::to_string(index));
        form->optEprom_Click(index);
    }

    void closeWindow() override { log_.push_back("close"); }

    void showCurveWindow(const Drawing& drawing) override {
        if (!curve) log_.push_back("curve:open");
        curve = drawing;
    }

    void closeCurveWindow() override {
        log_.push_back("curve:close");
        curve.reset();
    }

    // Types the characters one by one through the field's key filter, as a
    // user would at the end of the field.
    void type(TextBox box, const std::string& keys) {
        for (char key : keys) {
            auto code = static_cast<int16_t>(static_cast<unsigned char>(key));
            if (box == TextBox::txtStartVoltage) form->txtStartVoltage_KeyPress(code);
            if (box == TextBox::txtEndVoltage) form->txtEndVoltage_KeyPress(code);
            if (box == TextBox::txtStep) form->txtStep_KeyPress(code);
            std::string edited = texts.at(box);
            if (code == 8 && !edited.empty()) edited.pop_back();
            if (code != 0 && code != 8 && code != 13) edited += static_cast<char>(code);
            if (edited != texts.at(box)) setText(box, edited);
        }
    }

    Form1* form = nullptr;
    std::map<TextBox, std::string> texts = {
        {TextBox::txtStartVoltage, "Text2"}, {TextBox::txtEndVoltage, "Text3"}, {TextBox::txtStep, "Text1"}};
    std::vector<std::string> items;
    std::optional<TextBox> focus;
    std::optional<Drawing> curve;  // what the open curve window shows

private:
    std::vector<std::string>& log_;
};

// A loaded form, not yet shown.
struct FormHarness {
    FormHarness() { view.form = &form; form.Form_Load(); }

    // Clicks "Read File" with the dialog answering `path` (nothing: Cancel).
    void readFile(const std::optional<std::string>& path) {
        platform.openAnswers.push_back(path);
        form.cmdLeeslijst_Click();
    }

    void setVoltages(const std::string& start, const std::string& end) {
        view.setText(TextBox::txtStartVoltage, start);
        view.setText(TextBox::txtEndVoltage, end);
    }

    const TuningState& state() const { return form.tuningState(); }

    RecordingPlatform platform;
    RecordingView view{platform.log};
    TempFolder appDir;
    Form1 form{view, platform, appDir.path().string()};
};

}  // namespace varidac::testing
