#include "ui/common_dialog.h"

#include "util/file_names.h"

namespace varidac {

CommonDialog::CommonDialog(Platform& platform, QObject* parent) : QObject(parent), platform_(platform) {}

void CommonDialog::setDialogTitle(const std::string& value) {
    dialogTitle_ = value;
}

void CommonDialog::setFilter(const std::string& value) {
    filter_ = value;
}

void CommonDialog::setFileName(const std::string& value) {
    fileName_ = value;
}

void CommonDialog::setInitDir(const std::string& value) {
    initDir_ = value;
}

void CommonDialog::setCancelError(int16_t value) {
    cancelError_ = value;
}

void CommonDialog::setHelpCommand(int16_t value) {
    helpCommand_ = value;
}

void CommonDialog::setHelpFile(const std::string& value) {
    helpFile_ = value;
}

void CommonDialog::ShowOpen() {
    std::optional<std::string> chosen = platform_.showOpen({dialogTitle_, filter_, fileName_, initDir_});
    if (!chosen) {
        if (cancelError_ == kTrue) throw DialogCancelled();
        fileName_.clear();
        return;
    }
    fileName_ = *chosen;
}

void CommonDialog::ShowHelp() {
    platform_.showHelp({helpFile_, helpCommand_});
}

}  // namespace varidac
