#include "ui/qt/field_edits.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QToolTip>
#include <optional>

namespace varidac {
namespace {

enum class Edit { Paste, Cut, Delete };

bool has(const FieldEditHandlers& handlers, Edit edit) {
    return edit == Edit::Paste ? bool(handlers.paste) : bool(handlers.cutOrDelete);
}

// The standard menu's entries, by the name Qt gives them from 6.5 on, else
// by their text as Qt translates it.
std::optional<Edit> menuEditOf(const QAction* action) {
    const QString name = action->objectName();
    const QString text = action->text().section('\t', 0, 0);
    if (name == "edit-paste" || text == QLineEdit::tr("&Paste")) return Edit::Paste;
    if (name == "edit-cut" || text == QLineEdit::tr("Cu&t")) return Edit::Cut;
    if (name == "edit-delete" || text == QLineEdit::tr("Delete")) return Edit::Delete;
    return std::nullopt;
}

// Whether the handler lets `text` in; when it does, it goes in where the
// selection is.
void pasteText(QLineEdit* field, QString text, const FieldEditHandlers& handlers) {
    if (text.isEmpty()) return;
    std::string pasted = text.toStdString();
    if (handlers.paste(pasted)) field->insert(QString::fromStdString(pasted));
}

bool allows(const FieldEditHandlers& handlers, Edit edit) {
    return handlers.cutOrDelete(edit == Edit::Cut ? FieldEdit::Cut : FieldEdit::Delete);
}

bool filterKey(QLineEdit* field, const QKeyEvent* key, const FieldEditHandlers& handlers) {
    if (key->matches(QKeySequence::Paste)) {
        if (!has(handlers, Edit::Paste)) return false;
        pasteText(field, QApplication::clipboard()->text(QClipboard::Clipboard), handlers);
        return true;
    }
    std::optional<Edit> edit;
    if (key->matches(QKeySequence::Cut)) {
        edit = Edit::Cut;
    } else if (key->key() == Qt::Key_Delete) {
        edit = Edit::Delete;  // with Ctrl, the word to the right
    }
    if (!edit || !has(handlers, *edit)) return false;
    // Let through, the field cuts or deletes as the key says.
    return !allows(handlers, *edit);
}

// The field's own menu, its paste, cut and delete asking the handlers first.
void showMenu(QLineEdit* field, const QContextMenuEvent* event, const FieldEditHandlers& handlers) {
    QMenu* menu = field->createStandardContextMenu();
    for (QAction* original : menu->actions()) {
        const std::optional<Edit> edit = menuEditOf(original);
        if (!edit || !has(handlers, *edit)) continue;
        auto* action = new QAction(original->icon(), original->text(), menu);
        action->setObjectName(original->objectName());
        action->setEnabled(original->isEnabled());
        menu->insertAction(original, action);
        menu->removeAction(original);
        QPointer<QLineEdit> target(field);
        QObject::connect(action, &QAction::triggered, field, [target, handlers, edit = *edit] {
            if (!target) return;
            if (edit == Edit::Paste) {
                pasteText(target, QApplication::clipboard()->text(QClipboard::Clipboard), handlers);
            } else if (allows(handlers, edit)) {
                if (edit == Edit::Cut) {
                    target->cut();
                } else if (target->hasSelectedText()) {
                    target->del();
                }
            }
        });
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

bool filterDrag(QLineEdit* field, QEvent* event, const FieldEditHandlers& handlers) {
    auto* drag = static_cast<QDropEvent*>(event);
    const QMimeData* data = drag->mimeData();
    // Files go to the window, which reads a dropped list.
    if (!data || data->hasUrls() || !data->hasText()) {
        drag->ignore();
        return true;
    }
    if (event->type() != QEvent::Drop) return false;  // the field shows where the text would go
    // A drop inserts at the mouse and replaces no selection.
    field->setCursorPosition(field->cursorPositionAt(drag->position().toPoint()));
    std::string pasted = data->text().toStdString();
    if (handlers.paste(pasted)) {
        field->insert(QString::fromStdString(pasted));
        drag->acceptProposedAction();
    } else {
        drag->ignore();
    }
    // The field, which never saw the drop, stops showing where it would go.
    QDragLeaveEvent leave;
    QCoreApplication::sendEvent(field, &leave);
    return true;
}

}  // namespace

bool filterFieldEdit(QLineEdit* field, QEvent* event, const FieldEditHandlers& handlers) {
    switch (event->type()) {
        case QEvent::KeyPress:
            return filterKey(field, static_cast<QKeyEvent*>(event), handlers);
        case QEvent::ContextMenu:
            showMenu(field, static_cast<QContextMenuEvent*>(event), handlers);
            return true;
        case QEvent::MouseButtonRelease: {
            // X11's middle button pastes the selection at the place it was pressed.
            const auto* mouse = static_cast<QMouseEvent*>(event);
            QClipboard* clipboard = QApplication::clipboard();
            if (mouse->button() != Qt::MiddleButton || !clipboard->supportsSelection() || !has(handlers, Edit::Paste)) {
                return false;
            }
            field->deselect();
            pasteText(field, clipboard->text(QClipboard::Selection), handlers);
            return true;
        }
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
            if (!has(handlers, Edit::Paste)) return false;
            return filterDrag(field, event, handlers);
        default:
            return false;
    }
}

bool typeAsHandled(QLineEdit* field, int typed, int16_t KeyAscii) {
    if (KeyAscii == 0) return true;
    if (KeyAscii == typed) return false;
    field->insert(QString(QChar(static_cast<char16_t>(KeyAscii))));
    return true;
}

QString textOutsideSelection(const QLineEdit* field) {
    QString text = field->text();
    if (field->hasSelectedText()) text.remove(field->selectionStart(), field->selectedText().size());
    return text;
}

void showTipBeside(QWidget* widget, const QString& tip) {
    QToolTip::showText(widget->mapToGlobal(QPoint(widget->width(), widget->height() / 2)), tip, widget);
}

}  // namespace varidac
