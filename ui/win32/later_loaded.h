#pragma once
// Functions of system libraries that the window needs only for some
// commands (the open dialog, the shell's dropped files, the user's folder
// and the browser): linked the usual way, each library and all it brings
// with it would be loaded before the window first shows. The shell's alone
// (with shcore and shlwapi) costs the start about a twentieth of its time
// and memory, for what many runs never use.
#include <windows.h>

namespace varidac::win32 {

// `name` from `library`, loaded now if it is not yet; nullptr when either
// is missing. Declared as, say, laterLoaded<decltype(&DragFinish)>(...),
// which keeps the system header's type without linking the function.
// Only the system's own copy of the library, and of those it loads: by a
// bare name the program's folder is searched first, and a program unpacked
// into Downloads would load any DLL of that name lying there.
template <typename Function>
Function laterLoaded(const wchar_t* library, const char* name) {
    HMODULE module = LoadLibraryExW(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    FARPROC found = module ? GetProcAddress(module, name) : nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

}  // namespace varidac::win32
