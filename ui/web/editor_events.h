#pragma once
// What the page does with an event of a control of the "Tuning curve"
// window: the counterpart of ui/form_events.h for editorControls(), whose
// handlers belong to the list editor.
#include <cstddef>

#include "ui/list_editor.h"

namespace varidac::web {

// A control's index in editorControls().
using EditorControlId = std::size_t;

enum class EditorEvent { Click, KeyDown, KeyPress, Change, Paste, Mouse };

// Whether the editor has a handler for the control's event.
bool editorHandles(EditorControlId control, EditorEvent event);

// Runs the button's click handler; nothing for a control without one.
void dispatchEditorClick(ListEditor& editor, EditorControlId control);

// The point (0 to 10) whose field the control is, or -1.
int pointOf(EditorControlId control);

}  // namespace varidac::web
