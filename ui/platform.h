#pragma once
// What the window asks of the desktop: message boxes, the file-open dialog,
// the help viewer, the beep and the end of the program. Each front end
// implements it; tests put a recorder in its place that answers dialogs.
#include <cstdint>
#include <optional>
#include <string>

#include "core/message.h"

namespace varidac {

// The file-open dialog as the handler set it up.
struct FileDialogRequest {
    std::string DialogTitle;
    std::string Filter;  // "description|pattern|description|pattern..."
    std::string FileName;
    std::string InitDir;
    std::string DefaultExt;  // without the point; only the save dialog uses it
};

enum class Answer { Yes, No, Cancel };

// The help viewer's command that shows a file at its start, unless the
// viewer already shows that file.
inline constexpr int16_t kHelpForceFile = 9;

struct HelpRequest {
    std::string HelpFile;
    int16_t HelpCommand = 0;
};

class Platform {
public:
    virtual ~Platform() = default;

    // A modal box with one OK. `text` is every line followed by a carriage
    // return, exactly as the message was built.
    virtual void showMessage(const std::string& title, MessageIcon icon, const std::string& text) = 0;

    // The chosen path, or nothing when the user cancelled.
    virtual std::optional<std::string> showOpen(const FileDialogRequest& request) = 0;

    // The file-save dialog: the system asks itself before an existing file
    // is chosen, and a name typed without an extension gets `DefaultExt`.
    virtual std::optional<std::string> showSave(const FileDialogRequest& request) = 0;

    // A modal question with Yes, No and Cancel; closing it is Cancel.
    virtual Answer askYesNoCancel(const std::string& title, const std::string& question) = 0;

    // Throws std::runtime_error when the viewer cannot show the file.
    virtual void showHelp(const HelpRequest& request) = 0;

    virtual void beep() = 0;

    // Ends the program without asking anything.
    virtual void endProgram() = 0;

    // Whether the user may create files in `folder`.
    virtual bool canWriteIn(const std::string& folder) = 0;

    // The user's own folder for files: the home folder (Documents on Windows).
    virtual std::string userFolder() = 0;
};

}  // namespace varidac
