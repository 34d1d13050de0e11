#pragma once
// A caption that does not fit its control in the face in use (a wider
// fallback than the one the window is laid out for) is set smaller until it
// does, rather than clipped.
#include <QFont>
#include <QString>
#include <QWidget>

namespace varidac {

// A label's, frame's or button's caption; empty for any other control.
QString captionOf(const QWidget* control);

// The width the control's caption needs in `font`, and the width the
// control gives it; 0 for a control without a caption.
int captionWidthNeeded(const QWidget* control, const QFont& font);
int captionWidthAvailable(const QWidget* control);

// Shrinks the control's face in steps of a quarter point, down to 6 points
// at the least, until its caption fits; a caption that fits keeps its face.
void fitCaption(QWidget* control);

}  // namespace varidac
