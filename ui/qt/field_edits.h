#pragma once
// What changes a text field other than a typed key: a paste (Ctrl+V,
// Shift+Insert, the context menu, the selection pasted by the middle button
// on X11, a dropped text), a cut (Ctrl+X, Shift+Delete, the context menu)
// and a delete (the Delete key, the context menu). Each is put to a handler
// first, which says whether it may happen; the field itself decides nothing.
#include <QString>
#include <cstdint>
#include <functional>
#include <string>

#include "ui/main_window.h"

class QEvent;
class QLineEdit;
class QWidget;

namespace varidac {

struct FieldEditHandlers {
    // `text` would replace the selection; the handler may change it first.
    // False: nothing is pasted.
    std::function<bool(std::string& text)> paste;
    // FieldEdit::Cut or FieldEdit::Delete; false: the text stays. Without
    // it the field cuts and deletes as it would.
    std::function<bool(FieldEdit edit)> cutOrDelete;
};

// For an event filter of the field: true when `event` was a paste, cut or
// delete and has been dealt with, so that the field must not see it.
// Dragged files are left to the window under the field.
bool filterFieldEdit(QLineEdit* field, QEvent* event, const FieldEditHandlers& handlers);

// After a key-press handler ran on the character `typed`: true when the
// field must not see the key, because the handler refused it (KeyAscii 0)
// or changed it into another character, which is then typed instead.
bool typeAsHandled(QLineEdit* field, int typed, int16_t KeyAscii);

// The field's text without its selected part.
QString textOutsideSelection(const QLineEdit* field);

// A short-lived tip just right of the widget, at its middle.
void showTipBeside(QWidget* widget, const QString& tip);

}  // namespace varidac
