// The native windows as their control tables describe them: every control
// where the table puts it, in its font and tab order; and the events of the
// controls reaching Form1 and the list editor, typed characters as their
// codes, pastes and the keys of the message loop as the system sends them.
#include <windows.h>
#include <commctrl.h>
// The accessibility service's identifiers defined here: the import library
// holds only stubs of the same names.
#include <initguid.h>
#include <oleacc.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <variant>
#include <vector>

#include "core/curve_plot.h"
#include "core/list_text.h"
#include "tests/form/recording_platform.h"
#include "tests/temp_folder.h"
#include "os/wide_text.h"
#include "ui/about.h"
#include "ui/drawing_fit.h"
#include "ui/editor_layout.h"
#include "ui/form_layout.h"
#include "ui/twips.h"
#include "ui/win32/curve_window.h"
#include "ui/win32/drawing_gdi.h"
#include "ui/win32/win32_form.h"
#include "ui/win32/win32_platform.h"

namespace varidac::win32 {

using os::utf8;
using os::wide;
namespace {

std::string textOf(HWND control) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return utf8(text);
}

void setClipboard(HWND owner, const std::wstring& text) {
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    std::copy_n(text.c_str(), text.size() + 1, static_cast<wchar_t*>(GlobalLock(memory)));
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
}

// Drops what the window left for the message loop, the end of the program
// (WM_QUIT) included, which would end the next modal box at once.
void dropPendingMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
}

// What a tooltip shows for a tool: the balloon of a refused key or paste
// (the first tool of a balloon tooltip owned by `window`), or the tip of
// the tool that `window` and `id` name.
struct ShownTip {
    bool visible = false;
    std::string text;
};

ShownTip shown(HWND tip, TOOLINFOW tool) {
    wchar_t text[256] = {};
    tool.lpszText = text;
    SendMessageW(tip, TTM_GETTEXTW, std::size(text), reinterpret_cast<LPARAM>(&tool));
    return {IsWindowVisible(tip) != FALSE, utf8(text)};
}

ShownTip balloonOf(HWND window) {
    for (HWND tip = nullptr; (tip = FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr));) {
        if (GetWindow(tip, GW_OWNER) != window || !(GetWindowLongW(tip, GWL_STYLE) & TTS_BALLOON)) continue;
        TOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        if (SendMessageW(tip, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool))) return shown(tip, tool);
    }
    return {};
}

ShownTip tipOf(HWND window, UINT_PTR id = 0) {
    for (HWND tip = nullptr; (tip = FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr));) {
        TOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = window;
        tool.uId = id;
        if (SendMessageW(tip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool))) return shown(tip, tool);
    }
    return {};
}

RECT placeIn(HWND control, HWND window) {
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The size of the control's text in its font.
SIZE textSize(HWND control) {
    const std::wstring text = wide(textOf(control));
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return size;
}

// What a screen reader hears the control called.
std::string accessibleNameOfWindow(HWND control) {
    IAccessible* accessible = nullptr;
    const HRESULT found = AccessibleObjectFromWindow(control, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&accessible));
    if (FAILED(found)) return "(no accessible object: " + std::to_string(static_cast<unsigned long>(found)) + ")";
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    const HRESULT result = accessible->get_accName(self, &name);
    accessible->Release();
    if (result != S_OK || !name) return "(no name: " + std::to_string(static_cast<unsigned long>(result)) + ")";
    std::string text = utf8(name);
    SysFreeString(name);
    return text;
}

// Runs what the windows posted to themselves.
void runPendingMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

std::string classOf(HWND control) {
    wchar_t name[32] = {};
    GetClassNameW(control, name, 32);
    std::string kind = utf8(name);
    std::transform(kind.begin(), kind.end(), kind.begin(), [](char ch) { return static_cast<char>(std::tolower(ch)); });
    return kind;
}

const std::map<ControlKind, std::string> kClasses = {
    {ControlKind::Label, "static"},  {ControlKind::Frame, "button"},     {ControlKind::CommandButton, "button"},
    {ControlKind::TextBox, "edit"},  {ControlKind::ListBox, "listbox"}, {ControlKind::OptionButton, "button"},
    {ControlKind::PictureBox, "varidacpicturebox"}};

const std::string kExampleList = "600,2.1\r\n700,2.6\r\n800,3.2\r\n900,3.9\r\n1000,4.7\r\n1100,5.6\r\n"
                                 "1200,6.6\r\n1300,7.7\r\n1400,8.9\r\n1500,10.2\r\n1600,11.5\r\n";

// Files as the file manager drops them.
HDROP dropOf(const std::wstring& path) {
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + (path.size() + 2) * sizeof(wchar_t));
    auto* files = static_cast<DROPFILES*>(GlobalLock(memory));
    files->pFiles = sizeof(DROPFILES);
    files->fWide = TRUE;
    std::copy(path.begin(), path.end(), reinterpret_cast<wchar_t*>(files + 1));
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

class Win32FormTest : public ::testing::Test {
protected:
    void SetUp() override {
        GetKeyboardState(keys);
        form = std::make_unique<Win32Form>(platform, "C:\\");
        form->show(SW_SHOWNORMAL);
        dpiX = GetDeviceCaps(screen, LOGPIXELSX);
        dpiY = GetDeviceCaps(screen, LOGPIXELSY);
        // The resolution the test at several resolutions set for this run.
        if (const char* expected = std::getenv("VARIDAC_EXPECTED_DPI")) {
            ASSERT_EQ(dpiX, std::atoi(expected));
            ASSERT_EQ(dpiY, std::atoi(expected));
        }
    }
    void TearDown() override {
        SetKeyboardState(keys);
        form.reset();
        dropPendingMessages();
        ReleaseDC(nullptr, screen);
    }

    // The control named in the table (an option by its index).
    HWND control(std::string_view name, int index = -1) const {
        std::span<const FormControl> rows = formControls();
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (rows[i].name == name && rows[i].index == index) return GetDlgItem(form->window(), kFirstControlId + static_cast<int>(i));
        }
        return nullptr;
    }

    HWND curve() const { return FindWindowW(kCurveWindowClass, nullptr); }

    HWND curveControl(std::string_view name, int index = -1) const {
        std::span<const FormControl> rows = editorControls();
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (rows[i].name == name && rows[i].index == index) return GetDlgItem(curve(), kFirstCurveControlId + static_cast<int>(i));
        }
        return nullptr;
    }
    HWND point(int index) const { return curveControl("txtPoint", index); }

    // Enter in the D/A tune list.
    HWND openCurve() {
        SendMessageW(control("txtDAlist"), WM_CHAR, 13, 1);
        return curve();
    }

    void dropList(const std::string& bytes) {
        const std::string list = folder.write("LIST.INF", bytes);
        SendMessageW(form->window(), WM_DROPFILES, reinterpret_cast<WPARAM>(dropOf(wide(list))), 0);
    }

    void type(HWND field, const std::wstring& keys) {
        for (wchar_t key : keys) SendMessageW(field, WM_CHAR, key, 1);
    }

    // The key as the message loop gets it, with Ctrl held or not.
    void press(HWND target, WPARAM key, bool ctrl = false) {
        BYTE held[256];
        GetKeyboardState(held);
        held[VK_CONTROL] = ctrl ? 0x80 : 0;
        SetKeyboardState(held);
        MSG message{target, WM_KEYDOWN, key, 1, 0, {}};
        form->handleDialogKeys(message);
    }

    int px(int twips) const { return twipsToPixels(twips, dpiX); }
    int py(int twips) const { return twipsToPixels(twips, dpiY); }

    testing::RecordingPlatform platform;
    TempFolder folder;
    std::unique_ptr<Win32Form> form;
    HDC screen = GetDC(nullptr);
    int dpiX = 96, dpiY = 96;
    BYTE keys[256] = {};
};

TEST_F(Win32FormTest, EveryControlIsWhereTheTablePutsItInItsFont) {
    HWND window = form->window();
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, px(kClientWidthTwips));
    EXPECT_EQ(client.bottom, py(kClientHeightTwips));
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    EXPECT_EQ(style & (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), WS_SYSMENU | WS_MINIMIZEBOX);
    EXPECT_EQ(textOf(window), kWindowTitle);

    std::map<std::string_view, POINT> origins{{kFormName, POINT{0, 0}}};
    for (const FormControl& row : formControls()) {
        SCOPED_TRACE(std::string(row.name) + " " + std::to_string(row.index));
        HWND c = control(row.name, row.index);
        ASSERT_NE(c, nullptr);
        const RECT r = placeIn(c, window);
        const POINT origin = origins.at(row.container);
        const POINT corner{origin.x + px(row.rect.left), origin.y + py(row.rect.top)};
        if (row.kind == ControlKind::Frame) origins[row.name] = corner;
        EXPECT_EQ(r.left, corner.x);
        EXPECT_EQ(r.top, corner.y);
        EXPECT_EQ(r.right - r.left, px(row.rect.width));
        if (row.kind == ControlKind::Label) {
            // A label may end above the table's row, where the control below begins, with its text still whole.
            EXPECT_LE(r.bottom - r.top, py(row.rect.height));
            EXPECT_GE(r.bottom - r.top, textSize(c).cy);
        } else {
            EXPECT_EQ(r.bottom - r.top, py(row.rect.height));
        }
        EXPECT_EQ(classOf(c), kClasses.at(row.kind));
        if (row.kind != ControlKind::TextBox && row.kind != ControlKind::ListBox) {
            EXPECT_EQ(textOf(c), row.caption);
        }

        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(c, WM_GETFONT, 0, 0)), sizeof font, &font);
        EXPECT_EQ(utf8(font.lfFaceName), kFontFace);
        EXPECT_EQ(font.lfWeight, row.fontWeight);
        EXPECT_EQ(font.lfHeight, -std::lround(kFontPoints * dpiY / 72));
    }
}

TEST_F(Win32FormTest, TabFollowsTheTablesFocusOrderFrom27C64) {
    std::vector<const FormControl*> focusable;
    for (const FormControl& row : formControls()) {
        if (row.kind != ControlKind::Label && row.kind != ControlKind::Frame) focusable.push_back(&row);
    }
    std::sort(focusable.begin(), focusable.end(), [](auto* a, auto* b) { return a->tabIndex < b->tabIndex; });
    ASSERT_EQ(focusable.front()->name, "optEprom");
    EXPECT_EQ(SendMessageW(control("optEprom", 0), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(form->form().tuningState().epromtype, "27C64");
    HWND at = control("optEprom", 0);
    for (std::size_t i = 1; i <= focusable.size(); ++i) {
        const FormControl* next = focusable[i % focusable.size()];
        at = GetNextDlgTabItem(form->window(), at, FALSE);
        EXPECT_EQ(at, control(next->name, next->index)) << "after tab stop " << i;
    }
}

TEST_F(Win32FormTest, TypedCharactersPassTheKeyFilterWithATipForARefusedPoint) {
    HWND start = control("txtStartVoltage");
    struct Typed {
        const wchar_t* keys;
        std::string text;
        int beeps;
        std::string tip;  // the balloon that shows afterwards, if one does
    };
    // Ctrl+V types the character 22: refused, nothing pasted.
    for (const Typed& t : {Typed{L"x", "1.50", 1, ""}, Typed{L",", "1.50", 2, kTipDecimalPoint}, Typed{L".", "1.50", 3, kTipOnePoint},
                           Typed{L"5", "1.505", 3, ""}, Typed{L"\x16", "1.505", 4, ""}}) {
        SCOPED_TRACE(utf8(t.keys));
        setClipboard(form->window(), L"9");
        SendMessageW(start, EM_SETSEL, 10, 10);
        type(start, t.keys);
        EXPECT_EQ(textOf(start), t.text);
        EXPECT_EQ(platform.beeps, t.beeps);
        // A tip shows until the next key.
        const ShownTip tip = balloonOf(form->window());
        EXPECT_EQ(tip.visible, !t.tip.empty());
        EXPECT_EQ(tip.visible ? tip.text : "", t.tip);
    }
    EXPECT_EQ(form->form().tuningState().StartVoltage, 1.505);

    HWND step = control("txtStep");
    type(step, L"1");
    EXPECT_EQ(textOf(step), "0.0412");
    EXPECT_EQ(platform.beeps, 5);
}

// A paste, cut or delete as the context menu or a key sends it, into a
// field whose whole text is selected.
TEST_F(Win32FormTest, EditsThatAreNotTypedPassTheFieldsChecksFirst) {
    struct Edit {
        const char* field;  // of the main window, or "txtPoint" (600 kHz)
        const wchar_t* clipboard;
        UINT message;
        WPARAM key;
        const char* text;  // afterwards; nothing: as before
        std::string tip;
    };
    const Edit edits[] = {
        {"txtStartVoltage", L"12,5", WM_PASTE, 0, nullptr, kTipDecimalPoint},
        {"txtStartVoltage", L"12 V", WM_PASTE, 0, nullptr, kTipDigitsOnly},
        {"txtStartVoltage", L"2.25", WM_PASTE, 0, "2.25", ""},
        {"txtEndVoltage", L"", WM_CUT, 0, "", ""},
        {"txtStep", L"1", WM_PASTE, 0, nullptr, ""},
        {"txtStep", L"", WM_CUT, 0, nullptr, ""},
        {"txtStep", L"", WM_CLEAR, 0, nullptr, ""},
        {"txtStep", L"", WM_KEYDOWN, VK_DELETE, nullptr, ""},
        {"txtPoint", L"1,5", WM_PASTE, 0, "1.5", ""},
        {"txtPoint", L"1.5.", WM_PASTE, 0, nullptr, kTipOnePoint},
        {"txtPoint", L"-1", WM_PASTE, 0, nullptr, kTipDigitsOnly},
    };
    HWND editor = openCurve();
    ASSERT_NE(editor, nullptr);
    for (const Edit& e : edits) {
        SCOPED_TRACE(std::string(e.field) + " " + utf8(e.clipboard) + " " + std::to_string(e.message));
        const bool inEditor = std::string_view(e.field) == "txtPoint";
        HWND field = inEditor ? point(0) : control(e.field);
        if (inEditor) SetWindowTextW(field, L"3");
        const std::string before = textOf(field);
        const int beeps = platform.beeps;
        setClipboard(form->window(), e.clipboard);
        SendMessageW(field, EM_SETSEL, 0, -1);
        SendMessageW(field, e.message, e.key, 0);
        EXPECT_EQ(textOf(field), e.text ? e.text : before);
        EXPECT_EQ(platform.beeps, beeps + (e.text ? 0 : 1));
        if (!e.tip.empty()) {
            EXPECT_EQ(balloonOf(inEditor ? editor : form->window()).text, e.tip);
        }
    }
    EXPECT_EQ(form->form().tuningState().StartVoltage, 2.25);
}

TEST_F(Win32FormTest, ButtonsAndOptionsReachTheirHandlers) {
    SendMessageW(control("optEprom", 3), BM_CLICK, 0, 0);
    EXPECT_EQ(form->form().tuningState().epromtype, "27C512");
    for (int i = 0; i < 4; ++i) EXPECT_EQ(SendMessageW(control("optEprom", i), BM_GETCHECK, 0, 0), i == 3 ? BST_CHECKED : BST_UNCHECKED);

    SendMessageW(control("cmdLeeslijst"), BM_CLICK, 0, 0);
    ASSERT_EQ(platform.openRequests.size(), 1u);
    EXPECT_EQ(platform.openRequests[0].DialogTitle, "Open Varidac *.INF file");
    // Enter presses the button that has the focus, and only that one.
    SetFocus(control("cmdLeeslijst"));
    SendMessageW(form->window(), WM_COMMAND, IDOK, 0);
    EXPECT_EQ(platform.openRequests.size(), 2u);
    SetFocus(control("txtEndVoltage"));
    SendMessageW(form->window(), WM_COMMAND, IDOK, 0);
    EXPECT_EQ(platform.openRequests.size(), 2u);

    SendMessageW(control("Command1"), BM_CLICK, 0, 0);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "Something is wrong!   \rHelp file VARIDAC.HLP not found  \r");

    SendMessageW(control("cmdStoppen"), BM_CLICK, 0, 0);
    EXPECT_EQ(platform.endRequests, 1);
    EXPECT_FALSE(IsWindow(form->window()));
}

TEST_F(Win32FormTest, ADroppedListIsReadAndTheListOpensAndClosesTheCurve) {
    EXPECT_TRUE(GetWindowLongPtrW(form->window(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    dropList(kExampleList);
    HWND items = control("txtDAlist");
    EXPECT_EQ(SendMessageW(items, LB_GETCOUNT, 0, 0), 13);
    EXPECT_EQ(form->form().tuningState().alleendenaam, "LIST");

    // A double-click or Enter in the list opens it with the list; Escape in it or its close button closes it.
    SendMessageW(items, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 150));
    HWND window = curve();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(textOf(window), form->form().curveEditor().title());
    EXPECT_EQ(textOf(point(10)), "11.5");
    EXPECT_TRUE(form->form().curveWindowOpen());
    SendMessageW(window, WM_COMMAND, IDCANCEL, 0);  // what the message loop makes of Escape
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(form->form().curveWindowOpen());
    window = openCurve();
    ASSERT_NE(window, nullptr);
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(form->form().curveWindowOpen());
    EXPECT_TRUE(platform.questions.empty());
}

TEST_F(Win32FormTest, TheEditorOpensEmptyWithItsColumnOnTheRightEdgeAndTheTablesTabOrder) {
    HWND window = openCurve();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(textOf(window), form->form().curveEditor().title());
    EXPECT_EQ(GetFocus(), point(0));
    EXPECT_EQ(GetWindow(window, GW_OWNER), form->window());
    // As the table says, or narrower where the screen has no room for it beside the main window.
    RECT opened;
    GetClientRect(window, &opened);
    EXPECT_LE(opened.right, px(kCurveClientWidthTwips));
    EXPECT_LE(opened.bottom, py(kCurveClientHeightTwips));

    // Made larger, the plot takes the room and the column keeps to the right edge.
    for (const SIZE step : {SIZE{0, 0}, SIZE{150, 90}}) {
        RECT outer;
        GetWindowRect(window, &outer);
        SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left + step.cx, outer.bottom - outer.top + step.cy,
                     SWP_NOMOVE | SWP_NOZORDER);
        RECT client;
        GetClientRect(window, &client);
        const SIZE grown{client.right - px(kCurveClientWidthTwips), client.bottom - py(kCurveClientHeightTwips)};
        for (const FormControl& row : editorControls()) {
            SCOPED_TRACE(std::string(row.name) + " " + std::to_string(row.index) + " grown by " + std::to_string(grown.cx));
            HWND c = curveControl(row.name, row.index);
            ASSERT_NE(c, nullptr);
            const bool plot = row.kind == ControlKind::PictureBox;
            const RECT r = placeIn(c, window);
            EXPECT_EQ(r.left, px(row.rect.left) + (plot ? 0 : grown.cx));
            EXPECT_EQ(r.top, py(row.rect.top));
            EXPECT_EQ(r.right - r.left, px(row.rect.width) + (plot ? grown.cx : 0));
            EXPECT_EQ(r.bottom - r.top, py(row.rect.height) + (plot ? grown.cy : 0));
            EXPECT_EQ(classOf(c), kClasses.at(row.kind));
            EXPECT_EQ(textOf(c), row.caption);
            // Where a screen reader finds a field's name.
            if (row.name == "txtPoint") {
                EXPECT_EQ(GetWindow(c, GW_HWNDPREV), curveControl("lblPoint", row.index));
            }
        }
    }

    std::vector<const FormControl*> focusable;
    for (const FormControl& row : editorControls()) {
        if (row.kind == ControlKind::TextBox || row.kind == ControlKind::CommandButton) focusable.push_back(&row);
    }
    std::sort(focusable.begin(), focusable.end(), [](auto* a, auto* b) { return a->tabIndex < b->tabIndex; });
    HWND at = point(0);
    for (std::size_t i = 1; i <= focusable.size(); ++i) {
        const FormControl* next = focusable[i % focusable.size()];
        at = GetNextDlgTabItem(window, at, FALSE);
        EXPECT_EQ(at, curveControl(next->name, next->index)) << "after tab stop " << i;
    }
}

TEST_F(Win32FormTest, NoControlCoversAnotherAndTheCurveOpensBesideTheWindowInsideTheWorkArea) {
    HWND window = form->window();
    std::span<const FormControl> rows = formControls();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        for (std::size_t j = i + 1; j < rows.size(); ++j) {
            // A frame holds its own controls.
            if (rows[i].name == rows[j].container || rows[j].name == rows[i].container) continue;
            const RECT a = placeIn(control(rows[i].name, rows[i].index), window);
            const RECT b = placeIn(control(rows[j].name, rows[j].index), window);
            RECT common;
            EXPECT_FALSE(IntersectRect(&common, &a, &b)) << rows[i].name << " " << rows[i].index << " covers " << rows[j].name << " "
                                                         << rows[j].index << " by " << common.right - common.left << "x"
                                                         << common.bottom - common.top << " at " << dpiX << " dpi";
        }
    }

    RECT room;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &room, 0));
    RECT main;
    GetWindowRect(window, &main);
    const int width = main.right - main.left;
    // The main window at the work area's left edge, in its middle and at its right edge.
    for (const LONG left : {room.left, room.left + (room.right - room.left - width) / 2, room.right - width}) {
        SCOPED_TRACE("main window at x = " + std::to_string(left) + ", " + std::to_string(dpiX) + " dpi");
        SetWindowPos(window, nullptr, left, room.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        GetWindowRect(window, &main);
        HWND curveWindow = openCurve();
        ASSERT_NE(curveWindow, nullptr);
        RECT beside, common;
        GetWindowRect(curveWindow, &beside);
        EXPECT_FALSE(IntersectRect(&common, &beside, &main)) << "curve " << beside.left << ".." << beside.right << ", main "
                                                              << main.left << ".." << main.right;
        EXPECT_GE(beside.left, room.left);
        EXPECT_LE(beside.right, room.right);
        EXPECT_GE(beside.top, room.top);
        EXPECT_LE(beside.bottom, room.bottom);
        // Its column of fields whole within the narrower window.
        RECT client;
        GetClientRect(curveWindow, &client);
        EXPECT_LE(placeIn(point(0), curveWindow).right, client.right);
        EXPECT_GE(placeIn(point(0), curveWindow).left, 0);
        SendMessageW(curveWindow, WM_CLOSE, 0, 0);
        ASSERT_FALSE(IsWindow(curveWindow));
    }
}

TEST_F(Win32FormTest, TheSystemMenuTellsAboutTheProgram) {
    HMENU menu = GetSystemMenu(form->window(), FALSE);
    const int count = GetMenuItemCount(menu);
    ASSERT_GE(count, 2);
    wchar_t entry[64] = {};
    GetMenuStringW(menu, kAboutCommand, entry, 64, MF_BYCOMMAND);
    EXPECT_EQ(utf8(entry), kAboutMenuEntry);
    EXPECT_EQ(GetMenuItemID(menu, count - 1), kAboutCommand);
    EXPECT_TRUE(GetMenuState(menu, count - 2, MF_BYPOSITION) & MF_SEPARATOR);

    SendMessageW(form->window(), WM_SYSCOMMAND, kAboutCommand, 0);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0], (testing::RecordedMessage{kAboutTitle, MessageIcon::Information, aboutText()}));
    EXPECT_EQ(textOf(form->window()), kWindowTitle);
}

// Whether the system's accessibility service keeps the names given to
// controls (Wine 8's answers E_NOTIMPL).
bool systemKeepsNames() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IAccPropServices* names = nullptr;
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                                reinterpret_cast<void**>(&names)))) {
        return false;
    }
    HWND scratch = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    const bool kept = SUCCEEDED(names->SetHwndPropStr(scratch, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_NAME, L"scratch"));
    MSAAPROPID name = PROPID_ACC_NAME;
    names->ClearHwndProps(scratch, OBJID_CLIENT, CHILDID_SELF, &name, 1);
    names->Release();
    DestroyWindow(scratch);
    return kept;
}

TEST_F(Win32FormTest, EveryControlThatTakesTheFocusHasTheTablesNameForAScreenReader) {
    runPendingMessages();
    const bool kept = systemKeepsNames();
    if (!kept) std::printf("The system keeps no names for controls: the labels before the fields name them\n");
    // Without the service a field is named by the label before it, which
    // starts the table's name. Wine names no list box so, and a button by
    // its caption: those two are heard nameless and as "?" there.
    auto expectNamed = [kept](HWND c, const FormControl& row) {
        const std::string heard = accessibleNameOfWindow(c);
        if (kept || row.kind == ControlKind::OptionButton || (row.kind == ControlKind::CommandButton && row.accessibleName.empty())) {
            EXPECT_EQ(heard, accessibleNameOf(row));
        } else if (row.kind == ControlKind::TextBox) {
            EXPECT_FALSE(heard.empty());
            EXPECT_TRUE(accessibleNameOf(row).starts_with(heard)) << "heard \"" << heard << "\"";
            EXPECT_EQ(heard, textOf(GetWindow(c, GW_HWNDPREV)));
        }
    };
    for (const FormControl& row : formControls()) {
        if (row.kind == ControlKind::Label || row.kind == ControlKind::Frame) continue;
        SCOPED_TRACE(std::string(row.name) + " " + std::to_string(row.index));
        expectNamed(control(row.name, row.index), row);
    }
    ASSERT_NE(openCurve(), nullptr);
    for (const FormControl& row : editorControls()) {
        if (row.kind != ControlKind::TextBox && row.kind != ControlKind::CommandButton) continue;
        SCOPED_TRACE(std::string(row.name) + " " + std::to_string(row.index));
        expectNamed(curveControl(row.name, row.index), row);
    }
}

TEST_F(Win32FormTest, TypedPointsTakeACommaAsPointAndAreCheckedWhileTyped) {
    HWND window = openCurve();
    ASSERT_NE(window, nullptr);
    type(point(0), L"2,5\r");
    EXPECT_EQ(textOf(point(0)), "2.5");
    EXPECT_EQ(GetFocus(), point(1));
    // A letter and a second point are refused, the point with its tip.
    type(point(1), L"x1,2,");
    EXPECT_EQ(textOf(point(1)), "1.2");
    EXPECT_EQ(platform.beeps, 2);
    const ShownTip tip = balloonOf(window);
    EXPECT_TRUE(tip.visible);
    EXPECT_EQ(tip.text, kTipOnePoint);

    // 1.2 V is not above 2.5 V: the mark beside it, its tip the check's words.
    ListPoints points{};
    points[0] = 2.5;
    points[1] = 1.2;
    const auto checks = pointChecks(points, form->form().tuningState().StartVoltage, form->form().tuningState().EndVoltage);
    ASSERT_FALSE(checks[1].empty());
    for (int i = 0; i < 2; ++i) {
        HWND mark = curveControl("lblCheck", i);
        EXPECT_EQ(textOf(mark), checks[static_cast<std::size_t>(i)].empty() ? "" : "!") << i;
        EXPECT_EQ(tipOf(window, reinterpret_cast<UINT_PTR>(mark)).text, checks[static_cast<std::size_t>(i)]) << i;
    }
    EXPECT_EQ(textOf(window), form->form().curveEditor().title());
    EXPECT_TRUE(form->form().curveEditor().hasUnsavedChanges());

    // Up and Down move between the points, as the message loop hands them on.
    press(point(1), VK_UP);
    EXPECT_EQ(GetFocus(), point(0));
    press(point(0), VK_DOWN);
    EXPECT_EQ(GetFocus(), point(1));
}

TEST_F(Win32FormTest, CtrlSSavesTheTypedListWhichTheWindowThenReads) {
    const std::wstring typed[kListPoints] = {L"2.1", L"2.6", L"3.2", L"3.9", L"4.7", L"5.6", L"6.6", L"7.7", L"8.9", L"10.2", L"11.5"};
    HWND window = openCurve();
    ASSERT_NE(window, nullptr);
    std::string expected;
    for (int i = 0; i < kListPoints; ++i) {
        type(GetFocus(), typed[i] + L"\r");
        expected += std::to_string(pointKHz(i)) + "," + utf8(typed[i]) + "\r\n";
    }
    EXPECT_EQ(GetFocus(), point(10));
    const std::string saved = (folder.path() / "NEW.INF").string();
    platform.saveAnswers.push_back(saved);
    press(point(10), 'S', true);
    ASSERT_EQ(platform.saveRequests.size(), 1u);
    EXPECT_EQ(readFile(saved), expected);
    EXPECT_EQ(SendMessageW(control("txtDAlist"), LB_GETCOUNT, 0, 0), 13);
    EXPECT_FALSE(form->form().curveEditor().hasUnsavedChanges());
    EXPECT_EQ(textOf(window), form->form().curveEditor().title());
    // Elsewhere in the window too, as Save.
    SendMessageW(point(10), EM_SETSEL, 4, 4);
    type(point(10), L"5");
    press(curveControl("cmdNew"), 'S', true);
    EXPECT_EQ(platform.saveRequests.size(), 1u);
    EXPECT_EQ(readFile(saved), expected.substr(0, expected.size() - 2) + "5\r\n");
}

TEST_F(Win32FormTest, ClosingWithUnsavedPointsAsksFirstAndCancelKeepsTheWindow) {
    struct Close {
        bool mainWindow;
        Answer answer;
    };
    for (const Close c : {Close{false, Answer::Cancel}, Close{false, Answer::No}, Close{true, Answer::Cancel}}) {
        SCOPED_TRACE(std::to_string(c.mainWindow) + " " + std::to_string(static_cast<int>(c.answer)));
        platform.questions.clear();
        HWND window = openCurve();
        ASSERT_NE(window, nullptr);
        type(point(0), L"2");
        platform.answers.push_back(c.answer);
        HWND closed = c.mainWindow ? form->window() : window;
        SendMessageW(closed, WM_CLOSE, 0, 0);
        EXPECT_EQ(platform.questions.size(), 1u);
        EXPECT_EQ(IsWindow(closed) != FALSE, c.answer == Answer::Cancel);
        SendMessageW(point(0), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    }
}

// The device position of the list point whose tip starts with `caption`.
Point pointOnScreen(const Drawing& drawing, HWND plot, const std::string& caption) {
    RECT client;
    GetClientRect(plot, &client);
    const DrawingFit fit = fitDrawing(drawing, DeviceRect{0, 0, double(client.right), double(client.bottom)});
    for (const Primitive& p : drawing.primitives) {
        if (const auto* circle = std::get_if<Circle>(&p); circle && circle->tooltip.starts_with(caption)) return fit.toDevice(circle->centre);
    }
    return Point{-1, -1};
}

LPARAM at(Point p) { return MAKELPARAM(std::lround(p.x), std::lround(p.y)); }

TEST_F(Win32FormTest, ThePlotTipsThePointUnderTheMouseAndAPressDragsIt) {
    dropList(kExampleList);
    HWND window = openCurve();
    HWND plot = curveControl("picCurve");
    ASSERT_NE(plot, nullptr);
    // Larger than the drawing, which the plot then scales up.
    SetWindowPos(window, nullptr, 0, 0, 1000, 700, SWP_NOMOVE | SWP_NOZORDER);
    const Point first = pointOnScreen(form->form().curveEditor().drawing(), plot, "600 kHz: 2.1 V");
    ASSERT_GE(first.x, 0);
    SendMessageW(plot, WM_MOUSEMOVE, 0, at(first));
    const ShownTip tip = tipOf(plot);
    EXPECT_TRUE(tip.visible);
    EXPECT_EQ(tip.text, "600 kHz: 2.1 V");
    SendMessageW(plot, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    EXPECT_FALSE(tipOf(plot).visible);

    // Pressed and moved up: the point follows the mouse, its field with it.
    SendMessageW(plot, WM_LBUTTONDOWN, MK_LBUTTON, at(first));
    const Point moved{first.x, first.y - 40};
    SendMessageW(plot, WM_MOUSEMOVE, MK_LBUTTON, at(moved));
    const Drawing dragged = form->form().curveEditor().drawing();
    const Point now = pointOnScreen(dragged, plot, "600 kHz:");
    RECT client;
    GetClientRect(plot, &client);
    const double scale = fitDrawing(dragged, DeviceRect{0, 0, double(client.right), double(client.bottom)}).scale;
    // Within the 0.01 V step, some tenths of a pixel.
    EXPECT_NEAR(now.y, std::lround(moved.y), 2 * scale);
    const std::string text = textOf(point(0));
    EXPECT_GT(pointVoltage(text).value_or(0), 2.1);
    SendMessageW(plot, WM_LBUTTONUP, 0, at(moved));
    EXPECT_FALSE(form->form().curveEditor().draggedPoint());
    SendMessageW(plot, WM_MOUSEMOVE, 0, at(first));
    EXPECT_EQ(textOf(point(0)), text);
    EXPECT_EQ(textOf(window), form->form().curveEditor().title());
}

TEST(DrawingGdi, PaintsTheDrawingScaledToFitAndCentred) {
    // 100 x 50 units into 200 x 200 pixels: twice the size, 50 pixels from the top.
    Drawing drawing{100, 50, "test", {Rectangle{{0, 0}, 100, 50, Rgb{255, 255, 255}, std::nullopt},
                                       Rectangle{{25, 0}, 50, 50, Rgb{255, 0, 0}, std::nullopt}}};
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 200, -200, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    paintDrawing(dc, drawing, RECT{0, 0, 200, 200});
    EXPECT_EQ(GetPixel(dc, 100, 100), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc, 20, 100), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(dc, 100, 20), RGB(0, 0, 0));  // above the drawing: untouched
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
}

// What the box shows, read from another thread while it waits for OK.
struct ShownBox {
    std::wstring text;
    bool systemModal = false;
    HICON icon = nullptr;
    bool otherEnabled = false;  // the other window while the box showed
};

// `button` closes it.
ShownBox readAndClose(const wchar_t* title, int button = IDOK, HWND other = nullptr) {
    ShownBox shown;
    HWND box = nullptr;
    // Shown once it is filled in.
    for (int attempt = 0; attempt < 200 && !(box && IsWindowVisible(box)); ++attempt) {
        Sleep(25);
        box = FindWindowW(L"#32770", title);
    }
    if (!box) return shown;
    wchar_t text[256] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 256);
    shown.text = text;
    shown.systemModal = (GetWindowLongW(box, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
            shown.icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
        }
    }
    shown.otherEnabled = other && IsWindowEnabled(other);
    PostMessageW(box, WM_COMMAND, button, 0);
    return shown;
}

TEST(Win32Platform, MessageBoxesAreSystemModalWithTheirIconAndTheLines) {
    for (auto [icon, systemIcon] : {std::pair{MessageIcon::Error, IDI_ERROR}, std::pair{MessageIcon::Information, IDI_INFORMATION}}) {
        Win32Platform platform;
        ShownBox shown;
        std::thread reader([&shown] { shown = readAndClose(L"Title !"); });
        platform.showMessage("Title !", icon, "first line  \rsecond\r");
        reader.join();
        EXPECT_EQ(utf8(shown.text), "first line  \r\nsecond");
        EXPECT_TRUE(shown.systemModal);
        EXPECT_EQ(shown.icon, LoadIconW(nullptr, systemIcon));
    }
}

TEST(Win32Platform, AQuestionIsAnsweredByTheButtonPressedWhileTheOtherWindowsWait) {
    // Two windows of the program: the box belongs to the active one, and the other waits too.
    HWND windows[2];
    for (HWND& window : windows) {
        window = CreateWindowExW(0, L"STATIC", L"window", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    }
    const HWND other = windows[0];
    SetActiveWindow(windows[1]);
    for (auto [button, answer] : {std::pair{IDYES, Answer::Yes}, std::pair{IDNO, Answer::No}, std::pair{IDCANCEL, Answer::Cancel}}) {
        Win32Platform platform;
        ShownBox shown;
        std::thread reader([&shown, button, other] { shown = readAndClose(L"Question ?", button, other); });
        EXPECT_EQ(platform.askYesNoCancel("Question ?", "Save changes to LIST.INF?"), answer);
        reader.join();
        EXPECT_EQ(utf8(shown.text), "Save changes to LIST.INF?");
        EXPECT_EQ(shown.icon, LoadIconW(nullptr, IDI_QUESTION));
        EXPECT_FALSE(shown.otherEnabled);
        EXPECT_TRUE(IsWindowEnabled(other));
    }
    for (HWND window : windows) DestroyWindow(window);
}

TEST(Win32Platform, TheSaveDialogStartsInTheFolderAndGivesATypedNameTheDefaultExtension) {
    TempFolder folder;
    Win32Platform platform;
    FileDialogRequest request{"Save a list", "All files (*.*)|*.*", "", folder.path().string(), "INF"};
    // A name typed into the dialog, and Save.
    std::thread user([] {
        HWND dialog = nullptr;
        for (int attempt = 0; attempt < 200 && !(dialog && IsWindowVisible(dialog)); ++attempt) {
            Sleep(25);
            dialog = FindWindowW(L"#32770", L"Save a list");
        }
        SetDlgItemTextW(dialog, 0x47C, L"NEW");
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    const std::optional<std::string> chosen = platform.showSave(request);
    user.join();
    EXPECT_EQ(chosen, (folder.path() / "NEW.INF").string());
}

TEST(Win32Platform, TheUsersFolderIsTheirDocuments) {
    wchar_t documents[MAX_PATH + 1] = {};
    ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents), S_OK);
    Win32Platform platform;
    EXPECT_EQ(platform.userFolder(), utf8(documents));
}

}  // namespace
}  // namespace varidac::win32
