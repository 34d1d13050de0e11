#pragma once
// A frame with its caption in the top border line: a thin rounded border in
// the palette's mid colour, the caption in a gap near its left end.
#include <QGroupBox>

namespace varidac {

class FrameBox : public QGroupBox {
    Q_OBJECT
public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace varidac
