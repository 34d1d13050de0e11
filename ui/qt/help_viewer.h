#pragma once
// Our help viewer: a plain window that shows the help file (HTML).
#include <QString>
#include <QWidget>

class QTextBrowser;

namespace varidac {

class HelpViewer : public QWidget {
    Q_OBJECT
public:
    explicit HelpViewer(QWidget* parent = nullptr);

    // The force-file request: shows `file` at its start, unless the viewer
    // already shows that file, in which case it only comes to the front.
    // Throws std::runtime_error when the file cannot be read.
    void forceFile(const QString& file);

    // The program's version and licence in a box over the viewer (F1).
    void showAbout();

    QString currentFile() const { return currentFile_; }
    QTextBrowser* browser() const { return browser_; }

private:
    QTextBrowser* browser_;
    QString currentFile_;
};

}  // namespace varidac
