#pragma once
// The "Tuning curve" window beside the main window: paints a drawing,
// passes typed characters on, and tells when the user closed it.
#include <windows.h>

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
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    Drawing drawing_;
};

}  // namespace varidac::win32
