#pragma once
// The EPROM is addressed by the frequency in kHz written as BCD digits.
#include <cstddef>
#include <cstdint>
#include <optional>

namespace varidac {

// 1234 -> 0x1234. Every step is 16-bit signed arithmetic; a result that
// leaves -32768..32767 throws std::overflow_error (arguments of 8000 and up).
int16_t HexWaarde(int16_t bcd);

// The frequency whose BCD address `address` is, within one 8 KB copy of the
// image (the address lines above the thirteenth do not matter): 0x2650 ->
// 650. Nothing when a digit is above 9, as in 05A0H.
std::optional<int> frequencyAt(std::size_t address);

}  // namespace varidac
