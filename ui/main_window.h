#pragma once
// Form1, the program's one window: the two voltage fields with the derived
// step, the D/A tune list with "Read File", the EPROM type, "Start Filler",
// "Exit" and "?". The handlers stay thin: the work is done by the core.
#include <QWidget>
#include <array>
#include <cstdint>
#include <string>

#include "core/message.h"
#include "core/tuning_state.h"
#include "ui/platform.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace varidac {

class CommonDialog;

inline constexpr const char* kWindowTitle = "VARIDAC EPROM FILLER ";
inline constexpr const char* kHelpFileName = "VARIDAC.HLP";

class Form1 : public QWidget {
    Q_OBJECT
public:
    // `appPath` is the folder that holds the program (where the help file
    // lives and where the file-open dialog starts). Form_Load runs here,
    // before the window is first shown.
    Form1(Platform& platform, std::string appPath, QWidget* parent = nullptr);
    ~Form1() override;

    const TuningState& tuningState() const { return state_; }
    const std::string& appPath() const { return appPath_; }

    // The event handlers, named after control and event.
    void Form_Load();
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

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void wireEvents();
    void recomputeStep();
    void voltageKeyPress(int16_t& KeyAscii, QLineEdit* other);
    void showMessage(const Message& message);
    std::string textOf(const QLineEdit* field) const;

    Platform& platform_;
    std::string appPath_;
    TuningState state_;
    bool shownOnce_ = false;

    QLabel* Label3 = nullptr;
    QGroupBox* Frame2 = nullptr;
    QGroupBox* Frame1 = nullptr;
    CommonDialog* CommonDialog1 = nullptr;
    QPushButton* cmdLeeslijst = nullptr;
    QPushButton* Command1 = nullptr;
    QLabel* lbDAlijst = nullptr;
    QLabel* Label2 = nullptr;
    QListWidget* txtDAlist = nullptr;
    QLabel* lbStartvoltage = nullptr;
    QLineEdit* txtStartVoltage = nullptr;
    QLabel* lbEndvoltage = nullptr;
    QLabel* Label5 = nullptr;
    QLineEdit* txtEndVoltage = nullptr;
    QLabel* lbStep = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* txtStep = nullptr;
    std::array<QRadioButton*, 4> optEprom{};
    QLabel* Label4 = nullptr;
    QPushButton* cmdFiller = nullptr;
    QPushButton* cmdStoppen = nullptr;
};

// The character code that a key press types, as the key-press handlers see
// it (Enter 13, Backspace 8, Ctrl+V 22, ...), or -1 when the key types no
// character (Delete, arrows, Tab, Alt combinations).
int characterCode(int key, Qt::KeyboardModifiers modifiers, const QString& text);

}  // namespace varidac
