#include "tests/windows/windows_support.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "os/os.h"
#include "util/file_names.h"

namespace varidac::windows {
namespace {

// One argument as the C runtime's command-line parser reads it back.
std::wstring quoted(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) return arg;
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, L'\\');
    return out + L"\"";
}

// An inheritable handle to a new temporary file, for a child's output.
HANDLE captureFile(const std::wstring& path) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot create a capture file");
    return file;
}

}  // namespace

HeldFile::HeldFile(const std::string& path, DWORD access, DWORD share)
    : handle_(CreateFileW(wide(path).c_str(), access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {}

HeldFile::~HeldFile() {
    if (held()) CloseHandle(handle_);
}

void setReadOnly(const std::string& path, bool on) {
    DWORD attributes = GetFileAttributesW(wide(path).c_str());
    attributes = on ? (attributes | FILE_ATTRIBUTE_READONLY) : (attributes & ~FILE_ATTRIBUTE_READONLY);
    SetFileAttributesW(wide(path).c_str(), attributes);
}

namespace {

constexpr const wchar_t* kInternational = L"Control Panel\\International";

void setDecimalSign(const std::wstring& sign) {
    RegSetKeyValueW(HKEY_CURRENT_USER, kInternational, L"sDecimal", REG_SZ, sign.c_str(),
                    static_cast<DWORD>((sign.size() + 1) * sizeof(wchar_t)));
}

}  // namespace

UserDecimalSign::UserDecimalSign(const std::wstring& sign) {
    wchar_t saved[16] = {};
    DWORD size = sizeof saved;
    if (RegGetValueW(HKEY_CURRENT_USER, kInternational, L"sDecimal", RRF_RT_REG_SZ, nullptr, saved, &size) == ERROR_SUCCESS) {
        saved_ = saved;
    }
    setDecimalSign(sign);
}

UserDecimalSign::~UserDecimalSign() { setDecimalSign(saved_.empty() ? L"." : saved_); }

RedirectedInto::RedirectedInto(const std::string& path, const std::string& text) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE childInput = nullptr;
    if (!CreatePipe(&childInput, &input_, &inherit, 0)) return;
    SetHandleInformation(input_, HANDLE_FLAG_INHERIT, 0);
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    const std::wstring cmd = std::wstring(system) + L"\\cmd.exe";
    std::wstring commandLine = quoted(cmd) + L" /c more > " + quoted(wide(path));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = childInput;
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessW(cmd.c_str(), commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                                        &startup, &process);
    CloseHandle(childInput);
    if (!started) return;
    CloseHandle(process.hThread);
    process_ = process.hProcess;
    DWORD wrote = 0;
    WriteFile(input_, text.data(), static_cast<DWORD>(text.size()), &wrote, nullptr);
    // Held once what was sent has arrived in the file (as `more` writes it,
    // with whatever line ends) and the command still runs.
    const std::string firstLine = text.substr(0, text.find_first_of("\r\n"));
    for (int wait = 0; wait < 200 && !held_; ++wait) {
        Sleep(50);
        held_ = readFile(path).value_or("").find(firstLine) != std::string::npos && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
    }
}

RedirectedInto::~RedirectedInto() {
    if (input_ != INVALID_HANDLE_VALUE) CloseHandle(input_);
    if (process_) {
        if (WaitForSingleObject(process_, 10000) != WAIT_OBJECT_0) TerminateProcess(process_, 1);
        CloseHandle(process_);
    }
}

DWORD runCompanionExe(const std::vector<std::string>& args, const std::string& workingFolder, HANDLE out, HANDLE err,
                      DWORD creationFlags) {
    const std::wstring program = wide(joinPath(os::programFolder(), "varidac-fill.exe"));
    std::wstring commandLine = quoted(program);
    for (const auto& arg : args) commandLine += L" " + quoted(wide(arg));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process{};
    BOOL started = CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, creationFlags, nullptr,
                                  wide(workingFolder).c_str(), &startup, &process);
    DWORD status = 0xFFFFFFFF;
    if (started) {
        WaitForSingleObject(process.hProcess, INFINITE);
        GetExitCodeProcess(process.hProcess, &status);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    return status;
}

ExeResult runCompanionExe(const std::vector<std::string>& args, const std::string& workingFolder) {
    static int runs = 0;
    const std::filesystem::path capture = std::filesystem::temp_directory_path() /
        ("varidac-companion-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++runs));
    const std::wstring outPath = capture.wstring() + L".out";
    const std::wstring errPath = capture.wstring() + L".err";
    HANDLE out = captureFile(outPath);
    HANDLE err = captureFile(errPath);
    ExeResult result;
    result.status = runCompanionExe(args, workingFolder, out, err);
    CloseHandle(out);
    CloseHandle(err);
    result.out = readFile(utf8FromPath(std::filesystem::path(outPath))).value_or("");
    result.err = readFile(utf8FromPath(std::filesystem::path(errPath))).value_or("");
    DeleteFileW(outPath.c_str());
    DeleteFileW(errPath.c_str());
    return result;
}

std::set<std::string> namesIn(const std::string& folder) {
    std::set<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(pathFromUtf8(folder), ec)) {
        names.insert(utf8FromPath(entry.path().filename()));
    }
    return names;
}

std::optional<std::string> readFile(const std::string& path) {
    std::ifstream in(pathFromUtf8(path), std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(pathFromUtf8(path), std::ios::binary) << bytes;
}

}  // namespace varidac::windows
