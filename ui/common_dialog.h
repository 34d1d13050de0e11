#pragma once
// The window's common dialog: a faceless control whose properties the
// handlers set before they show the file-open dialog or the help viewer.
#include <cstdint>
#include <stdexcept>
#include <string>

#include "ui/platform.h"

namespace varidac {

// Raised by ShowOpen when the user cancels and CancelError is True.
class DialogCancelled : public std::runtime_error {
public:
    DialogCancelled() : std::runtime_error("Cancel was selected.") {}
};

class CommonDialog {
public:
    explicit CommonDialog(Platform& platform) : platform_(platform) {}

    std::string DialogTitle;
    std::string Filter;
    std::string FileName;
    std::string InitDir;
    int16_t CancelError = 0;
    int16_t HelpCommand = 0;
    std::string HelpFile;

    // Shows the file-open dialog; afterwards FileName holds the chosen path.
    // A cancel throws DialogCancelled when CancelError is True (FileName
    // keeps its value), and empties FileName otherwise.
    void ShowOpen();

    // Hands HelpFile and HelpCommand to the help viewer.
    void ShowHelp();

private:
    Platform& platform_;
};

}  // namespace varidac
