// The program on Windows: opens the one window and runs until it is closed.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "app/window_start.h"
#include "os/os.h"
#include "os/wide_text.h"
#include "ui/win32/win32_form.h"
#include "ui/win32/win32_platform.h"
#include "varidac_version.h"

namespace {

// A program with a window has no console of its own: what it prints goes
// where its output was sent, or else into a box the user can read.
int tell(const std::string& text, bool problem) {
    HANDLE target = GetStdHandle(problem ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    if (target != nullptr && target != INVALID_HANDLE_VALUE) {
        varidac::os::writeStandard(problem ? varidac::os::StandardStream::Error : varidac::os::StandardStream::Output, text);
    } else {
        MessageBoxW(nullptr, varidac::os::wide(text).c_str(), L"Varidac EPROM filler",
                    MB_OK | (problem ? MB_ICONERROR : MB_ICONINFORMATION));
    }
    return problem ? 2 : 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand) {
    // Before anything loads a library: the open dialog's and the shell's,
    // and whatever they load in turn, only from the system's folder.
    varidac::os::loadLibrariesFromSystemOnly();

    const varidac::WindowStart start = varidac::windowStart(varidac::os::arguments(0, nullptr), true);
    switch (start.kind) {
        case varidac::WindowStart::Kind::PrintVersion:
            return tell("varidac " VARIDAC_VERSION "\n" VARIDAC_LICENSE_NOTICE, false);
        case varidac::WindowStart::Kind::PrintHelp:
            return tell(varidac::windowUsage(), false);
        case varidac::WindowStart::Kind::WrongUsage:
            return tell("varidac: " + start.problem + "\n" + varidac::windowUsage(), true);
        case varidac::WindowStart::Kind::OpenWindow:
            break;
    }

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    varidac::win32::Win32Platform platform;
    varidac::win32::Win32Form form(platform, varidac::os::programFolder());
    platform.setOwner(form.window());
    form.show(showCommand);
    // A list dropped onto the program, or opened with it: read once the
    // window stands, so that a message about it stands over the window.
    if (!start.lists.empty()) form.form().Form_DragDrop(start.lists);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (form.handleDialogKeys(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
