#include "ui/help_file.h"

#include <filesystem>

#include "util/file_names.h"

namespace varidac {

std::string helpFilePath(const std::string& programFolder, std::string_view name) {
    std::string beside = joinPath(programFolder, name);
    if (FileExists(beside) != kFalse) return beside;
    std::string installed =
        (std::filesystem::path(programFolder) / ".." / "share" / "varidac" / name).lexically_normal().string();
    return FileExists(installed) != kFalse ? installed : beside;
}

}  // namespace varidac
