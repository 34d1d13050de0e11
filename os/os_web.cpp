// What differs under Emscripten from os_posix.cpp, which serves the rest:
// in the browser the files live in the page's memory, under node they are
// the machine's own (NODERAWFS).
#include "os/os.h"
#include "os/posix_write.h"

#include <emscripten.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

// Under node, what fsync would do: Emscripten's own fsync returns at once on
// a file of node's. 0, the errno value of node's failure, or -1 for one
// that has none.
EM_JS(int, varidac_sync_node_file, (int fd), {
    if (!ENVIRONMENT_IS_NODE) return 0;
    try {
        require("fs").fsyncSync(FS.getStream(fd).nfd);
        return 0;
    } catch (e) {
        return (e.code && ERRNO_CODES[e.code]) || -1;
    }
});

// Under node, a second name for a file, as link() makes it; Emscripten's
// own link() fails on every file system. 0, or -1.
EM_JS(int, varidac_link_node_file, (const char* path, const char* link), {
    if (!ENVIRONMENT_IS_NODE) return -1;
    try {
        require("fs").linkSync(UTF8ToString(path), UTF8ToString(link));
        return 0;
    } catch (e) {
        return -1;
    }
});

// The page turns each file the program puts in place into a download. Its
// own failure must not unwind through the program's frames.
EM_JS(void, varidac_tell_page_file_written, (const char* path), {
    if (ENVIRONMENT_IS_NODE || typeof Module["onFileWritten"] != "function") return;
    try {
        Module["onFileWritten"](UTF8ToString(path));
    } catch (e) {
        console.error("onFileWritten: " + e);
    }
});

// Node runs the whole of a run as one task, and hands a signal to a listener
// only between tasks: a listener thus holds SIGINT, SIGTERM and SIGHUP back
// until the run is over, then lets the signal end the process as it would
// have. Without one, node would end the process at once, in the middle of a
// write. The companion's exit leaves node one turn of its loop for this.
EM_JS(void, varidac_hold_node_interrupts, (), {
    if (!ENVIRONMENT_IS_NODE) return;
    ["SIGINT", "SIGTERM", "SIGHUP"].forEach(function(name) {
        process.on(name, function interrupted() {
            process.removeListener(name, interrupted);
            process.kill(process.pid, name);
        });
    });
});

// Node has no call that locks a file, and Emscripten's flock succeeds
// without locking. A name in Linux's abstract socket namespace serves
// instead: one process at a time can bind it, nothing is left on a disk,
// and the kernel frees it when the process ends, however it ends. In the
// browser a page is one process, and its runs never overlap.
EM_JS(void, varidac_lock_node_folder, (int fd), {
    if (!ENVIRONMENT_IS_NODE) return;
    var folder = require("fs").fstatSync(FS.getStream(fd).nfd, {bigint: true});
    var name = String.fromCharCode(0) + "varidac-folder-lock-" + folder.dev + "-" + folder.ino;
    var pause = new Int32Array(new SharedArrayBuffer(4));
    // A failure while no one holds the name has another cause, which
    // binding again will not mend; but the holder may just have let go, so
    // only many such failures in a row count.
    for (var unheld = 0; unheld < 100;) {
        var server = require("net").createServer();
        server.on("error", function() {});
        // It binds at once; only the event of a failure waits for a later turn.
        server.listen({path: name});
        if (server.listening) {
            server.unref();
            (Module["varidacFolderLocks"] = Module["varidacFolderLocks"] || {})[fd] = server;
            return;
        }
        // Node pads the name with NULs, which the list shows as "@".
        var held;
        try {
            var bound = require("fs").readFileSync("/proc/net/unix", "latin1");
            held = bound.includes(" @" + name.slice(1) + "@") || bound.includes(" @" + name.slice(1) + "\n");
        } catch (e) {
            held = false;
        }
        if (held) {
            unheld = 0;
            Atomics.wait(pause, 0, 0, 5);
        } else {
            ++unheld;
        }
    }
    // Then the run goes on unlocked, as in a folder that cannot be read.
});

EM_JS(void, varidac_unlock_node_folder, (int fd), {
    var locks = Module["varidacFolderLocks"];
    if (!locks || !locks[fd]) return;
    locks[fd].close();
    delete locks[fd];
});

// The decimal sign of the user's language, by the rules of the browser's
// number formatting: in the browser the browser's language; under node the
// locale named, "de_DE.UTF-8" for instance. The sign's character code, or 0
// when it cannot be told.
EM_JS(int, varidac_decimal_sign, (const char* locale), {
    var language;
    if (ENVIRONMENT_IS_NODE) {
        var name = UTF8ToString(locale);
        if (name == "C" || name == "POSIX" || name.startsWith("C.")) return 46; // '.'
        // "de_DE.UTF-8" and "de_DE@euro" name the language "de-DE".
        language = name.split(".")[0].split("@")[0].replace("_", "-");
    } else {
        language = navigator.language;
    }
    try {
        // A language the formatting does not know would get its default one.
        if (Intl.NumberFormat.supportedLocalesOf([language]).length == 0) return 0;
        var sign = new Intl.NumberFormat(language).formatToParts(1.5).find(function(part) { return part.type == "decimal"; });
        return sign && sign.value.length == 1 && sign.value.charCodeAt(0) < 128 ? sign.value.charCodeAt(0) : 0;
    } catch (e) {
        return 0;
    }
});

// The program's folder into `buffer`; the bytes it needs with its final NUL.
EM_JS(int, varidac_program_folder, (char* buffer, int size), {
    // The page puts the guide into this folder of its memory.
    // Under node, the folder of the script, which the glue has found.
    var folder = ENVIRONMENT_IS_NODE ? scriptDirectory.slice(0, -1) : "/program";
    stringToUTF8(folder, buffer, size);
    return lengthBytesUTF8(folder) + 1;
});

namespace varidac::os {
namespace {

// The Linux C library's words where Emscripten's differ, for the errors a
// file can meet: the companion under node says what it says on Linux.
struct ErrorWords {
    int error;
    const char* text;
};
constexpr ErrorWords kLinuxWords[] = {
    {EBUSY, "Device or resource busy"},
    {EDQUOT, "Disk quota exceeded"},
    {EILSEQ, "Invalid or incomplete multibyte or wide character"},
    {EIO, "Input/output error"},
    {ELOOP, "Too many levels of symbolic links"},
    {EMFILE, "Too many open files"},
    {ENAMETOOLONG, "File name too long"},
    {ENOMEM, "Cannot allocate memory"},
    {ENOTSUP, "Operation not supported"},
    {ENOTTY, "Inappropriate ioctl for device"},
    {EOVERFLOW, "Value too large for defined data type"},
    {ESPIPE, "Illegal seek"},
    {ETIMEDOUT, "Connection timed out"},
    {EXDEV, "Invalid cross-device link"},
};

// The locale name the numeric category takes, by the same precedence the C
// library gives the variables.
const char* numericLocaleName() {
    for (const char* variable : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && value[0] != '\0') return value;
    }
    return "C";
}

// Emscripten's file system for node cuts each part of a path it opens to
// 255 bytes, and so would open another file than the one named, where
// Linux refuses the name.
std::FILE* openUncut(const std::string& path, const char* mode) {
    std::size_t part = 0;
    for (char c : path) {
        part = c == '/' ? 0 : part + 1;
        if (part > 255) {
            errno = ENAMETOOLONG;
            return nullptr;
        }
    }
    return std::fopen(path.c_str(), mode);
}

}  // namespace

std::string errorText(int error) {
    if (error == kFileInUse) return "The file is in use by another program";
    for (const auto& words : kLinuxWords) {
        if (words.error == error) return words.text;
    }
    return std::strerror(error);
}

std::FILE* openForReading(const std::string& path) { return openUncut(path, "rb"); }

std::FILE* createNew(const std::string& path) { return openUncut(path, "wbx"); }

int writeDurably(std::FILE* file, const std::string& bytes) {
    if (std::fflush(file) != 0) return -1;
    const int fd = fileno(file);
    if (writeAllBytes(fd, bytes) != 0) return -1;
    // The page's memory has no disk to reach.
    if (const int error = varidac_sync_node_file(fd); error != 0 && error != EINVAL) {
        errno = error > 0 ? error : EIO;
        return -1;
    }
    return 0;
}

int replaceFile(const std::string& from, const std::string& to) {
    if (std::rename(from.c_str(), to.c_str()) != 0) return -1;
    const int error = errno;
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(to, ec);
    varidac_tell_page_file_written(ec ? to.c_str() : absolute.lexically_normal().c_str());
    errno = error;
    return 0;
}

namespace {

// A copy as std::filesystem::copy_file makes one (a regular file only, never
// over an existing one, with the same permissions), through the system's
// calls: the C++ library's own copy goes through its streams, and those bring
// its whole locale machinery into the module, which every visitor of the page
// would download and compile. 0, or -1 with errno set; a failed copy leaves
// no part behind.
int copyToNewFile(const std::string& from, const std::string& to) {
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return -1;
    struct stat info {};
    const int unread = ::fstat(in, &info) != 0 ? errno : S_ISREG(info.st_mode) ? 0 : ENOTSUP;
    const int out = unread != 0 ? -1 : ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, info.st_mode & 07777);
    if (out < 0) {
        const int error = unread != 0 ? unread : errno;
        ::close(in);
        errno = error;
        return -1;
    }
    // The mode as the earlier file has it, whatever the umask took away.
    int error = ::fchmod(out, info.st_mode & 07777) == 0 ? 0 : errno;
    std::string block(64 * 1024, '\0');
    while (error == 0) {
        const ssize_t got = ::read(in, block.data(), block.size());
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            if (got < 0) error = errno;
            break;
        }
        if (writeAllBytes(out, block.substr(0, static_cast<std::size_t>(got))) != 0) {
            error = errno;
            break;
        }
    }
    if (::close(out) != 0 && error == 0) error = errno;
    ::close(in);
    if (error == 0) return 0;
    ::unlink(to.c_str());
    errno = error;
    return -1;
}

}  // namespace

int keepEarlierFile(const std::string& path, const std::string& backup) {
    if (varidac_link_node_file(path.c_str(), backup.c_str()) == 0) return 0;
    return copyToNewFile(path, backup);
}

std::intptr_t lockFolder(const std::string& folder) {
    // Opened as on POSIX systems, so that a folder that is not there or
    // cannot be read fails in the same words.
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return -1;
    varidac_lock_node_folder(fd);
    return fd;
}

void unlockFolder(std::intptr_t handle) {
    if (handle < 0) return;
    varidac_unlock_node_folder(static_cast<int>(handle));
    ::close(static_cast<int>(handle));
}

// The plan is never carried out: a signal is held back until the run is
// over (see varidac_hold_node_interrupts), and the browser sends none.
void setInterruptPlan(const InterruptPlan&) {}

void prepareForInterrupts() {
    static const bool prepared = [] {
        varidac_hold_node_interrupts();
        return true;
    }();
    (void)prepared;
}

char regionalDecimalSign() {
    const int sign = varidac_decimal_sign(numericLocaleName());
    return sign != 0 ? static_cast<char>(sign) : '.';
}

std::string programFolder() {
    std::string folder(256, '\0');
    for (;;) {
        const int needed = varidac_program_folder(folder.data(), static_cast<int>(folder.size()));
        if (static_cast<std::size_t>(needed) <= folder.size()) {
            folder.resize(static_cast<std::size_t>(needed) - 1);
            return folder;
        }
        folder.resize(static_cast<std::size_t>(needed));
    }
}

}  // namespace varidac::os
