#pragma once
// Holding files as other programs do, and running the companion as a
// Windows program.
#include <windows.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "os/wide_text.h"

namespace varidac::windows {

using os::wide;

// The file held open the way an EPROM programmer's software holds an image:
// others may read it, nobody may change, replace or delete it. Other
// programs ask for other access and share more.
class HeldFile {
public:
    explicit HeldFile(const std::string& path, DWORD access = GENERIC_READ, DWORD share = FILE_SHARE_READ);
    ~HeldFile();
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;
    bool held() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

void setReadOnly(const std::string& path, bool on);

// The user's decimal sign as Windows keeps it (Region in the Control Panel),
// for the life of this object; then the earlier one again.
class UserDecimalSign {
public:
    explicit UserDecimalSign(const std::wstring& sign);
    ~UserDecimalSign();
    UserDecimalSign(const UserDecimalSign&) = delete;
    UserDecimalSign& operator=(const UserDecimalSign&) = delete;

private:
    std::wstring saved_;
};

// The file as the target of a console redirect, "cmd /c more > FILE", for
// as long as this object lives: cmd opens it to write, sharing reading and
// writing, and `more` goes on writing what it reads into it. The file holds
// the first line of `text`, as `more` copies it, once held() is true.
class RedirectedInto {
public:
    RedirectedInto(const std::string& path, const std::string& text);
    ~RedirectedInto();
    RedirectedInto(const RedirectedInto&) = delete;
    RedirectedInto& operator=(const RedirectedInto&) = delete;
    bool held() const { return held_; }

private:
    HANDLE input_ = INVALID_HANDLE_VALUE;  // `more`'s standard input; closing it ends the command
    HANDLE process_ = nullptr;
    bool held_ = false;
};

struct ExeResult {
    DWORD status = 0xFFFFFFFF;
    std::string out;  // line ends as printed: CR LF in text mode
    std::string err;
};

// Runs varidac-fill.exe from this program's folder with `args` (UTF-8) in
// the folder `workingFolder`.
ExeResult runCompanionExe(const std::vector<std::string>& args, const std::string& workingFolder);

// The same with the standard output and error given (inheritable handles)
// and the process creation flags: by default a console of its own that no
// one sees, 0 for this process's console. The exit status, 0xFFFFFFFF when
// it could not be started.
DWORD runCompanionExe(const std::vector<std::string>& args, const std::string& workingFolder, HANDLE out, HANDLE err,
                      DWORD creationFlags = CREATE_NO_WINDOW);

// Names in the folder, UTF-8.
std::set<std::string> namesIn(const std::string& folder);

std::optional<std::string> readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);

}  // namespace varidac::windows
