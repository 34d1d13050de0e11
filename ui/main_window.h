#pragma once
// Form1, the program's one window, without its toolkit: the tuning state,
// the common dialog and every event handler. A front end builds the
// controls from the control table, shows them through FormView, and reports
// each event through ui/form_events.h; it decides nothing itself.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/drawing.h"
#include "core/message.h"
#include "core/tuning_state.h"
#include "ui/common_dialog.h"
#include "ui/form_view.h"
#include "ui/list_editor.h"
#include "ui/platform.h"

namespace varidac {

inline constexpr const char* kHelpFileName = "VARIDAC.HLP";

// An edit of a text box that is not a typed character.
enum class FieldEdit { Paste, Cut, Delete };

class Form1 : private ListEditorHost {
public:
    // `appPath` is the folder that holds the program, where the file-open
    // dialog starts. Both references must outlive the form.
    Form1(FormView& view, Platform& platform, std::string appPath);
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    const TuningState& tuningState() const override { return state_; }
    ListEditor& curveEditor() { return editor_; }
    const ListEditor& curveEditor() const { return editor_; }

    // The front end calls Form_Load once its controls exist, before the
    // window is first shown, and Form_Shown whenever the window is shown.
    void Form_Load();
    void Form_Shown();

    // The event handlers, named after control and event. A key-press
    // handler gets the typed character's code; 0 afterwards discards it.
    void cmdLeeslijst_Click();
    void cmdFiller_Click();
    void cmdStoppen_Click();
    void Command1_Click();
    void optEprom_Click(int16_t Index);
    void txtStartVoltage_Change();
    void txtEndVoltage_Change();
    void txtStartVoltage_KeyPress(int16_t& KeyAscii);
    void txtEndVoltage_KeyPress(int16_t& KeyAscii);
    void txtStep_KeyPress(int16_t& KeyAscii);
    // A paste (of `pasted`), cut or delete in a text box: true when the
    // toolkit may go on with it. The voltage fields take a paste only where
    // every character would have passed their key filter; the step field
    // takes none of these, as it takes no key.
    bool Field_Edit(TextBox box, FieldEdit edit, const std::string& pasted = {});
    // The window's close button: Cancel set to 1 keeps the program running.
    void Form_QueryUnload(int16_t& Cancel);

    // A double-click on the D/A tune list, or Enter in it, opens the tuning
    // curve, whose own events go to curveEditor().
    void txtDAlist_DblClick();
    void txtDAlist_KeyPress(int16_t& KeyAscii);

    // Files dropped onto the window: a single one is read as a list chosen
    // in the file-open dialog would be.
    void Form_DragDrop(const std::vector<std::string>& paths);

    bool curveWindowOpen() const { return editor_.isOpen(); }

private:
    std::string helpFilePath() const;
    void recomputeStep();
    void voltageKeyPress(TextBox box, int16_t& KeyAscii, TextBox other);
    void refuseWithTip(TextBox box, const char* tip);
    void showMessage(const Message& message);
    std::string openDialogFolder();
    void readChosenList(const std::string& chosen);
    void showListItems();
    void repaintCurve();

    // What the list editor reads of the window.
    std::optional<ListPoints> listOnScreen() const override;
    const RunCodes* lastRun() const override;
    std::string saveDialogFolder() override;
    void readSavedList(const std::string& path) override;

    FormView& view_;
    Platform& platform_;
    std::string appPath_;
    TuningState state_;
    CommonDialog CommonDialog1;
    bool shownOnce_ = false;

    // Whether a list has been read in this run: before, UvarTable holds
    // start-up zeros, not a curve.
    bool listRead_ = false;
    std::optional<std::string> lastListFolder_;
    // The name of the list each entry of UvarTable was read from.
    std::array<std::string, kTableSize> pointSource_;
    // The codes of the last run that wrote files, and what they were computed from.
    std::optional<RunCodes> lastRun_;
    ListEditor editor_{view_, platform_, *this};
};

}  // namespace varidac
