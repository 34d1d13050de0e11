#pragma once
// Qt's key events as the codes that the key handlers see.
#include <QString>
#include <Qt>
#include <cstdint>

namespace varidac {

// The character code that a key press types (Enter 13, Backspace 8,
// Ctrl+V 22, ...), or -1 when the key types no character (Delete, arrows,
// Tab, Alt combinations).
int characterCode(int key, Qt::KeyboardModifiers modifiers, const QString& text);

// The key's virtual-key code as KeyDown handlers get it (Up 38, Down 40,
// 'S' 83, F1 112), or 0 for a key that has none here.
int16_t virtualKeyCode(int key);

// The Shift argument of a KeyDown handler: 1 Shift, 2 Ctrl, 4 Alt.
int16_t shiftBits(Qt::KeyboardModifiers modifiers);

}  // namespace varidac
