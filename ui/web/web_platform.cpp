#include "ui/web/web_platform.h"

#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "ui/web/page_bridge.h"
#include "util/file_names.h"

namespace varidac::web {
namespace {

// The icon names of the page's message box.
const char* iconName(MessageIcon icon) { return icon == MessageIcon::Error ? "critical" : "information"; }

bool inside(const std::filesystem::path& path, const std::filesystem::path& folder) {
    auto part = path.begin();
    for (const auto& wanted : folder) {
        if (part == path.end() || *part != wanted) return false;
        ++part;
    }
    return true;
}

}  // namespace

void WebPlatform::showMessage(const std::string& title, MessageIcon icon, const std::string& text) {
    page::showMessage(title, iconName(icon), text);
}

// The browser's chooser shows the computer's own folders, not the module's:
// the chosen file is copied into the lists folder, and read from there.
std::optional<std::string> WebPlatform::showOpen(const FileDialogRequest& request) {
    return page::chooseFileToOpen(request.Filter, kListsFolder);
}

std::optional<std::string> WebPlatform::showSave(const FileDialogRequest& request) {
    return page::chooseFileToSave(request.DialogTitle, request.FileName, request.InitDir.empty() ? userFolder() : request.InitDir,
                                  request.DefaultExt);
}

Answer WebPlatform::askYesNoCancel(const std::string& title, const std::string& question) {
    switch (page::ask(title, question)) {
        case 0:
            return Answer::Yes;
        case 1:
            return Answer::No;
        default:
            return Answer::Cancel;
    }
}

void WebPlatform::showHelp(const HelpRequest& request) {
    if (request.HelpCommand != kHelpForceFile) throw std::runtime_error("help command not supported");
    if (!page::showHelp(request.HelpFile)) throw std::runtime_error("the browser shows the guide nowhere");
}

void WebPlatform::beep() { page::beep(); }

void WebPlatform::endProgram() { page::endProgram(); }

// The user's files live in the lists folder; the program's folder holds
// the program's own files, as an installed program's does.
bool WebPlatform::canWriteIn(const std::string& folder) {
    const std::filesystem::path path = pathFromUtf8(folder).lexically_normal();
    std::error_code error;
    return inside(path, pathFromUtf8(kListsFolder)) && std::filesystem::is_directory(path, error);
}

std::string WebPlatform::userFolder() { return kListsFolder; }

}  // namespace varidac::web
