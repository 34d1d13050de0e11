#include "ui/main_window.h"

#include <QEvent>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <algorithm>
#include <filesystem>
#include <limits>
#include <system_error>
#include <vector>

#include "core/filler_run.h"
#include "core/number_text.h"
#include "core/tuning_list.h"
#include "os/os.h"
#include "ui/common_dialog.h"
#include "ui/help_file.h"
#include "ui/twips.h"
#include "util/file_names.h"

// Resources of a static library must be registered by hand; outside any
// namespace, as Q_INIT_RESOURCE requires.
static void initVaridacResources() { Q_INIT_RESOURCE(varidac); }

namespace varidac {
namespace {

constexpr int16_t kBackspace = 8;
constexpr int16_t kEnter = 13;
constexpr int16_t kPoint = 46;
constexpr int16_t kDigitZero = 48;
constexpr int16_t kDigitNine = 57;

QString qs(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// "MS Sans Serif" where it exists, else the first sans-serif face of about
// its width that is installed, else the system's own face.
QString windowFontFamily() {
    static const QString family = [] {
        for (const char* candidate :
             {"MS Sans Serif", "Microsoft Sans Serif", "Arial", "Liberation Sans", "Nimbus Sans", "Helvetica"}) {
            // What the font system really gives for the name ("Nimbus Sans [urw]").
            const QString resolved = QFontInfo(QFont(candidate)).family();
            if (resolved.startsWith(candidate, Qt::CaseInsensitive)) return resolved;
        }
        return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    }();
    return family;
}

QFont windowFont(bool bold) {
    QFont font(windowFontFamily());
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.25);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    return font;
}

}  // namespace

int characterCode(int key, Qt::KeyboardModifiers modifiers, const QString& text) {
    // Alt combinations are menu keys; they type nothing.
    if (modifiers & Qt::AltModifier) return -1;
    const bool control = (modifiers & Qt::ControlModifier) != 0;
    switch (key) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return control ? 10 : 13;
        case Qt::Key_Backspace:
            return control ? 127 : 8;
        case Qt::Key_Escape:
            return 27;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Delete:
            return -1;
        default:
            break;
    }
    // Ctrl+letter types the control character whatever text the platform
    // attached to the event: Ctrl+C 3, Ctrl+V 22, Ctrl+X 24, Ctrl+Z 26.
    if (control && key >= Qt::Key_A && key <= Qt::Key_Z) return key - Qt::Key_A + 1;
    if (text.isEmpty()) return -1;
    const char16_t code = text.at(0).unicode();
    if (code == 0x7f) return -1;  // Delete on keyboards that attach DEL as text
    return code;
}

Form1::Form1(Platform& platform, std::string appPath, QWidget* parent)
    : QWidget(parent), platform_(platform), appPath_(std::move(appPath)) {
    initVaridacResources();
    buildControls();
    wireEvents();
    Form_Load();
}

Form1::~Form1() = default;

void Form1::buildControls() {
    setObjectName("Form1");
    setWindowTitle(kWindowTitle);
    setWindowIcon(QIcon(":/varidac/varidac.png"));
    // A fixed single border: title, system menu, minimize and close, no maximize.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFont(windowFont(false));
    // Frames carry their caption in the top border line, in the system's colours.
    setStyleSheet(
        "QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 7px; }"
        "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left; left: 7px; padding: 0 2px; }");

    const int dpiX = logicalDpiX();
    const int dpiY = logicalDpiY();
    auto place = [&](QWidget* control, const char* name, int left, int top, int width, int height, int tabIndex) {
        control->setObjectName(name);
        control->setGeometry(twipsToPixels(left, dpiX), twipsToPixels(top, dpiY), twipsToPixels(width, dpiX),
                             twipsToPixels(height, dpiY));
        control->setProperty("TabIndex", tabIndex);
        // Set on each control: under a style sheet, fonts do not pass from a frame to its children.
        control->setFont(windowFont(control->font().bold()));
    };
    auto label = [&](QWidget* in, const char* caption) {
        auto* control = new QLabel(caption, in);
        control->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        control->setWordWrap(false);
        return control;
    };
    auto button = [&](QWidget* in, const char* caption) {
        auto* control = new QPushButton(caption, in);
        // Enter presses the button that has the focus; no button is the default.
        control->setAutoDefault(true);
        control->setDefault(false);
        return control;
    };
    auto textBox = [&](QWidget* in, const char* text) {
        auto* control = new QLineEdit(text, in);
        control->setAlignment(Qt::AlignLeft);
        control->setMaxLength(std::numeric_limits<int>::max());
        control->setAcceptDrops(false);  // text arrives by typing or by the context menu
        return control;
    };

    setFixedSize(twipsToPixels(3870, dpiX), twipsToPixels(6525, dpiY));

    Label3 = label(this, "NRD-515  Varidac Eprom filler - Kordan");
    Label3->setFont(windowFont(true));
    place(Label3, "Label3", 120, 120, 3735, 255, 19);

    Frame2 = new QGroupBox("Input", this);
    place(Frame2, "Frame2", 120, 360, 3615, 3855, 6);
    Frame1 = new QGroupBox("Output", this);
    place(Frame1, "Frame1", 120, 4440, 3615, 1935, 0);

    CommonDialog1 = new CommonDialog(platform_, this);
    CommonDialog1->setObjectName("CommonDialog1");

    cmdLeeslijst = button(Frame2, "Read File");
    place(cmdLeeslijst, "cmdLeeslijst", 240, 360, 1215, 375, 14);
    Command1 = button(Frame2, "?");
    Command1->setFont(windowFont(true));
    place(Command1, "Command1", 1680, 360, 375, 375, 21);
    lbDAlijst = label(Frame2, "D/A tune list");
    place(lbDAlijst, "lbDAlijst", 2280, 360, 1095, 255, 7);
    Label2 = label(Frame2, "Freq.  -  Volt");
    place(Label2, "Label2", 2280, 600, 1095, 255, 18);
    txtDAlist = new QListWidget(Frame2);
    txtDAlist->setSelectionMode(QAbstractItemView::SingleSelection);
    txtDAlist->setSortingEnabled(false);
    place(txtDAlist, "txtDAlist", 2040, 960, 1335, 2595, 17);
    lbStartvoltage = label(Frame2, "Start Voltage at 00H");
    place(lbStartvoltage, "lbStartvoltage", 240, 1080, 1575, 255, 8);
    txtStartVoltage = textBox(Frame2, "Text2");
    place(txtStartVoltage, "txtStartVoltage", 240, 1320, 1335, 285, 9);
    lbEndvoltage = label(Frame2, "End Voltage = ");
    place(lbEndvoltage, "lbEndvoltage", 240, 1800, 1575, 255, 10);
    Label5 = label(Frame2, "StartVoltage + FFH");
    place(Label5, "Label5", 240, 2040, 1575, 255, 22);
    txtEndVoltage = textBox(Frame2, "Text3");
    place(txtEndVoltage, "txtEndVoltage", 240, 2280, 1335, 285, 11);
    lbStep = label(Frame2, "Calculated Step U");
    place(lbStep, "lbStep", 240, 2760, 1455, 255, 12);
    Label1 = label(Frame2, "(255 D/A steps)");
    place(Label1, "Label1", 240, 3000, 1455, 255, 15);
    txtStep = textBox(Frame2, "Text1");
    place(txtStep, "txtStep", 240, 3240, 1335, 285, 13);

    constexpr int kOptionTop[4] = {360, 720, 1080, 1440};
    constexpr int kOptionTab[4] = {1, 3, 4, 5};
    for (std::size_t i = 0; i < optEprom.size(); ++i) {
        optEprom[i] = new QRadioButton(qs(kEpromTypes[i]), Frame1);
        // One name for the four, told apart by their index, like the array they are.
        place(optEprom[i], "optEprom", 240, kOptionTop[i], 975, 255, kOptionTab[i]);
        optEprom[i]->setProperty("Index", static_cast<int>(i));
    }
    Label4 = label(Frame1, "Previous is overwritten!");
    place(Label4, "Label4", 1680, 360, 1815, 255, 20);
    cmdFiller = button(Frame1, "Start Filler");
    place(cmdFiller, "cmdFiller", 1680, 720, 1575, 375, 2);
    cmdStoppen = button(Frame1, "Exit");
    place(cmdStoppen, "cmdStoppen", 1680, 1320, 1575, 375, 16);

    // The focus chain follows the tab indices; labels and frames take no focus.
    std::vector<QWidget*> ordered;
    for (QWidget* control : findChildren<QWidget*>()) {
        if (control->property("TabIndex").isValid() && control->focusPolicy() != Qt::NoFocus) ordered.push_back(control);
    }
    std::sort(ordered.begin(), ordered.end(), [](QWidget* a, QWidget* b) {
        return a->property("TabIndex").toInt() < b->property("TabIndex").toInt();
    });
    for (std::size_t i = 1; i < ordered.size(); ++i) setTabOrder(ordered[i - 1], ordered[i]);
}

void Form1::wireEvents() {
    connect(cmdLeeslijst, &QPushButton::clicked, this, [this] { cmdLeeslijst_Click(); });
    connect(cmdFiller, &QPushButton::clicked, this, [this] { cmdFiller_Click(); });
    connect(cmdStoppen, &QPushButton::clicked, this, [this] { cmdStoppen_Click(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    for (std::size_t i = 0; i < optEprom.size(); ++i) {
        const auto index = static_cast<int16_t>(i);
        connect(optEprom[i], &QRadioButton::toggled, this, [this, index](bool checked) {
            if (checked) optEprom_Click(index);
        });
    }
    // textChanged, unlike textEdited, also fires when the program sets the
    // text, inside the setText call.
    connect(txtStartVoltage, &QLineEdit::textChanged, this, [this] { txtStartVoltage_Change(); });
    connect(txtEndVoltage, &QLineEdit::textChanged, this, [this] { txtEndVoltage_Change(); });
    txtStartVoltage->installEventFilter(this);
    txtEndVoltage->installEventFilter(this);
    txtStep->installEventFilter(this);
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const int code = characterCode(key->key(), key->modifiers(), key->text());
    if (code < 0) return false;  // no character: the field handles the key itself
    auto KeyAscii = static_cast<int16_t>(code);
    if (watched == txtStartVoltage) {
        txtStartVoltage_KeyPress(KeyAscii);
    } else if (watched == txtEndVoltage) {
        txtEndVoltage_KeyPress(KeyAscii);
    } else if (watched == txtStep) {
        txtStep_KeyPress(KeyAscii);
    } else {
        return false;
    }
    return KeyAscii == 0;
}

void Form1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (shownOnce_) return;
    shownOnce_ = true;
    // The focus goes to "27C64". Qt does not select an option that takes the
    // focus, so select it here, which raises its click as that would.
    optEprom[0]->setFocus(Qt::OtherFocusReason);
    optEprom[0]->setChecked(true);
}

std::string Form1::textOf(const QLineEdit* field) const { return field->text().toStdString(); }

void Form1::showMessage(const Message& message) { platform_.showMessage(message.title, message.icon, message.text()); }

void Form1::recomputeStep() {
    txtStep->setText(qs(recomputeVoltages(state_, textOf(txtStartVoltage), textOf(txtEndVoltage))));
}

void Form1::Form_Load() {
    std::error_code ignored;
    state_.pad = std::filesystem::current_path(ignored).string();
    state_.alleendenaam = kStartupName;
    state_.naamzonderpad = kStartupFileName;
    txtStartVoltage->setText(qs(kStartupStartText));
    txtEndVoltage->setText(qs(kStartupEndText));
    // Once more, so that the start-up state does not depend on the change events.
    recomputeStep();
}

void Form1::txtStartVoltage_Change() { recomputeStep(); }

void Form1::txtEndVoltage_Change() { recomputeStep(); }

void Form1::voltageKeyPress(int16_t& KeyAscii, QLineEdit* other) {
    if ((KeyAscii >= kDigitZero && KeyAscii <= kDigitNine) || KeyAscii == kPoint || KeyAscii == kBackspace) return;
    if (KeyAscii == kEnter) {
        other->setFocus();
        return;
    }
    KeyAscii = 0;
    platform_.beep();
}

void Form1::txtStartVoltage_KeyPress(int16_t& KeyAscii) { voltageKeyPress(KeyAscii, txtEndVoltage); }

void Form1::txtEndVoltage_KeyPress(int16_t& KeyAscii) { voltageKeyPress(KeyAscii, txtStartVoltage); }

void Form1::txtStep_KeyPress(int16_t& KeyAscii) {
    if (KeyAscii == kEnter) {
        txtStartVoltage->setFocus();
        return;
    }
    KeyAscii = 0;
    platform_.beep();
}

void Form1::optEprom_Click(int16_t Index) { selectEpromType(state_, Index); }

void Form1::cmdLeeslijst_Click() {
    try {
        CommonDialog1->setDialogTitle("Open Varidac *.INF file");
        CommonDialog1->setFilter("Varidac File (*.inf)|*.inf|Notepad File (*.txt)|*.txt");
        CommonDialog1->setFileName("*.INF");
        CommonDialog1->setInitDir(appPath_);
        CommonDialog1->setCancelError(kTrue);
        CommonDialog1->ShowOpen();
        const std::string chosen = CommonDialog1->FileName();
        if (auto bad = checkChosenPath(chosen)) {
            showMessage(*bad);
            return;
        }
        // All or nothing: on a problem the state and the list stay as they were.
        if (auto problem = readTuningList(state_, chosen)) {
            showMessage(*problem);
            return;
        }
        const std::string startText = textOf(txtStartVoltage);
        const std::string endText = textOf(txtEndVoltage);
        txtDAlist->clear();
        for (const std::string& item : tuneListItems(state_, startText, endText)) txtDAlist->addItem(qs(item));
        for (const Message& warning : voltageWarnings(state_, startText, endText)) showMessage(warning);
    } catch (const std::exception&) {
        // A cancelled dialog, or any other failure, ends the command silently.
    }
}

void Form1::cmdFiller_Click() {
    showMessage(fillerRun(state_, textOf(txtStartVoltage), textOf(txtEndVoltage), os::regionalDecimalSign()));
}

void Form1::cmdStoppen_Click() {
    // No file stays open between two events, so there is nothing to close.
    close();
    platform_.endProgram();
}

void Form1::Command1_Click() {
    try {
        const std::string helpFile = helpFilePath(appPath_, kHelpFileName);
        if (FileExists(helpFile) != kFalse) {
            CommonDialog1->setCancelError(kTrue);
            CommonDialog1->setHelpCommand(kHelpForceFile);
            CommonDialog1->setHelpFile(helpFile);
            CommonDialog1->ShowHelp();
            return;
        }
    } catch (const std::exception&) {
        // A failing file test or viewer gives the same message as a missing file.
    }
    showMessage(errorMessage({"Something is wrong!   ", "Help file VARIDAC.HLP not found  "}));
}

}  // namespace varidac
