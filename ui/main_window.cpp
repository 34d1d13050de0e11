#include "ui/main_window.h"

#include <exception>
#include <variant>

#include "core/curve_plot.h"
#include "core/filler_run.h"
#include "core/number_text.h"
#include "core/tuning_list.h"
#include "os/os.h"
#include "ui/help_file.h"
#include "util/file_names.h"

namespace varidac {
namespace {

constexpr int16_t kBackspace = 8;
constexpr int16_t kEnter = 13;
constexpr int16_t kEscape = 27;
constexpr int16_t kPoint = 46;
constexpr int16_t kDigitZero = 48;
constexpr int16_t kDigitNine = 57;

}  // namespace

Form1::Form1(FormView& view, Platform& platform, std::string appPath)
    : view_(view), platform_(platform), appPath_(std::move(appPath)), CommonDialog1(platform) {}

void Form1::showMessage(const Message& message) { platform_.showMessage(message.title, message.icon, message.text()); }

void Form1::recomputeStep() {
    view_.setText(TextBox::txtStep, recomputeVoltages(state_, view_.text(TextBox::txtStartVoltage),
                                                      view_.text(TextBox::txtEndVoltage)));
}

void Form1::Form_Load() {
    loadStartupValues(state_);
    view_.setText(TextBox::txtStartVoltage, std::string(kStartupStartText));
    view_.setText(TextBox::txtEndVoltage, std::string(kStartupEndText));
    // Once more, so that the start-up state does not depend on the change events.
    recomputeStep();
}

void Form1::Form_Shown() {
    if (shownOnce_) return;
    shownOnce_ = true;
    // The focus goes to "27C64", first in the tab order; taking the focus
    // selects an option, which runs its click.
    view_.selectOption(0);
}

// The list's first and last rows show the voltage texts as typed, and the
// curve follows the voltages.
void Form1::txtStartVoltage_Change() {
    recomputeStep();
    showListItems();
    repaintCurve();
}

void Form1::txtEndVoltage_Change() {
    recomputeStep();
    showListItems();
    repaintCurve();
}

void Form1::voltageKeyPress(int16_t& KeyAscii, TextBox other) {
    if ((KeyAscii >= kDigitZero && KeyAscii <= kDigitNine) || KeyAscii == kPoint || KeyAscii == kBackspace) return;
    if (KeyAscii == kEnter) {
        view_.giveFocus(other);
        return;
    }
    KeyAscii = 0;
    platform_.beep();
}

void Form1::txtStartVoltage_KeyPress(int16_t& KeyAscii) { voltageKeyPress(KeyAscii, TextBox::txtEndVoltage); }

void Form1::txtEndVoltage_KeyPress(int16_t& KeyAscii) { voltageKeyPress(KeyAscii, TextBox::txtStartVoltage); }

void Form1::txtStep_KeyPress(int16_t& KeyAscii) {
    if (KeyAscii == kEnter) {
        view_.giveFocus(TextBox::txtStartVoltage);
        return;
    }
    KeyAscii = 0;
    platform_.beep();
}

void Form1::optEprom_Click(int16_t Index) { selectEpromType(state_, Index); }

// The folder of the last list read; before any, the program's folder when
// the user may write there (the outputs go beside the list), else the
// user's own folder.
std::string Form1::openDialogFolder() {
    if (lastListFolder_) return *lastListFolder_;
    if (platform_.canWriteIn(appPath_)) return appPath_;
    return platform_.userFolder();
}

void Form1::cmdLeeslijst_Click() {
    try {
        CommonDialog1.DialogTitle = "Open Varidac *.INF file";
        CommonDialog1.Filter = "Varidac File (*.inf)|*.inf|Notepad File (*.txt)|*.txt|All files (*.*)|*.*";
        CommonDialog1.FileName = "*.INF";
        CommonDialog1.InitDir = openDialogFolder();
        CommonDialog1.CancelError = kTrue;
        CommonDialog1.ShowOpen();
        readChosenList(CommonDialog1.FileName);
    } catch (const std::exception&) {
        // A cancelled dialog, or any other failure, ends the command silently.
    }
}

void Form1::Form_DragDrop(const std::vector<std::string>& paths) {
    if (paths.empty()) return;
    if (paths.size() > 1) {
        showMessage(errorMessage({kSomethingWrong, "Drop one INF file at a time  ",
                                  std::to_string(paths.size()) + " files were dropped, none was read  "}));
        return;
    }
    try {
        readChosenList(paths.front());
    } catch (const std::exception&) {
        // As after the dialog: any other failure ends the command silently.
    }
}

void Form1::readChosenList(const std::string& chosen) {
    if (auto bad = checkChosenPath(chosen)) {
        showMessage(*bad);
        return;
    }
    // All or nothing: on a problem the state and the list stay as they were.
    std::variant<LoadedList, Message> loaded = loadTuningList(chosen);
    if (auto* problem = std::get_if<Message>(&loaded)) {
        showMessage(*problem);
        return;
    }
    const LoadedList& list = std::get<LoadedList>(loaded);
    const std::vector<int> missing = missingFrequencies(list.list);
    // With no list read before, the missing points would be 0 V.
    if (!missing.empty() && !listRead_) {
        showMessage(missingRecordsMessage(missing));
        return;
    }
    const std::array<std::string, kTableSize> keptFrom = pointSource_;
    applyTuningList(state_, list);
    for (std::size_t i = 0; i < kTableSize; ++i) {
        if (list.list.voltages[i]) pointSource_[i] = state_.naamzonderpad;
    }
    listRead_ = true;
    lastListFolder_ = state_.pad;
    codesOfList_ = false;
    showListItems();
    repaintCurve();
    const std::string startText = view_.text(TextBox::txtStartVoltage);
    const std::string endText = view_.text(TextBox::txtEndVoltage);
    for (const Message& warning : voltageWarnings(state_, startText, endText)) showMessage(warning);
    if (!missing.empty()) showMessage(keptPointsMessage(state_.naamzonderpad, missing, keptFrom));
}

void Form1::showListItems() {
    if (!listRead_) return;
    view_.setListItems(tuneListItems(state_, view_.text(TextBox::txtStartVoltage), view_.text(TextBox::txtEndVoltage)));
}

Drawing Form1::curveDrawing() const {
    return curvePlot(CurvePlotInput{state_, listRead_, codesOfList_ ? &state_.EpromImage : nullptr});
}

void Form1::repaintCurve() {
    if (curveWindowOpen_) view_.showCurveWindow(curveDrawing());
}

void Form1::txtDAlist_DblClick() {
    curveWindowOpen_ = true;
    view_.showCurveWindow(curveDrawing());
}

void Form1::txtDAlist_KeyPress(int16_t& KeyAscii) {
    if (KeyAscii == kEnter) txtDAlist_DblClick();
}

void Form1::CurveWindow_KeyPress(int16_t& KeyAscii) {
    if (KeyAscii != kEscape) return;
    curveWindowOpen_ = false;
    view_.closeCurveWindow();
}

void Form1::CurveWindow_Unload() { curveWindowOpen_ = false; }

void Form1::cmdFiller_Click() {
    const std::array<int16_t, kImageSize> before = state_.EpromImage;
    Message result = fillerRun(state_, view_.text(TextBox::txtStartVoltage), view_.text(TextBox::txtEndVoltage),
                               os::regionalDecimalSign());
    // A run that failed after computing leaves codes that no file holds.
    if (result.icon == MessageIcon::Information) {
        codesOfList_ = true;
    } else if (state_.EpromImage != before) {
        codesOfList_ = false;
    }
    repaintCurve();
    showMessage(result);
}

void Form1::cmdStoppen_Click() {
    // No file stays open between two events, so there is nothing to close.
    view_.closeWindow();
    platform_.endProgram();
}

// Where "?" looks for the help file: beside the program, else where an installed system keeps it.
std::string Form1::helpFilePath() const { return varidac::helpFilePath(appPath_, kHelpFileName); }

void Form1::Command1_Click() {
    try {
        const std::string helpFile = helpFilePath();
        if (FileExists(helpFile) != kFalse) {
            CommonDialog1.CancelError = kTrue;
            CommonDialog1.HelpCommand = kHelpForceFile;
            CommonDialog1.HelpFile = helpFile;
            CommonDialog1.ShowHelp();
            return;
        }
    } catch (const std::exception&) {
        // A failing file test or viewer gives the same message as a missing file.
    }
    showMessage(errorMessage({"Something is wrong!   ", "Help file VARIDAC.HLP not found  "}));
}

}  // namespace varidac
