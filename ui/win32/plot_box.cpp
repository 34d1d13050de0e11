#include "ui/win32/plot_box.h"

#include <commctrl.h>
#include <windowsx.h>

#include <string>
#include <utility>

#include "os/wide_text.h"
#include "ui/drawing_fit.h"
#include "ui/hover_tip.h"
#include "ui/win32/control_classes.h"
#include "ui/win32/drawing_gdi.h"
#include "ui/win32/window_thunk.h"

namespace varidac::win32 {

namespace {

DrawingFit fitInto(const Drawing& drawing, HWND window) {
    RECT client;
    GetClientRect(window, &client);
    return fitDrawing(drawing, DeviceRect{0, 0, double(client.right), double(client.bottom)});
}

// One tool for the whole box, placed by hand: the tip follows the point
// under the mouse rather than a fixed rectangle.
TOOLINFOW trackingTool(HWND window, wchar_t* text) {
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
    tool.hwnd = window;
    tool.lpszText = text;
    return tool;
}

}  // namespace

void PlotBox::registerClass() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = forwardToOwner<PlotBox>;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kPictureBoxClass;
    RegisterClassExW(&windowClass);
}

void PlotBox::show(Drawing drawing) {
    drawing_ = std::move(drawing);
    if (!window_) return;
    InvalidateRect(window_, nullptr, FALSE);
    // At once, not when the queue is empty: a dragged point follows the mouse.
    UpdateWindow(window_);
}

Point PlotBox::toDrawing(LPARAM at) const {
    const DrawingFit fit = fitInto(drawing_, window_);
    const Point device{double(GET_X_LPARAM(at)), double(GET_Y_LPARAM(at))};
    return fit.scale > 0 ? fit.toDrawing(device) : device;
}

void PlotBox::paint(HDC dc) const {
    // Drawn off screen and copied in one go: a dragged point does not flicker.
    RECT client;
    GetClientRect(window_, &client);
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, client.right, client.bottom);
    HGDIOBJ old = SelectObject(memory, bitmap);
    FillRect(memory, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    paintDrawing(memory, drawing_, client);
    BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
}

void PlotBox::release() {
    if (!pressed_) return;
    pressed_ = false;
    if (onMouseUp) onMouseUp();
}

void PlotBox::addTip() {
    tip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr, GetModuleHandleW(nullptr), nullptr);
    wchar_t none[] = L"";
    TOOLINFOW added = trackingTool(window_, none);
    SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&added));
}

void PlotBox::followMouse(POINT at) {
    const std::string text = hoverTip(drawing_, fitInto(drawing_, window_), Point{double(at.x), double(at.y)});
    if (text.empty()) {
        hideTip();
        return;
    }
    std::wstring shown = os::wide(text);
    TOOLINFOW changed = trackingTool(window_, shown.data());
    SendMessageW(tip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&changed));
    // Below and right of the pointer, where it does not cover the point.
    POINT screen{at.x + 12, at.y + 18};
    ClientToScreen(window_, &screen);
    SendMessageW(tip_, TTM_TRACKPOSITION, 0, MAKELPARAM(screen.x, screen.y));
    SendMessageW(tip_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&changed));
    // To hear when the pointer leaves the box, and hide the tip then.
    TRACKMOUSEEVENT leave{sizeof leave, TME_LEAVE, window_, 0};
    TrackMouseEvent(&leave);
}

void PlotBox::hideTip() {
    TOOLINFOW hidden = trackingTool(window_, nullptr);
    SendMessageW(tip_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&hidden));
}

LRESULT PlotBox::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCCREATE:
            window_ = window;
            return DefWindowProcW(window, message, wParam, lParam);
        case WM_CREATE:
            addTip();
            return 0;
        case WM_LBUTTONDOWN:
            // Held until the button is released, also outside the box.
            SetCapture(window_);
            pressed_ = true;
            if (onMouseDown) onMouseDown(toDrawing(lParam));
            return 0;
        case WM_MOUSEMOVE:
            if (onMouseMove) onMouseMove(toDrawing(lParam));
            followMouse(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            return 0;
        case WM_LBUTTONUP:
            release();
            ReleaseCapture();
            return 0;
        case WM_CAPTURECHANGED:
            // Taken away (a message box opened): the drag ends there.
            release();
            return 0;
        case WM_MOUSELEAVE:
            hideTip();
            return 0;
        case WM_ERASEBKGND:
            return 1;  // painting covers all of it
        case WM_PAINT: {
            PAINTSTRUCT painting;
            HDC dc = BeginPaint(window_, &painting);
            paint(dc);
            EndPaint(window_, &painting);
            return 0;
        }
        case WM_DESTROY:
            window_ = nullptr;
            tip_ = nullptr;
            pressed_ = false;
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace varidac::win32
