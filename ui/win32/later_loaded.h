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
template <typename Function>
Function laterLoaded(const wchar_t* library, const char* name) {
    HMODULE module = LoadLibraryW(library);
    FARPROC found = module ? GetProcAddress(module, name) : nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

}  // namespace varidac::win32
