#include "ui/qt/qt_platform.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>
#include <stdexcept>

#include "ui/qt/help_viewer.h"

namespace varidac {

QtPlatform::QtPlatform() = default;
QtPlatform::~QtPlatform() = default;

QStringList nameFilters(const std::string& filter) {
    const QStringList parts = QString::fromStdString(filter).split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        QString pattern = parts[i + 1];
        // "*.*" is every file where the system says so; here it would hide
        // every name without a point, a list saved as "mylist" among them.
        if (pattern == "*.*") {
            pattern = "*";
            if (description.endsWith("(*.*)")) description.replace(description.size() - 5, 5, "(*)");
        }
        if (description.endsWith("(" + pattern + ")")) {
            filters << description;
        } else {
            filters << description + " (" + pattern + ")";
        }
    }
    return filters;
}

QString messageBoxText(const std::string& text) {
    QString shown = QString::fromStdString(text);
    if (shown.endsWith('\r')) shown.chop(1);
    shown.replace('\r', '\n');
    return shown;
}

QWidget* QtPlatform::dialogParent() const {
    if (QWidget* active = QApplication::activeWindow()) return active;
    return owner_;
}

namespace {

// Qt's own dialog, so that filters and the start folder behave the same everywhere.
void setUp(QFileDialog& dialog, const FileDialogRequest& request) {
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setNameFilters(nameFilters(request.Filter));
    dialog.selectFile(QFile::decodeName(request.FileName.c_str()));
    dialog.setWindowModality(Qt::ApplicationModal);
}

std::optional<std::string> chosenFile(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) return std::string();
    return QFile::encodeName(chosen.first()).toStdString();
}

}  // namespace

void QtPlatform::showMessage(const std::string& title, MessageIcon icon, const std::string& text) {
    QMessageBox box(icon == MessageIcon::Error ? QMessageBox::Critical : QMessageBox::Information,
                    QString::fromStdString(title), messageBoxText(text), QMessageBox::Ok, dialogParent());
    box.setTextFormat(Qt::PlainText);
    // Nothing else of the program can be used until it is closed, and it stays on top.
    box.setWindowModality(Qt::ApplicationModal);
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    box.exec();
}

std::optional<std::string> QtPlatform::showOpen(const FileDialogRequest& request) {
    QFileDialog dialog(dialogParent(), QString::fromStdString(request.DialogTitle),
                       QFile::decodeName(request.InitDir.c_str()));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    setUp(dialog, request);
    return chosenFile(dialog);
}

std::optional<std::string> QtPlatform::showSave(const FileDialogRequest& request) {
    QFileDialog dialog(dialogParent(), QString::fromStdString(request.DialogTitle),
                       QFile::decodeName(request.InitDir.c_str()));
    // The dialog asks itself before an existing file is replaced, about the
    // name with the extension it adds.
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QString::fromStdString(request.DefaultExt));
    setUp(dialog, request);
    return chosenFile(dialog);
}

Answer QtPlatform::askYesNoCancel(const std::string& title, const std::string& question) {
    QMessageBox box(QMessageBox::Question, QString::fromStdString(title), messageBoxText(question),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, dialogParent());
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Yes);
    // Escape and the title bar's close button answer Cancel.
    box.setEscapeButton(QMessageBox::Cancel);
    box.setWindowModality(Qt::ApplicationModal);
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    box.exec();
    switch (box.standardButton(box.clickedButton())) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            return Answer::Cancel;
    }
}

void QtPlatform::showHelp(const HelpRequest& request) {
    if (request.HelpCommand != kHelpForceFile) throw std::runtime_error("help command not supported");
    if (!helpViewer_) helpViewer_ = std::make_unique<HelpViewer>();
    helpViewer_->forceFile(QFile::decodeName(request.HelpFile.c_str()));
}

void QtPlatform::beep() { QApplication::beep(); }

void QtPlatform::endProgram() { QCoreApplication::exit(0); }

bool QtPlatform::canWriteIn(const std::string& folder) {
    const QFileInfo info(QFile::decodeName(folder.c_str()));
    return info.isDir() && info.isWritable();
}

std::string QtPlatform::userFolder() {
#ifdef Q_OS_WIN
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
#else
    const QString folder = QDir::homePath();
#endif
    return QFile::encodeName(folder).toStdString();
}

}  // namespace varidac
