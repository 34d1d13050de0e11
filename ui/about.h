#pragma once
// What the program says about itself where a desktop program is asked: the
// window's system menu on Windows, F1 in the help viewer elsewhere.
#include <string>

namespace varidac {

inline constexpr const char* kAboutTitle = "About Varidac EPROM filler";
// The system menu's entry; the dots say that a box follows.
inline constexpr const char* kAboutMenuEntry = "About Varidac EPROM filler...";

// The program's name, its version and its licence, one to a line.
std::string aboutText();

}  // namespace varidac
