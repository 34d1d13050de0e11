#pragma once
// The desktop as Windows offers it: MessageBoxW, the system's file dialogs,
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

// Where "?" puts the user's copy of the guide: this folder of the user's
// local application data (the uninstaller removes it), under this name,
// which tells the system it is HTML.
inline constexpr const char* kGuideFolderName = "Varidac";
inline constexpr const char* kGuideCopyName = "VARIDAC user's guide.html";

class Win32Platform : public Platform {
public:
    // The window that owns message boxes and the file dialogs when none of
    // the program's windows is active.
    void setOwner(HWND owner) { owner_ = owner; }

    void showMessage(const std::string& title, MessageIcon icon, const std::string& text) override;
    std::optional<std::string> showOpen(const FileDialogRequest& request) override;
    std::optional<std::string> showSave(const FileDialogRequest& request) override;
    Answer askYesNoCancel(const std::string& title, const std::string& question) override;
    void showHelp(const HelpRequest& request) override;
    void beep() override;
    void endProgram() override;
    bool canWriteIn(const std::string& folder) override;
    std::string userFolder() override;

private:
    // The window a dialog belongs to: the program's active one (the curve
    // window when the command came from there), else the owner.
    HWND dialogOwner() const;

    HWND owner_ = nullptr;
};

}  // namespace varidac::win32
