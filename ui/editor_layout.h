#pragma once
// The "Tuning curve" window's controls as data: the plot on the left and,
// beside it, a field for each of the list's eleven points with the buttons
// that start a new list and save it. Every front end builds the window from
// this table, as the main window from formControls().
#include <span>
#include <string_view>

#include "ui/form_layout.h"

namespace varidac {

inline constexpr std::string_view kCurveFormName = "CurveWindow";

// The client area at its opening size. The plot ("picCurve") takes what the
// column of controls leaves when the window is resized; the column keeps its
// distance to the right edge.
inline constexpr int kCurveClientWidthTwips = 11820;
inline constexpr int kCurveClientHeightTwips = 6600;
inline constexpr int kEditorColumnLeftTwips = 9600;

// "picCurve" (a PictureBox), then per point "lblPoint" ("600 kHz"),
// "txtPoint" (its voltage) and "lblCheck" (empty: where a warning mark shows
// when the point fails a check), each indexed 0 to 10 from 600 kHz; then
// "cmdNew", "cmdSave" and "cmdSaveAs". Tab indices: the fields 0 to 10, then
// the three buttons.
std::span<const FormControl> editorControls();

}  // namespace varidac
