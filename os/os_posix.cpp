#include "os/os.h"
#include "os/posix_write.h"

#include <fcntl.h>
#include <langinfo.h>
#include <locale.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string_view>
#include <system_error>

namespace varidac::os {

#ifndef __EMSCRIPTEN__  // os_web.cpp: Emscripten's C library words some errors differently
std::string errorText(int error) {
    if (error == kFileInUse) return "The file is in use by another program";
    return std::strerror(error);
}
#endif

#ifndef __EMSCRIPTEN__  // os_web.cpp: Emscripten's files for node cut long names short, sync nothing
                        // and take no links, and the page hears of each file put in place
std::FILE* openForReading(const std::string& path) { return std::fopen(path.c_str(), "rb"); }

std::FILE* createNew(const std::string& path) { return std::fopen(path.c_str(), "wbx"); }

int writeDurably(std::FILE* file, const std::string& bytes) {
    // Straight to the file: the stream's buffer would only split the bytes
    // into more system calls and copy them once more.
    if (std::fflush(file) != 0) return -1;
    const int fd = fileno(file);
    if (writeAllBytes(fd, bytes) != 0) return -1;
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
#endif

// A rename over a file needs only the folder's permission, and the rename
// itself reports that.
int whyNotReplaceable(const std::string&) { return 0; }

FileKind fileKind(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) return FileKind::Missing;
    if (S_ISREG(info.st_mode)) return FileKind::Regular;
    if (S_ISDIR(info.st_mode)) return FileKind::Directory;
    if (S_ISLNK(info.st_mode)) return FileKind::Link;
    return FileKind::Other;
}

std::optional<FileIdentity> fileIdentity(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return std::nullopt;
    return FileIdentity{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

bool sameEntryName(const std::string& a, const std::string& b) { return a == b; }

#ifndef __EMSCRIPTEN__  // os_web.cpp: Emscripten's flock succeeds without locking
// flock on the folder itself: nothing is left behind, and the kernel lets go
// of the lock with the process's last descriptor, however it ends.
std::intptr_t lockFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return -1;
    while (::flock(fd, LOCK_EX) != 0) {
        if (errno != EINTR) {
            const int error = errno;
            ::close(fd);
            errno = error;
            return -1;
        }
    }
    return fd;
}

void unlockFolder(std::intptr_t handle) {
    if (handle >= 0) ::close(static_cast<int>(handle));
}
#endif

#ifndef __EMSCRIPTEN__  // os_web.cpp: no signal reaches a handler in the middle of a run
namespace {

// The plan as the signal handler reads it: C strings made beforehand, since
// a handler may not allocate.
struct CPlan {
    std::vector<std::string> storage;
    std::vector<const char*> renames;  // from, to, from, to, ...
    std::vector<const char*> removals;
};

std::atomic<CPlan*> currentPlan{nullptr};
constexpr int kInterrupts[] = {SIGINT, SIGTERM, SIGHUP};

void carryOutPlan(int signal) {
    if (const CPlan* plan = currentPlan.load()) {
        for (std::size_t i = 0; i + 1 < plan->renames.size(); i += 2) ::rename(plan->renames[i], plan->renames[i + 1]);
        for (const char* path : plan->removals) ::unlink(path);
    }
    // Then end as the signal would have ended the process, so that a shell
    // or a parent sees the usual status.
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

// Plans replaced during a write. A handler running on another thread may
// still be reading one, so they are freed only when the next write sets its
// first plan, long after any such handler has ended the process.
std::vector<std::unique_ptr<CPlan>>& retiredPlans() {
    static std::vector<std::unique_ptr<CPlan>> retired;
    return retired;
}

}  // namespace

void setInterruptPlan(const InterruptPlan& plan) {
    CPlan* next = nullptr;
    if (!plan.renames.empty() || !plan.removals.empty()) {
        next = new CPlan;
        next->storage.reserve(plan.renames.size() * 2 + plan.removals.size());
        for (const auto& [from, to] : plan.renames) {
            next->storage.push_back(from);
            next->storage.push_back(to);
        }
        for (const auto& path : plan.removals) next->storage.push_back(path);
        const std::size_t renamePaths = plan.renames.size() * 2;
        for (std::size_t i = 0; i < next->storage.size(); ++i) {
            (i < renamePaths ? next->renames : next->removals).push_back(next->storage[i].c_str());
        }
    }
    CPlan* previous = currentPlan.exchange(next);
    if (previous != nullptr) {
        retiredPlans().emplace_back(previous);
    } else if (next != nullptr) {
        retiredPlans().clear();
    }
}

void prepareForInterrupts() {
    static const bool prepared = [] {
        // A file-size limit then fails the write with EFBIG, which the run
        // reports, instead of ending the process without a word.
        ::signal(SIGXFSZ, SIG_IGN);
        for (int s : kInterrupts) {
            struct sigaction action {};
            // A signal ignored by whoever started us (nohup) stays ignored.
            if (::sigaction(s, nullptr, &action) == 0 && action.sa_handler == SIG_IGN) continue;
            action = {};
            action.sa_handler = carryOutPlan;
            sigemptyset(&action.sa_mask);
            for (int other : kInterrupts) sigaddset(&action.sa_mask, other);
            ::sigaction(s, &action, nullptr);
        }
        return true;
    }();
    (void)prepared;
}
#endif

bool isHidden(const std::string& path) {
    std::string name = std::filesystem::path(path).filename().string();
    return !name.empty() && name[0] == '.';
}

#ifndef __EMSCRIPTEN__  // os_web.cpp: no locales but "C", and no /proc
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
#endif

std::string currentFolder() {
    std::error_code ec;
    return std::filesystem::current_path(ec).string();
}

std::vector<std::string> arguments(int argc, char** argv) { return std::vector<std::string>(argv + 1, argv + argc); }

int writeStandard(StandardStream stream, std::string_view text) {
    const int fd = stream == StandardStream::Output ? STDOUT_FILENO : STDERR_FILENO;
    while (!text.empty()) {
        const ssize_t wrote = ::write(fd, text.data(), text.size());
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) {
            if (wrote == 0) errno = EIO;
            return -1;
        }
        text.remove_prefix(static_cast<std::size_t>(wrote));
    }
    return 0;
}

void loadLibrariesFromSystemOnly() {}

}  // namespace varidac::os
