#pragma once
// The desktop as Windows offers it: MessageBoxW, the system's open dialog,
// the default browser for the user's guide, the beep, the message loop's
// end, and the folders the open dialog may start in.
#include <windows.h>

#include <string>
#include <vector>

#include "ui/platform.h"

namespace varidac::win32 {

// The message's lines, as MessageBoxW shows them one below the other.
std::wstring messageBoxText(const std::string& text);

// "description|pattern|..." as the open dialog takes it: each part ended
// by a NUL, and one more NUL at the end.
std::wstring dialogFilter(const std::string& filter);

class Win32Platform : public Platform {
public:
    // The window that owns message boxes and the open dialog.
    void setOwner(HWND owner) { owner_ = owner; }

    void showMessage(const std::string& title, MessageIcon icon, const std::string& text) override;
    std::optional<std::string> showOpen(const FileDialogRequest& request) override;
    void showHelp(const HelpRequest& request) override;
    void beep() override;
    void endProgram() override;
    bool canWriteIn(const std::string& folder) override;
    std::string userFolder() override;

private:
    HWND owner_ = nullptr;
};

}  // namespace varidac::win32
