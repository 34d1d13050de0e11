#pragma once
// The platform as the program uses it: Qt's message box and file dialog,
// our help viewer and the desktop's beep.
#include <QPointer>
#include <QStringList>
#include <memory>

#include "ui/platform.h"

class QWidget;

namespace varidac {

class HelpViewer;

class QtPlatform : public Platform {
public:
    QtPlatform();
    ~QtPlatform() override;

    // The window over which boxes and dialogs are centred.
    void setOwner(QWidget* owner) { owner_ = owner; }

    void showMessage(const std::string& title, MessageIcon icon, const std::string& text) override;
    std::optional<std::string> showOpen(const FileDialogRequest& request) override;
    std::optional<std::string> showSave(const FileDialogRequest& request) override;
    Answer askYesNoCancel(const std::string& title, const std::string& question) override;
    void showHelp(const HelpRequest& request) override;
    void beep() override;
    void endProgram() override;
    bool canWriteIn(const std::string& folder) override;
    std::string userFolder() override;

    HelpViewer* helpViewer() const { return helpViewer_.get(); }

private:
    // The program's window that has the focus, else the owner: a question
    // about the curve window's list shows over that window.
    QWidget* dialogParent() const;

    QPointer<QWidget> owner_;
    std::unique_ptr<HelpViewer> helpViewer_;
};

// "desc|pattern|desc|pattern" as Qt's name filters, "desc (pattern)"; a
// description that already ends with its pattern in brackets is kept as is.
QStringList nameFilters(const std::string& filter);

// The lines of a message text, each of which ends with a carriage return,
// one to a line.
QString messageBoxText(const std::string& text);

}  // namespace varidac
