#pragma once
// The "Tuning curve" window as a panel of the page: ListEditorView for the
// list editor, the plot an inline SVG of the editor's drawing, and the
// mouse on the plot taken back into the drawing's coordinates.
#include <string>

#include "core/drawing.h"
#include "ui/list_editor.h"

namespace varidac::web {

class WebCurveWindow : public ListEditorView {
public:
    void open() override;
    void close() override;
    void setTitle(const std::string& title) override;
    void showDrawing(const Drawing& drawing) override;
    std::string pointText(int point) const override;
    void setPointText(int point, const std::string& text) override;
    std::string pointTextOutsideSelection(int point) const override;
    void givePointFocus(int point) override;
    void setPointCheck(int point, const std::string& tip) override;
    void showPointTip(int point, const std::string& tip) override;

    // A position on the plot (CSS pixels from its top-left corner, the plot
    // `width` by `height`) in the drawing's coordinates, as the drawing is
    // shown there.
    Point toDrawing(Point onPlot, double width, double height) const;
    // Whether a point of the drawing with a tip lies under the position.
    bool overPoint(Point onPlot, double width, double height) const;

private:
    Drawing drawing_;
};

}  // namespace varidac::web
