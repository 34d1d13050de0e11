#pragma once
// A frame with its caption in the top border line: a thin rounded border in
// the palette's mid colour, the caption in a gap near its left end.
#include <QGroupBox>

namespace varidac {

// Where the gap in the top line begins, and its room on either side of the
// caption: what a caption has of the frame's width.
inline constexpr int kFrameCaptionLeft = 7;
inline constexpr int kFrameCaptionPad = 2;

class FrameBox : public QGroupBox {
    Q_OBJECT
public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace varidac
