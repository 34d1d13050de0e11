#include "core/bcd_address.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace varidac {
namespace {

TEST(HexWaarde, WritesTheFrequencyAsBcdDigits) {
    struct Case {
        int16_t bcd;
        int expected;
    };
    const Case cases[] = {{0, 0x0000}, {9, 0x0009},   {500, 0x0500},  {600, 0x0600}, {1234, 0x1234},
                          {1599, 0x1599}, {1600, 0x1600}, {1700, 0x1700}, {1999, 0x1999}, {7999, 0x7999},
                          {-1, -1639}, {-8000, -32768}};
    for (const auto& c : cases) {
        EXPECT_EQ(HexWaarde(c.bcd), c.expected) << "bcd " << c.bcd;
    }
}

TEST(HexWaarde, OverflowsWhereSixteenBitsEnd) {
    for (int16_t bcd : {int16_t{8000}, int16_t{9999}, int16_t{32767}, int16_t{-8001}, int16_t{-32768}}) {
        EXPECT_THROW(HexWaarde(bcd), std::overflow_error) << "bcd " << bcd;
    }
}

}  // namespace
}  // namespace varidac
