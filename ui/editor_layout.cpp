#include "ui/editor_layout.h"

#include <array>

#include "core/list_text.h"

namespace varidac {
namespace {

using K = ControlKind;
constexpr int R = kFontRegular;

// The column's rows, 450 twips apart from the top; the buttons below them.
constexpr int kRowPitch = 450;
constexpr int kFirstButtonTop = 5280;
constexpr int kButtonPitch = 420;
constexpr int kButtons = 3;
constexpr int kFirstTabIndexAfterButtons = kListPoints + kButtons;

constexpr std::array<std::string_view, kListPoints> kPointCaptions = {
    "600 kHz", "700 kHz", "800 kHz", "900 kHz", "1000 kHz", "1100 kHz", "1200 kHz", "1300 kHz", "1400 kHz", "1500 kHz", "1600 kHz"};

constexpr auto kControls = [] {
    std::array<FormControl, 1 + 3 * kListPoints + kButtons> rows{};
    std::size_t n = 0;
    int nextQuietTab = kFirstTabIndexAfterButtons;  // controls that take no focus come after those that do
    rows[n++] = FormControl{"picCurve", -1, K::PictureBox, kCurveFormName, "", {0, 0, kEditorColumnLeftTwips, kCurveClientHeightTwips},
                            nextQuietTab++, R};
    for (int i = 0; i < kListPoints; ++i) {
        const int top = 240 + i * kRowPitch;
        rows[n++] = FormControl{"lblPoint", i, K::Label, kCurveFormName, kPointCaptions[static_cast<std::size_t>(i)],
                                {kEditorColumnLeftTwips + 120, top, 780, 255}, nextQuietTab++, R};
        rows[n++] = FormControl{"txtPoint", i, K::TextBox, kCurveFormName, "", {kEditorColumnLeftTwips + 960, top - 30, 840, 285}, i, R,
                                {}, kPointCaptions[static_cast<std::size_t>(i)]};
        rows[n++] = FormControl{"lblCheck", i, K::Label, kCurveFormName, "", {kEditorColumnLeftTwips + 1860, top, 240, 255}, nextQuietTab++, R};
    }
    const std::string_view buttons[kButtons][2] = {{"cmdNew", "New"}, {"cmdSave", "Save"}, {"cmdSaveAs", "Save as..."}};
    for (int b = 0; b < kButtons; ++b) {
        rows[n++] = FormControl{buttons[b][0], -1, K::CommandButton, kCurveFormName, buttons[b][1],
                                {kEditorColumnLeftTwips + 120, kFirstButtonTop + b * kButtonPitch, 1980, 375}, kListPoints + b, R};
    }
    return rows;
}();

}  // namespace

std::span<const FormControl> editorControls() { return kControls; }

}  // namespace varidac
