#pragma once
// The window procedure of a class whose windows each belong to one object:
// CreateWindowExW gets the object as its last argument, and from WM_NCCREATE
// on every message goes to its handleMessage(window, message, wParam, lParam).
#include <windows.h>

namespace varidac::win32 {

template <typename Owner>
LRESULT CALLBACK forwardToOwner(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* owner = static_cast<Owner*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
    }
    auto* owner = reinterpret_cast<Owner*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!owner) return DefWindowProcW(window, message, wParam, lParam);
    return owner->handleMessage(window, message, wParam, lParam);
}

}  // namespace varidac::win32
