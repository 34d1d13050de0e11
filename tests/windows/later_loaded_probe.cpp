// Loads the system libraries that the window loads on demand, from the
// folder it is started in, as the test of planted libraries asks:
//   later_loaded_probe later   as the window does: laterLoaded(), as it is
//   later_loaded_probe start   the programs' start-up, then by bare names
//   later_loaded_probe bare    by bare names alone, as no program of ours
//                              does: shows that this system would take a
//                              planted copy
// Prints each library and whether its function was found; exit status 0
// when every one was.
#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

#include "os/os.h"
#include "ui/win32/later_loaded.h"

namespace {

FARPROC bare(const wchar_t* library, const char* name) {
    HMODULE module = LoadLibraryW(library);
    return module ? GetProcAddress(module, name) : nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    using varidac::win32::laterLoaded;
    const std::string how = argc == 2 ? argv[1] : "";
    bool found[2] = {};
    if (how == "later") {
        found[0] = laterLoaded<decltype(&GetOpenFileNameW)>(L"comdlg32.dll", "GetOpenFileNameW") != nullptr;
        found[1] = laterLoaded<decltype(&ShellExecuteW)>(L"shell32.dll", "ShellExecuteW") != nullptr;
    } else if (how == "start" || how == "bare") {
        if (how == "start") varidac::os::loadLibrariesFromSystemOnly();
        found[0] = bare(L"comdlg32.dll", "GetOpenFileNameW") != nullptr;
        found[1] = bare(L"shell32.dll", "ShellExecuteW") != nullptr;
    } else {
        std::fprintf(stderr, "usage: later_loaded_probe later|start|bare\n");
        return 2;
    }
    std::printf("comdlg32.dll %s\nshell32.dll %s\n", found[0] ? "found" : "missing", found[1] ? "found" : "missing");
    return found[0] && found[1] ? 0 : 1;
}
