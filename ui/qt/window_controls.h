#pragma once
// Qt widgets built from a row of a control table, in the window's face, for
// every window that has a table: the main window and the tuning curve.
#include <QFont>
#include <QRect>
#include <QString>
#include <string_view>

#include "ui/form_layout.h"

class QWidget;

namespace varidac {

inline QString qs(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// The table's face where it exists, else the first sans-serif face of about
// its width that is installed, else the system's own face, which may be
// wider (`fallback`).
struct WindowFace {
    QString family;
    bool fallback = false;
};
const WindowFace& windowFace();

// The window's face at the table's size, of the given weight.
QFont windowFont(int weight);

// A rectangle of the table in pixels at the given logical resolution.
QRect pixelGeometry(const TwipsRect& rect, int dotsPerInchX, int dotsPerInchY);

// The control that the row describes, inside `container`, not yet placed:
// a QLabel, FrameBox, QPushButton, QLineEdit, QListWidget, QRadioButton or
// DrawingBox.
QWidget* makeControl(const FormControl& row, QWidget* container);

// Places the control, sets its face where it is not the regular one (fitting
// its caption where a wider face stands in) and its tooltip.
void dressControl(QWidget* control, const FormControl& row, int dotsPerInchX, int dotsPerInchY);

}  // namespace varidac
