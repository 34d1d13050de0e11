// The program: opens the one window and runs until it is closed.
#include <QApplication>
#include <QFile>
#include <QIcon>

#include "ui/qt/qt_form.h"
#include "ui/qt/qt_platform.h"
#include "varidac_version.h"

int main(int argc, char** argv) {
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
