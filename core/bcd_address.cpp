#include "core/bcd_address.h"

#include <cmath>
#include <stdexcept>

namespace varidac {
namespace {

int16_t checked(long value) {
    if (value < -32768 || value > 32767) throw std::overflow_error("Overflow");
    return static_cast<int16_t>(value);
}

int16_t mul(int16_t a, int16_t b) { return checked(static_cast<long>(a) * b); }
int16_t add(int16_t a, int16_t b) { return checked(static_cast<long>(a) + b); }
int16_t sub(int16_t a, int16_t b) { return checked(static_cast<long>(a) - b); }
int16_t floorDiv(int16_t a, double b) { return checked(static_cast<long>(std::floor(a / b))); }

}  // namespace

int16_t HexWaarde(int16_t bcd) {
    int16_t thousands = floorDiv(bcd, 1000.0);
    int16_t rest = sub(bcd, mul(thousands, 1000));
    int16_t hundreds = floorDiv(rest, 100.0);
    int16_t tensRest = sub(sub(bcd, mul(thousands, 1000)), mul(hundreds, 100));
    int16_t tens = floorDiv(tensRest, 10.0);
    int16_t units = sub(sub(sub(bcd, mul(thousands, 1000)), mul(hundreds, 100)), mul(tens, 10));
    int16_t result = mul(thousands, 4096);
    result = add(result, mul(hundreds, 256));
    result = add(result, mul(tens, 16));
    return add(result, units);
}

std::optional<int> frequencyAt(std::size_t address) {
    std::size_t offset = address % 8192;
    int frequency = 0;
    for (int shift = 12; shift >= 0; shift -= 4) {
        int digit = static_cast<int>((offset >> shift) & 0xF);
        if (digit > 9) return std::nullopt;
        frequency = frequency * 10 + digit;
    }
    return frequency;
}

}  // namespace varidac
