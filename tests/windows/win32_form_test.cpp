// The native window as the control table describes it: every control where
// the table puts it, in its font and tab order; and the events of the
// controls reaching Form1, typed characters as their codes.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <variant>
#include <vector>

#include "core/curve_plot.h"
#include "tests/form/recording_platform.h"
#include "tests/temp_folder.h"
#include "ui/drawing_fit.h"
#include "ui/form_layout.h"
#include "ui/twips.h"
#include "ui/win32/drawing_gdi.h"
#include "os/wide_text.h"
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

class Win32FormTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<Win32Form>(platform, "C:\\");
        form->show(SW_SHOWNORMAL);
    }
    void TearDown() override {
        form.reset();
        dropPendingMessages();
    }

    // The control named in the table (an option by its index).
    HWND control(std::string_view name, int index = -1) const {
        std::span<const FormControl> rows = formControls();
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (rows[i].name == name && rows[i].index == index) return GetDlgItem(form->window(), kFirstControlId + static_cast<int>(i));
        }
        return nullptr;
    }

    void type(HWND field, const std::wstring& keys) {
        for (wchar_t key : keys) SendMessageW(field, WM_CHAR, key, 1);
    }

    testing::RecordingPlatform platform;
    std::unique_ptr<Win32Form> form;
};

TEST_F(Win32FormTest, EveryControlIsWhereTheTablePutsItInItsFont) {
    HDC screen = GetDC(nullptr);
    const int dpiX = GetDeviceCaps(screen, LOGPIXELSX);
    const int dpiY = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    HWND window = form->window();
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, twipsToPixels(kClientWidthTwips, dpiX));
    EXPECT_EQ(client.bottom, twipsToPixels(kClientHeightTwips, dpiY));
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    EXPECT_EQ(style & (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), WS_SYSMENU | WS_MINIMIZEBOX);
    EXPECT_EQ(textOf(window), kWindowTitle);

    const std::map<ControlKind, std::string> classes = {
        {ControlKind::Label, "static"},  {ControlKind::Frame, "button"},   {ControlKind::CommandButton, "button"},
        {ControlKind::TextBox, "edit"},  {ControlKind::ListBox, "listbox"}, {ControlKind::OptionButton, "button"}};
    std::map<std::string_view, POINT> origins{{kFormName, POINT{0, 0}}};
    for (const FormControl& row : formControls()) {
        SCOPED_TRACE(std::string(row.name) + " " + std::to_string(row.index));
        HWND c = control(row.name, row.index);
        ASSERT_NE(c, nullptr);
        RECT r;
        GetWindowRect(c, &r);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
        const POINT origin = origins.at(row.container);
        const POINT corner{origin.x + twipsToPixels(row.rect.left, dpiX), origin.y + twipsToPixels(row.rect.top, dpiY)};
        if (row.kind == ControlKind::Frame) origins[row.name] = corner;
        EXPECT_EQ(r.left, corner.x);
        EXPECT_EQ(r.top, corner.y);
        EXPECT_EQ(r.right - r.left, twipsToPixels(row.rect.width, dpiX));
        EXPECT_EQ(r.bottom - r.top, twipsToPixels(row.rect.height, dpiY));

        wchar_t className[32] = {};
        GetClassNameW(c, className, 32);
        std::string kind = utf8(className);
        std::transform(kind.begin(), kind.end(), kind.begin(), [](char ch) { return static_cast<char>(std::tolower(ch)); });
        EXPECT_EQ(kind, classes.at(row.kind));
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

TEST_F(Win32FormTest, TypedCharactersPassTheKeyFilterButAPasteDoesNot) {
    HWND start = control("txtStartVoltage");
    SendMessageW(start, EM_SETSEL, 4, 4);
    type(start, L"x5");
    EXPECT_EQ(textOf(start), "1.505");
    EXPECT_EQ(platform.beeps, 1);
    EXPECT_EQ(form->form().tuningState().StartVoltage, 1.505);

    // Ctrl+V types the character 22: refused, nothing pasted.
    setClipboard(form->window(), L"99");
    type(start, L"\x16");
    EXPECT_EQ(textOf(start), "1.505");
    EXPECT_EQ(platform.beeps, 2);
    // The context menu's Paste types nothing: no filter, and the step follows.
    SendMessageW(start, WM_PASTE, 0, 0);
    EXPECT_EQ(textOf(start), "1.50599");
    EXPECT_EQ(form->form().tuningState().StartVoltage, 1.50599);

    HWND step = control("txtStep");
    type(step, L"1");
    EXPECT_EQ(textOf(step), "0.0412");
    EXPECT_EQ(platform.beeps, 3);
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

TEST_F(Win32FormTest, ADroppedListIsReadAndTheListOpensAndClosesTheCurve) {
    TempFolder folder;
    const std::string list = folder.write("LIST.INF", "600,2.1\r\n700,2.6\r\n800,3.2\r\n900,3.9\r\n1000,4.7\r\n1100,5.6\r\n"
                                                      "1200,6.6\r\n1300,7.7\r\n1400,8.9\r\n1500,10.2\r\n1600,11.5\r\n");
    EXPECT_TRUE(GetWindowLongPtrW(form->window(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    SendMessageW(form->window(), WM_DROPFILES, reinterpret_cast<WPARAM>(dropOf(wide(list))), 0);
    HWND items = control("txtDAlist");
    EXPECT_EQ(SendMessageW(items, LB_GETCOUNT, 0, 0), 13);
    EXPECT_EQ(form->form().tuningState().alleendenaam, "LIST");

    // A double-click or Enter in the list opens it; Escape in it or its close button closes it.
    const std::wstring title = wide(kCurveWindowTitle);
    SendMessageW(items, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 150));
    HWND curve = FindWindowW(nullptr, title.c_str());
    ASSERT_NE(curve, nullptr);
    EXPECT_TRUE(IsWindowVisible(curve));
    EXPECT_TRUE(form->form().curveWindowOpen());
    SendMessageW(curve, WM_CHAR, 27, 1);
    EXPECT_FALSE(IsWindow(curve));
    EXPECT_FALSE(form->form().curveWindowOpen());
    SendMessageW(items, WM_CHAR, 13, 1);
    curve = FindWindowW(nullptr, title.c_str());
    ASSERT_NE(curve, nullptr);
    SendMessageW(curve, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(curve));
    EXPECT_FALSE(form->form().curveWindowOpen());
}

TEST_F(Win32FormTest, TheCurveWindowTipsTheListPointUnderTheMouse) {
    TempFolder folder;
    const std::string list = folder.write("LIST.INF", "600,2.1\r\n700,2.6\r\n800,3.2\r\n900,3.9\r\n1000,4.7\r\n1100,5.6\r\n"
                                                      "1200,6.6\r\n1300,7.7\r\n1400,8.9\r\n1500,10.2\r\n1600,11.5\r\n");
    SendMessageW(form->window(), WM_DROPFILES, reinterpret_cast<WPARAM>(dropOf(wide(list))), 0);
    SendMessageW(control("txtDAlist"), WM_CHAR, 13, 1);
    HWND curve = FindWindowW(nullptr, wide(kCurveWindowTitle).c_str());
    ASSERT_NE(curve, nullptr);
    HWND tip = nullptr;
    while ((tip = FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr)) && GetWindow(tip, GW_OWNER) != curve) {
    }
    ASSERT_NE(tip, nullptr);

    // The 600 kHz point, where the window paints it.
    const Drawing drawing = curvePlot(CurvePlotInput{form->form().tuningState()});
    RECT client;
    GetClientRect(curve, &client);
    const DrawingFit fit = fitDrawing(drawing, DeviceRect{0, 0, double(client.right), double(client.bottom)});
    Point point;
    for (const Primitive& p : drawing.primitives) {
        if (const auto* circle = std::get_if<Circle>(&p); circle && circle->tooltip == "600 kHz: 2.1 V") point = fit.toDevice(circle->centre);
    }
    SendMessageW(curve, WM_MOUSEMOVE, 0, MAKELPARAM(std::lround(point.x), std::lround(point.y)));
    EXPECT_TRUE(IsWindowVisible(tip));
    wchar_t text[64] = {};
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = curve;
    tool.lpszText = text;
    SendMessageW(tip, TTM_GETTEXTW, std::size(text), reinterpret_cast<LPARAM>(&tool));
    EXPECT_EQ(utf8(text), "600 kHz: 2.1 V");
    SendMessageW(curve, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    EXPECT_FALSE(IsWindowVisible(tip));
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
};

ShownBox readAndClose(const wchar_t* title) {
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
    PostMessageW(box, WM_COMMAND, IDOK, 0);
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

TEST(Win32Platform, TheUsersFolderIsTheirDocuments) {
    wchar_t documents[MAX_PATH + 1] = {};
    ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents), S_OK);
    Win32Platform platform;
    EXPECT_EQ(platform.userFolder(), utf8(documents));
}

}  // namespace
}  // namespace varidac::win32
