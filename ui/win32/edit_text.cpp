#include "ui/win32/edit_text.h"

#include "os/wide_text.h"

namespace varidac::win32 {

namespace {

std::wstring wideText(HWND control) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace

std::string windowText(HWND control) { return os::utf8(wideText(control)); }

std::string textOutsideSelection(HWND edit) {
    std::wstring text = wideText(edit);
    DWORD start = 0, end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    // The positions count UTF-16 units, as the wide text does.
    if (start < end && end <= text.size()) text.erase(start, end - start);
    return os::utf8(text);
}

std::string clipboardText(HWND owner) {
    // Another program may hold the clipboard for a moment while it fills it.
    bool opened = false;
    for (int attempt = 0; attempt < 10 && !(opened = OpenClipboard(owner)); ++attempt) Sleep(10);
    if (!opened) return {};
    std::string text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = os::utf8(chars);
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

}  // namespace varidac::win32
