#pragma once
// The window's common dialog: a faceless control whose properties the
// handlers set before they show the file-open dialog or the help viewer.
#include <QObject>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "ui/platform.h"

namespace varidac {

// Raised by ShowOpen when the user cancels and CancelError is True.
class DialogCancelled : public std::runtime_error {
public:
    DialogCancelled() : std::runtime_error("Cancel was selected.") {}
};

class CommonDialog : public QObject {
    Q_OBJECT
public:
    CommonDialog(Platform& platform, QObject* parent);

    void setDialogTitle(const std::string& value);
    void setFilter(const std::string& value);
    void setFileName(const std::string& value);
    void setInitDir(const std::string& value);
    void setCancelError(int16_t value);
    void setHelpCommand(int16_t value);
    void setHelpFile(const std::string& value);

    const std::string& DialogTitle() const { return dialogTitle_; }
    const std::string& Filter() const { return filter_; }
    const std::string& FileName() const { return fileName_; }
    const std::string& InitDir() const { return initDir_; }
    int16_t CancelError() const { return cancelError_; }
    int16_t HelpCommand() const { return helpCommand_; }
    const std::string& HelpFile() const { return helpFile_; }

    // Shows the file-open dialog; afterwards FileName holds the chosen path.
    // A cancel throws DialogCancelled when CancelError is True (FileName
    // keeps its value), and empties FileName otherwise.
    void ShowOpen();

    // Hands HelpFile and HelpCommand to the help viewer.
    void ShowHelp();

private:
    Platform& platform_;
    std::string dialogTitle_;
    std::string filter_;
    std::string fileName_;
    std::string initDir_;
    int16_t cancelError_ = 0;
    int16_t helpCommand_ = 0;
    std::string helpFile_;
};

}  // namespace varidac
