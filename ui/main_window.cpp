#include "ui/main_window.h"

#include <exception>

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

void Form1::txtStartVoltage_Change() { recomputeStep(); }

void Form1::txtEndVoltage_Change() { recomputeStep(); }

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

void Form1::cmdLeeslijst_Click() {
    try {
        CommonDialog1.DialogTitle = "Open Varidac *.INF file";
        CommonDialog1.Filter = "Varidac File (*.inf)|*.inf|Notepad File (*.txt)|*.txt";
        CommonDialog1.FileName = "*.INF";
        CommonDialog1.InitDir = appPath_;
        CommonDialog1.CancelError = kTrue;
        CommonDialog1.ShowOpen();
        const std::string chosen = CommonDialog1.FileName;
        if (auto bad = checkChosenPath(chosen)) {
            showMessage(*bad);
            return;
        }
        // All or nothing: on a problem the state and the list stay as they were.
        if (auto problem = readTuningList(state_, chosen)) {
            showMessage(*problem);
            return;
        }
        const std::string startText = view_.text(TextBox::txtStartVoltage);
        const std::string endText = view_.text(TextBox::txtEndVoltage);
        view_.setListItems(tuneListItems(state_, startText, endText));
        for (const Message& warning : voltageWarnings(state_, startText, endText)) showMessage(warning);
    } catch (const std::exception&) {
        // A cancelled dialog, or any other failure, ends the command silently.
    }
}

void Form1::cmdFiller_Click() {
    showMessage(fillerRun(state_, view_.text(TextBox::txtStartVoltage), view_.text(TextBox::txtEndVoltage),
                          os::regionalDecimalSign()));
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
