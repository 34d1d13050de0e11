#pragma once
// What Form1 asks of a front end's controls: only what its handlers use.
// Strings are UTF-8.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/drawing.h"

namespace varidac {

// The three text boxes, named as in the control table.
enum class TextBox { txtStartVoltage, txtEndVoltage, txtStep };
inline constexpr TextBox kTextBoxes[] = {TextBox::txtStartVoltage, TextBox::txtEndVoltage, TextBox::txtStep};

constexpr std::string_view textBoxName(TextBox box) {
    constexpr std::string_view names[] = {"txtStartVoltage", "txtEndVoltage", "txtStep"};
    return names[static_cast<int>(box)];
}

class ListEditorView;

class FormView {
public:
    virtual ~FormView() = default;

    // The text box's text as it stands.
    virtual std::string text(TextBox box) const = 0;

    // The text without its selected part: what stays when a typed key or a
    // paste replaces the selection.
    virtual std::string textOutsideSelection(TextBox box) const = 0;

    // A short-lived tip beside the text box, after a refused key or paste.
    virtual void showFieldTip(TextBox box, const std::string& tip) = 0;

    // Replaces the text. As with every change of a voltage field, the front
    // end runs that field's change handler of Form1 before this returns.
    virtual void setText(TextBox box, const std::string& text) = 0;

    // Replaces every item of the list box txtDAlist, keeping their order.
    virtual void setListItems(const std::vector<std::string>& items) = 0;

    // Gives the text box the keyboard focus.
    virtual void giveFocus(TextBox box) = 0;

    // Gives option `index` of optEprom the focus and selects it; like a
    // user's selection, that runs Form1::optEprom_Click before this returns.
    virtual void selectOption(int16_t index) = 0;

    // Takes the window off the screen; Form1 ends the program itself.
    virtual void closeWindow() = 0;

    // The "Tuning curve" window, where the list editor shows itself. It may
    // be asked for while the front end is still being built, and used only after.
    virtual ListEditorView& curveWindow() = 0;
};

}  // namespace varidac
