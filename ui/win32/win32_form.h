#pragma once
// Form1 on Windows: native controls built from the control table, window
// messages passed to the handlers of Form1, and FormView for the handlers
// to reach the controls.
#include <windows.h>

#include <array>
#include <string>
#include <vector>

#include "ui/form_events.h"
#include "ui/form_layout.h"
#include "ui/form_view.h"
#include "ui/main_window.h"
#include "ui/win32/accessible_names.h"
#include "ui/win32/curve_window.h"
#include "ui/win32/field_tip.h"

namespace varidac::win32 {

// Control identifiers: kFirstControlId + the ControlId.
inline constexpr int kFirstControlId = 100;
// The system menu's "About" command: below 0xF000, where the system's own
// commands begin, and with the low four bits clear, which the system uses.
inline constexpr UINT kAboutCommand = 0x0110;

class Win32Form : public FormView {
public:
    // Builds the window and its controls and runs Form_Load; `appPath` as for Form1.
    Win32Form(Platform& platform, std::string appPath);
    ~Win32Form() override;
    Win32Form(const Win32Form&) = delete;
    Win32Form& operator=(const Win32Form&) = delete;

    HWND window() const { return window_; }
    Form1& form() { return form_; }
    const Form1& form() const { return form_; }

    // Shows the window; the focus then goes to the first option.
    void show(int showCommand);

    // A message of the message loop before it is translated: Tab and the
    // arrow keys move between the controls of either window, and the
    // curve window's keys go to the list editor. True when it was handled.
    bool handleDialogKeys(MSG& message);

    std::string text(TextBox box) const override;
    std::string textOutsideSelection(TextBox box) const override;
    void showFieldTip(TextBox box, const std::string& tip) override;
    void setText(TextBox box, const std::string& text) override;
    void setListItems(const std::vector<std::string>& items) override;
    void giveFocus(TextBox box) override;
    void selectOption(int16_t index) override;
    void closeWindow() override;
    ListEditorView& curveWindow() override { return curve_; }

private:
    template <typename Owner>
    friend LRESULT CALLBACK forwardToOwner(HWND, UINT, WPARAM, LPARAM);
    // The controls with a key-press or double-click handler, each by its
    // ControlId; of a text box also its pastes, cuts and deletes.
    static LRESULT CALLBACK keyProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR self);
    // Whether the text box may go on with an edit that is not a typed character.
    bool editAllowed(ControlId id, HWND control, FieldEdit edit);
    LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void buildControls(int dpiX, int dpiY);
    void addToolTips();
    // Each control that takes the focus gets its name from the table, for a screen reader.
    void nameControls();
    void dropFiles(HDROP drop);
    void command(int id, int notification);
    // Shows the option alone checked and runs its click.
    void checkOption(ControlId option);
    HWND field(TextBox box) const { return fields_.at(static_cast<std::size_t>(box)); }

    Platform& platform_;
    Form1 form_;
    HWND window_ = nullptr;
    HFONT regularFont_ = nullptr;
    HFONT boldFont_ = nullptr;
    std::vector<HWND> controls_;  // by ControlId
    std::array<HWND, 3> fields_{};
    std::array<HWND, 4> options_{};
    HWND list_ = nullptr;
    CurveWindow curve_{form_.curveEditor()};
    FieldTip fieldTip_;
    HWND lastFocus_ = nullptr;
    bool toolTipsAdded_ = false;
    AccessibleNames accessibleNames_;
    bool settingText_ = false;  // setText runs the change handler itself
};

}  // namespace varidac::win32
