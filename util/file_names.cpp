#include "util/file_names.h"

#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "os/os.h"

namespace varidac {
namespace {

// Position (from 1) of the last folder separator, or 0.
std::size_t lastSeparator(std::string_view path) {
    std::size_t p = path.find_last_of("\\/");
    return p == std::string_view::npos ? 0 : p + 1;
}

std::size_t lastDot(std::string_view path) {
    std::size_t p = path.rfind('.');
    return p == std::string_view::npos ? 0 : p + 1;
}

bool wildcardMatch(std::string_view pattern, std::string_view name) {
    std::size_t p = 0, n = 0, star = std::string_view::npos, mark = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            mark = n;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            n = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

int16_t anyOrdinaryFile(const std::string& path) {
    namespace fs = std::filesystem;
    std::string folder = PathOnly(path);
    std::string pattern = FileOnly(path);
    if (pattern.empty()) return kFalse;
    fs::path dir = lastSeparator(path) == 0 ? fs::path(".") : pathFromUtf8(folder.empty() ? "/" : folder);
    std::error_code ec;
    if (!fs::is_directory(dir, ec)) return kFalse;
    for (const auto& entry : fs::directory_iterator(dir)) {
        std::string name = utf8FromPath(entry.path().filename());
        if (name.empty() || os::isHidden(utf8FromPath(entry.path()))) continue;
        std::error_code typeError;
        if (!entry.is_regular_file(typeError)) continue;
        if (wildcardMatch(pattern, name)) return kTrue;
    }
    return kFalse;
}

}  // namespace

std::string PathOnly(std::string filepath) {
    std::size_t p = lastSeparator(filepath);
    return p == 0 ? std::string() : filepath.substr(0, p - 1);
}

std::string FileOnly(std::string filepath) { return filepath.substr(lastSeparator(filepath)); }

std::string ExtOnly(std::string filepath, int16_t dot) {
    std::string ext = filepath.substr(lastDot(filepath));
    return dot == kTrue ? "." + ext : ext;
}

std::string ChangeExt(std::string filepath, std::string& newext) {
    std::size_t p = lastDot(filepath);
    std::string base = p == 0 ? filepath : filepath.substr(0, p - 1);
    if (!newext.empty()) newext = "." + newext;
    return base + newext;
}

std::string NameOnly(const std::string& filename) {
    std::string name = FileOnly(filename);
    std::size_t p = lastDot(name);
    if (p == 0) throw std::invalid_argument("Invalid procedure call or argument");
    return name.substr(0, p - 1);
}

std::string FixPath(const std::string& strPath) {
    if (!strPath.empty() && strPath.back() == '\\') return strPath;
    return strPath + "\\";
}

int16_t FileExists(const std::string& strFile) { return anyOrdinaryFile(strFile); }

int16_t DirExists(const std::string& strPath) { return anyOrdinaryFile(strPath); }

std::filesystem::path pathFromUtf8(std::string_view text) { return std::filesystem::path(std::u8string(text.begin(), text.end())); }

std::string utf8FromPath(const std::filesystem::path& path) {
    std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::string joinPath(const std::string& folder, std::string_view name) {
    std::string out = folder;
    out += static_cast<char>(std::filesystem::path::preferred_separator);
    out += name;
    return out;
}

}  // namespace varidac
