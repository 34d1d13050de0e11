#include "ui/web/web_curve_window.h"

#include "core/svg_writer.h"
#include "ui/drawing_fit.h"
#include "ui/editor_layout.h"
#include "ui/form_layout.h"
#include "ui/hover_tip.h"
#include "ui/web/page_bridge.h"
#include "ui/web/page_tables.h"
#include "ui/window_placement.h"

namespace varidac::web {
namespace {

// The mark beside a field whose point fails a check, as on the desktop.
constexpr const char* kWarningMark = "!";

const std::string kWindow{kCurveFormName};
const std::string kMainWindow{kFormName};
const std::string kPlot = "picCurve";

std::string field(int point) { return elementId("txtPoint", point); }
std::string mark(int point) { return elementId("lblCheck", point); }

// The SVG document without its XML declaration, which has no place inside HTML.
std::string inlineSvg(const std::string& document) {
    const auto start = document.find("<svg");
    return start == std::string::npos ? document : document.substr(start);
}

}  // namespace

void WebCurveWindow::open() {
    if (!page::windowShown(kWindow)) {
        const PixelPoint at = placeBeside(page::windowFrame(kMainWindow), page::windowFrame(kWindow).width, page::room());
        page::moveWindow(kWindow, at.x, at.y);
    }
    page::showWindow(kWindow);
}

void WebCurveWindow::close() { page::hideWindow(kWindow); }

void WebCurveWindow::setTitle(const std::string& title) { page::setWindowTitle(kWindow, title); }

void WebCurveWindow::showDrawing(const Drawing& drawing) {
    drawing_ = drawing;
    page::showSvg(kPlot, inlineSvg(svgDocument(drawing_)));
}

std::string WebCurveWindow::pointText(int point) const { return page::fieldText(field(point)); }

void WebCurveWindow::setPointText(int point, const std::string& text) { page::setFieldText(field(point), text); }

std::string WebCurveWindow::pointTextOutsideSelection(int point) const { return page::fieldTextOutsideSelection(field(point)); }

void WebCurveWindow::givePointFocus(int point) { page::focus(field(point)); }

void WebCurveWindow::setPointCheck(int point, const std::string& tip) {
    page::showMark(mark(point), field(point), tip.empty() ? "" : kWarningMark, tip);
}

void WebCurveWindow::showPointTip(int point, const std::string& tip) { page::showTip(field(point), tip); }

Point WebCurveWindow::toDrawing(Point onPlot, double width, double height) const {
    const DrawingFit fit = fitDrawing(drawing_, DeviceRect{0, 0, width, height});
    if (fit.scale <= 0) return onPlot;
    return fit.toDrawing(onPlot);
}

bool WebCurveWindow::overPoint(Point onPlot, double width, double height) const {
    return !hoverTip(drawing_, fitDrawing(drawing_, DeviceRect{0, 0, width, height}), onPlot).empty();
}

}  // namespace varidac::web
