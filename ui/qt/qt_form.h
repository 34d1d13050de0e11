#pragma once
// Form1 on Qt: widgets built from the control table, Qt's events passed to
// the handlers of Form1, and FormView for the handlers to reach the widgets.
#include <QWidget>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "ui/form_events.h"
#include "ui/form_view.h"
#include "ui/main_window.h"
#include "ui/qt/curve_window.h"
#include "ui/qt/field_edits.h"

class QCloseEvent;
class QDragEnterEvent;
class QDropEvent;
class QLineEdit;
class QListWidget;
class QRadioButton;

namespace varidac {

class QtForm : public QWidget, public FormView {
    Q_OBJECT
public:
    // Builds the controls and runs Form_Load; `appPath` as for Form1.
    QtForm(Platform& platform, std::string appPath, QWidget* parent = nullptr);
    ~QtForm() override;

    Form1& form() { return form_; }
    const Form1& form() const { return form_; }

    std::string text(TextBox box) const override;
    std::string textOutsideSelection(TextBox box) const override;
    void showFieldTip(TextBox box, const std::string& tip) override;
    void setText(TextBox box, const std::string& text) override;
    void setListItems(const std::vector<std::string>& items) override;
    void giveFocus(TextBox box) override;
    void selectOption(int16_t index) override;
    // Closes the window without asking the form.
    void closeWindow() override;
    CurveWindow& curveWindow() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildControls();
    void wireEvents();
    // Watches the control for the events whose handlers the form has.
    void listenTo(ControlId id);
    std::optional<ControlId> idOf(const QObject* watched) const;
    QLineEdit* field(TextBox box) const;

    CurveWindow* curveWindow_ = nullptr;
    Form1 form_;
    std::vector<QWidget*> controls_;  // by ControlId
    std::array<QLineEdit*, 3> fields_{};
    std::array<FieldEditHandlers, 3> fieldEdits_;  // what a paste, cut or delete in each asks
    QListWidget* list_ = nullptr;
    std::array<QRadioButton*, 4> options_{};
    bool closingFromProgram_ = false;
};

}  // namespace varidac
