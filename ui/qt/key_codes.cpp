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

int16_t virtualKeyCode(int key) {
    // Qt's codes of letters and digits are their upper-case characters, as
    // the virtual-key codes are.
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) return static_cast<int16_t>(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return static_cast<int16_t>(112 + (key - Qt::Key_F1));
    struct Pair {
        int qt;
        int16_t code;
    };
    static constexpr Pair kKeys[] = {
        {Qt::Key_Backspace, 8}, {Qt::Key_Tab, 9},      {Qt::Key_Backtab, 9},  {Qt::Key_Return, 13},
        {Qt::Key_Enter, 13},    {Qt::Key_Shift, 16},   {Qt::Key_Control, 17}, {Qt::Key_Alt, 18},
        {Qt::Key_Escape, 27},   {Qt::Key_Space, 32},   {Qt::Key_PageUp, 33},  {Qt::Key_PageDown, 34},
        {Qt::Key_End, 35},      {Qt::Key_Home, 36},    {Qt::Key_Left, 37},    {Qt::Key_Up, 38},
        {Qt::Key_Right, 39},    {Qt::Key_Down, 40},    {Qt::Key_Insert, 45},  {Qt::Key_Delete, 46},
    };
    for (const Pair& pair : kKeys) {
        if (pair.qt == key) return pair.code;
    }
    return 0;
}

int16_t shiftBits(Qt::KeyboardModifiers modifiers) {
    int16_t bits = 0;
    if (modifiers & Qt::ShiftModifier) bits |= 1;
    if (modifiers & Qt::ControlModifier) bits |= 2;
    if (modifiers & Qt::AltModifier) bits |= 4;
    return bits;
}

}  // namespace varidac
