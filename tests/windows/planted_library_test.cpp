// A DLL named like a system library and put beside a program is never
// loaded: a program unpacked into Downloads sits beside whatever else was
// downloaded there. What the window loads on demand comes from the
// system's folder only, and so does what is loaded by a bare name once a
// program has started.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "os/os.h"
#include "tests/temp_folder.h"
#include "tests/windows/windows_support.h"
#include "util/file_names.h"

namespace varidac::windows {
namespace {

namespace fs = std::filesystem;

constexpr const char* kPlantedNames[] = {"comdlg32.dll", "shell32.dll"};

// Wine takes its own builtin copy of a system library before any file of
// that name; told to prefer a file, it searches as Windows does and would
// take one beside the program. Told in the registry for the probe alone
// (Wine reads WINEDLLOVERRIDES only from the environment it was started
// with, not from a parent's).
class FilesBeforeBuiltins {
public:
    FilesBeforeBuiltins() {
        for (const char* name : kPlantedNames) {
            const std::wstring library(name, name + std::string(name).size() - 4);
            RegSetKeyValueW(HKEY_CURRENT_USER, kKey, library.c_str(), REG_SZ, L"native,builtin", sizeof L"native,builtin");
        }
    }
    ~FilesBeforeBuiltins() { RegDeleteTreeW(HKEY_CURRENT_USER, kProgram); }
    FilesBeforeBuiltins(const FilesBeforeBuiltins&) = delete;
    FilesBeforeBuiltins& operator=(const FilesBeforeBuiltins&) = delete;

private:
    static constexpr const wchar_t* kProgram = L"Software\\Wine\\AppDefaults\\later_loaded_probe.exe";
    static constexpr const wchar_t* kKey = L"Software\\Wine\\AppDefaults\\later_loaded_probe.exe\\DllOverrides";
};

DWORD runIn(const fs::path& folder, const std::wstring& program, const std::wstring& argument) {
    std::wstring commandLine = L"\"" + program + L"\" " + argument;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        folder.wstring().c_str(), &startup, &process)) {
        return 0xFFFFFFFF;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 0xFFFFFFFF;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return status;
}

TEST(PlantedLibraries, AreNotLoadedOnDemandNorAfterStartUp) {
    const fs::path built = pathFromUtf8(os::programFolder());
    struct Loading {
        const char* how;
        bool plantedLoaded;
        DWORD status;  // 0: the system's functions found
    };
    const Loading loadings[] = {
        {"later", false, 0},
        {"start", false, 0},
        // Loaded by a bare name with nothing done first, the planted copies
        // are taken: the check below can tell.
        {"bare", true, 1},
    };
    FilesBeforeBuiltins preferFiles;
    for (const Loading& loading : loadings) {
        SCOPED_TRACE(loading.how);
        TempFolder folder;
        fs::copy_file(built / "later_loaded_probe.exe", folder.path() / "later_loaded_probe.exe");
        for (const char* name : kPlantedNames) fs::copy_file(built / "planted_library.dll", folder.path() / name);
        const std::wstring how(loading.how, loading.how + std::string(loading.how).size());
        EXPECT_EQ(runIn(folder.path(), (folder.path() / "later_loaded_probe.exe").wstring(), how), loading.status);
        for (const char* name : kPlantedNames) {
            EXPECT_EQ(fs::exists(folder.path() / (std::string(name) + ".loaded")), loading.plantedLoaded) << name;
        }
    }
}

}  // namespace
}  // namespace varidac::windows
