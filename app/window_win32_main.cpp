// The program on Windows: opens the one window and runs until it is closed.
#include <windows.h>
#include <commctrl.h>

#include "os/os.h"
#include "ui/win32/win32_form.h"
#include "ui/win32/win32_platform.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    varidac::win32::Win32Platform platform;
    varidac::win32::Win32Form form(platform, varidac::os::programFolder());
    platform.setOwner(form.window());
    form.show(showCommand);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (form.handleDialogKeys(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
