#include "os/os.h"

#include <langinfo.h>
#include <locale.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string_view>
#include <system_error>

namespace varidac::os {

std::string errorText(int error) {
    if (error == kFileInUse) return "The file is in use by another program";
    return std::strerror(error);
}

std::FILE* openForReading(const std::string& path) { return std::fopen(path.c_str(), "rb"); }

std::FILE* createNew(const std::string& path) { return std::fopen(path.c_str(), "wbx"); }

int writeDurably(std::FILE* file, const std::string& bytes) {
    // Straight to the file: the stream's buffer would only split the bytes
    // into more system calls and copy them once more.
    if (std::fflush(file) != 0) return -1;
    const int fd = fileno(file);
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) {
            if (wrote == 0) errno = EIO;
            return -1;
        }
        done += static_cast<std::size_t>(wrote);
    }
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
namespace {

// The locale name the numeric category takes, by the same precedence the C
// library gives the variables.
std::string_view numericLocaleName() {
    for (const char* variable : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && value[0] != '\0') return value;
    }
    return "C";
}

}  // namespace

char regionalDecimalSign() {
    // The C locale and its UTF-8 form have a point by definition; the usual
    // setting of a build machine or a service should not pay for loading them.
    const std::string_view name = numericLocaleName();
    if (name == "C" || name == "POSIX" || name.substr(0, 2) == "C.") return '.';
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
