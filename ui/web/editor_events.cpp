#include "ui/web/editor_events.h"

#include <string_view>

#include "ui/editor_layout.h"

namespace varidac::web {
namespace {

constexpr std::string_view kPointField = "txtPoint";
constexpr std::string_view kPlot = "picCurve";

struct Button {
    std::string_view name;
    void (ListEditor::*click)();
};

constexpr Button kButtons[] = {
    {"cmdNew", &ListEditor::cmdNew_Click},
    {"cmdSave", &ListEditor::cmdSave_Click},
    {"cmdSaveAs", &ListEditor::cmdSaveAs_Click},
};

const Button* buttonOf(EditorControlId control) {
    const auto rows = editorControls();
    if (control >= rows.size()) return nullptr;
    for (const Button& button : kButtons) {
        if (button.name == rows[control].name) return &button;
    }
    return nullptr;
}

}  // namespace

bool editorHandles(EditorControlId control, EditorEvent event) {
    const auto rows = editorControls();
    if (control >= rows.size()) return false;
    switch (event) {
        case EditorEvent::Click:
            return buttonOf(control) != nullptr;
        case EditorEvent::KeyDown:
        case EditorEvent::KeyPress:
        case EditorEvent::Change:
        case EditorEvent::Paste:
            return rows[control].name == kPointField;
        case EditorEvent::Mouse:
            return rows[control].name == kPlot;
    }
    return false;
}

void dispatchEditorClick(ListEditor& editor, EditorControlId control) {
    if (const Button* button = buttonOf(control)) (editor.*button->click)();
}

int pointOf(EditorControlId control) {
    const auto rows = editorControls();
    if (control >= rows.size() || rows[control].name != kPointField) return -1;
    return rows[control].index;
}

}  // namespace varidac::web
