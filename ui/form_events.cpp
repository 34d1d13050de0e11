#include "ui/form_events.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "ui/form_layout.h"

namespace varidac {
namespace {

// The handlers of each control that has any, by the control's name.
struct Handlers {
    std::string_view name;
    void (Form1::*click)() = nullptr;
    void (Form1::*indexedClick)(int16_t) = nullptr;  // the control array optEprom
    void (Form1::*dblClick)() = nullptr;
    void (Form1::*keyPress)(int16_t&) = nullptr;
    void (Form1::*change)() = nullptr;
};

constexpr Handlers kHandlers[] = {
    {.name = "cmdLeeslijst", .click = &Form1::cmdLeeslijst_Click},
    {.name = "cmdFiller", .click = &Form1::cmdFiller_Click},
    {.name = "cmdStoppen", .click = &Form1::cmdStoppen_Click},
    {.name = "Command1", .click = &Form1::Command1_Click},
    {.name = "optEprom", .indexedClick = &Form1::optEprom_Click},
    {.name = "txtStartVoltage", .keyPress = &Form1::txtStartVoltage_KeyPress, .change = &Form1::txtStartVoltage_Change},
    {.name = "txtEndVoltage", .keyPress = &Form1::txtEndVoltage_KeyPress, .change = &Form1::txtEndVoltage_Change},
    {.name = "txtStep", .keyPress = &Form1::txtStep_KeyPress},
    {.name = "txtDAlist", .dblClick = &Form1::txtDAlist_DblClick, .keyPress = &Form1::txtDAlist_KeyPress},
};

const Handlers& handlersOf(ControlId control) {
    static constexpr Handlers none{};
    const std::string_view name = formControls()[control].name;
    for (const Handlers& handlers : kHandlers) {
        if (handlers.name == name) return handlers;
    }
    return none;
}

bool takesFocus(ControlKind kind) { return kind != ControlKind::Label && kind != ControlKind::Frame; }

struct Orders {
    std::vector<ControlId> tab;
    std::vector<ControlId> focus;
};

const Orders& orders() {
    static const Orders built = [] {
        const auto rows = formControls();
        Orders orders;
        for (ControlId id = 0; id < rows.size(); ++id) orders.tab.push_back(id);
        std::stable_sort(orders.tab.begin(), orders.tab.end(),
                         [&](ControlId a, ControlId b) { return rows[a].tabIndex < rows[b].tabIndex; });
        for (ControlId id : orders.tab) {
            if (takesFocus(rows[id].kind)) orders.focus.push_back(id);
        }
        return orders;
    }();
    return built;
}

}  // namespace

bool handles(ControlId control, ControlEvent event) {
    const Handlers& h = handlersOf(control);
    switch (event) {
        case ControlEvent::Click:
            return h.click || h.indexedClick;
        case ControlEvent::DblClick:
            return h.dblClick != nullptr;
        case ControlEvent::KeyPress:
            return h.keyPress != nullptr;
        case ControlEvent::Change:
            return h.change != nullptr;
    }
    return false;
}

void dispatch(Form1& form, ControlId control, ControlEvent event) {
    const Handlers& h = handlersOf(control);
    void (Form1::*handler)() = nullptr;
    switch (event) {
        case ControlEvent::Click:
            if (h.indexedClick) (form.*h.indexedClick)(static_cast<int16_t>(formControls()[control].index));
            handler = h.click;
            break;
        case ControlEvent::DblClick:
            handler = h.dblClick;
            break;
        case ControlEvent::Change:
            handler = h.change;
            break;
        case ControlEvent::KeyPress:
            break;  // has its character: dispatchKeyPress
    }
    if (handler) (form.*handler)();
}

void dispatchKeyPress(Form1& form, ControlId control, int16_t& KeyAscii) {
    if (auto handler = handlersOf(control).keyPress) (form.*handler)(KeyAscii);
}

void dispatchFilesDropped(Form1& form, const std::vector<std::string>& paths) { form.Form_DragDrop(paths); }

std::span<const ControlId> tabOrder() { return orders().tab; }

std::span<const ControlId> focusOrder() { return orders().focus; }

std::optional<TextBox> textBoxOf(ControlId control) {
    for (TextBox box : kTextBoxes) {
        if (controlOf(box) == control) return box;
    }
    return std::nullopt;
}

ControlId controlOf(TextBox box) {
    const auto rows = formControls();
    const auto row = std::find_if(rows.begin(), rows.end(), [&](const FormControl& r) { return r.name == textBoxName(box); });
    return static_cast<ControlId>(row - rows.begin());
}

}  // namespace varidac
