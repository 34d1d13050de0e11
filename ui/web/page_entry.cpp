// The module's entry points: what the page's script calls. The page builds
// its windows from the tables (written at build time by
// page_tables_main.cpp), starts the program, and then reports each event of
// a control by the control's index in its table; these pass it to the
// handler, as every front end does. Each event ends with
// page::eventDone(), also when a dialog on the way made the module wait
// and the page's call returned early.
#include <emscripten/emscripten.h>

#include <cstdint>
#include <string>
#include <vector>

#include "os/os.h"
#include "ui/character_codes.h"
#include "ui/editor_layout.h"
#include "ui/form_events.h"
#include "ui/form_layout.h"
#include "ui/main_window.h"
#include "ui/web/editor_events.h"
#include "ui/web/page_bridge.h"
#include "ui/web/page_tables.h"
#include "ui/web/web_form.h"
#include "ui/web/web_platform.h"
#include "util/file_names.h"

namespace {

using namespace varidac;
using namespace varidac::web;

struct Program {
    WebPlatform platform;
    WebForm window{platform, os::programFolder()};
};

Program* program = nullptr;

class EventScope {
public:
    EventScope() = default;
    EventScope(const EventScope&) = delete;
    EventScope& operator=(const EventScope&) = delete;
    ~EventScope() { page::eventDone(); }
};

Form1& form() { return program->window.form(); }
ListEditor& editor() { return program->window.form().curveEditor(); }

bool isFormControl(int control) { return program && control >= 0 && static_cast<std::size_t>(control) < formControls().size(); }
bool isEditorControl(int control) { return program && control >= 0 && static_cast<std::size_t>(control) < editorControls().size(); }

std::vector<std::string> droppedPaths;

}  // namespace

extern "C" {

// Tells the page which folders to make (the page makes them with the file
// system's own calls, which cost the start less than the C++ library's) and
// where the guide goes: beside the program, where "?" looks for it.
EMSCRIPTEN_KEEPALIVE const char* varidac_prepare() {
    static std::string info;
    const std::string folder = os::programFolder();
    info = "{\"folders\":[" + jsonString(folder) + "," + jsonString(kListsFolder) + "],\"guide\":" +
           jsonString(joinPath(folder, kHelpFileName)) + ",\"lists\":" + jsonString(kListsFolder) + "}";
    return info.c_str();
}

// Once the page has built the main window and shown it.
EMSCRIPTEN_KEEPALIVE void varidac_start() {
    EventScope scope;
    if (program) return;
    static Program started;
    program = &started;
    form().Form_Load();
    form().Form_Shown();
}

EMSCRIPTEN_KEEPALIVE void varidac_click(int control) {
    EventScope scope;
    if (isFormControl(control)) dispatch(form(), static_cast<ControlId>(control), ControlEvent::Click);
}

EMSCRIPTEN_KEEPALIVE void varidac_dblclick(int control) {
    EventScope scope;
    if (isFormControl(control)) dispatch(form(), static_cast<ControlId>(control), ControlEvent::DblClick);
}

EMSCRIPTEN_KEEPALIVE void varidac_change(int control) {
    EventScope scope;
    if (isFormControl(control)) dispatch(form(), static_cast<ControlId>(control), ControlEvent::Change);
}

// The character's code as the handler leaves it: 0 when it is refused.
EMSCRIPTEN_KEEPALIVE int varidac_keypress(int control, int keyAscii) {
    EventScope scope;
    auto KeyAscii = static_cast<int16_t>(keyAscii);
    if (isFormControl(control)) dispatchKeyPress(form(), static_cast<ControlId>(control), KeyAscii);
    return KeyAscii;
}

// A paste (edit 0, of `pasted`), cut (1) or delete (2) in a text box:
// 1 when the field may go on with it.
EMSCRIPTEN_KEEPALIVE int varidac_field_edit(int control, int edit, const char* pasted) {
    EventScope scope;
    if (!isFormControl(control)) return 1;
    const std::optional<TextBox> box = textBoxOf(static_cast<ControlId>(control));
    if (!box) return 1;
    const FieldEdit kinds[] = {FieldEdit::Paste, FieldEdit::Cut, FieldEdit::Delete};
    if (edit < 0 || edit > 2) return 1;
    return form().Field_Edit(*box, kinds[edit], pasted ? std::string(pasted) : std::string()) ? 1 : 0;
}

// The files of one drop, each already in the module's file system: one
// call per file, then the drop itself.
EMSCRIPTEN_KEEPALIVE void varidac_drop_add(const char* path) {
    EventScope scope;
    droppedPaths.emplace_back(path);
}

EMSCRIPTEN_KEEPALIVE void varidac_drop_end() {
    EventScope scope;
    std::vector<std::string> paths;
    paths.swap(droppedPaths);
    if (program) dispatchFilesDropped(form(), paths);
}

// The main window's close button: the form may keep it open.
EMSCRIPTEN_KEEPALIVE void varidac_close() {
    EventScope scope;
    if (!program) return;
    int16_t Cancel = 0;
    form().Form_QueryUnload(Cancel);
    if (Cancel != 0) return;
    program->window.closeWindow();
    program->platform.endProgram();
}

// Whether leaving the page would lose points typed in the curve window.
EMSCRIPTEN_KEEPALIVE int varidac_unsaved() {
    EventScope scope;
    return program && editor().hasUnsavedChanges() ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE void varidac_editor_click(int control) {
    EventScope scope;
    if (isEditorControl(control)) dispatchEditorClick(editor(), static_cast<EditorControlId>(control));
}

EMSCRIPTEN_KEEPALIVE void varidac_editor_change(int control) {
    EventScope scope;
    if (!isEditorControl(control)) return;
    const int point = pointOf(static_cast<EditorControlId>(control));
    if (point >= 0) editor().txtPoint_Change(static_cast<int16_t>(point));
}

// A key of the curve window, in a point's field or (control -1) anywhere
// else in the window: the key's code as the handler leaves it, 0 when used.
EMSCRIPTEN_KEEPALIVE int varidac_editor_keydown(int control, int keyCode, int shift) {
    EventScope scope;
    auto KeyCode = static_cast<int16_t>(keyCode);
    if (!program) return KeyCode;
    const int point = isEditorControl(control) ? pointOf(static_cast<EditorControlId>(control)) : -1;
    if (point >= 0) {
        editor().txtPoint_KeyDown(static_cast<int16_t>(point), KeyCode, static_cast<int16_t>(shift));
    } else {
        editor().CurveWindow_KeyDown(KeyCode, static_cast<int16_t>(shift));
    }
    return KeyCode;
}

// A typed character in the curve window, as varidac_editor_keydown. Escape
// is the window's key wherever the focus is: it closes the window.
EMSCRIPTEN_KEEPALIVE int varidac_editor_keypress(int control, int keyAscii) {
    EventScope scope;
    auto KeyAscii = static_cast<int16_t>(keyAscii);
    if (!program) return KeyAscii;
    const int point = isEditorControl(control) ? pointOf(static_cast<EditorControlId>(control)) : -1;
    if (point >= 0 && KeyAscii != kEscape) {
        editor().txtPoint_KeyPress(static_cast<int16_t>(point), KeyAscii);
        return KeyAscii;
    }
    editor().CurveWindow_KeyPress(KeyAscii);
    return point >= 0 ? 0 : KeyAscii;
}

// The text to paste into a point's field, as the editor changed it, or
// nothing when it refuses the paste.
EMSCRIPTEN_KEEPALIVE const char* varidac_editor_paste(int control, const char* text) {
    EventScope scope;
    static std::string pasted;
    if (!isEditorControl(control)) return nullptr;
    const int point = pointOf(static_cast<EditorControlId>(control));
    if (point < 0) return nullptr;
    pasted = text ? text : "";
    return editor().txtPoint_Paste(static_cast<int16_t>(point), pasted) ? pasted.c_str() : nullptr;
}

// The curve window's close button: the editor may keep it open.
EMSCRIPTEN_KEEPALIVE void varidac_editor_close() {
    EventScope scope;
    if (!program) return;
    int16_t Cancel = 0;
    editor().CurveWindow_QueryUnload(Cancel);
    if (Cancel == 0) program->window.curve().close();
}

// The left button on the plot: pressed (0), moved while pressed (1),
// released (2); at x, y of a plot `width` by `height` CSS pixels.
EMSCRIPTEN_KEEPALIVE void varidac_plot_mouse(int action, double x, double y, double width, double height) {
    EventScope scope;
    if (!program) return;
    const Point at = program->window.curve().toDrawing(Point{x, y}, width, height);
    if (action == 0) editor().Plot_MouseDown(at);
    if (action == 1) editor().Plot_MouseMove(at);
    if (action == 2) editor().Plot_MouseUp();
}

// Whether the mouse at x, y is over a point that can be taken.
EMSCRIPTEN_KEEPALIVE int varidac_plot_hover(double x, double y, double width, double height) {
    EventScope scope;
    return program && program->window.curve().overPoint(Point{x, y}, width, height) ? 1 : 0;
}

}  // extern "C"
