#pragma once
// The "Tuning curve" window on Qt: the plot and the list's eleven fields
// built from the editor's control table, Qt's events passed to the list
// editor's handlers, and ListEditorView for the editor to reach the widgets.
#include <QWidget>
#include <array>
#include <string>
#include <vector>

#include "core/list_text.h"
#include "ui/list_editor.h"
#include "ui/qt/field_edits.h"

class QLabel;
class QLineEdit;

namespace varidac {

class DrawingBox;

class CurveWindow : public QWidget, public ListEditorView {
    Q_OBJECT
public:
    // A window of its own beside `mainWindow`, which places it.
    explicit CurveWindow(QWidget* mainWindow);

    // The editor whose handlers its events run; before it is set, none run.
    void setEditor(ListEditor* editor) { editor_ = editor; }

    void open() override;
    // Closes it without asking the editor (QWidget::close() asks).
    void close() override;
    void setTitle(const std::string& title) override;
    void showDrawing(const Drawing& drawing) override;
    std::string pointText(int point) const override;
    void setPointText(int point, const std::string& text) override;
    std::string pointTextOutsideSelection(int point) const override;
    void givePointFocus(int point) override;
    void setPointCheck(int point, const std::string& tip) override;
    void showPointTip(int point, const std::string& tip) override;

    DrawingBox* plot() const { return plot_; }
    QLineEdit* field(int point) const { return fields_.at(static_cast<std::size_t>(point)); }
    QLabel* checkMark(int point) const { return checks_.at(static_cast<std::size_t>(point)); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildControls();
    void wireEvents();
    bool fieldKey(int point, const QKeyEvent& key);
    bool windowKey(const QKeyEvent& key);
    int pointOf(const QObject* watched) const;

    ListEditor* editor_ = nullptr;
    QSize clientSize_;  // the table's, at which the controls stand where it puts them
    int columnLeft_ = 0;
    struct Placed {
        QWidget* control;
        QRect atClientSize;
        bool plot;
    };
    std::vector<Placed> placed_;
    DrawingBox* plot_ = nullptr;
    std::array<QLineEdit*, kListPoints> fields_{};
    std::array<QLabel*, kListPoints> checks_{};
    std::array<FieldEditHandlers, kListPoints> pasting_;
    bool settingText_ = false;
    bool closingFromProgram_ = false;
};

}  // namespace varidac
