#include "ui/qt/qt_form.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>
#include <limits>
#include <map>
#include <utility>
#include <vector>

#include "ui/form_events.h"
#include "ui/form_layout.h"
#include "ui/qt/caption_fit.h"
#include "ui/qt/curve_window.h"
#include "ui/qt/frame_box.h"
#include "ui/qt/key_codes.h"
#include "ui/twips.h"
#include "ui/window_icon.h"
#include "ui/window_placement.h"

namespace varidac {
namespace {

QString qs(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// The table's face where it exists, else the first sans-serif face of about
// its width that is installed, else the system's own face, which may be
// wider (`fallback`).
struct WindowFace {
    QString family;
    bool fallback = false;
};

const WindowFace& windowFace() {
    static const WindowFace face = [] {
        // Looked up among the installed families ("Nimbus Sans [urw]" for
        // "Nimbus Sans") rather than by matching each name: a match costs a
        // full font-system query, and the window asks before it first shows.
        const QStringList installed = QFontDatabase::families();
        const QString wanted = qs(kFontFace);
        for (const QString& candidate :
             {wanted, QString("Microsoft Sans Serif"), QString("Arial"), QString("Liberation Sans"),
              QString("Nimbus Sans"), QString("Helvetica")}) {
            for (const QString& family : installed) {
                if (family.compare(candidate, Qt::CaseInsensitive) == 0 ||
                    family.startsWith(candidate + " [", Qt::CaseInsensitive)) {
                    return WindowFace{family, false};
                }
            }
        }
        return WindowFace{QFontDatabase::systemFont(QFontDatabase::GeneralFont).family(), true};
    }();
    return face;
}

// No style hint: the family is always an installed one, and without a hint
// the faces to fall back on for missing characters are those the
// application's own face already looked up, not a second search.
QFont windowFont(int weight) {
    QFont font(windowFace().family);
    font.setPointSizeF(kFontPoints);
    font.setWeight(static_cast<QFont::Weight>(weight));
    return font;
}

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

QWidget* makeControl(const FormControl& row, QWidget* container) {
    const QString caption = qs(row.caption);
    switch (row.kind) {
        case ControlKind::Label: {
            auto* label = new QLabel(caption, container);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            label->setWordWrap(false);
            return label;
        }
        case ControlKind::Frame:
            return new FrameBox(caption, container);
        case ControlKind::CommandButton: {
            auto* button = new QPushButton(caption, container);
            // Enter presses the button that has the focus; no button is the default.
            button->setAutoDefault(true);
            button->setDefault(false);
            return button;
        }
        case ControlKind::TextBox: {
            // Built empty: a field built with a text first lays it out in the
            // application's face, before it takes the window's.
            auto* edit = new QLineEdit(container);
            edit->setText(caption);
            edit->setAlignment(Qt::AlignLeft);
            edit->setMaxLength(std::numeric_limits<int>::max());
            edit->setAcceptDrops(false);  // text arrives by typing or by the context menu
            return edit;
        }
        case ControlKind::ListBox: {
            auto* list = new QListWidget(container);
            list->setSelectionMode(QAbstractItemView::SingleSelection);
            list->setSortingEnabled(false);
            return list;
        }
        case ControlKind::OptionButton:
            return new QRadioButton(caption, container);
    }
    return nullptr;
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

PixelRect pixelRect(const QRect& rect) { return PixelRect{rect.left(), rect.top(), rect.width(), rect.height()}; }

}  // namespace

QtForm::QtForm(Platform& platform, std::string appPath, QWidget* parent)
    : QWidget(parent), form_(*this, platform, std::move(appPath)) {
    buildControls();
    wireEvents();
    form_.Form_Load();
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
        control->setObjectName(qs(row.name));
        const TwipsRect& r = row.rect;
        control->setGeometry(twipsToPixels(r.left, dpiX), twipsToPixels(r.top, dpiY), twipsToPixels(r.width, dpiX),
                             twipsToPixels(r.height, dpiY));
        if (row.fontWeight != kFontRegular) control->setFont(windowFont(row.fontWeight));
        // Where the system's face stands in, which may be wider than the
        // table's, a caption is set smaller rather than clipped. The faces
        // of the table's width need no measuring, which would cost the
        // window's start more than all its controls.
        if (windowFace().fallback) fitCaption(control);
        if (!row.toolTip.empty()) control->setToolTip(qs(row.toolTip));
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
    setAcceptDrops(true);
}

void QtForm::listenTo(ControlId id) {
    QWidget* control = controls_[id];
    if (handles(id, ControlEvent::KeyPress) || handles(id, ControlEvent::DblClick)) control->installEventFilter(this);
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
    return KeyAscii == 0;
}

void QtForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    form_.Form_Shown();
}

QLineEdit* QtForm::field(TextBox box) const { return fields_.at(static_cast<std::size_t>(box)); }

std::string QtForm::text(TextBox box) const { return field(box)->text().toStdString(); }

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

void QtForm::closeWindow() { close(); }

void QtForm::showCurveWindow(const Drawing& drawing) {
    if (!curveWindow_) {
        curveWindow_ = new CurveWindow(this);
        curveWindow_->onKey = [this](const QKeyEvent& key) {
            const int code = characterCode(key.key(), key.modifiers(), key.text());
            if (code < 0) return;
            auto KeyAscii = static_cast<int16_t>(code);
            form_.CurveWindow_KeyPress(KeyAscii);
        };
        curveWindow_->onClosedByUser = [this] { form_.CurveWindow_Unload(); };
    }
    curveWindow_->setDrawing(drawing);
    if (curveWindow_->isVisible()) return;
    const QRect room = screen() ? screen()->availableGeometry() : QRect(frameGeometry().topLeft(), QSize(1 << 15, 1 << 15));
    const PixelPoint at = placeBeside(pixelRect(frameGeometry()), curveWindow_->frameGeometry().width(), pixelRect(room));
    curveWindow_->move(at.x, at.y);
    curveWindow_->show();
    curveWindow_->raise();
    curveWindow_->activateWindow();
}

void QtForm::closeCurveWindow() {
    if (curveWindow_) curveWindow_->closeFromProgram();
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
