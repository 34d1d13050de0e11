#include "ui/common_dialog.h"

#include "util/file_names.h"

namespace varidac {

CommonDialog::CommonDialog(Platform& platform, QObject* parent) : QObject(parent), platform_(platform) {}

void CommonDialog::noteSet(const char* property) { setOrder_.emplace_back(property); }

void CommonDialog::setDialogTitle(const std::string& value) {
    dialogTitle_ = value;
    noteSet("DialogTitle");
}

void CommonDialog::setFilter(const std::string& value) {
    filter_ = value;
    noteSet("Filter");
}

void CommonDialog::setFileName(const std::string& value) {
    fileName_ = value;
    noteSet("FileName");
}

void CommonDialog::setInitDir(const std::string& value) {
    initDir_ = value;
    noteSet("InitDir");
}

void CommonDialog::setCancelError(int16_t value) {
    cancelError_ = value;
    noteSet("CancelError");
}

void CommonDialog::setHelpCommand(int16_t value) {
    helpCommand_ = value;
    noteSet("HelpCommand");
}

void CommonDialog::setHelpFile(const std::string& value) {
    helpFile_ = value;
    noteSet("HelpFile");
}

void CommonDialog::ShowOpen() {
    FileDialogRequest request{dialogTitle_, filter_, fileName_, initDir_, cancelError_, std::move(setOrder_)};
    setOrder_.clear();
    std::optional<std::string> chosen = platform_.showOpen(request);
    if (!chosen) {
        if (cancelError_ == kTrue) throw DialogCancelled();
        fileName_.clear();
        return;
    }
    fileName_ = *chosen;
}

void CommonDialog::ShowHelp() {
    HelpRequest request{helpFile_, helpCommand_, cancelError_, std::move(setOrder_)};
    setOrder_.clear();
    platform_.showHelp(request);
}

}  // namespace varidac
