#include "ui/win32/curve_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <cmath>
#include <string>
#include <utility>

#include "ui/drawing_fit.h"
#include "ui/form_layout.h"
#include "ui/hover_tip.h"
#include "ui/window_placement.h"
#include "ui/win32/drawing_gdi.h"
#include "os/wide_text.h"
#include "ui/win32/window_thunk.h"

namespace varidac::win32 {

using os::utf8;
using os::wide;
namespace {

constexpr wchar_t kWindowClass[] = L"VaridacCurveWindow";

PixelRect pixelRect(const RECT& r) { return PixelRect{r.left, r.top, r.right - r.left, r.bottom - r.top}; }

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
    windowClass.lpfnWndProc = forwardToOwner<CurveWindow>;
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
    const PixelPoint at = placeBeside(pixelRect(main), size.cx, pixelRect(room));
    // Owned by the main window: above it, minimized and closed with it.
    window_ = CreateWindowExW(0, kWindowClass, wide(kCurveWindowTitle).c_str(), WS_OVERLAPPEDWINDOW, at.x, at.y, size.cx,
                              size.cy, owner, nullptr, instance, this);
    addTip();
    ShowWindow(window_, SW_SHOWNORMAL);
    SetForegroundWindow(window_);
}

void CurveWindow::closeFromProgram() {
    if (window_) DestroyWindow(window_);
}

// One tool for the whole window, placed by hand: the tip follows the point
// under the mouse rather than a fixed rectangle.
TOOLINFOW CurveWindow::tool(wchar_t* text) const {
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
    tool.hwnd = window_;
    tool.lpszText = text;
    return tool;
}

void CurveWindow::addTip() {
    tip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr, GetModuleHandleW(nullptr), nullptr);
    wchar_t none[] = L"";
    TOOLINFOW added = tool(none);
    SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&added));
}

void CurveWindow::followMouse(POINT at) {
    RECT client;
    GetClientRect(window_, &client);
    const DrawingFit fit = fitDrawing(drawing_, DeviceRect{0, 0, double(client.right), double(client.bottom)});
    const std::string text = hoverTip(drawing_, fit, Point{double(at.x), double(at.y)});
    if (text.empty()) {
        hideTip();
        return;
    }
    std::wstring shown = wide(text);
    TOOLINFOW changed = tool(shown.data());
    SendMessageW(tip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&changed));
    // Below and right of the pointer, where it does not cover the point.
    POINT screen{at.x + 12, at.y + 18};
    ClientToScreen(window_, &screen);
    SendMessageW(tip_, TTM_TRACKPOSITION, 0, MAKELPARAM(screen.x, screen.y));
    SendMessageW(tip_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&changed));
    // To hear when the pointer leaves the window, and hide the tip then.
    TRACKMOUSEEVENT leave{sizeof leave, TME_LEAVE, window_, 0};
    TrackMouseEvent(&leave);
}

void CurveWindow::hideTip() {
    TOOLINFOW hidden = tool(nullptr);
    SendMessageW(tip_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&hidden));
}

LRESULT CurveWindow::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCCREATE:
            window_ = window;
            return DefWindowProcW(window, message, wParam, lParam);
        case WM_MOUSEMOVE:
            followMouse(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            return 0;
        case WM_MOUSELEAVE:
            hideTip();
            return 0;
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
            tip_ = nullptr;
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace varidac::win32
