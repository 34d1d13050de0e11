#include "os/os.h"

// Windows 10 and later: long paths, GetLocaleInfoEx.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <cwctype>
#include <string_view>
#include <utility>
#include <vector>

#include "os/command_line.h"
#include "os/wide_text.h"

namespace varidac::os {
namespace {

// Errors that have no errno value of their own travel as this base plus
// the Windows error code, so that the message can give the system's words.
constexpr int kWindowsErrorBase = 0x20000;

int errnoFor(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
        case ERROR_DIRECTORY:
            return ENOENT;
        case ERROR_ACCESS_DENIED:
        case ERROR_PRIVILEGE_NOT_HELD:
            return EACCES;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_USER_MAPPED_FILE:
            return kFileInUse;
        case ERROR_WRITE_PROTECT:
            return EROFS;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return ENOSPC;
        case ERROR_FILE_TOO_LARGE:
            return EFBIG;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return EEXIST;
        default:
            return kWindowsErrorBase + static_cast<int>(error);
    }
}

void setErrno(DWORD error) { errno = errnoFor(error); }

std::FILE* streamFor(HANDLE handle, int flags, const char* mode) {
    if (handle == INVALID_HANDLE_VALUE) {
        setErrno(GetLastError());
        return nullptr;
    }
    int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), flags);
    if (fd < 0) {
        CloseHandle(handle);
        return nullptr;
    }
    std::FILE* file = _fdopen(fd, mode);
    if (!file) _close(fd);
    return file;
}

// The interrupt plan, ready for the console's handler thread. That thread
// runs beside the writer rather than stopping it, so the writer's renames,
// copies and creations hold this lock shared and the handler takes it for
// good: a step of the writer is either done before the plan is carried out
// or never done.
SRWLOCK planLock = SRWLOCK_INIT;
std::vector<std::pair<std::wstring, std::wstring>> planRenames;
std::vector<std::wstring> planRemovals;

class WriterStep {
public:
    WriterStep() { AcquireSRWLockShared(&planLock); }
    ~WriterStep() { ReleaseSRWLockShared(&planLock); }
    WriterStep(const WriterStep&) = delete;
    WriterStep& operator=(const WriterStep&) = delete;
};

BOOL WINAPI carryOutPlan(DWORD event) {
    switch (event) {
        case CTRL_C_EVENT:
        case CTRL_BREAK_EVENT:
        case CTRL_CLOSE_EVENT:
        case CTRL_LOGOFF_EVENT:
        case CTRL_SHUTDOWN_EVENT:
            break;
        default:
            return FALSE;
    }
    // Never released: the process ends once the default handler has run.
    AcquireSRWLockExclusive(&planLock);
    for (const auto& [from, to] : planRenames) MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    for (const auto& path : planRemovals) DeleteFileW(path.c_str());
    return FALSE;
}

class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    ~Handle() {
        if (valid()) CloseHandle(handle_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

std::wstring fullPath(const std::wstring& path) {
    DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0) return path;
    std::wstring full(size, L'\0');
    DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
    full.resize(length < size ? length : 0);
    return full;
}

bool startsWith(const std::wstring& text, std::wstring_view prefix) { return text.compare(0, prefix.size(), prefix) == 0; }

// Whether a full path leads into the device namespace (\\.\NUL, \\.\COM1,
// \\.\pipe\x) rather than to a drive, a share or a volume's folders.
bool isDeviceNamespace(const std::wstring& full) {
    if (!startsWith(full, L"\\\\.\\") && !startsWith(full, L"\\\\?\\")) return false;
    const std::wstring rest = full.substr(4);
    auto isSeparator = [](wchar_t c) { return c == L'\\' || c == L'/'; };
    const bool drivePath = rest.size() >= 3 && iswalpha(rest[0]) && rest[1] == L':' && isSeparator(rest[2]);
    const bool share = rest.size() >= 4 && CompareStringOrdinal(rest.c_str(), 4, L"UNC\\", 4, TRUE) == CSTR_EQUAL;
    const bool volume = startsWith(rest, L"Volume{") && rest.find(L'\\') != std::wstring::npos;
    return !drivePath && !share && !volume;
}

// Symbolic links and junctions; other reparse points (files kept in the
// cloud, deduplicated files) are ordinary files and folders to the user.
bool isLinkTag(DWORD tag) { return tag == IO_REPARSE_TAG_SYMLINK || tag == IO_REPARSE_TAG_MOUNT_POINT; }

std::uint64_t mixed(std::uint64_t x) {
    x ^= x >> 30;
    x *= 0xbf58476d1ce4e5b9ULL;
    x ^= x >> 27;
    x *= 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

}  // namespace

std::string errorText(int error) {
    if (error == kFileInUse) return "The file is in use by another program";
    if (error < kWindowsErrorBase) return std::strerror(error);
    wchar_t* text = nullptr;
    DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, static_cast<DWORD>(error - kWindowsErrorBase), 0,
                                  reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string words = length ? utf8(std::wstring_view(text, length)) : "Windows error " + std::to_string(error - kWindowsErrorBase);
    if (text) LocalFree(text);
    // The system ends its sentences with a period and a line end; a message line has neither.
    while (!words.empty() && (words.back() == '\n' || words.back() == '\r' || words.back() == ' ' || words.back() == '.')) {
        words.pop_back();
    }
    return words;
}

std::FILE* openForReading(const std::string& path) {
    std::wstring name = wide(path);
    HANDLE handle = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    std::FILE* file = streamFor(handle, _O_RDONLY, "rb");
    // The system says only "access denied" for a folder.
    if (!file && errno == EACCES) {
        DWORD attributes = GetFileAttributesW(name.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) errno = EISDIR;
    }
    return file;
}

// Shared deletion lets an interrupt's plan remove the file while it is still open.
std::FILE* createNew(const std::string& path) {
    const std::wstring name = wide(path);
    WriterStep step;
    HANDLE handle = CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    return streamFor(handle, 0, "wb");
}

int writeDurably(std::FILE* file, const std::string& bytes) {
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) return -1;
    if (std::fflush(file) != 0) return -1;
    if (!FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file))))) {
        setErrno(GetLastError());
        return -1;
    }
    return 0;
}

// rename() and _wrename() never replace an existing file here.
int replaceFile(const std::string& from, const std::string& to) {
    const std::wstring source = wide(from), target = wide(to);
    // Windows refuses to replace a file marked read-only, and so does this,
    // wherever it runs: Wine replaces it.
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        errno = EACCES;
        return -1;
    }
    DWORD error = 0;
    {
        WriterStep step;
        if (MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return 0;
        error = GetLastError();
    }
    // The system says "access denied" alike for a target that another
    // program holds open and one the user may not change; the user needs to
    // know which.
    if (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION) {
        if (int why = whyNotReplaceable(to)) {
            errno = why;
            return -1;
        }
    }
    errno = errnoFor(error);
    return -1;
}

int keepEarlierFile(const std::string& path, const std::string& backup) {
    const std::wstring source = wide(path), copy = wide(backup);
    WriterStep step;
    if (CopyFileW(source.c_str(), copy.c_str(), TRUE)) return 0;
    setErrno(GetLastError());
    return -1;
}

int whyNotReplaceable(const std::string& path) {
    std::wstring target = wide(path);
    DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return 0;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return EISDIR;
    if (attributes & FILE_ATTRIBUTE_READONLY) return EACCES;
    // Opened by nobody else, however they share it: a holder that lets others
    // delete still keeps the file from being replaced (only a system with
    // POSIX rename semantics would replace it, and then the holder would
    // go on with the earlier file). Sharing nothing, this open fails while
    // anyone else has the file open to read, write or delete it; a handle
    // that only reads its attributes, as a folder window's does, is no
    // holder. Denied access is the rename's to report: the folder may
    // still allow it.
    HANDLE probe = CreateFileW(target.c_str(), DELETE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (probe == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ? kFileInUse : 0;
    }
    CloseHandle(probe);
    return 0;
}

FileKind fileKind(const std::string& path) {
    const std::wstring name = wide(path);
    const std::wstring full = fullPath(name);
    if (isDeviceNamespace(full)) {
        // The system turns a reserved name (NUL, CON, COM1, ...) in any folder into a device's.
        if (!isDeviceNamespace(name)) return FileKind::Other;
        HANDLE device = CreateFileW(full.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (device == INVALID_HANDLE_VALUE) {
            setErrno(GetLastError());
            return FileKind::Missing;
        }
        CloseHandle(device);
        return FileKind::Other;
    }
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        setErrno(GetLastError());
        return FileKind::Missing;
    }
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW(name.c_str(), &found);
        // A reparse point whose kind cannot be read is taken for a link.
        if (search == INVALID_HANDLE_VALUE) return FileKind::Link;
        FindClose(search);
        if (isLinkTag(found.dwReserved0)) return FileKind::Link;
    }
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? FileKind::Directory : FileKind::Regular;
}

std::optional<FileIdentity> fileIdentity(const std::string& path) {
    Handle file(CreateFileW(wide(path).c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.valid()) {
        setErrno(GetLastError());
        return std::nullopt;
    }
    if (GetFileType(file.get()) != FILE_TYPE_DISK) {
        errno = ENODEV;
        return std::nullopt;
    }
    // The 128-bit identity where the file system has one (ReFS needs all of
    // it); NTFS's fits in its lower half.
    FILE_ID_INFO id;
    if (GetFileInformationByHandleEx(file.get(), FileIdInfo, &id, sizeof id)) {
        std::uint64_t low = 0, high = 0;
        std::memcpy(&low, id.FileId.Identifier, sizeof low);
        std::memcpy(&high, id.FileId.Identifier + sizeof low, sizeof high);
        return FileIdentity{id.VolumeSerialNumber, high == 0 ? low : low ^ mixed(high)};
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file.get(), &info)) {
        setErrno(GetLastError());
        return std::nullopt;
    }
    return FileIdentity{info.dwVolumeSerialNumber, (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

bool sameEntryName(const std::string& a, const std::string& b) {
    const std::wstring wa = wide(a), wb = wide(b);
    return CompareStringOrdinal(wa.c_str(), static_cast<int>(wa.size()), wb.c_str(), static_cast<int>(wb.size()), TRUE) == CSTR_EQUAL;
}

// A named mutex per folder identity: the system gives it up when its holder
// ends, however it ends (the next waiter sees it abandoned), and a folder,
// unlike a file, cannot be locked itself. It belongs to the thread that
// took it, so unlockFolder must be called on that thread.
std::intptr_t lockFolder(const std::string& folder) {
    std::optional<FileIdentity> identity = fileIdentity(folder);
    if (!identity) return -1;
    std::wstring name = L"Local\\varidac";
    for (std::uint64_t part : {identity->volume, identity->file}) {
        name += L'-';
        for (int shift = 60; shift >= 0; shift -= 4) name += L"0123456789abcdef"[(part >> shift) & 0xf];
    }
    HANDLE mutex = CreateMutexW(nullptr, FALSE, name.c_str());
    if (!mutex) {
        setErrno(GetLastError());
        return -1;
    }
    const DWORD waited = WaitForSingleObject(mutex, INFINITE);
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
        setErrno(GetLastError());
        CloseHandle(mutex);
        return -1;
    }
    return reinterpret_cast<std::intptr_t>(mutex);
}

void unlockFolder(std::intptr_t handle) {
    if (handle < 0) return;
    HANDLE mutex = reinterpret_cast<HANDLE>(handle);
    ReleaseMutex(mutex);
    CloseHandle(mutex);
}

void setInterruptPlan(const InterruptPlan& plan) {
    std::vector<std::pair<std::wstring, std::wstring>> renames;
    for (const auto& [from, to] : plan.renames) renames.emplace_back(wide(from), wide(to));
    std::vector<std::wstring> removals;
    for (const auto& path : plan.removals) removals.push_back(wide(path));
    AcquireSRWLockExclusive(&planLock);
    planRenames.swap(renames);
    planRemovals.swap(removals);
    ReleaseSRWLockExclusive(&planLock);
}

// Ctrl+C, Ctrl+Break, a closed console, log-off and shutdown; the handler
// returns FALSE, so the default one still ends the process. A file-size
// limit does not exist here.
void prepareForInterrupts() {
    static const bool installed = SetConsoleCtrlHandler(carryOutPlan, TRUE);
    (void)installed;
}

bool isHidden(const std::string& path) {
    DWORD attributes = GetFileAttributesW(wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
}

char regionalDecimalSign() {
    wchar_t sign[8] = {};
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, sign, 8) == 2 && sign[0] > 0x20 && sign[0] < 0x7f) {
        return static_cast<char>(sign[0]);
    }
    return '.';
}

std::string programFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    std::size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? std::string() : utf8(path.substr(0, separator));
}

std::string currentFolder() {
    DWORD size = GetCurrentDirectoryW(0, nullptr);
    std::wstring path(size, L'\0');
    DWORD length = GetCurrentDirectoryW(size, path.data());
    path.resize(length < size ? length : 0);
    return utf8(path);
}

// The narrow argv holds the ANSI code page's guess at each argument.
std::vector<std::string> arguments(int, char**) {
    std::vector<std::string> args;
    for (const std::wstring& arg : commandLineArguments(GetCommandLineW())) args.push_back(utf8(arg));
    return args;
}

namespace {

// What a text-mode stream writes: each "\n" as CR LF, as Windows programs
// read text.
std::string withCrLf(std::string_view text) {
    std::string lines;
    lines.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n') lines += '\r';
        lines += c;
    }
    return lines;
}

int writeBytes(HANDLE handle, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD wrote = 0;
        const DWORD part = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1 << 20));
        if (!WriteFile(handle, bytes.data(), part, &wrote, nullptr)) {
            setErrno(GetLastError());
            return -1;
        }
        if (wrote == 0) {
            errno = EIO;
            return -1;
        }
        bytes.remove_prefix(wrote);
    }
    return 0;
}

// In pieces that older consoles take in one call, never splitting a
// character that needs two UTF-16 units.
int writeConsole(HANDLE handle, std::wstring_view text) {
    constexpr std::size_t kPiece = 4096;
    while (!text.empty()) {
        std::size_t part = std::min(text.size(), kPiece);
        if (part < text.size() && IS_HIGH_SURROGATE(text[part - 1])) --part;
        DWORD wrote = 0;
        if (!WriteConsoleW(handle, text.data(), static_cast<DWORD>(part), &wrote, nullptr)) {
            setErrno(GetLastError());
            return -1;
        }
        if (wrote == 0) {
            errno = EIO;
            return -1;
        }
        text.remove_prefix(wrote);
    }
    return 0;
}

}  // namespace

// A console takes bytes as text of its own code page (437 or 850 in most
// places), which shows UTF-8 "\xC3\xA4" as two wrong characters; changing
// the console's code page would change it for whatever runs there next.
// UTF-16 shows as it is. A file or a pipe gets UTF-8, which is what a
// program reading it can take for the whole of Unicode.
int writeStandard(StandardStream stream, std::string_view text) {
    HANDLE handle = GetStdHandle(stream == StandardStream::Output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) {
        errno = EBADF;
        return -1;
    }
    const std::string lines = withCrLf(text);
    DWORD mode = 0;
    if (GetConsoleMode(handle, &mode)) return writeConsole(handle, wide(lines));
    return writeBytes(handle, lines);
}

// The system's folder only: the program's own folder comes first in the
// usual order, and a folder a program was unpacked to (Downloads) often
// holds whatever else was downloaded.
void loadLibrariesFromSystemOnly() { SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32); }

}  // namespace varidac::os
