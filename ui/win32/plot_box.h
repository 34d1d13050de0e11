#pragma once
// A picture box that shows a drawing fitted into it, tips the list point
// under the mouse, and reports the mouse's presses, moves and release in
// the drawing's own coordinates.
#include <windows.h>

#include <functional>

#include "core/drawing.h"

namespace varidac::win32 {

class PlotBox {
public:
    std::function<void(Point)> onMouseDown;
    std::function<void(Point)> onMouseMove;
    std::function<void()> onMouseUp;

    PlotBox() = default;
    PlotBox(const PlotBox&) = delete;
    PlotBox& operator=(const PlotBox&) = delete;

    // Before the first box is made: its window class (kPictureBoxClass).
    static void registerClass();

    // A window of that class made with this object as its creation
    // parameter belongs to it.
    HWND window() const { return window_; }
    const Drawing& drawing() const { return drawing_; }
    void show(Drawing drawing);

private:
    template <typename Owner>
    friend LRESULT CALLBACK forwardToOwner(HWND, UINT, WPARAM, LPARAM);
    LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // The drawing's place in the box, in the box's pixels.
    Point toDrawing(LPARAM at) const;
    void paint(HDC dc) const;
    // The end of a press, reported once however it ended.
    void release();
    void addTip();
    void followMouse(POINT at);
    void hideTip();

    HWND window_ = nullptr;
    HWND tip_ = nullptr;
    Drawing drawing_;
    bool pressed_ = false;
};

}  // namespace varidac::win32
