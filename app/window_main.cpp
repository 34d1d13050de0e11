// The program: opens the one window and runs until it is closed.
#include <QApplication>
#include <QFile>
#include <QIcon>
#include <cstdio>
#include <string_view>

#include "ui/qt/qt_form.h"
#include "ui/qt/qt_platform.h"
#include "varidac_version.h"

int main(int argc, char** argv) {
    // Answered before Qt starts, so that it needs no display.
    if (argc == 2 && std::string_view(argv[1]) == "--version") {
        // Plain C output: the C++ streams would be set up at every start for this alone.
        std::fputs("varidac " VARIDAC_VERSION "\n" VARIDAC_LICENSE_NOTICE, stdout);
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName("varidac");
    QApplication::setApplicationVersion(VARIDAC_VERSION);

    varidac::QtPlatform platform;
    varidac::QtForm form(platform, QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString());
    QApplication::setWindowIcon(form.windowIcon());
    platform.setOwner(&form);
    form.show();
    return QApplication::exec();
}
