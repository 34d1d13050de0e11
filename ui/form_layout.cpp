#include "ui/form_layout.h"

#include <array>

namespace varidac {
namespace {

using K = ControlKind;
constexpr int R = kFontRegular;
constexpr int B = kFontBold;

constexpr std::array kControls = {
    FormControl{"Label3", -1, K::Label, "Form1", "NRD-515  Varidac Eprom filler - Kordan", {120, 120, 3735, 255}, 19, B},
    FormControl{"Frame2", -1, K::Frame, "Form1", "Input", {120, 360, 3615, 3855}, 6, R},
    FormControl{"Frame1", -1, K::Frame, "Form1", "Output", {120, 4440, 3615, 1935}, 0, R},
    FormControl{"cmdLeeslijst", -1, K::CommandButton, "Frame2", "Read File", {240, 360, 1215, 375}, 14, R},
    FormControl{"Command1", -1, K::CommandButton, "Frame2", "?", {1680, 360, 375, 375}, 21, B, {}, "Help"},
    FormControl{"lbDAlijst", -1, K::Label, "Frame2", "D/A tune list", {2280, 360, 1095, 255}, 7, R},
    FormControl{"Label2", -1, K::Label, "Frame2", "Freq.  -  Volt", {2280, 600, 1095, 255}, 18, R},
    FormControl{"txtDAlist", -1, K::ListBox, "Frame2", "", {2040, 960, 1335, 2595}, 17, R,
                "Double-click or press Enter to see the tuning curve; Escape closes it", "D/A tune list"},
    FormControl{"lbStartvoltage", -1, K::Label, "Frame2", "Start Voltage at 00H", {240, 1080, 1575, 255}, 8, R},
    FormControl{"txtStartVoltage", -1, K::TextBox, "Frame2", "Text2", {240, 1320, 1335, 285}, 9, R, {}, "Start Voltage at 00H"},
    FormControl{"lbEndvoltage", -1, K::Label, "Frame2", "End Voltage = ", {240, 1800, 1575, 255}, 10, R},
    FormControl{"Label5", -1, K::Label, "Frame2", "StartVoltage + FFH", {240, 2040, 1575, 255}, 22, R},
    FormControl{"txtEndVoltage", -1, K::TextBox, "Frame2", "Text3", {240, 2280, 1335, 285}, 11, R, {},
                "End Voltage = StartVoltage + FFH"},
    FormControl{"lbStep", -1, K::Label, "Frame2", "Calculated Step U", {240, 2760, 1455, 255}, 12, R},
    FormControl{"Label1", -1, K::Label, "Frame2", "(255 D/A steps)", {240, 3000, 1455, 255}, 15, R},
    FormControl{"txtStep", -1, K::TextBox, "Frame2", "Text1", {240, 3240, 1335, 285}, 13, R, {},
                "Calculated Step U (255 D/A steps)"},
    FormControl{"optEprom", 0, K::OptionButton, "Frame1", "27C64", {240, 360, 975, 255}, 1, R},
    FormControl{"optEprom", 1, K::OptionButton, "Frame1", "27C128", {240, 720, 975, 255}, 3, R},
    FormControl{"optEprom", 2, K::OptionButton, "Frame1", "27C256", {240, 1080, 975, 255}, 4, R},
    FormControl{"optEprom", 3, K::OptionButton, "Frame1", "27C512", {240, 1440, 975, 255}, 5, R},
    FormControl{"Label4", -1, K::Label, "Frame1", "Previous is overwritten!", {1680, 360, 1815, 255}, 20, R},
    FormControl{"cmdFiller", -1, K::CommandButton, "Frame1", "Start Filler", {1680, 720, 1575, 375}, 2, R},
    FormControl{"cmdStoppen", -1, K::CommandButton, "Frame1", "Exit", {1680, 1320, 1575, 375}, 16, R},
};

}  // namespace

std::span<const FormControl> formControls() { return kControls; }

}  // namespace varidac
