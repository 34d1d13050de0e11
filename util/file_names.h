#pragma once
// Small functions that take a path apart, build one, or test for a file.
// Paths split at "\" and at "/"; booleans are 16-bit, True -1 and False 0.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace varidac {

inline constexpr int16_t kTrue = -1;
inline constexpr int16_t kFalse = 0;

std::string PathOnly(std::string filepath);
std::string FileOnly(std::string filepath);
std::string ExtOnly(std::string filepath, int16_t dot);
std::string ChangeExt(std::string filepath, std::string& newext);
// Throws std::invalid_argument when the file name has no ".".
std::string NameOnly(const std::string& filename);
std::string FixPath(const std::string& strPath);

// Ordinary, not hidden files matching the last part of the path, which may
// hold "*" and "?". Throws std::filesystem::filesystem_error when the folder
// cannot be listed.
int16_t FileExists(const std::string& strFile);
int16_t DirExists(const std::string& strPath);

// A path from UTF-8 text and back, alike on every system (a narrow string
// would be taken in the ANSI code page on Windows).
std::filesystem::path pathFromUtf8(std::string_view text);
std::string utf8FromPath(const std::filesystem::path& path);

// Folder and name joined with this platform's separator.
std::string joinPath(const std::string& folder, std::string_view name);

}  // namespace varidac
