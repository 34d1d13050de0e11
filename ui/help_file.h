#pragma once
// Where the "?" button finds the user's guide.
#include <string>
#include <string_view>

namespace varidac {

// The guide `name` beside the program, in `programFolder` (a build tree and
// Windows keep it there), else the installed one in share/varidac/ next to
// the program's folder (bin/). When neither is an ordinary file, the one
// beside the program, so that the caller's test for it fails.
// Throws std::filesystem::filesystem_error when a folder cannot be listed.
std::string helpFilePath(const std::string& programFolder, std::string_view name);

}  // namespace varidac
