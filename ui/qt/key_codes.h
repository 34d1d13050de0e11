#pragma once
// Qt's key events as the character codes that the key-press handlers see.
#include <QString>
#include <Qt>

namespace varidac {

// The character code that a key press types (Enter 13, Backspace 8,
// Ctrl+V 22, ...), or -1 when the key types no character (Delete, arrows,
// Tab, Alt combinations).
int characterCode(int key, Qt::KeyboardModifiers modifiers, const QString& text);

}  // namespace varidac
