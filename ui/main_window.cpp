#include "ui/main_window.h"

#include <algorithm>
#include <exception>
#include <variant>

#include "core/filler_run.h"
#include "core/number_text.h"
#include "core/tuning_list.h"
#include "os/os.h"
#include "ui/character_codes.h"
#include "ui/help_file.h"
#include "util/file_names.h"

namespace varidac {
namespace {

bool holdsPoint(std::string_view text) { return text.find('.') != std::string_view::npos; }

// The list's eleven points as UvarTable holds them.
ListPoints listPoints(const TuningState& state) {
    ListPoints points;
    for (int i = 0; i < kListPoints; ++i) points[static_cast<std::size_t>(i)] = state.UvarTable[static_cast<std::size_t>(pointKHz(i) / 100)];
    return points;
}

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

void Form1::refuseWithTip(TextBox box, const char* tip) {
    platform_.beep();
    view_.showFieldTip(box, tip);
}

void Form1::voltageKeyPress(TextBox box, int16_t& KeyAscii, TextBox other) {
    if ((KeyAscii >= kDigitZero && KeyAscii <= kDigitNine) || KeyAscii == kBackspace) return;
    if (KeyAscii == kPoint && !holdsPoint(view_.textOutsideSelection(box))) return;
    if (KeyAscii == kEnter) {
        view_.giveFocus(other);
        return;
    }
    const int16_t refused = KeyAscii;
    KeyAscii = 0;
    if (refused == kPoint) {
        refuseWithTip(box, kTipOnePoint);
    } else if (refused == kComma) {
        refuseWithTip(box, kTipDecimalPoint);
    } else {
        platform_.beep();
    }
}

void Form1::txtStartVoltage_KeyPress(int16_t& KeyAscii) {
    voltageKeyPress(TextBox::txtStartVoltage, KeyAscii, TextBox::txtEndVoltage);
}

void Form1::txtEndVoltage_KeyPress(int16_t& KeyAscii) {
    voltageKeyPress(TextBox::txtEndVoltage, KeyAscii, TextBox::txtStartVoltage);
}

void Form1::txtStep_KeyPress(int16_t& KeyAscii) {
    if (KeyAscii == kEnter) {
        view_.giveFocus(TextBox::txtStartVoltage);
        return;
    }
    KeyAscii = 0;
    platform_.beep();
}

bool Form1::Field_Edit(TextBox box, FieldEdit edit, const std::string& pasted) {
    if (box == TextBox::txtStep) {
        platform_.beep();
        return false;
    }
    if (edit != FieldEdit::Paste) return true;
    // Taken only where every character would have passed the key filter.
    const bool digitsPointsCommas =
        std::all_of(pasted.begin(), pasted.end(), [](char c) { return (c >= '0' && c <= '9') || c == '.' || c == ','; });
    if (!digitsPointsCommas) {
        refuseWithTip(box, kTipDigitsOnly);
        return false;
    }
    if (pasted.find(',') != std::string::npos) {
        refuseWithTip(box, kTipDecimalPoint);
        return false;
    }
    if (holdsPoint(pasted) && (std::count(pasted.begin(), pasted.end(), '.') > 1 || holdsPoint(view_.textOutsideSelection(box)))) {
        refuseWithTip(box, kTipOnePoint);
        return false;
    }
    return true;
}

void Form1::Form_QueryUnload(int16_t& Cancel) {
    if (!editor_.mayDiscard()) Cancel = 1;
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
        if (!editor_.mayDiscard()) return;
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
        if (!editor_.mayDiscard()) return;
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
    lastRun_.reset();
    showListItems();
    editor_.listRead();
    const std::string startText = view_.text(TextBox::txtStartVoltage);
    const std::string endText = view_.text(TextBox::txtEndVoltage);
    for (const Message& warning : voltageWarnings(state_, startText, endText)) showMessage(warning);
    if (!missing.empty()) showMessage(keptPointsMessage(state_.naamzonderpad, missing, keptFrom));
}

void Form1::showListItems() {
    if (!listRead_) return;
    view_.setListItems(tuneListItems(state_, view_.text(TextBox::txtStartVoltage), view_.text(TextBox::txtEndVoltage)));
}

void Form1::repaintCurve() { editor_.refresh(); }

void Form1::txtDAlist_DblClick() { editor_.open(); }

void Form1::txtDAlist_KeyPress(int16_t& KeyAscii) {
    if (KeyAscii == kEnter) txtDAlist_DblClick();
}

std::optional<ListPoints> Form1::listOnScreen() const {
    if (!listRead_) return std::nullopt;
    return listPoints(state_);
}

const RunCodes* Form1::lastRun() const { return lastRun_ ? &*lastRun_ : nullptr; }

std::string Form1::saveDialogFolder() { return openDialogFolder(); }

void Form1::readSavedList(const std::string& path) { readChosenList(path); }

void Form1::cmdFiller_Click() {
    const std::array<int16_t, kImageSize> before = state_.EpromImage;
    Message result = fillerRun(state_, view_.text(TextBox::txtStartVoltage), view_.text(TextBox::txtEndVoltage),
                               os::regionalDecimalSign());
    // A run that failed after computing leaves codes that no file holds.
    if (result.icon == MessageIcon::Information) {
        lastRun_ = RunCodes{state_.EpromImage, state_.StartVoltage, state_.EndVoltage, listPoints(state_)};
    } else if (state_.EpromImage != before) {
        lastRun_.reset();
    }
    repaintCurve();
    showMessage(result);
}

void Form1::cmdStoppen_Click() {
    if (!editor_.mayDiscard()) return;
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
