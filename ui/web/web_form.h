#pragma once
// Form1 in a web page: the page builds the controls from the control
// table, reports their events by control (ui/web/page_entry.cpp), and
// FormView reaches the page's elements for the handlers.
#include <string>
#include <vector>

#include "ui/form_view.h"
#include "ui/main_window.h"
#include "ui/web/web_curve_window.h"

namespace varidac::web {

class WebForm : public FormView {
public:
    // `appPath` as for Form1. The page's controls must exist before the
    // form is loaded.
    WebForm(Platform& platform, std::string appPath);

    Form1& form() { return form_; }
    WebCurveWindow& curve() { return curve_; }

    std::string text(TextBox box) const override;
    std::string textOutsideSelection(TextBox box) const override;
    void showFieldTip(TextBox box, const std::string& tip) override;
    void setText(TextBox box, const std::string& text) override;
    void setListItems(const std::vector<std::string>& items) override;
    void giveFocus(TextBox box) override;
    void selectOption(int16_t index) override;
    void closeWindow() override;
    ListEditorView& curveWindow() override { return curve_; }

private:
    WebCurveWindow curve_;
    Form1 form_;
};

}  // namespace varidac::web
