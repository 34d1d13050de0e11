#pragma once
// The character codes that key-press handlers get and compare, as the
// keyboard's typed characters arrive in every front end.
#include <cstdint>

namespace varidac {

inline constexpr int16_t kCtrlC = 3;
inline constexpr int16_t kBackspace = 8;
inline constexpr int16_t kEnter = 13;
inline constexpr int16_t kCtrlV = 22;
inline constexpr int16_t kCtrlX = 24;
inline constexpr int16_t kCtrlZ = 26;
inline constexpr int16_t kEscape = 27;
inline constexpr int16_t kComma = 44;
inline constexpr int16_t kPoint = 46;
inline constexpr int16_t kDigitZero = 48;
inline constexpr int16_t kDigitNine = 57;

}  // namespace varidac
