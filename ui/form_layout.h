#pragma once
// The window's controls as data. Every front end builds its controls from
// this one table, so that they all show the same window.
#include <span>
#include <string_view>

namespace varidac {

enum class ControlKind { Label, Frame, CommandButton, TextBox, ListBox, OptionButton, PictureBox };

// Twips from the top-left corner of the container: of a frame's own
// rectangle (border and caption lie inside it), or of the window's client area.
struct TwipsRect {
    int left, top, width, height;
    bool operator==(const TwipsRect&) const = default;
};

inline constexpr int kFontRegular = 400;
inline constexpr int kFontBold = 700;

struct FormControl {
    std::string_view name;       // the four options share "optEprom" and differ by index
    int index;                   // the option's index, 0 to 3; -1 for every other control
    ControlKind kind;
    std::string_view container;  // kFormName or the name of a frame
    std::string_view caption;    // caption, or a text box's initial text; empty for the list box
    TwipsRect rect;
    int tabIndex;
    int fontWeight;              // kFontRegular or kFontBold
    std::string_view toolTip = {};
    // What a screen reader names a control that takes the focus, where its
    // caption says too little or nothing: a field is named by its label's words.
    std::string_view accessibleName = {};
    bool operator==(const FormControl&) const = default;
};

inline constexpr std::string_view kFormName = "Form1";
inline constexpr std::string_view kWindowTitle = "VARIDAC EPROM FILLER ";
inline constexpr std::string_view kCurveWindowTitle = "Tuning curve";
inline constexpr int kClientWidthTwips = 3870;
inline constexpr int kClientHeightTwips = 6525;
// Where this face is missing, a plain sans-serif face of the same size stands in.
inline constexpr std::string_view kFontFace = "MS Sans Serif";
inline constexpr double kFontPoints = 8.25;

// Every control with a face, each container before the controls it holds.
// The common dialog has none: it lives inside Form1.
std::span<const FormControl> formControls();

// The name a screen reader gives the control: its accessible name where the
// table gives one, else its caption.
constexpr std::string_view accessibleNameOf(const FormControl& control) {
    return control.accessibleName.empty() ? control.caption : control.accessibleName;
}

}  // namespace varidac
