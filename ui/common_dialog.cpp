#include "ui/common_dialog.h"

#include "util/file_names.h"

namespace varidac {

void CommonDialog::ShowOpen() {
    std::optional<std::string> chosen = platform_.showOpen({DialogTitle, Filter, FileName, InitDir, ""});
    if (!chosen) {
        if (CancelError == kTrue) throw DialogCancelled();
        FileName.clear();
        return;
    }
    FileName = *chosen;
}

void CommonDialog::ShowHelp() { platform_.showHelp({HelpFile, HelpCommand}); }

}  // namespace varidac
