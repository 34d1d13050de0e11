#pragma once
// Form1 on Qt: widgets built from the control table, Qt's events passed to
// the handlers of Form1, and FormView for the handlers to reach the widgets.
#include <QWidget>
#include <array>
#include <string>

#include "ui/form_view.h"
#include "ui/main_window.h"

class QLineEdit;
class QListWidget;
class QRadioButton;

namespace varidac {

class QtForm : public QWidget, public FormView {
    Q_OBJECT
public:
    // Builds the controls and runs Form_Load; `appPath` as for Form1.
    QtForm(Platform& platform, std::string appPath, QWidget* parent = nullptr);

    Form1& form() { return form_; }
    const Form1& form() const { return form_; }

    std::string text(TextBox box) const override;
    void setText(TextBox box, const std::string& text) override;
    void setListItems(const std::vector<std::string>& items) override;
    void giveFocus(TextBox box) override;
    void selectOption(int16_t index) override;
    void closeWindow() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void wireEvents();
    QLineEdit* field(TextBox box) const;

    Form1 form_;
    std::array<QLineEdit*, 3> fields_{};
    QListWidget* list_ = nullptr;
    std::array<QRadioButton*, 4> options_{};
};

}  // namespace varidac
