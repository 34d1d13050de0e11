#include "ui/win32/win32_form.h"

#include <commctrl.h>

#include <map>
#include <optional>
#include <utility>

#include "os/wide_text.h"
#include "ui/about.h"
#include "ui/twips.h"
#include "ui/win32/control_classes.h"
#include "ui/win32/edit_text.h"
#include "ui/win32/later_loaded.h"
#include "ui/win32/window_thunk.h"

namespace varidac::win32 {

using os::utf8;
using os::wide;
namespace {

constexpr wchar_t kWindowClass[] = L"VaridacForm1";
// A fixed single border: title, system menu, minimize and close, no maximize.
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

// Posted to the window once it shows, to add the controls' tips and names.
constexpr UINT kAddToolTipsMessage = WM_APP + 1;

bool takesFocus(ControlKind kind) { return kind != ControlKind::Label && kind != ControlKind::Frame; }

bool overlap(LONG a0, LONG a1, LONG b0, LONG b1) { return a0 < b1 && b0 < a1; }

}  // namespace

Win32Form::Win32Form(Platform& platform, std::string appPath) : platform_(platform), form_(*this, platform, std::move(appPath)) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = forwardToOwner<Win32Form>;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassExW(&windowClass);

    const int dpiX = screenDpi(LOGPIXELSX);
    const int dpiY = screenDpi(LOGPIXELSY);
    RECT outer{0, 0, twipsToPixels(kClientWidthTwips, dpiX), twipsToPixels(kClientHeightTwips, dpiY)};
    AdjustWindowRectEx(&outer, kWindowStyle, FALSE, 0);
    // Accepting files: a list dropped from the file manager is read as one chosen in the dialog.
    window_ = CreateWindowExW(WS_EX_ACCEPTFILES, kWindowClass, wide(kWindowTitle).c_str(), kWindowStyle, CW_USEDEFAULT,
                              CW_USEDEFAULT, outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr, instance, this);
    // "About" in the system menu, below the system's own commands.
    HMENU systemMenu = GetSystemMenu(window_, FALSE);
    AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(systemMenu, MF_STRING, kAboutCommand, wide(kAboutMenuEntry).c_str());
    regularFont_ = createControlFont(kFontRegular, dpiY);
    boldFont_ = createControlFont(kFontBold, dpiY);
    buildControls(dpiX, dpiY);
    curve_.setOwner(window_);
    form_.Form_Load();
}

Win32Form::~Win32Form() {
    if (IsWindow(window_)) DestroyWindow(window_);
    DeleteObject(regularFont_);
    DeleteObject(boldFont_);
}

void Win32Form::buildControls(int dpiX, int dpiY) {
    std::span<const FormControl> rows = formControls();
    std::map<std::string_view, POINT> origins{{kFormName, POINT{0, 0}}};
    controls_.assign(rows.size(), nullptr);
    // A frame's controls sit on the window, placed from the frame's corner
    // (in pixels, as a frame of their own would place them).
    for (const FormControl& row : rows) {
        if (row.kind == ControlKind::Frame) {
            POINT container = origins.at(row.container);
            origins[row.name] = POINT{container.x + twipsToPixels(row.rect.left, dpiX), container.y + twipsToPixels(row.rect.top, dpiY)};
        }
    }
    std::vector<RECT> places(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const POINT origin = origins.at(rows[i].container);
        const TwipsRect& r = rows[i].rect;
        const int left = origin.x + twipsToPixels(r.left, dpiX), top = origin.y + twipsToPixels(r.top, dpiY);
        places[i] = RECT{left, top, left + twipsToPixels(r.width, dpiX), top + twipsToPixels(r.height, dpiY)};
    }
    // The table's label rows reach 15 twips (a pixel or two) into the
    // control below them; a label paints its whole rectangle, over that
    // control's top border. Each label ends where such a control begins:
    // the text, a few pixels shorter than the row, still fits.
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].kind != ControlKind::Label) continue;
        RECT& label = places[i];
        for (std::size_t j = 0; j < rows.size(); ++j) {
            const RECT& other = places[j];
            if (j == i || rows[j].name == rows[i].container) continue;
            if (overlap(label.left, label.right, other.left, other.right) && other.top > label.top && other.top < label.bottom) {
                label.bottom = other.top;
            }
        }
    }
    // Created in tab order: the system moves the focus through the controls
    // in the order they were made. Each field then follows the label whose
    // words start its name, which is where a screen reader looks for a name
    // when the system keeps none (Wine's accessibility service takes none).
    for (ControlId id : tabOrder()) {
        const FormControl& row = rows[id];
        const ControlClass kind = controlClass(row.kind);
        const RECT& place = places[id];
        HWND control = CreateWindowExW(kind.extendedStyle, kind.className, wide(row.caption).c_str(),
                                       WS_CHILD | WS_VISIBLE | kind.style, place.left, place.top, place.right - place.left,
                                       place.bottom - place.top, window_,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + id)),
                                       GetModuleHandleW(nullptr), nullptr);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(row.fontWeight == kFontBold ? boldFont_ : regularFont_), FALSE);
        controls_[id] = control;
        if (auto box = textBoxOf(id)) fields_[static_cast<std::size_t>(*box)] = control;
        if (row.kind == ControlKind::ListBox) list_ = control;
        if (row.kind == ControlKind::OptionButton) options_.at(static_cast<std::size_t>(row.index)) = control;
        if (handles(id, ControlEvent::KeyPress) || handles(id, ControlEvent::DblClick)) {
            SetWindowSubclass(control, keyProc, id, reinterpret_cast<DWORD_PTR>(this));
        }
    }
    // A frame is drawn beneath the controls it holds.
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].kind == ControlKind::Frame) SetWindowPos(controls_[i], HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
}

void Win32Form::addToolTips() {
    HWND tips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr, GetModuleHandleW(nullptr), nullptr);
    std::span<const FormControl> rows = formControls();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].toolTip.empty()) continue;
        std::wstring text = wide(rows[i].toolTip);
        TOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = window_;
        tool.uId = reinterpret_cast<UINT_PTR>(controls_[i]);
        tool.lpszText = text.data();
        SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void Win32Form::nameControls() {
    std::span<const FormControl> rows = formControls();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (takesFocus(rows[i].kind) && !accessibleNames_.give(controls_[i], accessibleNameOf(rows[i]))) return;
    }
}

void Win32Form::dropFiles(HDROP drop) {
    static const auto queryFile = laterLoaded<decltype(&DragQueryFileW)>(L"shell32.dll", "DragQueryFileW");
    static const auto finish = laterLoaded<decltype(&DragFinish)>(L"shell32.dll", "DragFinish");
    if (!queryFile || !finish) return;
    std::vector<std::string> paths;
    const UINT count = queryFile(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring path(queryFile(drop, i, nullptr, 0) + 1, L'\0');
        path.resize(queryFile(drop, i, path.data(), static_cast<UINT>(path.size())));
        paths.push_back(utf8(path));
    }
    finish(drop);
    dispatchFilesDropped(form_, paths);
}

void Win32Form::show(int showCommand) {
    ShowWindow(window_, showCommand);
    UpdateWindow(window_);
    // A tip shows only after the pointer rests on a control, so the tips can
    // wait until the window is up: made before, they delay its first showing.
    PostMessageW(window_, kAddToolTipsMessage, 0, 0);
    form_.Form_Shown();
}

LRESULT Win32Form::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCCREATE:
            window_ = window;
            return DefWindowProcW(window, message, wParam, lParam);
        case WM_COMMAND:
            command(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_ACTIVATE:
            // As a dialog does: the control that had the focus gets it back
            // when the window is active again (after a message box, say).
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus && IsChild(window_, focus)) lastFocus_ = focus;
            }
            return DefWindowProcW(window_, message, wParam, lParam);
        case WM_SETFOCUS:
            if (lastFocus_ && IsWindow(lastFocus_)) SetFocus(lastFocus_);
            return 0;
        case WM_DROPFILES:
            dropFiles(reinterpret_cast<HDROP>(wParam));
            return 0;
        case kAddToolTipsMessage:
            if (!toolTipsAdded_) {
                addToolTips();
                nameControls();
            }
            toolTipsAdded_ = true;
            return 0;
        case WM_SYSCOMMAND:
            // The low four bits are the system's own.
            if ((wParam & 0xFFF0) == kAboutCommand) {
                platform_.showMessage(kAboutTitle, MessageIcon::Information, aboutText());
                return 0;
            }
            return DefWindowProcW(window_, message, wParam, lParam);
        case WM_CLOSE: {
            int16_t Cancel = 0;
            form_.Form_QueryUnload(Cancel);
            if (Cancel == 0 && IsWindow(window_)) DestroyWindow(window_);
            return 0;
        }
        case WM_DESTROY:
            accessibleNames_.clear();
            SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window_, message, wParam, lParam);
    }
}

bool Win32Form::handleDialogKeys(MSG& message) {
    return curve_.handleDialogKeys(message) || IsDialogMessageW(window_, &message) != FALSE;
}

void Win32Form::command(int id, int notification) {
    // Enter sends IDOK, since no button is the default: it presses the
    // button that has the focus, and nothing when none has.
    if (id == IDOK) {
        HWND focus = GetFocus();
        if (focus && (SendMessageW(focus, WM_GETDLGCODE, 0, 0) & (DLGC_UNDEFPUSHBUTTON | DLGC_DEFPUSHBUTTON))) SendMessageW(focus, BM_CLICK, 0, 0);
        return;
    }
    if (id < kFirstControlId || static_cast<std::size_t>(id - kFirstControlId) >= controls_.size()) return;
    const auto control = static_cast<ControlId>(id - kFirstControlId);
    if (notification == BN_CLICKED && formControls()[control].kind == ControlKind::OptionButton) {
        checkOption(control);
    } else if (notification == BN_CLICKED) {
        dispatch(form_, control, ControlEvent::Click);
    } else if (notification == EN_CHANGE && !settingText_) {
        dispatch(form_, control, ControlEvent::Change);
    }
}

void Win32Form::checkOption(ControlId option) {
    for (std::size_t i = 0; i < options_.size(); ++i) {
        const bool checked = static_cast<int>(i) == formControls()[option].index;
        SendMessageW(options_[i], BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
        // Unchecking takes an option out of the tab order; every option keeps its place there.
        SetWindowLongPtrW(options_[i], GWL_STYLE, GetWindowLongPtrW(options_[i], GWL_STYLE) | WS_TABSTOP);
    }
    dispatch(form_, option, ControlEvent::Click);
}

bool Win32Form::editAllowed(ControlId id, HWND control, FieldEdit edit) {
    const std::optional<TextBox> box = textBoxOf(id);
    return !box || form_.Field_Edit(*box, edit, edit == FieldEdit::Paste ? clipboardText(control) : std::string());
}

LRESULT CALLBACK Win32Form::keyProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR self) {
    auto* owner = reinterpret_cast<Win32Form*>(self);
    Form1& form = owner->form_;
    switch (message) {
        case WM_GETDLGCODE:
            // Enter and Esc reach the control as characters, for its key-press
            // handler, instead of working the (absent) default and cancel buttons.
            if (lParam) {
                const MSG* pending = reinterpret_cast<const MSG*>(lParam);
                if (pending->message == WM_KEYDOWN && (pending->wParam == VK_RETURN || pending->wParam == VK_ESCAPE)) {
                    return DefSubclassProc(control, message, wParam, lParam) | DLGC_WANTMESSAGE;
                }
            }
            break;
        case WM_KILLFOCUS:
            owner->fieldTip_.hide();
            break;
        case WM_CHAR: {
            // The tip of a refused key goes as typing goes on.
            owner->fieldTip_.hide();
            // The character's code as it is: Ctrl+V arrives as 22, and what
            // the handler refuses never reaches the control.
            auto KeyAscii = static_cast<int16_t>(wParam);
            dispatchKeyPress(form, id, KeyAscii);
            if (KeyAscii == 0) return 0;
            wParam = static_cast<uint16_t>(KeyAscii);
            break;
        }
        // Ctrl+V and Ctrl+X (once their key-press handler let them through)
        // and the context menu arrive as these messages.
        case WM_PASTE:
            if (!owner->editAllowed(id, control, FieldEdit::Paste)) return 0;
            break;
        case WM_CUT:
            if (!owner->editAllowed(id, control, FieldEdit::Cut)) return 0;
            break;
        case WM_CLEAR:
            if (!owner->editAllowed(id, control, FieldEdit::Delete)) return 0;
            break;
        case WM_KEYDOWN: {
            // The keys that edit without a message of their own: made into one,
            // they pass the same check as the context menu's commands.
            if (!textBoxOf(id)) break;
            const bool shift = GetKeyState(VK_SHIFT) < 0, ctrl = GetKeyState(VK_CONTROL) < 0;
            if (wParam == VK_INSERT && shift && !ctrl) {
                SendMessageW(control, WM_PASTE, 0, 0);
                return 0;
            }
            if (wParam == VK_DELETE && shift && !ctrl) {
                SendMessageW(control, WM_CUT, 0, 0);
                return 0;
            }
            if (wParam == VK_DELETE && !owner->editAllowed(id, control, FieldEdit::Delete)) return 0;
            break;
        }
        case WM_LBUTTONDBLCLK:
            // Anywhere in a list, on an item or below the last one.
            if (handles(id, ControlEvent::DblClick)) {
                LRESULT result = DefSubclassProc(control, message, wParam, lParam);
                dispatch(form, id, ControlEvent::DblClick);
                return result;
            }
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(control, keyProc, id);
            break;
        default:
            break;
    }
    return DefSubclassProc(control, message, wParam, lParam);
}

std::string Win32Form::text(TextBox box) const { return windowText(field(box)); }

std::string Win32Form::textOutsideSelection(TextBox box) const { return win32::textOutsideSelection(field(box)); }

void Win32Form::showFieldTip(TextBox box, const std::string& tip) { fieldTip_.show(field(box), tip); }

void Win32Form::setText(TextBox box, const std::string& text) {
    // The edit control reports the change as it likes; the handler runs
    // here, once, before this returns.
    settingText_ = true;
    SetWindowTextW(field(box), wide(text).c_str());
    settingText_ = false;
    dispatch(form_, controlOf(box), ControlEvent::Change);
}

void Win32Form::setListItems(const std::vector<std::string>& items) {
    // As many rows as before: their texts change, the selection and the
    // scroll position stay while a voltage is typed.
    const bool sameRows = SendMessageW(list_, LB_GETCOUNT, 0, 0) == static_cast<LRESULT>(items.size());
    const LRESULT selected = SendMessageW(list_, LB_GETCURSEL, 0, 0);
    const LRESULT top = SendMessageW(list_, LB_GETTOPINDEX, 0, 0);
    SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list_, LB_RESETCONTENT, 0, 0);
    for (const std::string& item : items) SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(item).c_str()));
    if (sameRows) {
        SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
        SendMessageW(list_, LB_SETTOPINDEX, static_cast<WPARAM>(top), 0);
    }
    SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list_, nullptr, TRUE);
}

void Win32Form::giveFocus(TextBox box) { SetFocus(field(box)); }

void Win32Form::selectOption(int16_t index) {
    HWND option = options_.at(static_cast<std::size_t>(index));
    SetFocus(option);
    checkOption(static_cast<ControlId>(GetDlgCtrlID(option) - kFirstControlId));
}

void Win32Form::closeWindow() { DestroyWindow(window_); }

}  // namespace varidac::win32
