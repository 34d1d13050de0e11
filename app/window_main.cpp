// The program: opens the one window and runs until it is closed.
#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/window_start.h"
#include "ui/qt/qt_form.h"
#include "ui/qt/qt_platform.h"
#include "varidac_version.h"

namespace {

constexpr const char* kNoWindow = "varidac-fill does the same work without a window.\n";

// Where Qt would find no display it aborts; a user started from a terminal
// without one should read why instead.
bool displayMissing() {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform && *platform && std::string_view(platform).substr(0, 3) != "xcb" &&
        std::string_view(platform).substr(0, 7) != "wayland") {
        return false;
    }
    auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value && *value;
    };
    return !set("DISPLAY") && !set("WAYLAND_DISPLAY");
}

// A display that is named but cannot be reached is only found out inside
// Qt, which then ends the process: end it with a reason and status 1 instead.
void reportFatalStart(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type != QtFatalMsg) {
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
        return;
    }
    std::fprintf(stderr, "varidac: cannot open the window: %s\n%s", message.toLocal8Bit().constData(), kNoWindow);
    std::_Exit(1);
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const varidac::WindowStart start = varidac::windowStart(args, false);
    // Answered before Qt starts, so that they need no display.
    switch (start.kind) {
        case varidac::WindowStart::Kind::PrintVersion:
            // Plain C output: the C++ streams would be set up at every start for this alone.
            std::fputs("varidac " VARIDAC_VERSION "\n" VARIDAC_LICENSE_NOTICE, stdout);
            return 0;
        case varidac::WindowStart::Kind::PrintHelp:
            std::fputs(varidac::windowUsage().c_str(), stdout);
            return 0;
        case varidac::WindowStart::Kind::WrongUsage:
            std::fprintf(stderr, "varidac: %s\n%s", start.problem.c_str(), varidac::windowUsage().c_str());
            return 2;
        case varidac::WindowStart::Kind::OpenWindow:
            break;
    }
    if (displayMissing()) {
        std::fprintf(stderr, "varidac: no display to open the window on (DISPLAY is not set).\n%s", kNoWindow);
        return 1;
    }
    // Qt sees no arguments: every one of them is the program's own.
    int qtArgc = 1;
    QtMessageHandler previous = qInstallMessageHandler(reportFatalStart);
    QApplication app(qtArgc, argv);
    qInstallMessageHandler(previous);
    QApplication::setApplicationName("varidac");
    QApplication::setApplicationVersion(VARIDAC_VERSION);

    varidac::QtPlatform platform;
    varidac::QtForm form(platform, QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString());
    QApplication::setWindowIcon(form.windowIcon());
    platform.setOwner(&form);
    form.show();
    if (!start.lists.empty()) {
        // Once the window is up, so that a message about the list stands over it.
        QTimer::singleShot(0, &form, [&form, lists = start.lists] { form.form().Form_DragDrop(lists); });
    }
    return QApplication::exec();
}
