#include "os/os.h"

// Windows 10 and later: long paths, GetLocaleInfoEx.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

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

UINT savedConsoleCodePage = 0;

void restoreConsoleCodePage() { SetConsoleOutputCP(savedConsoleCodePage); }

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

std::FILE* createNew(const std::string& path) {
    HANDLE handle = CreateFileW(wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
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
    if (MoveFileExW(wide(from).c_str(), wide(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return 0;
    DWORD error = GetLastError();
    // The system says only "access denied" for a target that is read-only or held open.
    int why = error == ERROR_ACCESS_DENIED ? whyNotReplaceable(to) : 0;
    errno = why != 0 ? why : errnoFor(error);
    return -1;
}

int keepEarlierFile(const std::string& path, const std::string& backup) {
    if (CopyFileW(wide(path).c_str(), wide(backup).c_str(), TRUE)) return 0;
    setErrno(GetLastError());
    return -1;
}

int whyNotReplaceable(const std::string& path) {
    std::wstring target = wide(path);
    DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return 0;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return EISDIR;
    if (attributes & FILE_ATTRIBUTE_READONLY) return EACCES;
    // Replacing needs the right to delete, which a holder that shares only reading withholds.
    HANDLE probe = CreateFileW(target.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (probe == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_SHARING_VIOLATION ? kFileInUse : 0;
    CloseHandle(probe);
    return 0;
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

void useUtf8Console() {
    UINT current = GetConsoleOutputCP();
    if (current == 0 || current == CP_UTF8) return;
    savedConsoleCodePage = current;
    SetConsoleOutputCP(CP_UTF8);
    std::atexit(restoreConsoleCodePage);
}

}  // namespace varidac::os
