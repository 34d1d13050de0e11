#include "ui/qt/curve_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <algorithm>
#include <map>

#include "ui/editor_layout.h"
#include "ui/qt/drawing_box.h"
#include "ui/qt/field_edits.h"
#include "ui/qt/key_codes.h"
#include "ui/qt/window_controls.h"
#include "ui/twips.h"
#include "ui/window_placement.h"

namespace varidac {
namespace {

// The mark beside a field whose point fails a check.
const QColor kWarningMarkColour(kWarningColour.red, kWarningColour.green, kWarningColour.blue);
const QString kWarningMark = QStringLiteral("!");
// The plot keeps at least this much when the window is made small.
constexpr int kSmallestPlotWidth = 320;
constexpr int kEscapeCode = 27;

PixelRect pixelRect(const QRect& rect) { return PixelRect{rect.left(), rect.top(), rect.width(), rect.height()}; }

bool takesFocus(ControlKind kind) {
    return kind != ControlKind::Label && kind != ControlKind::Frame && kind != ControlKind::PictureBox;
}

}  // namespace

CurveWindow::CurveWindow(QWidget* mainWindow) : QWidget(mainWindow, Qt::Window) {
    setObjectName(qs(kCurveFormName));
    setWindowTitle(qs(kCurveWindowTitle));
    // A companion of the main window: closing it alone ends nothing.
    setAttribute(Qt::WA_QuitOnClose, false);
    buildControls();
    wireEvents();
}

void CurveWindow::buildControls() {
    setFont(windowFont(kFontRegular));
    const int dpiX = logicalDpiX();
    const int dpiY = logicalDpiY();
    clientSize_ = QSize(twipsToPixels(kCurveClientWidthTwips, dpiX), twipsToPixels(kCurveClientHeightTwips, dpiY));
    columnLeft_ = twipsToPixels(kEditorColumnLeftTwips, dpiX);

    // As in the main window: the window's face stands in for the
    // application's while the fields are built, so that only one is loaded.
    const QFont applicationFont = QApplication::font();
    QApplication::setFont(font());
    std::map<std::string_view, QWidget*> containers{{kCurveFormName, this}};
    std::vector<std::pair<int, QWidget*>> focusable;
    int plotWidth = clientSize_.width();
    for (const FormControl& row : editorControls()) {
        QWidget* control = makeControl(row, containers.at(row.container));
        dressControl(control, row, dpiX, dpiY);
        const auto point = static_cast<std::size_t>(row.index);
        if (row.kind == ControlKind::Frame) containers[row.name] = control;
        if (row.kind == ControlKind::PictureBox) {
            plot_ = static_cast<DrawingBox*>(control);
            plotWidth = control->width();
        }
        if (row.name == "txtPoint") fields_.at(point) = static_cast<QLineEdit*>(control);
        if (row.name == "lblCheck") {
            auto* mark = static_cast<QLabel*>(control);
            mark->setFont(windowFont(kFontBold));
            QPalette palette = mark->palette();
            palette.setColor(QPalette::WindowText, kWarningMarkColour);
            mark->setPalette(palette);
            mark->setAlignment(Qt::AlignCenter);
            checks_.at(point) = mark;
        }
        if (row.container == kCurveFormName) {
            placed_.push_back({control, control->geometry(), row.kind == ControlKind::PictureBox});
        }
        if (takesFocus(row.kind)) focusable.emplace_back(row.tabIndex, control);
    }
    QApplication::setFont(applicationFont);

    std::stable_sort(focusable.begin(), focusable.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 1; i < focusable.size(); ++i) setTabOrder(focusable[i - 1].second, focusable[i].second);

    setMinimumSize(clientSize_.width() - std::max(0, plotWidth - kSmallestPlotWidth), clientSize_.height());
    resize(clientSize_);
}

void CurveWindow::wireEvents() {
    for (std::size_t point = 0; point < fields_.size(); ++point) {
        QLineEdit* edit = fields_[point];
        edit->installEventFilter(this);
        // Cuts and deletes are edits like any other; only a paste is asked about.
        pasting_[point].paste = [this, point](std::string& text) {
            return editor_->txtPoint_Paste(static_cast<int16_t>(point), text);
        };
        // textChanged, unlike textEdited, also tells of an undo and a
        // paste; the program's own texts are kept out by setPointText.
        connect(edit, &QLineEdit::textChanged, this, [this, point] {
            if (editor_ && !settingText_) editor_->txtPoint_Change(static_cast<int16_t>(point));
        });
    }
    const std::pair<const char*, void (ListEditor::*)()> buttons[] = {
        {"cmdNew", &ListEditor::cmdNew_Click},
        {"cmdSave", &ListEditor::cmdSave_Click},
        {"cmdSaveAs", &ListEditor::cmdSaveAs_Click},
    };
    for (const auto& [name, handler] : buttons) {
        auto* button = findChild<QPushButton*>(name);
        if (!button) continue;
        button->installEventFilter(this);
        connect(button, &QPushButton::clicked, this, [this, handler = handler] {
            if (editor_) (editor_->*handler)();
        });
    }
    plot_->onPress = [this](Point at) {
        if (editor_) editor_->Plot_MouseDown(at);
    };
    plot_->onDrag = [this](Point at) {
        if (editor_) editor_->Plot_MouseMove(at);
    };
    plot_->onRelease = [this] {
        if (editor_) editor_->Plot_MouseUp();
    };
}

int CurveWindow::pointOf(const QObject* watched) const {
    const auto it = std::find(fields_.begin(), fields_.end(), watched);
    return it == fields_.end() ? -1 : static_cast<int>(it - fields_.begin());
}

bool CurveWindow::eventFilter(QObject* watched, QEvent* event) {
    if (!editor_) return QWidget::eventFilter(watched, event);
    const int point = pointOf(watched);
    if (point >= 0) {
        const auto at = static_cast<std::size_t>(point);
        if (filterFieldEdit(fields_[at], event, pasting_[at])) return true;
        if (event->type() == QEvent::KeyPress) return fieldKey(point, *static_cast<QKeyEvent*>(event));
        return false;
    }
    if (event->type() == QEvent::KeyPress) return windowKey(*static_cast<QKeyEvent*>(event));
    return false;
}

bool CurveWindow::fieldKey(int point, const QKeyEvent& key) {
    const auto index = static_cast<int16_t>(point);
    if (int16_t KeyCode = virtualKeyCode(key.key()); KeyCode != 0) {
        editor_->txtPoint_KeyDown(index, KeyCode, shiftBits(key.modifiers()));
        if (KeyCode == 0) return true;
    }
    const int typed = characterCode(key.key(), key.modifiers(), key.text());
    if (typed < 0) return false;  // no character: the field handles the key itself
    auto KeyAscii = static_cast<int16_t>(typed);
    // Escape is the window's key wherever the focus is: it closes the window.
    if (typed == kEscapeCode) {
        editor_->CurveWindow_KeyPress(KeyAscii);
        return true;
    }
    editor_->txtPoint_KeyPress(index, KeyAscii);
    return typeAsHandled(fields_[static_cast<std::size_t>(point)], typed, KeyAscii);
}

bool CurveWindow::windowKey(const QKeyEvent& key) {
    if (int16_t KeyCode = virtualKeyCode(key.key()); KeyCode != 0) {
        editor_->CurveWindow_KeyDown(KeyCode, shiftBits(key.modifiers()));
        if (KeyCode == 0) return true;
    }
    const int typed = characterCode(key.key(), key.modifiers(), key.text());
    if (typed < 0) return false;
    auto KeyAscii = static_cast<int16_t>(typed);
    editor_->CurveWindow_KeyPress(KeyAscii);
    return KeyAscii == 0;
}

void CurveWindow::keyPressEvent(QKeyEvent* event) {
    if (editor_ && windowKey(*event)) return;
    QWidget::keyPressEvent(event);
}

void CurveWindow::closeEvent(QCloseEvent* event) {
    if (!closingFromProgram_ && editor_) {
        int16_t Cancel = 0;
        editor_->CurveWindow_QueryUnload(Cancel);
        if (Cancel != 0) {
            event->ignore();
            return;
        }
    }
    QWidget::closeEvent(event);
}

void CurveWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The column keeps its distance to the right edge; the plot takes the rest.
    const int wider = width() - clientSize_.width();
    const int taller = height() - clientSize_.height();
    for (const Placed& p : placed_) {
        if (p.plot) {
            p.control->setGeometry(p.atClientSize.adjusted(0, 0, wider, taller));
        } else if (p.atClientSize.left() >= columnLeft_) {
            p.control->setGeometry(p.atClientSize.translated(wider, 0));
        }
    }
}

void CurveWindow::open() {
    if (!isVisible()) {
        QWidget* main = parentWidget();
        const QRect mainFrame = main ? main->frameGeometry() : QRect();
        QScreen* where = main && main->screen() ? main->screen() : screen();
        const QRect room = where ? where->availableGeometry() : QRect(mainFrame.topLeft(), QSize(1 << 15, 1 << 15));
        // Before it was first shown its frame is not known yet; the main
        // window's has the same border.
        const int border = main ? main->frameGeometry().width() - main->width() : 0;
        const int frameWidth = std::max(frameGeometry().width(), width() + border);
        const PixelPoint at = placeBeside(pixelRect(mainFrame), frameWidth, pixelRect(room));
        move(at.x, at.y);
        show();
    }
    raise();
    activateWindow();
}

void CurveWindow::close() {
    closingFromProgram_ = true;
    QWidget::close();
    closingFromProgram_ = false;
}

void CurveWindow::setTitle(const std::string& title) { setWindowTitle(QString::fromStdString(title)); }

void CurveWindow::showDrawing(const Drawing& drawing) { plot_->setDrawing(drawing); }

std::string CurveWindow::pointText(int point) const { return field(point)->text().toStdString(); }

void CurveWindow::setPointText(int point, const std::string& text) {
    settingText_ = true;
    field(point)->setText(QString::fromStdString(text));
    settingText_ = false;
}

std::string CurveWindow::pointTextOutsideSelection(int point) const {
    return textOutsideSelection(field(point)).toStdString();
}

void CurveWindow::givePointFocus(int point) { field(point)->setFocus(); }

void CurveWindow::setPointCheck(int point, const std::string& tip) {
    QLabel* mark = checkMark(point);
    mark->setText(tip.empty() ? QString() : kWarningMark);
    mark->setToolTip(QString::fromStdString(tip));
}

void CurveWindow::showPointTip(int point, const std::string& tip) { showTipBeside(field(point), QString::fromStdString(tip)); }

}  // namespace varidac
