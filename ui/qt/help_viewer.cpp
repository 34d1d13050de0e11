#include "ui/qt/help_viewer.h"

#include <QFile>
#include <QFileInfo>
#include <QKeySequence>
#include <QMessageBox>
#include <QScrollBar>
#include <QShortcut>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <stdexcept>

#include "ui/about.h"

namespace varidac {

HelpViewer::HelpViewer(QWidget* parent) : QWidget(parent, Qt::Window), browser_(new QTextBrowser(this)) {
    setObjectName("HelpViewer");
    setWindowTitle("Varidac Help");
    // Like a separate help program: it does not keep the program running.
    setAttribute(Qt::WA_QuitOnClose, false);
    browser_->setObjectName("HelpText");
    browser_->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    resize(560, 640);
    // Closed from the keyboard like any viewer: Escape, or the desktop's
    // close-window keys (Ctrl+W, Ctrl+F4).
    QList<QKeySequence> closing = QKeySequence::keyBindings(QKeySequence::Close);
    closing << QKeySequence(Qt::Key_Escape);
    for (const QKeySequence& keys : closing) connect(new QShortcut(keys, this), &QShortcut::activated, this, &QWidget::close);
    // A window manager's menu is not ours to add to: F1 in the help, where a
    // user asks about the program, shows what it is.
    connect(new QShortcut(QKeySequence::HelpContents, this), &QShortcut::activated, this, &HelpViewer::showAbout);
}

void HelpViewer::showAbout() {
    QMessageBox::about(this, QString::fromUtf8(kAboutTitle), QString::fromStdString(aboutText()));
}

void HelpViewer::forceFile(const QString& file) {
    const QString canonical = QFileInfo(file).absoluteFilePath();
    if (!(isVisible() && canonical == currentFile_)) {
        QFile probe(canonical);
        if (!probe.open(QIODevice::ReadOnly)) {
            throw std::runtime_error("cannot read " + canonical.toStdString());
        }
        probe.close();
        const QUrl url = QUrl::fromLocalFile(canonical);
        if (browser_->source() == url) {
            browser_->reload();
        } else {
            browser_->setSource(url, QTextDocument::HtmlResource);
        }
        browser_->verticalScrollBar()->setValue(0);
        currentFile_ = canonical;
    }
    show();
    raise();
    activateWindow();
}

}  // namespace varidac
