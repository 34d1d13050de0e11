#include "ui/qt/qt_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QKeyEvent>
#include <QPixmap>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QTimer>
#include <map>
#include <utility>
#include <vector>

#include "ui/form_events.h"
#include "ui/form_layout.h"
#include "ui/qt/field_edits.h"
#include "ui/qt/key_codes.h"
#include "ui/qt/window_controls.h"
#include "ui/twips.h"
#include "ui/window_icon.h"

namespace varidac {
namespace {

// Built from the pixels themselves: reading an image file would first load
// the image decoders, which the window would wait for before it shows.
QIcon iconFromPixels() {
    QImage image(kIconSize, kIconSize, QImage::Format_RGB32);
    for (int y = 0; y < kIconSize; ++y) {
        const uint32_t row = kIconRows[static_cast<std::size_t>(y)];
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < kIconSize; ++x) {
            const bool red = (row >> (kIconSize - 1 - x)) & 1u;
            line[x] = 0xFF000000u | (red ? kIconRed : kIconGround);
        }
    }
    return QIcon(QPixmap::fromImage(image));
}

// Local files only; the form decides what to do with how many.
QStringList droppedFiles(const QMimeData* data) {
    QStringList files;
    if (!data || !data->hasUrls()) return files;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile()) return {};
        files << url.toLocalFile();
    }
    return files;
}

}  // namespace

QtForm::QtForm(Platform& platform, std::string appPath, QWidget* parent)
    : QWidget(parent), form_(*this, platform, std::move(appPath)) {
    buildControls();
    wireEvents();
    form_.Form_Load();
}

// The curve window goes first: its events reach the form's editor, which
// ends with the form, before the widgets would be taken down.
QtForm::~QtForm() { delete curveWindow_; }

// Built when the editor first needs it: most starts never open it, and its
// thirty-odd controls would cost every start their time.
CurveWindow& QtForm::curveWindow() {
    if (!curveWindow_) {
        curveWindow_ = new CurveWindow(this);
        curveWindow_->setEditor(&form_.curveEditor());
    }
    return *curveWindow_;
}

void QtForm::buildControls() {
    setObjectName(qs(kFormName));
    setWindowTitle(qs(kWindowTitle));
    setWindowIcon(iconFromPixels());
    // A fixed single border: title, system menu, minimize and close, no maximize.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    // Set once here, the face passes to every control; only the bold ones set their own.
    setFont(windowFont(kFontRegular));
    const int dpiX = logicalDpiX();
    const int dpiY = logicalDpiY();
    setFixedSize(twipsToPixels(kClientWidthTwips, dpiX), twipsToPixels(kClientHeightTwips, dpiY));

    // A text field lays out its still empty text in the application's face
    // as it is built, before it takes the window's. With the window's face
    // as the application's while the controls are built, the window loads
    // one face before it first shows rather than two.
    const QFont applicationFont = QApplication::font();
    QApplication::setFont(font());
    std::map<std::string_view, QWidget*> containers{{kFormName, this}};
    const std::span<const FormControl> rows = formControls();
    for (ControlId id = 0; id < rows.size(); ++id) {
        const FormControl& row = rows[id];
        QWidget* control = makeControl(row, containers.at(row.container));
        dressControl(control, row, dpiX, dpiY);
        if (row.kind == ControlKind::Frame) containers[row.name] = control;
        if (row.kind == ControlKind::ListBox) list_ = static_cast<QListWidget*>(control);
        if (row.kind == ControlKind::OptionButton) {
            options_.at(static_cast<std::size_t>(row.index)) = static_cast<QRadioButton*>(control);
        }
        if (auto box = textBoxOf(id)) fields_[static_cast<std::size_t>(*box)] = static_cast<QLineEdit*>(control);
        controls_.push_back(control);
    }
    QApplication::setFont(applicationFont);
    QWidget* previous = nullptr;
    for (ControlId id : focusOrder()) {
        if (previous) setTabOrder(previous, controls_[id]);
        previous = controls_[id];
    }
}

void QtForm::wireEvents() {
    for (ControlId id = 0; id < controls_.size(); ++id) {
        QWidget* control = controls_[id];
        if (auto* button = qobject_cast<QPushButton*>(control)) {
            connect(button, &QPushButton::clicked, this, [this, id] { dispatch(form_, id, ControlEvent::Click); });
        } else if (auto* option = qobject_cast<QRadioButton*>(control)) {
            connect(option, &QRadioButton::toggled, this, [this, id](bool checked) {
                if (checked) dispatch(form_, id, ControlEvent::Click);
            });
        } else if (auto* edit = qobject_cast<QLineEdit*>(control); edit && handles(id, ControlEvent::Change)) {
            // textChanged, unlike textEdited, also fires when the program sets
            // the text, inside the setText call.
            connect(edit, &QLineEdit::textChanged, this, [this, id] { dispatch(form_, id, ControlEvent::Change); });
        }
        listenTo(id);
    }
    for (TextBox box : kTextBoxes) {
        fieldEdits_[static_cast<std::size_t>(box)] = FieldEditHandlers{
            [this, box](std::string& text) { return form_.Field_Edit(box, FieldEdit::Paste, text); },
            [this, box](FieldEdit edit) { return form_.Field_Edit(box, edit); },
        };
    }
    setAcceptDrops(true);
}

void QtForm::listenTo(ControlId id) {
    QWidget* control = controls_[id];
    if (handles(id, ControlEvent::KeyPress) || handles(id, ControlEvent::DblClick) || textBoxOf(id)) {
        control->installEventFilter(this);
    }
    // A double-click anywhere in a list, on an item or below the last one.
    auto* scrolled = qobject_cast<QAbstractScrollArea*>(control);
    if (scrolled && handles(id, ControlEvent::DblClick)) scrolled->viewport()->installEventFilter(this);
}

std::optional<ControlId> QtForm::idOf(const QObject* watched) const {
    for (ControlId id = 0; id < controls_.size(); ++id) {
        auto* scrolled = qobject_cast<QAbstractScrollArea*>(controls_[id]);
        if (controls_[id] == watched || (scrolled && scrolled->viewport() == watched)) return id;
    }
    return std::nullopt;
}

bool QtForm::eventFilter(QObject* watched, QEvent* event) {
    const std::optional<ControlId> id = idOf(watched);
    if (!id) return QWidget::eventFilter(watched, event);
    const std::optional<TextBox> box = textBoxOf(*id);
    if (box && filterFieldEdit(field(*box), event, fieldEdits_[static_cast<std::size_t>(*box)])) return true;
    if (event->type() == QEvent::MouseButtonDblClick) {
        dispatch(form_, *id, ControlEvent::DblClick);
        return false;
    }
    if (event->type() != QEvent::KeyPress || !handles(*id, ControlEvent::KeyPress)) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const int code = characterCode(key->key(), key->modifiers(), key->text());
    if (code < 0) return false;  // no character: the control handles the key itself
    auto KeyAscii = static_cast<int16_t>(code);
    dispatchKeyPress(form_, *id, KeyAscii);
    if (box) return typeAsHandled(field(*box), code, KeyAscii);
    return KeyAscii == 0;
}

void QtForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    form_.Form_Shown();
}

void QtForm::closeEvent(QCloseEvent* event) {
    if (!closingFromProgram_) {
        int16_t Cancel = 0;
        form_.Form_QueryUnload(Cancel);
        if (Cancel != 0) {
            event->ignore();
            return;
        }
    }
    QWidget::closeEvent(event);
}

QLineEdit* QtForm::field(TextBox box) const { return fields_.at(static_cast<std::size_t>(box)); }

std::string QtForm::text(TextBox box) const { return field(box)->text().toStdString(); }

std::string QtForm::textOutsideSelection(TextBox box) const {
    return varidac::textOutsideSelection(field(box)).toStdString();
}

void QtForm::showFieldTip(TextBox box, const std::string& tip) { showTipBeside(field(box), QString::fromStdString(tip)); }

void QtForm::setText(TextBox box, const std::string& text) { field(box)->setText(QString::fromStdString(text)); }

void QtForm::setListItems(const std::vector<std::string>& items) {
    // The same number of rows: change their texts, so that the selection
    // and the scroll position stay while a voltage is typed.
    QListWidget* rows = list_;
    if (static_cast<std::size_t>(rows->count()) == items.size()) {
        for (int i = 0; i < rows->count(); ++i) rows->item(i)->setText(QString::fromStdString(items[static_cast<std::size_t>(i)]));
        return;
    }
    rows->clear();
    for (const std::string& item : items) rows->addItem(QString::fromStdString(item));
}

void QtForm::giveFocus(TextBox box) { field(box)->setFocus(); }

void QtForm::selectOption(int16_t index) {
    // Qt does not select an option that takes the focus; select it here,
    // which raises its click as that would.
    QRadioButton* option = options_.at(static_cast<std::size_t>(index));
    option->setFocus(Qt::OtherFocusReason);
    option->setChecked(true);
}

void QtForm::closeWindow() {
    closingFromProgram_ = true;
    close();
    closingFromProgram_ = false;
}

void QtForm::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedFiles(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void QtForm::dropEvent(QDropEvent* event) {
    const QStringList files = droppedFiles(event->mimeData());
    if (files.isEmpty()) return;
    event->acceptProposedAction();
    std::vector<std::string> paths;
    for (const QString& file : files) paths.push_back(QFile::encodeName(file).toStdString());
    // After the drop has ended: the file manager is not kept waiting while
    // a message box is up.
    QTimer::singleShot(0, this, [this, paths] { dispatchFilesDropped(form_, paths); });
}

}  // namespace varidac
