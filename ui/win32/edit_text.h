#pragma once
// The texts a field's handlers reason about, in UTF-8: the field's, what
// a typed key or a paste would leave of it, and what a paste would insert.
#include <windows.h>

#include <string>

namespace varidac::win32 {

std::string windowText(HWND control);

// The edit control's text without its selected part.
std::string textOutsideSelection(HWND edit);

// The clipboard's text; empty when it holds none or another program keeps it open.
std::string clipboardText(HWND owner);

}  // namespace varidac::win32
