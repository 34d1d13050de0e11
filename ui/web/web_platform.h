#pragma once
// The platform as a web page gives it: message boxes, the question and the
// save box are modal dialogs of the page, the file-open dialog is the
// browser's file chooser, the guide opens as a page of its own, the beep
// comes from the browser's audio. The module's file system (in memory) is
// the program's disk.
#include <string>

#include "ui/platform.h"

namespace varidac::web {

// The folder of the module's file system that holds the user's files: the
// lists chosen in the browser and every file the program writes.
inline constexpr const char* kListsFolder = "/lists";

class WebPlatform : public Platform {
public:
    void showMessage(const std::string& title, MessageIcon icon, const std::string& text) override;
    std::optional<std::string> showOpen(const FileDialogRequest& request) override;
    std::optional<std::string> showSave(const FileDialogRequest& request) override;
    Answer askYesNoCancel(const std::string& title, const std::string& question) override;
    void showHelp(const HelpRequest& request) override;
    void beep() override;
    void endProgram() override;
    bool canWriteIn(const std::string& folder) override;
    std::string userFolder() override;
};

}  // namespace varidac::web
