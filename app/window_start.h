#pragma once
// What the window program does with its command line, before any toolkit
// starts: a desktop opens a list with it ("Open with", a dropped file), and
// --help and --version must work where no window can open.
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace varidac {

struct WindowStart {
    enum class Kind { OpenWindow, PrintHelp, PrintVersion, WrongUsage };
    Kind kind = Kind::OpenWindow;
    // The files to read at start, as if dropped onto the window: one is read
    // as Read File would read it, several are refused as several dropped.
    std::vector<std::string> lists;
    std::string problem;  // for WrongUsage, without the program's name
};

// `args` without the program's name. "/?" asks for help too where that is
// the system's habit.
WindowStart windowStart(std::span<const std::string> args, bool slashHelp);

// The usage lines, each ended by a line break.
std::string windowUsage();

}  // namespace varidac
