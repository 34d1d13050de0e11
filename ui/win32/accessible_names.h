#pragma once
// The names a screen reader announces for the controls that take the
// focus, from the control tables: a field's own text is what was typed,
// and a button's may be a sign ("?"). Set through the system's
// accessibility service, which is loaded only once a window stands.
#include <windows.h>

#include <string_view>
#include <vector>

namespace varidac::win32 {

class AccessibleNames {
public:
    AccessibleNames() = default;
    ~AccessibleNames() { clear(); }
    AccessibleNames(const AccessibleNames&) = delete;
    AccessibleNames& operator=(const AccessibleNames&) = delete;

    // Gives `control` the name; false where the system offers no such service.
    bool give(HWND control, std::string_view name);
    // Takes the names back: before the controls are destroyed, as the
    // service asks.
    void clear();

private:
    IUnknown* service_ = nullptr;
    std::vector<HWND> named_;
};

}  // namespace varidac::win32
