#pragma once
// Every call whose working differs between systems, in one place: the rest
// of the program is standard C++ and calls these. One implementation per
// system: os_posix.cpp and os_windows.cpp (os_web.cpp replaces some of
// os_posix.cpp under Emscripten). Paths and texts are UTF-8.
// A call that fails sets errno (a Windows error is translated to its errno
// value) and returns its failure value.
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace varidac::os {

// The errno value of a file that another program holds open and does not
// let go (Windows' sharing modes); no system's errno has this value.
inline constexpr int kFileInUse = 0x10001;

// The system's own words for an errno value or kFileInUse.
std::string errorText(int error);

// Opens an existing file for reading, in binary mode; nullptr on failure.
std::FILE* openForReading(const std::string& path);

// Creates a new file for writing, in binary mode; never opens an existing
// one (errno EEXIST then). nullptr on failure.
std::FILE* createNew(const std::string& path);

// Writes all bytes, flushes them and has the system put them on the disk.
// 0, or -1 on failure.
int writeDurably(std::FILE* file, const std::string& bytes);

// Puts the file `from` in the place of `to` in one step, replacing a file
// that is there. 0, or -1 on failure (the file `to` is then unchanged).
// In the browser the page then gets `to`, made absolute, through its
// Module.onFileWritten(path) if it has set one.
int replaceFile(const std::string& from, const std::string& to);

// Makes `backup` hold what the file at `path` holds now, so that it can be
// put back. On POSIX systems a second name for the same file (a copy where
// the file system has no links); on Windows a copy, since a second name would share
// the file's read-only attribute and its holders, and could not be removed
// while another program holds the file. 0, or -1 on failure.
int keepEarlierFile(const std::string& path, const std::string& backup);

// 0 when nothing but its folder keeps the file at `path` (if there is one)
// from being replaced; else the errno value that says what does: on Windows
// the read-only attribute (EACCES) or another program holding the file open
// (kFileInUse). Lets a run refuse before it changes anything.
int whyNotReplaceable(const std::string& path);

// What stands at a path, a final symbolic link not followed.
enum class FileKind { Missing, Regular, Directory, Link, Other };  // Other: a device, a pipe, a socket
// Missing also when the path cannot be examined (errno then says why).
FileKind fileKind(const std::string& path);

// What tells one file from every other on the machine, whatever the path
// that names it: device and inode here, volume and file index on Windows.
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t file = 0;
    bool operator==(const FileIdentity&) const = default;
    auto operator<=>(const FileIdentity&) const = default;
};
// Follows links; nullopt (errno set) when nothing can be opened there.
std::optional<FileIdentity> fileIdentity(const std::string& path);

// Whether two names of entries in one folder name the same entry: exactly
// here, regardless of case on Windows.
bool sameEntryName(const std::string& a, const std::string& b);

// Waits until no other process holds the lock of `folder`, then holds it
// until unlockFolder. The system lets it go when the process ends in any
// way, a kill included. A handle (>= 0), or -1 with errno set.
std::intptr_t lockFolder(const std::string& folder);
void unlockFolder(std::intptr_t handle);

// What an interrupt (SIGINT, SIGTERM, SIGHUP; Ctrl+C or a closed console on
// Windows) does before the process ends: the renames, in order, each
// failing harmlessly when its source is gone, then the removals. Each call
// replaces the previous plan; an empty plan does nothing.
struct InterruptPlan {
    std::vector<std::pair<std::string, std::string>> renames;  // from, to
    std::vector<std::string> removals;
};
void setInterruptPlan(const InterruptPlan& plan);

// Installs what carries out the interrupt plan, once per process, and has a
// file-size limit fail the write (EFBIG) rather than end the process.
void prepareForInterrupts();

// Whether a directory entry is hidden from the user: a name starting with
// "." on POSIX systems, the hidden or system attribute on Windows.
bool isHidden(const std::string& path);

// The decimal sign of the user's regional settings, whatever the process's
// C locale is; "." when it cannot be told.
char regionalDecimalSign();

// The folder of the running program's executable, without a final separator.
std::string programFolder();

// The process's current folder.
std::string currentFolder();

// The command-line arguments after the program name, each as UTF-8.
std::vector<std::string> arguments(int argc, char** argv);

// Standard output and standard error.
enum class StandardStream { Output, Error };

// Writes UTF-8 text to standard output or error so that whoever reads it
// sees the characters it holds. On Windows a console window is written in
// UTF-16, whatever its code page, and a file or a pipe gets the UTF-8 bytes
// with each "\n" as CR LF, as a text-mode stream writes it; elsewhere the
// bytes go as they are. Text should end on a whole character: a console
// would show a split one as two wrong ones. 0, or -1 with errno set.
int writeStandard(StandardStream stream, std::string_view text);

// Has every library the process loads by a bare name (its own and those
// the system loads for it) come from the system's folder, never from the
// program's folder or the current one, where anyone could have put a DLL
// of that name. Does nothing where libraries are not looked for that way.
void loadLibrariesFromSystemOnly();

}  // namespace varidac::os
