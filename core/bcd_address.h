#pragma once
// The EPROM is addressed by the frequency in kHz written as BCD digits.
#include <cstdint>

namespace varidac {

// 1234 -> 0x1234. Every step is 16-bit signed arithmetic; a result that
// leaves -32768..32767 throws std::overflow_error (arguments of 8000 and up).
int16_t HexWaarde(int16_t bcd);

}  // namespace varidac
