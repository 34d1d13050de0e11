#pragma once
// The system's control for each kind of the control tables, and the font
// they all use: both windows build their controls from these.
#include <windows.h>

#include "ui/form_layout.h"

namespace varidac::win32 {

// The window class of the picture boxes; PlotBox registers it.
inline constexpr wchar_t kPictureBoxClass[] = L"VaridacPictureBox";

struct ControlClass {
    const wchar_t* className;
    DWORD style;
    DWORD extendedStyle;
};

ControlClass controlClass(ControlKind kind);

// The table's face at its size, at the display's logical resolution `dpiY`.
HFONT createControlFont(int weight, int dpiY);

// The display's logical resolution: LOGPIXELSX or LOGPIXELSY.
int screenDpi(int index);

}  // namespace varidac::win32
