#include "ui/help_file.h"

#include <filesystem>

#include "util/file_names.h"

namespace varidac {

std::string helpFilePath(const std::string& programFolder, std::string_view name) {
    std::string beside = joinPath(programFolder, name);
    if (FileExists(beside) != kFalse) return beside;
    std::string installed =
        utf8FromPath((pathFromUtf8(programFolder) / ".." / "share" / "varidac" / name).lexically_normal());
    return FileExists(installed) != kFalse ? installed : beside;
}

}  // namespace varidac
