#include "ui/list_editor.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <variant>

#include "core/output_files.h"
#include "os/os.h"
#include "ui/character_codes.h"
#include "ui/form_layout.h"
#include "ui/form_view.h"
#include "util/file_names.h"

namespace varidac {
namespace {

constexpr int kLastPoint = kListPoints - 1;
// How far from a point's centre a press still takes it: its radius and a
// hand's unsteadiness.
constexpr double kGrabDistance = 8;
// A file this large is no list worth reading back for its other records: it
// is written over with the eleven points alone.
constexpr std::uintmax_t kLargestListKept = std::uintmax_t{16} << 20;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool holdsPoint(std::string_view text) { return text.find('.') != std::string_view::npos; }

std::string listPathOf(const TuningState& state) { return joinPath(state.pad, state.naamzonderpad); }

std::string nameOf(const std::optional<std::string>& path) { return path ? FileOnly(*path) : "new list"; }

// What the plot shows of the points: the codes only while they were
// computed from these very voltages, else a word that they are out of date.
CurvePlotInput plotInput(const ListEditorHost& host, const ListPoints& points, const std::optional<std::string>& path,
                         const std::optional<CurveAxes>& axes) {
    const TuningState& state = host.tuningState();
    CurvePlotInput input{state};
    input.points = &points;
    input.listRead = std::any_of(points.begin(), points.end(), [](const auto& volts) { return volts.has_value(); });
    input.title = nameOf(path);
    input.axes = axes;
    if (const RunCodes* run = host.lastRun()) {
        const bool current = completeVoltages(points) && run->voltages == points && run->startVoltage == state.StartVoltage &&
                             run->endVoltage == state.EndVoltage;
        if (current) {
            input.image = &run->image;
        } else {
            input.note = kCodesOutdatedNote;
        }
    }
    return input;
}

Message cannotReadMessage(const std::string& path, int error) {
    return errorMessage({kSomethingWrong, "Cannot read " + printablePath(path) + "  ", os::errorText(error) + "  ",
                         "The list is not saved  "});
}

// What the file at `path` holds, to keep its other records: nothing where
// there is no regular file (or one too large to be a list).
std::variant<std::optional<std::string>, Message> readTarget(const std::string& path) {
    std::error_code error;
    const std::filesystem::path target = pathFromUtf8(path);
    if (!std::filesystem::is_regular_file(target, error)) return std::nullopt;
    const std::uintmax_t size = std::filesystem::file_size(target, error);
    if (error || size > kLargestListKept) return std::nullopt;
    errno = 0;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(os::openForReading(path), &std::fclose);
    if (!file) return cannotReadMessage(path, errno);
    std::string text;
    char buffer[1 << 14];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, file.get())) {
        text.append(buffer, n);
        if (text.size() > kLargestListKept) return std::nullopt;
    }
    if (std::ferror(file.get())) return cannotReadMessage(path, errno);
    return text;
}

}  // namespace

ListEditor::ListEditor(FormView& formView, Platform& platform, ListEditorHost& host)
    : formView_(formView), platform_(platform), host_(host) {}

ListEditorView& ListEditor::view() const { return formView_.curveWindow(); }

ListPoints ListEditor::fieldPoints() const {
    ListPoints points;
    for (int i = 0; i < kListPoints; ++i) points[static_cast<std::size_t>(i)] = pointVoltage(view().pointText(i));
    return points;
}

void ListEditor::showPoints(const ListPoints& points) {
    for (int i = 0; i < kListPoints; ++i) {
        const auto& volts = points[static_cast<std::size_t>(i)];
        view().setPointText(i, volts ? pointText(*volts) : "");
    }
}

// Everything the window shows that follows the points.
void ListEditor::repaint() {
    view().setTitle(title());
    markChecks();
    view().showDrawing(drawing());
}

void ListEditor::markChecks() {
    const TuningState& state = host_.tuningState();
    const std::array<std::string, kListPoints> checks = pointChecks(fieldPoints(), state.StartVoltage, state.EndVoltage);
    for (int i = 0; i < kListPoints; ++i) view().setPointCheck(i, checks[static_cast<std::size_t>(i)]);
}

void ListEditor::beepWithTip(int16_t Index, const char* tip) {
    platform_.beep();
    view().showPointTip(Index, tip);
}

void ListEditor::open() {
    if (open_) {
        repaint();
        view().open();
        return;
    }
    const std::optional<ListPoints> onScreen = host_.listOnScreen();
    showPoints(onScreen.value_or(ListPoints{}));
    // What the fields read back, which is what a save would write.
    saved_ = fieldPoints();
    path_ = onScreen ? std::optional(listPathOf(host_.tuningState())) : std::nullopt;
    view().open();
    open_ = true;
    repaint();
    const auto firstEmpty = std::find(saved_.begin(), saved_.end(), std::nullopt);
    view().givePointFocus(firstEmpty == saved_.end() ? 0 : static_cast<int>(firstEmpty - saved_.begin()));
}

void ListEditor::listRead() {
    if (!open_) return;
    showPoints(host_.listOnScreen().value_or(ListPoints{}));
    saved_ = fieldPoints();
    path_ = listPathOf(host_.tuningState());
    repaint();
}

void ListEditor::refresh() {
    if (open_) repaint();
}

bool ListEditor::hasUnsavedChanges() const { return open_ && fieldPoints() != saved_; }

bool ListEditor::mayDiscard() {
    if (!hasUnsavedChanges()) return true;
    const std::string question = path_ ? "Save changes to " + FileOnly(*path_) + "?" : "Save changes to the new list?";
    switch (platform_.askYesNoCancel(std::string(kCurveWindowTitle), question)) {
        case Answer::Yes:
            return save(false);
        case Answer::No:
            return true;
        case Answer::Cancel:
            break;
    }
    return false;
}

std::string ListEditor::title() const {
    std::string text = std::string(kCurveWindowTitle) + " - " + nameOf(path_);
    if (hasUnsavedChanges()) text += " *";
    return text;
}

Drawing ListEditor::drawing() const {
    const ListPoints points = fieldPoints();
    return curvePlot(plotInput(host_, points, path_, dragAxes_));
}

void ListEditor::txtPoint_Change(int16_t) { repaint(); }

void ListEditor::txtPoint_KeyPress(int16_t Index, int16_t& KeyAscii) {
    if ((KeyAscii >= '0' && KeyAscii <= '9') || KeyAscii == kBackspace) return;
    // Copy, paste, cut and undo as every field has them: a paste is checked
    // on its own, in txtPoint_Paste.
    if (KeyAscii == kCtrlC || KeyAscii == kCtrlV || KeyAscii == kCtrlX || KeyAscii == kCtrlZ) return;
    if (KeyAscii == kPoint || KeyAscii == kComma) {
        if (holdsPoint(view().pointTextOutsideSelection(Index))) {
            KeyAscii = 0;
            beepWithTip(Index, kTipOnePoint);
            return;
        }
        // Whatever the regional settings, a list's decimal sign is ".".
        KeyAscii = kPoint;
        return;
    }
    if (KeyAscii == kEnter) {
        KeyAscii = 0;
        if (Index < kLastPoint) view().givePointFocus(Index + 1);
        return;
    }
    KeyAscii = 0;
    platform_.beep();
}

void ListEditor::txtPoint_KeyDown(int16_t Index, int16_t& KeyCode, int16_t Shift) {
    if (KeyCode == kKeyDown || KeyCode == kKeyUp) {
        const int next = Index + (KeyCode == kKeyDown ? 1 : -1);
        if (next >= 0 && next <= kLastPoint) view().givePointFocus(next);
        KeyCode = 0;
        return;
    }
    CurveWindow_KeyDown(KeyCode, Shift);
}

bool ListEditor::txtPoint_Paste(int16_t Index, std::string& text) {
    std::replace(text.begin(), text.end(), ',', '.');
    if (!std::all_of(text.begin(), text.end(), [](char c) { return isDigit(c) || c == '.'; })) {
        beepWithTip(Index, kTipDigitsOnly);
        return false;
    }
    if (holdsPoint(text) && (std::count(text.begin(), text.end(), '.') > 1 || holdsPoint(view().pointTextOutsideSelection(Index)))) {
        beepWithTip(Index, kTipOnePoint);
        return false;
    }
    return true;
}

void ListEditor::cmdNew_Click() {
    if (!mayDiscard()) return;
    path_.reset();
    saved_ = ListPoints{};
    showPoints(saved_);
    repaint();
    view().givePointFocus(0);
}

void ListEditor::cmdSave_Click() { save(false); }

void ListEditor::cmdSaveAs_Click() { save(true); }

void ListEditor::CurveWindow_KeyPress(int16_t& KeyAscii) {
    if (KeyAscii != kEscape || !mayDiscard()) return;
    dragged_.reset();
    dragAxes_.reset();
    view().close();
    open_ = false;
}

void ListEditor::CurveWindow_KeyDown(int16_t& KeyCode, int16_t Shift) {
    // Ctrl with Alt is AltGr on many keyboards: a character, not a shortcut.
    if (KeyCode != kKeyS || (Shift & (kCtrlMask | kAltMask)) != kCtrlMask) return;
    KeyCode = 0;
    save((Shift & kShiftMask) != 0);
}

void ListEditor::CurveWindow_QueryUnload(int16_t& Cancel) {
    if (!mayDiscard()) {
        Cancel = 1;
        return;
    }
    dragged_.reset();
    dragAxes_.reset();
    open_ = false;
}

void ListEditor::Plot_MouseDown(Point at) {
    if (!open_) return;
    const ListPoints points = fieldPoints();
    const CurveAxes axes = dragAxes_.value_or(curveAxes(plotInput(host_, points, path_, std::nullopt)));
    std::optional<int> nearest;
    double nearestDistance = kGrabDistance;
    for (int i = 0; i < kListPoints; ++i) {
        const auto& volts = points[static_cast<std::size_t>(i)];
        if (!volts) continue;
        const double distance = std::hypot(axes.x(pointKHz(i)) - at.x, axes.y(*volts) - at.y);
        // The later of two equally near points is the one painted on top.
        if (distance <= nearestDistance) {
            nearest = i;
            nearestDistance = distance;
        }
    }
    if (!nearest) return;
    dragged_ = nearest;
    // The scale stays while the point moves, so that it moves with the mouse.
    dragAxes_ = axes;
}

void ListEditor::Plot_MouseMove(Point at) {
    if (!dragged_ || !dragAxes_) return;
    double volts = std::round(dragAxes_->volts(at.y) * 100) / 100;
    if (!(volts > 0)) volts = 0;
    const auto Index = static_cast<int16_t>(*dragged_);
    const std::string text = pointText(volts);
    if (text == view().pointText(Index)) return;
    view().setPointText(Index, text);
    txtPoint_Change(Index);
}

void ListEditor::Plot_MouseUp() {
    if (!dragged_) return;
    dragged_.reset();
    dragAxes_.reset();
    // Now the scale may follow the points again.
    repaint();
}

bool ListEditor::save(bool askForName) {
    auto show = [&](const Message& message) { platform_.showMessage(message.title, message.icon, message.text()); };
    const ListPoints points = fieldPoints();
    const std::optional<ListVoltages> voltages = completeVoltages(points);
    if (!voltages) {
        show(emptyPointsMessage(emptyPointKHz(points)));
        return false;
    }
    std::string path;
    if (path_ && !askForName) {
        path = *path_;
    } else {
        FileDialogRequest request;
        request.DialogTitle = "Save Varidac *.INF file";
        request.Filter = "Varidac File (*.inf)|*.inf|Notepad File (*.txt)|*.txt|All files (*.*)|*.*";
        request.FileName = path_ ? FileOnly(*path_) : "";
        request.InitDir = path_ ? PathOnly(*path_) : host_.saveDialogFolder();
        request.DefaultExt = "INF";
        std::optional<std::string> chosen = platform_.showSave(request);
        if (!chosen) return false;
        path = *chosen;
    }
    std::variant<std::optional<std::string>, Message> existing = readTarget(path);
    if (const auto* problem = std::get_if<Message>(&existing)) {
        show(*problem);
        return false;
    }
    const std::optional<std::string>& before = std::get<std::optional<std::string>>(existing);
    const std::string text = before ? listTextOver(*before, *voltages) : listText(*voltages);
    if (std::optional<Message> failed = writeOutputFiles({{path, text}})) {
        show(*failed);
        return false;
    }
    path_ = path;
    host_.readSavedList(path);
    saved_ = fieldPoints();
    if (open_) view().setTitle(title());
    return true;
}

}  // namespace varidac
