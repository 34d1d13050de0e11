#pragma once
// The one record that every handler of the window reads and writes.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "os/os.h"

namespace varidac {

inline constexpr std::size_t kImageSize = 8192;
inline constexpr std::size_t kTableSize = 17;

struct TuningState {
    int16_t eprom_64 = 0;
    int16_t eprom_128 = 0;
    int16_t eprom_256 = 0;
    int16_t eprom_512 = 0;
    std::string epromtype;
    std::string pad;
    std::string alleendenaam;
    std::string naamzonderpad;
    int16_t Freq = 0;
    double Uvar = 0;
    double StartVoltage = 0;
    double EndVoltage = 0;
    double RangeVoltage = 0;
    double VoltageStep = 0;
    int16_t Index = 0;  // declared for completeness; nothing uses it
    std::array<double, kTableSize> UvarTable{};
    std::array<int16_t, kImageSize> EpromImage{};
};

// Start-up values of the window.
inline constexpr std::string_view kStartupName = "DUMMY_515ZE";
inline constexpr std::string_view kStartupFileName = "DUMMY_515ZE.INF";
inline constexpr std::string_view kStartupStartText = "1.50";
inline constexpr std::string_view kStartupEndText = "12.00";

inline constexpr std::array<std::string_view, 4> kEpromTypes = {"27C64", "27C128", "27C256", "27C512"};

// What the window's load handler gives the state: the output folder `pad`
// (the current directory unless another is given), the start-up list names,
// and the voltages of the start-up texts.
void loadStartupValues(TuningState& state, std::string pad = os::currentFolder());

// Recomputes StartVoltage, EndVoltage, RangeVoltage and VoltageStep from the
// two voltage texts and returns the text for the step field.
std::string recomputeVoltages(TuningState& state, std::string_view startText, std::string_view endText);

// The step rounded to four decimals as floor(step x 10000 + 0.5) / 10000,
// so halves go up: as the step field and the test report show it.
double roundedStep(double voltageStep);

// "0" followed by |VoltageStep| rounded to four decimals, halves upwards.
// A step that this form cannot show (10^15 V or more, which would need an
// exponent, or not a number at all because a voltage text reads beyond the
// double range) is shown as kStepTooLarge.
std::string stepText(double voltageStep);

inline constexpr std::string_view kStepTooLarge = "too large";

// False when stepText shows kStepTooLarge; a filler run refuses such voltages.
bool stepShowable(double voltageStep);

// Stores the EPROM type of option `index` (0 to 3); any other index changes nothing.
void selectEpromType(TuningState& state, int16_t index);

}  // namespace varidac
