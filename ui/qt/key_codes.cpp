#include "ui/qt/key_codes.h"

namespace varidac {

int characterCode(int key, Qt::KeyboardModifiers modifiers, const QString& text) {
    // Alt combinations are menu keys; they type nothing.
    if (modifiers & Qt::AltModifier) return -1;
    const bool control = (modifiers & Qt::ControlModifier) != 0;
    switch (key) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return control ? 10 : 13;
        case Qt::Key_Backspace:
            return control ? 127 : 8;
        case Qt::Key_Escape:
            return 27;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Delete:
            return -1;
        default:
            break;
    }
    // Ctrl+letter types the control character whatever text the platform
    // attached to the event: Ctrl+C 3, Ctrl+V 22, Ctrl+X 24, Ctrl+Z 26.
    if (control && key >= Qt::Key_A && key <= Qt::Key_Z) return key - Qt::Key_A + 1;
    if (text.isEmpty()) return -1;
    const char16_t code = text.at(0).unicode();
    if (code == 0x7f) return -1;  // Delete on keyboards that attach DEL as text
    return code;
}

}  // namespace varidac
