#pragma once
// The "Tuning curve" window: paints the drawing it is given, scaled to its
// size, with each list point's caption as a tooltip. It decides nothing:
// keys and the title bar's close button go to whoever set the callbacks.
#include <QWidget>
#include <functional>

#include "core/drawing.h"

class QKeyEvent;

namespace varidac {

class CurveWindow : public QWidget {
    Q_OBJECT
public:
    explicit CurveWindow(QWidget* parent = nullptr);

    void setDrawing(Drawing drawing);
    const Drawing& drawing() const { return drawing_; }

    // Closes the window without calling onClosedByUser.
    void closeFromProgram();

    std::function<void(const QKeyEvent&)> onKey;
    std::function<void()> onClosedByUser;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    Drawing drawing_;
    bool closingFromProgram_ = false;
};

}  // namespace varidac
