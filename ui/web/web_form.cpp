#include "ui/web/web_form.h"

#include <algorithm>

#include "ui/editor_layout.h"
#include "ui/form_events.h"
#include "ui/form_layout.h"
#include "ui/web/page_bridge.h"
#include "ui/web/page_tables.h"

namespace varidac::web {
namespace {

std::string elementOf(TextBox box) { return elementId(formControls()[controlOf(box)]); }

std::string listElement() {
    const auto rows = formControls();
    const auto list = std::find_if(rows.begin(), rows.end(), [](const FormControl& row) { return row.kind == ControlKind::ListBox; });
    return elementId(*list);
}

}  // namespace

WebForm::WebForm(Platform& platform, std::string appPath) : form_(*this, platform, std::move(appPath)) {}

std::string WebForm::text(TextBox box) const { return page::fieldText(elementOf(box)); }

std::string WebForm::textOutsideSelection(TextBox box) const { return page::fieldTextOutsideSelection(elementOf(box)); }

void WebForm::showFieldTip(TextBox box, const std::string& tip) { page::showTip(elementOf(box), tip); }

// The page's field tells nothing of a text set by the program; the change
// handler runs here, once, before this returns.
void WebForm::setText(TextBox box, const std::string& text) {
    page::setFieldText(elementOf(box), text);
    dispatch(form_, controlOf(box), ControlEvent::Change);
}

void WebForm::setListItems(const std::vector<std::string>& items) { page::setListItems(listElement(), items); }

void WebForm::giveFocus(TextBox box) { page::focus(elementOf(box)); }

// A checked option of the page raises no event when the program checks it:
// its click runs here, as the user's would.
void WebForm::selectOption(int16_t index) {
    const auto rows = formControls();
    for (ControlId id = 0; id < rows.size(); ++id) {
        if (rows[id].kind != ControlKind::OptionButton || rows[id].index != index) continue;
        page::checkOption(elementId(rows[id]));
        dispatch(form_, id, ControlEvent::Click);
        return;
    }
}

void WebForm::closeWindow() {
    page::hideWindow(std::string(kCurveFormName));
    page::hideWindow(std::string(kFormName));
}

}  // namespace varidac::web
