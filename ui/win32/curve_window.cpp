#include "ui/win32/curve_window.h"

#include <commctrl.h>

#include <algorithm>
#include <numeric>
#include <span>
#include <string>
#include <utility>

#include "os/wide_text.h"
#include "ui/twips.h"
#include "ui/window_placement.h"
#include "ui/win32/control_classes.h"
#include "ui/win32/edit_text.h"
#include "ui/win32/window_thunk.h"

namespace varidac::win32 {

using os::wide;
namespace {

constexpr DWORD kWindowStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
// The mark of a failed check, in the red the plot gives such a point.
constexpr COLORREF kWarningMarkColour = RGB(kWarningColour.red, kWarningColour.green, kWarningColour.blue);
constexpr wchar_t kWarningMark[] = L"!";

PixelRect pixelRect(const RECT& r) { return PixelRect{r.left, r.top, r.right - r.left, r.bottom - r.top}; }

// The Shift argument of a KeyDown handler, from the keys held now.
int16_t shiftState() {
    int16_t shift = 0;
    if (GetKeyState(VK_SHIFT) < 0) shift |= kShiftMask;
    if (GetKeyState(VK_CONTROL) < 0) shift |= kCtrlMask;
    if (GetKeyState(VK_MENU) < 0) shift |= 4;
    return shift;
}

void registerWindowClass() {
    static bool registered = false;
    if (registered) return;
    registered = true;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = forwardToOwner<CurveWindow>;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = kCurveWindowClass;
    RegisterClassExW(&windowClass);
    PlotBox::registerClass();
}

TOOLINFOW markTool(HWND window, HWND mark, wchar_t* text) {
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window;
    tool.uId = reinterpret_cast<UINT_PTR>(mark);
    tool.lpszText = text;
    return tool;
}

}  // namespace

CurveWindow::~CurveWindow() {
    close();
    DeleteObject(regularFont_);
    DeleteObject(boldFont_);
}

void CurveWindow::open() {
    if (window_) {
        if (IsIconic(window_)) ShowWindow(window_, SW_RESTORE);
        SetForegroundWindow(window_);
        return;
    }
    create();
}

void CurveWindow::close() {
    if (window_) DestroyWindow(window_);
}

void CurveWindow::create() {
    registerWindowClass();
    dpiX_ = screenDpi(LOGPIXELSX);
    dpiY_ = screenDpi(LOGPIXELSY);
    if (!regularFont_) {
        regularFont_ = createControlFont(kFontRegular, dpiY_);
        boldFont_ = createControlFont(kFontBold, dpiY_);
    }
    RECT outer{0, 0, twipsToPixels(kCurveClientWidthTwips, dpiX_), twipsToPixels(kCurveClientHeightTwips, dpiY_)};
    AdjustWindowRectEx(&outer, kWindowStyle, FALSE, 0);
    SIZE size{outer.right - outer.left, outer.bottom - outer.top};
    RECT main{}, room{};
    GetWindowRect(owner_, &main);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &room, 0);
    // At a high resolution the window is wider than the screen's room on
    // either side of the main window (at 144 dpi, wider than a 1024-pixel
    // screen): it takes the larger side whole, its plot narrower, rather
    // than cover the main window; and it ends at the bottom of the room.
    constexpr int kGap = 8;  // as placeBeside leaves between the windows
    const int widest = std::max(room.right - main.right - kGap, main.left - kGap - room.left);
    if (size.cx > widest && widest > 0) size.cx = widest;
    size.cy = std::min<LONG>(size.cy, room.bottom - main.top);
    const PixelPoint at = placeBeside(pixelRect(main), size.cx, pixelRect(room));
    // Owned by the main window: above it, minimized and closed with it.
    CreateWindowExW(0, kCurveWindowClass, wide(title_).c_str(), kWindowStyle, at.x, at.y, size.cx, size.cy, owner_, nullptr,
                    GetModuleHandleW(nullptr), this);
    if (!window_) return;
    buildControls();
    addCheckTips();
    RECT client;
    GetClientRect(window_, &client);
    layOut(client.right, client.bottom);
    for (int point = 0; point < kListPoints; ++point) {
        setPointText(point, texts_[point]);
        setPointCheck(point, checks_[point]);
    }
    ShowWindow(window_, SW_SHOWNORMAL);
    SetForegroundWindow(window_);
}

void CurveWindow::buildControls() {
    std::span<const FormControl> rows = editorControls();
    controls_.assign(rows.size(), nullptr);
    // Made in tab order: the system moves the focus through the controls in
    // the order they were made.
    std::vector<std::size_t> order(rows.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return rows[a].tabIndex < rows[b].tabIndex; });
    std::array<HWND, kListPoints> captions{};
    for (std::size_t i : order) {
        const FormControl& row = rows[i];
        ControlClass kind = controlClass(row.kind);
        const bool mark = row.name == "lblCheck";
        // A mark tells its tip on hover, which a static hears only when it notifies.
        if (mark) kind.style = SS_CENTER | SS_NOTIFY | SS_NOPREFIX;
        HWND control = CreateWindowExW(kind.extendedStyle, kind.className, wide(row.caption).c_str(), WS_CHILD | WS_VISIBLE | kind.style,
                                       twipsToPixels(row.rect.left, dpiX_), twipsToPixels(row.rect.top, dpiY_),
                                       twipsToPixels(row.rect.width, dpiX_), twipsToPixels(row.rect.height, dpiY_), window_,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstCurveControlId + i)), GetModuleHandleW(nullptr),
                                       row.kind == ControlKind::PictureBox ? &plot_ : nullptr);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(row.fontWeight == kFontBold ? boldFont_ : regularFont_), FALSE);
        controls_[i] = control;
        if (row.name == "txtPoint") {
            fields_.at(static_cast<std::size_t>(row.index)) = control;
            SetWindowSubclass(control, fieldProc, static_cast<UINT_PTR>(row.index), reinterpret_cast<DWORD_PTR>(this));
        }
        if (mark) marks_.at(static_cast<std::size_t>(row.index)) = control;
        if (row.name == "lblPoint") captions.at(static_cast<std::size_t>(row.index)) = control;
    }
    // A screen reader names a field after the label just before it among the
    // window's controls: each point's caption goes there. The tab stops keep
    // their order.
    for (std::size_t point = 0; point < captions.size(); ++point) {
        HWND before = GetWindow(fields_[point], GW_HWNDPREV);
        SetWindowPos(captions[point], before ? before : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    // And the name a screen reader announces, where the system offers it.
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].kind != ControlKind::TextBox && rows[i].kind != ControlKind::CommandButton) continue;
        if (!accessibleNames_.give(controls_[i], accessibleNameOf(rows[i]))) break;
    }
    plot_.onMouseDown = [this](Point at) { editor_.Plot_MouseDown(at); };
    plot_.onMouseMove = [this](Point at) { editor_.Plot_MouseMove(at); };
    plot_.onMouseUp = [this] { editor_.Plot_MouseUp(); };
}

void CurveWindow::addCheckTips() {
    checkTips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr, GetModuleHandleW(nullptr), nullptr);
    // A check's tip may name two failures: wrapped rather than one long line.
    SendMessageW(checkTips_, TTM_SETMAXTIPWIDTH, 0, twipsToPixels(4500, dpiX_));
    for (HWND mark : marks_) {
        wchar_t none[] = L"";
        TOOLINFOW tool = markTool(window_, mark, none);
        SendMessageW(checkTips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void CurveWindow::layOut(int clientWidth, int clientHeight) {
    std::span<const FormControl> rows = editorControls();
    if (controls_.size() != rows.size()) return;
    const int grownWidth = clientWidth - twipsToPixels(kCurveClientWidthTwips, dpiX_);
    const int grownHeight = clientHeight - twipsToPixels(kCurveClientHeightTwips, dpiY_);
    HDWP moves = BeginDeferWindowPos(static_cast<int>(rows.size()));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const TwipsRect& r = rows[i].rect;
        int left = twipsToPixels(r.left, dpiX_), width = twipsToPixels(r.width, dpiX_), height = twipsToPixels(r.height, dpiY_);
        if (rows[i].kind == ControlKind::PictureBox) {
            width = std::max(0, width + grownWidth);
            height = std::max(0, height + grownHeight);
        } else {
            left += grownWidth;
        }
        moves = DeferWindowPos(moves, controls_[i], nullptr, left, twipsToPixels(r.top, dpiY_), width, height,
                               SWP_NOZORDER | SWP_NOACTIVATE);
    }
    EndDeferWindowPos(moves);
}

bool CurveWindow::handleDialogKeys(MSG& message) {
    if (!window_ || (message.hwnd != window_ && !IsChild(window_, message.hwnd))) return false;
    if (message.message == WM_KEYDOWN && keyDown(message.hwnd, message.wParam)) return true;
    // The editor may have closed the window.
    return !window_ || IsDialogMessageW(window_, &message) != FALSE;
}

bool CurveWindow::keyDown(HWND target, WPARAM key) {
    auto KeyCode = static_cast<int16_t>(key);
    const int16_t Shift = shiftState();
    if (const int point = pointOf(target); point >= 0) {
        editor_.txtPoint_KeyDown(static_cast<int16_t>(point), KeyCode, Shift);
    } else {
        editor_.CurveWindow_KeyDown(KeyCode, Shift);
    }
    return KeyCode == 0;
}

int CurveWindow::pointOf(HWND field) const {
    const auto found = std::find(fields_.begin(), fields_.end(), field);
    return found == fields_.end() || !field ? -1 : static_cast<int>(found - fields_.begin());
}

LRESULT CALLBACK CurveWindow::fieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR point, DWORD_PTR self) {
    CurveWindow& window = *reinterpret_cast<CurveWindow*>(self);
    ListEditor& editor = window.editor_;
    const auto Index = static_cast<int16_t>(point);
    switch (message) {
        case WM_GETDLGCODE:
            // Enter reaches the field as a character, for its key-press handler,
            // instead of pressing the (absent) default button.
            if (lParam) {
                const MSG* pending = reinterpret_cast<const MSG*>(lParam);
                if (pending->message == WM_KEYDOWN && pending->wParam == VK_RETURN) {
                    return DefSubclassProc(field, message, wParam, lParam) | DLGC_WANTMESSAGE;
                }
            }
            break;
        case WM_KILLFOCUS:
            window.fieldTip_.hide();
            break;
        case WM_CHAR: {
            // The tip of a refused key goes as typing goes on.
            window.fieldTip_.hide();
            auto KeyAscii = static_cast<int16_t>(wParam);
            editor.txtPoint_KeyPress(Index, KeyAscii);
            if (KeyAscii == 0) return 0;
            wParam = static_cast<uint16_t>(KeyAscii);
            break;
        }
        case WM_KEYDOWN:
            // Shift+Insert pastes without a WM_PASTE of its own: made one, it
            // passes the same check as every other paste.
            if (wParam == VK_INSERT && GetKeyState(VK_SHIFT) < 0 && GetKeyState(VK_CONTROL) >= 0) {
                SendMessageW(field, WM_PASTE, 0, 0);
                return 0;
            }
            break;
        case WM_PASTE: {
            std::string text = clipboardText(field);
            if (editor.txtPoint_Paste(Index, text)) {
                SendMessageW(field, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(wide(text).c_str()));
            }
            return 0;
        }
        case WM_NCDESTROY:
            RemoveWindowSubclass(field, fieldProc, point);
            break;
        default:
            break;
    }
    return DefSubclassProc(field, message, wParam, lParam);
}

LRESULT CurveWindow::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCCREATE:
            window_ = window;
            return DefWindowProcW(window, message, wParam, lParam);
        case WM_COMMAND:
            command(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_CTLCOLORSTATIC: {
            HDC dc = reinterpret_cast<HDC>(wParam);
            if (std::find(marks_.begin(), marks_.end(), reinterpret_cast<HWND>(lParam)) == marks_.end()) break;
            SetTextColor(dc, kWarningMarkColour);
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        case WM_CHAR: {
            // Typed while no control has the focus.
            auto KeyAscii = static_cast<int16_t>(wParam);
            editor_.CurveWindow_KeyPress(KeyAscii);
            return 0;
        }
        case WM_ACTIVATE:
            // As a dialog does: the control that had the focus gets it back
            // when the window is active again (after the save dialog, say).
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus && IsChild(window, focus)) lastFocus_ = focus;
            }
            break;
        case WM_SETFOCUS:
            if (lastFocus_ && IsWindow(lastFocus_)) SetFocus(lastFocus_);
            return 0;
        case WM_SIZE:
            if (wParam != SIZE_MINIMIZED) layOut(LOWORD(lParam), HIWORD(lParam));
            return 0;
        case WM_GETMINMAXINFO: {
            // Every field and button stays in sight; the plot keeps about half its width.
            const int plotWidth = twipsToPixels(kEditorColumnLeftTwips, dpiX_);
            RECT least{0, 0, twipsToPixels(kCurveClientWidthTwips, dpiX_) - plotWidth / 2, twipsToPixels(kCurveClientHeightTwips, dpiY_)};
            AdjustWindowRectEx(&least, kWindowStyle, FALSE, 0);
            auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
            limits->ptMinTrackSize = POINT{least.right - least.left, least.bottom - least.top};
            return 0;
        }
        case WM_CLOSE: {
            int16_t Cancel = 0;
            editor_.CurveWindow_QueryUnload(Cancel);
            if (Cancel == 0 && window_) DestroyWindow(window_);
            return 0;
        }
        case WM_DESTROY:
            accessibleNames_.clear();
            // Also when the main window goes, which takes the windows it owns along.
            if (!controls_.empty()) {
                for (int point = 0; point < kListPoints; ++point) texts_[point] = windowText(fields_[point]);
            }
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            window_ = nullptr;
            checkTips_ = nullptr;
            lastFocus_ = nullptr;
            controls_.clear();
            fields_.fill(nullptr);
            marks_.fill(nullptr);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void CurveWindow::command(int id, int notification) {
    if (id == IDCANCEL) {
        int16_t KeyAscii = 27;
        editor_.CurveWindow_KeyPress(KeyAscii);
        return;
    }
    // Enter sends IDOK, since no button is the default: it presses the
    // button that has the focus, and nothing when none has.
    if (id == IDOK) {
        HWND focus = GetFocus();
        if (focus && (SendMessageW(focus, WM_GETDLGCODE, 0, 0) & (DLGC_UNDEFPUSHBUTTON | DLGC_DEFPUSHBUTTON))) SendMessageW(focus, BM_CLICK, 0, 0);
        return;
    }
    std::span<const FormControl> rows = editorControls();
    if (id < kFirstCurveControlId || static_cast<std::size_t>(id - kFirstCurveControlId) >= rows.size()) return;
    const FormControl& row = rows[static_cast<std::size_t>(id - kFirstCurveControlId)];
    if (notification == EN_CHANGE && row.name == "txtPoint" && !settingText_) {
        editor_.txtPoint_Change(static_cast<int16_t>(row.index));
    } else if (notification == BN_CLICKED && row.name == "cmdNew") {
        editor_.cmdNew_Click();
    } else if (notification == BN_CLICKED && row.name == "cmdSave") {
        editor_.cmdSave_Click();
    } else if (notification == BN_CLICKED && row.name == "cmdSaveAs") {
        editor_.cmdSaveAs_Click();
    }
}

void CurveWindow::setTitle(const std::string& title) {
    title_ = title;
    if (window_) SetWindowTextW(window_, wide(title).c_str());
}

void CurveWindow::showDrawing(const Drawing& drawing) { plot_.show(drawing); }

std::string CurveWindow::pointText(int point) const {
    const auto i = static_cast<std::size_t>(point);
    return window_ ? windowText(fields_.at(i)) : texts_.at(i);
}

void CurveWindow::setPointText(int point, const std::string& text) {
    const auto i = static_cast<std::size_t>(point);
    texts_.at(i) = text;
    if (!window_) return;
    settingText_ = true;
    SetWindowTextW(fields_[i], wide(text).c_str());
    settingText_ = false;
}

std::string CurveWindow::pointTextOutsideSelection(int point) const {
    const auto i = static_cast<std::size_t>(point);
    return window_ ? textOutsideSelection(fields_.at(i)) : texts_.at(i);
}

void CurveWindow::givePointFocus(int point) {
    if (!window_) return;
    HWND field = fields_.at(static_cast<std::size_t>(point));
    SetFocus(field);
    // As Tab leaves a field: what is typed next replaces the voltage there.
    SendMessageW(field, EM_SETSEL, 0, -1);
}

void CurveWindow::setPointCheck(int point, const std::string& tip) {
    const auto i = static_cast<std::size_t>(point);
    checks_.at(i) = tip;
    if (!window_) return;
    SetWindowTextW(marks_[i], tip.empty() ? L"" : kWarningMark);
    std::wstring text = wide(tip);
    TOOLINFOW tool = markTool(window_, marks_[i], text.data());
    SendMessageW(checkTips_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void CurveWindow::showPointTip(int point, const std::string& tip) {
    if (window_) fieldTip_.show(fields_.at(static_cast<std::size_t>(point)), tip);
}

}  // namespace varidac::win32
