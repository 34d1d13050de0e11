#include "ui/win32/curve_window.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "ui/form_layout.h"
#include "ui/win32/drawing_gdi.h"
#include "os/wide_text.h"

namespace varidac::win32 {

using os::utf8;
using os::wide;
namespace {

constexpr wchar_t kWindowClass[] = L"VaridacCurveWindow";
constexpr int kGap = 8;

// Beside the main window on the right, on the left where the screen has no
// room on the right.
POINT placeBeside(const RECT& main, SIZE size, const RECT& room) {
    LONG x = main.right + kGap;
    if (x + size.cx > room.right && main.left - kGap - size.cx >= room.left) x = main.left - kGap - size.cx;
    return POINT{std::max(room.left, std::min(x, room.right - size.cx)), main.top};
}

}  // namespace

CurveWindow::~CurveWindow() { closeFromProgram(); }

void CurveWindow::show(HWND owner, Drawing drawing) {
    drawing_ = std::move(drawing);
    if (window_) {
        InvalidateRect(window_, nullptr, TRUE);
        return;
    }
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = kWindowClass;
    RegisterClassExW(&windowClass);

    // 640 x 440 at 96 dpi, as the drawing is laid out.
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    RECT outer{0, 0, std::lround(640.0 * dpi / 96), std::lround(440.0 * dpi / 96)};
    AdjustWindowRectEx(&outer, WS_OVERLAPPEDWINDOW, FALSE, 0);
    SIZE size{outer.right - outer.left, outer.bottom - outer.top};
    RECT main{}, room{};
    GetWindowRect(owner, &main);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &room, 0);
    POINT at = placeBeside(main, size, room);
    // Owned by the main window: above it, minimized and closed with it.
    window_ = CreateWindowExW(0, kWindowClass, wide(kCurveWindowTitle).c_str(), WS_OVERLAPPEDWINDOW, at.x, at.y, size.cx,
                              size.cy, owner, nullptr, instance, this);
    ShowWindow(window_, SW_SHOWNORMAL);
    SetForegroundWindow(window_);
}

void CurveWindow::closeFromProgram() {
    if (window_) DestroyWindow(window_);
}

LRESULT CALLBACK CurveWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<CurveWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<CurveWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    return self->handleMessage(window, message, wParam, lParam);
}

LRESULT CurveWindow::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            RECT client;
            GetClientRect(window, &client);
            paintDrawing(dc, drawing_, client);
            EndPaint(window, &paint);
            return 0;
        }
        case WM_CHAR: {
            auto KeyAscii = static_cast<int16_t>(wParam);
            if (onKey) onKey(KeyAscii);
            return 0;
        }
        case WM_CLOSE:
            // Closed by the user: the form is told before the window goes.
            if (onClosedByUser) onClosedByUser();
            closeFromProgram();
            return 0;
        case WM_DESTROY:
            // Also when the main window goes, which takes the windows it owns along.
            window_ = nullptr;
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace varidac::win32
