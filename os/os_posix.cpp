#include "os/os.h"

#include <langinfo.h>
#include <locale.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace varidac::os {

std::string errorText(int error) {
    if (error == kFileInUse) return "The file is in use by another program";
    return std::strerror(error);
}

std::FILE* openForReading(const std::string& path) { return std::fopen(path.c_str(), "rb"); }

std::FILE* createNew(const std::string& path) { return std::fopen(path.c_str(), "wbx"); }

int writeDurably(std::FILE* file, const std::string& bytes) {
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) return -1;
    if (std::fflush(file) != 0) return -1;
    // A file that cannot be synced (a pipe, a special device) has nothing to lose.
    if (::fsync(fileno(file)) != 0 && errno != EINVAL) return -1;
    return 0;
}

int replaceFile(const std::string& from, const std::string& to) { return std::rename(from.c_str(), to.c_str()); }

int keepEarlierFile(const std::string& path, const std::string& backup) {
    std::error_code ec;
    std::filesystem::create_hard_link(path, backup, ec);
    if (ec) std::filesystem::copy_file(path, backup, ec);
    if (!ec) return 0;
    errno = ec.value();
    return -1;
}

// A rename over a file needs only the folder's permission, and the rename
// itself reports that.
int whyNotReplaceable(const std::string&) { return 0; }

bool isHidden(const std::string& path) {
    std::string name = std::filesystem::path(path).filename().string();
    return !name.empty() && name[0] == '.';
}

// LC_ALL, LC_NUMERIC and LANG: the numeric category alone, as the decimal
// sign is all that is needed; loading every category of the user's locale
// would cost a start of the companion more than its arithmetic does.
char regionalDecimalSign() {
    locale_t numeric = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
    if (numeric == static_cast<locale_t>(nullptr)) return '.';
    const char* radix = nl_langinfo_l(RADIXCHAR, numeric);
    const char sign = radix != nullptr && radix[0] != '\0' ? radix[0] : '.';
    freelocale(numeric);
    return sign;
}

std::string programFolder() {
    std::error_code ec;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : self.parent_path().string();
}

std::string currentFolder() {
    std::error_code ec;
    return std::filesystem::current_path(ec).string();
}

std::vector<std::string> arguments(int argc, char** argv) { return std::vector<std::string>(argv + 1, argv + argc); }

void useUtf8Console() {}

}  // namespace varidac::os
