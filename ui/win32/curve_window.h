#pragma once
// The "Tuning curve" window beside the main window, where a tuning list is
// written: its controls built from editorControls(), each event passed to
// the list editor's handler of the same name, and ListEditorView for the
// editor to reach the controls.
#include <windows.h>

#include <array>
#include <string>
#include <vector>

#include "core/list_text.h"
#include "ui/editor_layout.h"
#include "ui/list_editor.h"
#include "ui/win32/accessible_names.h"
#include "ui/win32/field_tip.h"
#include "ui/win32/plot_box.h"

namespace varidac::win32 {

// What finds the window and its controls from outside, whatever its title says.
inline constexpr wchar_t kCurveWindowClass[] = L"VaridacCurveWindow";
// Control identifiers: kFirstCurveControlId + the row in editorControls().
inline constexpr int kFirstCurveControlId = 100;

class CurveWindow : public ListEditorView {
public:
    explicit CurveWindow(ListEditor& editor) : editor_(editor) {}
    ~CurveWindow() override;
    CurveWindow(const CurveWindow&) = delete;
    CurveWindow& operator=(const CurveWindow&) = delete;

    // The main window, which this one opens beside and belongs to.
    void setOwner(HWND owner) { owner_ = owner; }
    // Nothing while the window is closed.
    HWND window() const { return window_; }

    // A key message of the message loop, before it is translated into
    // characters: a key the editor uses gives no character after it. Tab
    // moves between the controls. True when the message was handled.
    bool handleDialogKeys(MSG& message);

    void open() override;
    void close() override;
    void setTitle(const std::string& title) override;
    void showDrawing(const Drawing& drawing) override;
    std::string pointText(int point) const override;
    void setPointText(int point, const std::string& text) override;
    std::string pointTextOutsideSelection(int point) const override;
    void givePointFocus(int point) override;
    void setPointCheck(int point, const std::string& tip) override;
    void showPointTip(int point, const std::string& tip) override;

private:
    template <typename Owner>
    friend LRESULT CALLBACK forwardToOwner(HWND, UINT, WPARAM, LPARAM);
    static LRESULT CALLBACK fieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR point, DWORD_PTR self);
    LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void create();
    void buildControls();
    void addCheckTips();
    // The plot takes the room the column of controls leaves beside the right edge.
    void layOut(int clientWidth, int clientHeight);
    void command(int id, int notification);
    // The key's KeyDown handler; true when it used the key.
    bool keyDown(HWND target, WPARAM key);
    int pointOf(HWND field) const;

    ListEditor& editor_;
    HWND owner_ = nullptr;
    HWND window_ = nullptr;
    HFONT regularFont_ = nullptr;
    HFONT boldFont_ = nullptr;
    int dpiX_ = 96, dpiY_ = 96;
    std::vector<HWND> controls_;  // by row of editorControls()
    std::array<HWND, kListPoints> fields_{};
    std::array<HWND, kListPoints> marks_{};
    HWND checkTips_ = nullptr;
    PlotBox plot_;
    FieldTip fieldTip_;
    AccessibleNames accessibleNames_;
    HWND lastFocus_ = nullptr;
    bool settingText_ = false;  // setPointText's change is not the user's

    // What the editor set, kept while the window is closed and shown when it opens.
    std::string title_{kCurveWindowTitle};
    std::array<std::string, kListPoints> texts_;
    std::array<std::string, kListPoints> checks_;
};

}  // namespace varidac::win32
