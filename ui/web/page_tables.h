#pragma once
// The two control tables as the page builds its windows from them: one JSON
// text per window, so that the page's script holds no copy of any caption,
// rectangle, tab index or name.
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ui/form_layout.h"

namespace varidac::web {

// The id of the control's element in the page: its name, and an indexed
// control as the program writes it, "optEprom(2)", "txtPoint(10)".
std::string elementId(const FormControl& control);
std::string elementId(std::string_view name, int index);

// The window and its controls, in table order (each container before what
// it holds), each with its element id, its place in the window's focus
// order (-1 for a control that takes no focus) and the events the page
// must report for it.
std::string formTableJson();
std::string editorTableJson();

// Text as a JSON string, quotes included.
std::string jsonString(std::string_view text);
std::string jsonStringArray(const std::vector<std::string>& texts);

}  // namespace varidac::web
