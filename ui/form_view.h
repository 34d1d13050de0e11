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

class FormView {
public:
    virtual ~FormView() = default;

    // The text box's text as it stands.
    virtual std::string text(TextBox box) const = 0;

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

    // The "Tuning curve" window, beside the main window: shows `drawing`,
    // opening the window when it is closed and painting it anew when open.
    virtual void showCurveWindow(const Drawing& drawing) = 0;
    virtual void closeCurveWindow() = 0;
};

}  // namespace varidac
