#include "ui/web/page_tables.h"

#include <algorithm>

#include "core/curve_plot.h"
#include "core/number_text.h"
#include "core/svg_writer.h"
#include "ui/editor_layout.h"
#include "ui/form_events.h"
#include "ui/web/editor_events.h"

namespace varidac::web {
namespace {

constexpr std::string_view kindName(ControlKind kind) {
    switch (kind) {
        case ControlKind::Label: return "Label";
        case ControlKind::Frame: return "Frame";
        case ControlKind::CommandButton: return "CommandButton";
        case ControlKind::TextBox: return "TextBox";
        case ControlKind::ListBox: return "ListBox";
        case ControlKind::OptionButton: return "OptionButton";
        case ControlKind::PictureBox: return "PictureBox";
    }
    return "Label";
}

struct WindowInfo {
    std::string_view name;
    std::string_view title;
    int width;
    int height;
    std::string extra;  // further members of the window's object, each with a leading comma
};

// Where each control stands in its window's focus order, -1 for none.
using FocusRanks = std::vector<int>;

std::string tableJson(const WindowInfo& window, std::span<const FormControl> rows, const FocusRanks& ranks,
                      const std::vector<std::vector<std::string_view>>& events) {
    std::string out = "{\"window\":{\"name\":" + jsonString(window.name) + ",\"title\":" + jsonString(window.title) +
                      ",\"width\":" + std::to_string(window.width) + ",\"height\":" + std::to_string(window.height) +
                      ",\"font\":" + jsonString(kFontFace) + ",\"points\":" + plainNumberText(kFontPoints) + window.extra +
                      "},\"controls\":[";
    for (std::size_t id = 0; id < rows.size(); ++id) {
        const FormControl& row = rows[id];
        if (id > 0) out += ',';
        out += "{\"id\":" + std::to_string(id);
        out += ",\"element\":" + jsonString(elementId(row));
        out += ",\"name\":" + jsonString(row.name);
        out += ",\"index\":" + std::to_string(row.index);
        out += ",\"kind\":" + jsonString(kindName(row.kind));
        out += ",\"container\":" + jsonString(row.container);
        out += ",\"caption\":" + jsonString(row.caption);
        out += ",\"rect\":[" + std::to_string(row.rect.left) + ',' + std::to_string(row.rect.top) + ',' +
               std::to_string(row.rect.width) + ',' + std::to_string(row.rect.height) + ']';
        out += ",\"tabIndex\":" + std::to_string(row.tabIndex);
        out += ",\"bold\":" + std::string(row.fontWeight == kFontBold ? "true" : "false");
        out += ",\"toolTip\":" + jsonString(row.toolTip);
        out += ",\"accessibleName\":" + jsonString(accessibleNameOf(row));
        out += ",\"focus\":" + std::to_string(ranks[id]);
        out += ",\"events\":[";
        for (std::size_t e = 0; e < events[id].size(); ++e) {
            if (e > 0) out += ',';
            out += jsonString(events[id][e]);
        }
        out += "]}";
    }
    out += "]}";
    return out;
}

}  // namespace

std::string elementId(std::string_view name, int index) {
    std::string id(name);
    if (index >= 0) id += '(' + std::to_string(index) + ')';
    return id;
}

std::string elementId(const FormControl& control) { return elementId(control.name, control.index); }

std::string jsonString(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte == 0x7f) {
            static constexpr char kHex[] = "0123456789abcdef";
            out += "\\u00";
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
        } else {
            out += c;  // UTF-8 passes as it is
        }
    }
    out += '"';
    return out;
}

std::string jsonStringArray(const std::vector<std::string>& texts) {
    std::string out = "[";
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (i > 0) out += ',';
        out += jsonString(texts[i]);
    }
    out += ']';
    return out;
}

std::string formTableJson() {
    const auto rows = formControls();
    FocusRanks ranks(rows.size(), -1);
    const auto order = focusOrder();
    for (std::size_t rank = 0; rank < order.size(); ++rank) ranks[order[rank]] = static_cast<int>(rank);
    std::vector<std::vector<std::string_view>> events(rows.size());
    for (ControlId id = 0; id < rows.size(); ++id) {
        for (auto [event, name] : {std::pair{ControlEvent::Click, "Click"}, std::pair{ControlEvent::DblClick, "DblClick"},
                                   std::pair{ControlEvent::KeyPress, "KeyPress"}, std::pair{ControlEvent::Change, "Change"}}) {
            if (handles(id, event)) events[id].push_back(name);
        }
        // Form1::Field_Edit takes every text box's pastes, cuts and deletes.
        if (textBoxOf(id)) {
            events[id].push_back("Paste");
            events[id].push_back("CutOrDelete");
        }
    }
    return tableJson({kFormName, kWindowTitle, kClientWidthTwips, kClientHeightTwips, {}}, rows, ranks, events);
}

std::string editorTableJson() {
    const auto rows = editorControls();
    // As every front end orders the editor's focus: the controls that take
    // it, by tab index.
    std::vector<EditorControlId> focusable;
    for (EditorControlId id = 0; id < rows.size(); ++id) {
        const ControlKind kind = rows[id].kind;
        if (kind != ControlKind::Label && kind != ControlKind::Frame && kind != ControlKind::PictureBox) focusable.push_back(id);
    }
    std::stable_sort(focusable.begin(), focusable.end(),
                     [&](EditorControlId a, EditorControlId b) { return rows[a].tabIndex < rows[b].tabIndex; });
    FocusRanks ranks(rows.size(), -1);
    for (std::size_t rank = 0; rank < focusable.size(); ++rank) ranks[focusable[rank]] = static_cast<int>(rank);
    std::vector<std::vector<std::string_view>> events(rows.size());
    for (EditorControlId id = 0; id < rows.size(); ++id) {
        for (auto [event, name] : {std::pair{EditorEvent::Click, "Click"}, std::pair{EditorEvent::KeyDown, "KeyDown"},
                                   std::pair{EditorEvent::KeyPress, "KeyPress"}, std::pair{EditorEvent::Change, "Change"},
                                   std::pair{EditorEvent::Paste, "Paste"}, std::pair{EditorEvent::Mouse, "Mouse"}}) {
            if (editorHandles(id, event)) events[id].push_back(name);
        }
    }
    const std::string extra = ",\"markColour\":" + jsonString(hexColour(kWarningColour));
    return tableJson({kCurveFormName, kCurveWindowTitle, kCurveClientWidthTwips, kCurveClientHeightTwips, extra}, rows, ranks,
                     events);
}

}  // namespace varidac::web
