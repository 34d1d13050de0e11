#include "ui/win32/field_tip.h"

#include <commctrl.h>

#include "os/wide_text.h"

namespace varidac::win32 {

namespace {

// Long enough to read a short sentence, short enough not to linger over the next field.
constexpr UINT kShownMilliseconds = 4000;
constexpr UINT_PTR kHideTimer = 1;

// The balloon's one tool, placed by hand beside whichever field it points at.
TOOLINFOW balloonTool(HWND tip, wchar_t* text) {
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_TRACK;
    tool.hwnd = GetWindow(tip, GW_OWNER);
    tool.uId = 1;
    tool.lpszText = text;
    return tool;
}

void hideBalloon(HWND tip) {
    KillTimer(tip, kHideTimer);
    TOOLINFOW tool = balloonTool(tip, nullptr);
    SendMessageW(tip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
}

void CALLBACK hideWhenDue(HWND tip, UINT, UINT_PTR, DWORD) { hideBalloon(tip); }

}  // namespace

void FieldTip::show(HWND field, const std::string& text) {
    // Owned by the field's window, the balloon goes with it; a window opened
    // anew gets a balloon anew.
    HWND owner = GetAncestor(field, GA_ROOT);
    if (!IsWindow(tip_) || GetWindow(tip_, GW_OWNER) != owner) {
        tip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_BALLOON | TTS_NOPREFIX | TTS_ALWAYSTIP,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
        wchar_t none[] = L"";
        TOOLINFOW tool = balloonTool(tip_, none);
        SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    std::wstring shown = os::wide(text);
    TOOLINFOW tool = balloonTool(tip_, shown.data());
    SendMessageW(tip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    // The stem on the field's lower edge, a little in from its left, where
    // the balloon covers neither the text typed nor the fields above.
    RECT r;
    GetWindowRect(field, &r);
    SendMessageW(tip_, TTM_TRACKPOSITION, 0, MAKELPARAM(r.left + (r.bottom - r.top), r.bottom - 2));
    SendMessageW(tip_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
    SetTimer(tip_, kHideTimer, kShownMilliseconds, hideWhenDue);
}

void FieldTip::hide() {
    if (IsWindow(tip_)) hideBalloon(tip_);
}

}  // namespace varidac::win32
