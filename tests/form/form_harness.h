#pragma once
// Form1 without a toolkit: a view that keeps the controls' state the way a
// toolkit does (a voltage field's change runs its change handler inside the
// set), a recording platform, and a program folder of its own.
#include <array>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tests/form/recording_platform.h"
#include "tests/temp_folder.h"
#include "ui/main_window.h"

namespace varidac::testing {

// The selected part of a text: from `start`, `length` characters.
struct Selection {
    std::size_t start = 0, length = 0;
};

inline std::string outside(const std::string& text, const std::optional<Selection>& selection) {
    if (!selection) return text;
    return text.substr(0, selection->start) + text.substr(std::min(text.size(), selection->start + selection->length));
}

// What a typed character does to a text: replaces the selection (or goes at
// the end), Backspace takes the selection or the character before it.
inline std::string edited(const std::string& text, const std::optional<Selection>& selection, int16_t code) {
    if (code == 0 || code == 13) return text;
    const std::size_t at = selection ? selection->start : text.size();
    std::string rest = outside(text, selection);
    if (code != 8) return rest.insert(at, 1, static_cast<char>(code));
    if ((!selection || selection->length == 0) && at > 0) rest.erase(at - 1, 1);
    return rest;
}

// The curve window: its fields keep their texts as an edit control does,
// and a typed key goes through the editor's filter before its change.
class RecordingEditorView : public ListEditorView {
public:
    explicit RecordingEditorView(std::vector<std::string>& log) : log_(log) {}

    void open() override {
        if (!isOpen) log_.push_back("curve:open");
        isOpen = true;
    }
    void close() override {
        log_.push_back("curve:close");
        isOpen = false;
    }
    void setTitle(const std::string& text) override { title = text; }
    void showDrawing(const Drawing& shown) override { drawing = shown; }
    std::string pointText(int point) const override { return texts.at(static_cast<std::size_t>(point)); }
    void setPointText(int point, const std::string& text) override { texts.at(static_cast<std::size_t>(point)) = text; }
    std::string pointTextOutsideSelection(int point) const override { return outside(pointText(point), selection); }
    void givePointFocus(int point) override { focus = point; }
    void setPointCheck(int point, const std::string& tip) override { checks.at(static_cast<std::size_t>(point)) = tip; }
    void showPointTip(int point, const std::string& tip) override { tips.emplace_back(point, tip); }

    // Types into the point's field as a user would.
    void type(int point, const std::string& keys) {
        for (char key : keys) {
            auto code = static_cast<int16_t>(static_cast<unsigned char>(key));
            editor->txtPoint_KeyPress(static_cast<int16_t>(point), code);
            const std::string after = edited(pointText(point), selection, code);
            selection.reset();
            if (after == pointText(point)) continue;
            setPointText(point, after);
            editor->txtPoint_Change(static_cast<int16_t>(point));
        }
    }

    // Replaces the field's whole text, as a select-all and typing would.
    void retype(int point, const std::string& text) {
        setPointText(point, "");
        editor->txtPoint_Change(static_cast<int16_t>(point));
        type(point, text);
    }

    // The title bar's close button: the window goes unless the editor cancels.
    void closeFromTitleBar() {
        int16_t Cancel = 0;
        editor->CurveWindow_QueryUnload(Cancel);
        if (Cancel == 0) isOpen = false;
    }

    ListEditor* editor = nullptr;
    bool isOpen = false;
    std::string title;
    std::optional<Drawing> drawing;
    std::array<std::string, kListPoints> texts;
    std::array<std::string, kListPoints> checks;
    std::vector<std::pair<int, std::string>> tips;
    std::optional<int> focus;
    std::optional<Selection> selection;  // of whichever field is asked

private:
    std::vector<std::string>& log_;
};

class RecordingView : public FormView {
public:
    explicit RecordingView(std::vector<std::string>& log) : curve(log), log_(log) {}

    std::string text(TextBox box) const override { return texts.at(box); }

    std::string textOutsideSelection(TextBox box) const override { return outside(text(box), selection); }

    void showFieldTip(TextBox box, const std::string& tip) override { tips.emplace_back(box, tip); }

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

    ListEditorView& curveWindow() override { return curve; }

    // Types the characters one by one through the field's key filter, as a
    // user would: over the selection, else at the end of the field.
    void type(TextBox box, const std::string& keys) {
        for (char key : keys) {
            auto code = static_cast<int16_t>(static_cast<unsigned char>(key));
            if (box == TextBox::txtStartVoltage) form->txtStartVoltage_KeyPress(code);
            if (box == TextBox::txtEndVoltage) form->txtEndVoltage_KeyPress(code);
            if (box == TextBox::txtStep) form->txtStep_KeyPress(code);
            const std::string after = edited(texts.at(box), selection, code);
            selection.reset();
            if (after != texts.at(box)) setText(box, after);
        }
    }

    Form1* form = nullptr;
    std::map<TextBox, std::string> texts = {
        {TextBox::txtStartVoltage, "Text2"}, {TextBox::txtEndVoltage, "Text3"}, {TextBox::txtStep, "Text1"}};
    std::vector<std::string> items;
    std::optional<TextBox> focus;
    std::optional<Selection> selection;  // of whichever text box is asked
    std::vector<std::pair<TextBox, std::string>> tips;
    RecordingEditorView curve;

private:
    std::vector<std::string>& log_;
};

// A loaded form, not yet shown.
struct FormHarness {
    FormHarness() {
        view.form = &form;
        view.curve.editor = &form.curveEditor();
        form.Form_Load();
    }

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
