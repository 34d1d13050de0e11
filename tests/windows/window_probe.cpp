// Reads what the window test cannot see through X: the text of a message
// box, and the fields, list and focus of the running window.
//   window_probe box CAPTION   the lines of the message box titled CAPTION,
//                              then "[system-modal]" when it is
//   window_probe dialog TITLE  the file name box of the open dialog TITLE
//   window_probe form          each field's text, the list's items, the
//                              checked option and the control with the focus;
//                              the client area's size, the window's and the
//                              work area's rects on the screen
//                              (LEFT,TOP,RIGHT,BOTTOM)
//   window_probe curve         the curve window's title, its place on the
//                              screen (also as a rect), whether it is the active window, each
//                              point's text and check mark and the control
//                              with the focus
// Waits up to ten seconds for the window; exit status 1 when it never came.
#include <windows.h>

#include <cstdio>
#include <span>
#include <string>

#include "os/wide_text.h"
#include "ui/editor_layout.h"
#include "ui/form_layout.h"
#include "ui/win32/curve_window.h"
#include "ui/win32/win32_form.h"

namespace {

using varidac::os::utf8;
using varidac::os::wide;

HWND waitForWindow(const std::wstring& title, const wchar_t* windowClass = nullptr) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (HWND window = FindWindowW(windowClass, windowClass ? nullptr : title.c_str())) return window;
        Sleep(100);
    }
    return nullptr;
}

HWND focusOf(HWND window) {
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &thread);
    return thread.hwndFocus;
}

std::string nameOf(const varidac::FormControl& row) {
    std::string name(row.name);
    if (row.index >= 0) name += "(" + std::to_string(row.index) + ")";
    return name;
}

// WM_GETTEXT, not GetWindowText, which gives only the title of another
// program's control.
std::string textOf(HWND control) {
    std::wstring text(static_cast<std::size_t>(SendMessageW(control, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return utf8(text);
}

int printBox(HWND box) {
    // The message's text is the box's static control with the identifier 0xFFFF.
    std::string text = textOf(GetDlgItem(box, 0xFFFF));
    std::string lines;
    for (char c : text) {
        if (c != '\r') lines += c;
    }
    std::printf("%s\n", lines.c_str());

    // A system-modal box stays above every window.
    const bool topmost = (GetWindowLongW(box, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    std::printf("[%s]\n", topmost ? "system-modal" : "application-modal");
    return 0;
}

// The file name box of the system's open dialog (its combo box cmb13).
int printDialog(HWND dialog) {
    std::printf("file=%s\n", textOf(GetDlgItem(dialog, 0x47C)).c_str());
    return 0;
}

std::string rectText(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," + std::to_string(r.bottom);
}

int printForm(HWND form) {
    RECT client, outer, room;
    GetClientRect(form, &client);
    GetWindowRect(form, &outer);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &room, 0);
    std::printf("client=%ldx%ld\nrect=%s\nworkarea=%s\n", client.right, client.bottom, rectText(outer).c_str(), rectText(room).c_str());
    std::span<const varidac::FormControl> rows = varidac::formControls();
    const HWND focus = focusOf(form);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const varidac::FormControl& row = rows[i];
        HWND control = GetDlgItem(form, varidac::win32::kFirstControlId + static_cast<int>(i));
        const std::string name = nameOf(row);
        if (row.kind == varidac::ControlKind::TextBox) std::printf("%s=%s\n", name.c_str(), textOf(control).c_str());
        if (row.kind == varidac::ControlKind::OptionButton && SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED) {
            std::printf("checked=%s\n", name.c_str());
        }
        if (row.kind == varidac::ControlKind::ListBox) {
            auto count = SendMessageW(control, LB_GETCOUNT, 0, 0);
            for (LRESULT item = 0; item < count; ++item) {
                std::wstring text(static_cast<std::size_t>(SendMessageW(control, LB_GETTEXTLEN, item, 0)) + 1, L'\0');
                text.resize(static_cast<std::size_t>(SendMessageW(control, LB_GETTEXT, item, reinterpret_cast<LPARAM>(text.data()))));
                std::printf("%s=%s\n", name.c_str(), utf8(text).c_str());
            }
        }
        if (control == focus) std::printf("focus=%s\n", name.c_str());
    }
    return 0;
}

int printCurve(HWND curve) {
    std::printf("title=%s\n", textOf(curve).c_str());
    RECT r;
    GetWindowRect(curve, &r);
    // As X geometry: WIDTHxHEIGHT+LEFT+TOP.
    const std::string place = std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top) + "+" +
                              std::to_string(r.left) + "+" + std::to_string(r.top);
    std::printf("window=%s\nrect=%s\n", place.c_str(), rectText(r).c_str());
    std::printf("active=%s\n", GetForegroundWindow() == curve ? "yes" : "no");
    std::span<const varidac::FormControl> rows = varidac::editorControls();
    const HWND focus = focusOf(curve);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        HWND control = GetDlgItem(curve, varidac::win32::kFirstCurveControlId + static_cast<int>(i));
        const std::string name = nameOf(rows[i]);
        if (rows[i].name == "txtPoint" || rows[i].name == "lblCheck") std::printf("%s=%s\n", name.c_str(), textOf(control).c_str());
        if (control == focus) std::printf("focus=%s\n", name.c_str());
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string what = argc > 1 ? argv[1] : "";
    if (what == "box" && argc == 3) {
        HWND box = waitForWindow(wide(argv[2]));
        return box ? printBox(box) : 1;
    }
    if (what == "dialog" && argc == 3) {
        HWND dialog = waitForWindow(wide(argv[2]));
        return dialog ? printDialog(dialog) : 1;
    }
    if (what == "form") {
        HWND form = waitForWindow(wide(varidac::kWindowTitle));
        return form ? printForm(form) : 1;
    }
    if (what == "curve") {
        HWND curve = waitForWindow({}, varidac::win32::kCurveWindowClass);
        return curve ? printCurve(curve) : 1;
    }
    std::fprintf(stderr, "usage: window_probe box CAPTION | dialog TITLE | form | curve\n");
    return 2;
}
