#pragma once
// A Windows program's command line split into its arguments.
#include <string>
#include <string_view>
#include <vector>

namespace varidac::os {

// The arguments after the program name, as CommandLineToArgvW gives them
// (blanks part them; quotation marks group, with backslashes escaping them
// in pairs), without loading shell32.dll and all it brings with it, which
// would lengthen every start of the window and of the companion.
std::vector<std::wstring> commandLineArguments(std::wstring_view commandLine);

}  // namespace varidac::os
