#pragma once
// The curve window as the list editor: a shown form, the example list in a
// folder of its own, and what the tests look up in the editor's drawing.
#include <algorithm>
#include <string>
#include <variant>
#include <vector>

#include "tests/form/form_harness.h"

namespace varidac::testing {

inline const std::string kExampleText =
    "600,2.1\r\n650,2.35\r\n700,2.6\r\n800,3.2\r\n900,3.9\r\n1000,4.7\r\n1100,5.6\r\n"
    "1200,6.6\r\n1300,7.7\r\n1400,8.9\r\n1500,10.2\r\n1600,11.5\r\n";

template <typename Kind>
std::vector<Kind> primitives(const Drawing& drawing, Role role) {
    std::vector<Kind> found;
    for (const Primitive& p : drawing.primitives) {
        if (const auto* k = std::get_if<Kind>(&p); k && k->role == role) found.push_back(*k);
    }
    return found;
}

inline bool holdsText(const Drawing& drawing, const std::string& text) {
    return std::any_of(drawing.primitives.begin(), drawing.primitives.end(), [&](const Primitive& p) {
        const auto* t = std::get_if<Text>(&p);
        return t && t->text == text;
    });
}

struct EditorHarness : FormHarness {
    EditorHarness() { form.Form_Shown(); }

    // Reads the example list (or `text` as EXAMPLE.INF) and opens the curve window.
    void openWithList(const std::string& text = kExampleText) {
        listPath = folder.write("EXAMPLE.INF", text);
        readFile(listPath);
        form.txtDAlist_DblClick();
    }

    ListEditor& editor() { return form.curveEditor(); }
    RecordingEditorView& curve() { return view.curve; }
    const Drawing& drawing() { return view.curve.drawing.value(); }

    // The editor's points as the plot takes them.
    ListPoints points() {
        ListPoints points;
        for (int i = 0; i < kListPoints; ++i) points[static_cast<std::size_t>(i)] = pointVoltage(view.curve.texts[static_cast<std::size_t>(i)]);
        return points;
    }

    void keyDown(int16_t point, int16_t& keyCode, int16_t shift = 0) { editor().txtPoint_KeyDown(point, keyCode, shift); }

    TempFolder folder;
    std::string listPath;
};

}  // namespace varidac::testing
