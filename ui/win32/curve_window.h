#pragma once
// The "Tuning curve" window beside the main window: paints a drawing with
// its list points' tips, passes typed characters on, and tells when the
// user closed it.
#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <functional>

#include "core/drawing.h"

namespace varidac::win32 {

class CurveWindow {
public:
    std::function<void(int16_t& KeyAscii)> onKey;
    std::function<void()> onClosedByUser;

    ~CurveWindow();

    // Opens the window beside `owner`, or paints the drawing anew when it is open.
    void show(HWND owner, Drawing drawing);
    void closeFromProgram();
    HWND window() const { return window_; }

private:
    template <typename Owner>
    friend LRESULT CALLBACK forwardToOwner(HWND, UINT, WPARAM, LPARAM);
    LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // The list point's tip under the mouse, as on the other systems.
    TOOLINFOW tool(wchar_t* text) const;
    void addTip();
    void followMouse(POINT at);
    void hideTip();

    HWND window_ = nullptr;
    HWND tip_ = nullptr;
    Drawing drawing_;
};

}  // namespace varidac::win32
