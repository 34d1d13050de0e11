#pragma once
// The command-line companion: one list, one filler run, no window.
#include <ostream>
#include <string>
#include <vector>

namespace varidac {

// `args` without the program name. Returns the exit status: 0 done (or a
// checked chip is the same), 1 refused or unreadable input, or `out` could
// not be written (the message went to `err`), 2 usage error, 3 a checked
// chip differs.
int runCompanion(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace varidac
