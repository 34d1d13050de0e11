#pragma once
// The window icon's pixels, written by scripts/make-icon from its drawing:
// change the drawing there, not here.
#include <array>
#include <cstdint>

namespace varidac {

inline constexpr int kIconSize = 32;
inline constexpr uint32_t kIconRed = 0xFF0000;     // RGB
inline constexpr uint32_t kIconGround = 0xFCFEFC;
// A row a line, top first; bit 31 is the leftmost pixel, a set bit is red.
inline constexpr std::array<uint32_t, kIconSize> kIconRows = {
    0x00000000,
    0x00000000,
    0x00000000,
    0x00000000,
    0x00000000,
    0x00000000,
    0x00000000,
    0xFFFFFFFF,
    0x80000001,
    0x80000001,
    0x8FCFC0F9,
    0x8FCFE1FD,
    0x818C330D,
    0x818C3301,
    0x818C3301,
    0x818FE301,
    0x818FC301,
    0x818CC301,
    0xB18C6301,
    0xB18C630D,
    0xBF8C31FD,
    0x9F0C30F9,
    0x80000001,
    0x80000001,
    0xFFFFFFFF,
    0x00000000,
    0x00000000,
    0x00000000,
    0x00000000,
    0x00000000,
    0x00000000,
    0x00000000,
};

}  // namespace varidac
