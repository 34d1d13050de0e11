#include "ui/win32/control_classes.h"

#include <cmath>
#include <string>

#include "os/wide_text.h"

namespace varidac::win32 {

ControlClass controlClass(ControlKind kind) {
    switch (kind) {
        case ControlKind::Label:
            return {L"STATIC", SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0};
        case ControlKind::Frame:
            return {L"BUTTON", BS_GROUPBOX, 0};
        case ControlKind::CommandButton:
            return {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0};
        case ControlKind::TextBox:
            return {L"EDIT", ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
        case ControlKind::ListBox:
            return {L"LISTBOX", LBS_NOINTEGRALHEIGHT | LBS_NOTIFY | WS_VSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
        case ControlKind::OptionButton:
            // Each option is selected by Form1's click alone: the four are not
            // neighbours in the tab order, which the system's own groups need.
            return {L"BUTTON", BS_RADIOBUTTON | WS_TABSTOP | WS_GROUP, 0};
        case ControlKind::PictureBox:
            return {kPictureBoxClass, 0, WS_EX_CLIENTEDGE};
    }
    return {L"STATIC", 0, 0};
}

HFONT createControlFont(int weight, int dpiY) {
    LOGFONTW font{};
    font.lfHeight = -static_cast<LONG>(std::lround(kFontPoints * dpiY / 72.0));
    font.lfWeight = weight;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    std::wstring face = os::wide(kFontFace);
    face.copy(font.lfFaceName, LF_FACESIZE - 1);
    return CreateFontIndirectW(&font);
}

int screenDpi(int index) {
    HDC screen = GetDC(nullptr);
    int value = GetDeviceCaps(screen, index);
    ReleaseDC(nullptr, screen);
    return value;
}

}  // namespace varidac::win32
