#pragma once
// The "Tuning curve" window as the place where a tuning list is written:
// the eleven points 600 to 1600 kHz in fields beside the plot, typed or
// dragged, checked while they are measured, and saved as a list that the
// main window then reads as Read File would. The decisions live here; a
// front end builds the controls from editorControls(), shows them through
// ListEditorView and reports each event to the handler of the same name.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "core/curve_plot.h"
#include "core/drawing.h"
#include "core/list_text.h"
#include "ui/platform.h"

namespace varidac {

class FormView;

// Key codes as KeyDown handlers get them, and the Shift argument's bits.
inline constexpr int16_t kKeyUp = 38;
inline constexpr int16_t kKeyDown = 40;
inline constexpr int16_t kKeyS = 83;
inline constexpr int16_t kShiftMask = 1;
inline constexpr int16_t kCtrlMask = 2;
inline constexpr int16_t kAltMask = 4;

inline constexpr const char* kTipDecimalPoint = "Type the decimal point as .";
inline constexpr const char* kTipOnePoint = "One decimal point only";
inline constexpr const char* kTipDigitsOnly = "Only digits and one decimal point";
inline constexpr const char* kCodesOutdatedNote = "Start Filler again to see the codes";

// What the curve window's controls must do for the editor. Point indices
// run 0 to 10, from 600 kHz.
class ListEditorView {
public:
    virtual ~ListEditorView() = default;

    // Opens the window beside the main window, or brings it forward when open.
    virtual void open() = 0;
    // Closes it without reporting CurveWindow_QueryUnload.
    virtual void close() = 0;
    virtual void setTitle(const std::string& title) = 0;
    virtual void showDrawing(const Drawing& drawing) = 0;

    virtual std::string pointText(int point) const = 0;
    // Replaces the text without reporting txtPoint_Change.
    virtual void setPointText(int point, const std::string& text) = 0;
    // The field's text without its selected part: what stays when a typed
    // key or a paste replaces the selection.
    virtual std::string pointTextOutsideSelection(int point) const = 0;
    virtual void givePointFocus(int point) = 0;
    // The mark beside the field: none for an empty tip, else a warning mark
    // that shows the tip on hover.
    virtual void setPointCheck(int point, const std::string& tip) = 0;
    // A short-lived tip beside the field, after a refused key or paste.
    virtual void showPointTip(int point, const std::string& tip) = 0;
};

// The codes of the last run that wrote files, with what they were computed from.
struct RunCodes {
    std::array<int16_t, kImageSize> image{};
    double startVoltage = 0;
    double endVoltage = 0;
    ListPoints voltages{};
};

// What the editor reads of the main window, and asks of it.
class ListEditorHost {
public:
    virtual ~ListEditorHost() = default;
    // The list as the main window last read it: nothing before any list.
    virtual std::optional<ListPoints> listOnScreen() const = 0;
    virtual const TuningState& tuningState() const = 0;  // the D/A voltages, the list's name and folder
    virtual const RunCodes* lastRun() const = 0;
    // The folder where a new list's save dialog starts.
    virtual std::string saveDialogFolder() = 0;
    // Reads the saved list exactly as Read File would.
    virtual void readSavedList(const std::string& path) = 0;
};

class ListEditor {
public:
    ListEditor(FormView& formView, Platform& platform, ListEditorHost& host);
    ListEditor(const ListEditor&) = delete;
    ListEditor& operator=(const ListEditor&) = delete;

    // The D/A tune list's double-click: opens the window with the list last
    // read (empty fields before any), or brings it forward when open.
    void open();
    bool isOpen() const { return open_; }
    // The main window's list was read anew: the fields take it.
    void listRead();
    // The D/A voltages or the codes changed: the plot is drawn anew.
    void refresh();
    bool hasUnsavedChanges() const;
    // Before unsaved points would be lost: asks whether to save them. False
    // when they are still unsaved because the user cancelled or saving failed.
    bool mayDiscard();

    const std::optional<std::string>& listPath() const { return path_; }
    std::string title() const;
    Drawing drawing() const;

    void txtPoint_Change(int16_t Index);
    void txtPoint_KeyPress(int16_t Index, int16_t& KeyAscii);
    // Up and Down move between the points; Ctrl+S and Ctrl+Shift+S save.
    // KeyCode 0 afterwards: the key was used.
    void txtPoint_KeyDown(int16_t Index, int16_t& KeyCode, int16_t Shift);
    // True when the toolkit may paste `text`, in which commas became points.
    bool txtPoint_Paste(int16_t Index, std::string& text);
    void cmdNew_Click();
    void cmdSave_Click();
    void cmdSaveAs_Click();
    // Escape closes the window, asking first about unsaved points.
    void CurveWindow_KeyPress(int16_t& KeyAscii);
    void CurveWindow_KeyDown(int16_t& KeyCode, int16_t Shift);
    // The title bar's close: Cancel set to 1 keeps the window open.
    void CurveWindow_QueryUnload(int16_t& Cancel);
    // The mouse on the plot, in the drawing's coordinates: a press on a
    // point starts dragging it up or down in steps of 0.01 V.
    void Plot_MouseDown(Point at);
    void Plot_MouseMove(Point at);
    void Plot_MouseUp();
    std::optional<int> draggedPoint() const { return dragged_; }

private:
    ListEditorView& view() const;
    ListPoints fieldPoints() const;
    void showPoints(const ListPoints& points);
    void repaint();
    void markChecks();
    bool save(bool askForName);
    void beepWithTip(int16_t Index, const char* tip);

    FormView& formView_;
    Platform& platform_;
    ListEditorHost& host_;
    bool open_ = false;
    std::optional<std::string> path_;  // where Save writes; nothing for a new list
    ListPoints saved_{};               // what is in the file at path_, or the empty new list
    std::optional<int> dragged_;
    std::optional<CurveAxes> dragAxes_;  // the plot's scale while a drag lasts
};

}  // namespace varidac
