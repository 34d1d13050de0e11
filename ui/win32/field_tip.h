#pragma once
// A short-lived balloon pointing at a field, telling why a key or a paste
// was refused: it goes by itself after a few seconds, or when the next
// one shows.
#include <windows.h>

#include <string>

namespace varidac::win32 {

class FieldTip {
public:
    FieldTip() = default;
    FieldTip(const FieldTip&) = delete;
    FieldTip& operator=(const FieldTip&) = delete;

    void show(HWND field, const std::string& text);
    void hide();
    // The balloon's own window while its owner lives; nullptr before the first tip.
    HWND window() const { return IsWindow(tip_) ? tip_ : nullptr; }

private:
    HWND tip_ = nullptr;
};

}  // namespace varidac::win32
