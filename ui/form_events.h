#pragma once
// What a front end does with an event of a control: tells the form which
// control it was, by its place in the control table, and the form runs the
// handler. No front end needs to know which control has which handler.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "ui/form_view.h"
#include "ui/main_window.h"

namespace varidac {

// A control's index in formControls().
using ControlId = std::size_t;

enum class ControlEvent { Click, DblClick, KeyPress, Change };

// Whether the control has a handler for the event: where a front end must
// listen at all.
bool handles(ControlId control, ControlEvent event);

// Runs the control's handler of a click, double-click or change of text;
// nothing when it has none.
void dispatch(Form1& form, ControlId control, ControlEvent event);

// Runs the control's key-press handler with the typed character's code;
// 0 afterwards discards the character. Without a handler the key stays.
void dispatchKeyPress(Form1& form, ControlId control, int16_t& KeyAscii);

// Files dropped onto the window.
void dispatchFilesDropped(Form1& form, const std::vector<std::string>& paths);

// Every control by its tab index: the order in which a toolkit that follows
// creation order must create them.
std::span<const ControlId> tabOrder();

// The controls that take the focus, in the order Tab visits them.
std::span<const ControlId> focusOrder();

// Which text box of FormView a control is, and back.
std::optional<TextBox> textBoxOf(ControlId control);
ControlId controlOf(TextBox box);

}  // namespace varidac
