#include "util/float_chars.h"

#include <algorithm>
#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <system_error>

namespace varidac {

// VARIDAC_NO_FLOAT_CHARCONV comes from the build's check of the C++ library.
std::to_chars_result toCharsShortest(char* first, char* last, double value, std::chars_format format) {
#ifdef VARIDAC_NO_FLOAT_CHARCONV
    return equivalent::toCharsShortest(first, last, value, format);
#else
    return std::to_chars(first, last, value, format);
#endif
}

std::to_chars_result toCharsPrecision(char* first, char* last, double value, std::chars_format format,
                                      int precision) {
#ifdef VARIDAC_NO_FLOAT_CHARCONV
    return equivalent::toCharsPrecision(first, last, value, format, precision);
#else
    return std::to_chars(first, last, value, format, precision);
#endif
}

std::from_chars_result fromChars(const char* first, const char* last, double& value) {
#ifdef VARIDAC_NO_FLOAT_CHARCONV
    return equivalent::fromChars(first, last, value);
#else
    return std::from_chars(first, last, value);
#endif
}

namespace equivalent {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// strtod sets errno on underflow and overflow; the std calls leave it alone.
struct KeepErrno {
    int saved = errno;
    ~KeepErrno() { errno = saved; }
};

// A positive decimal: its significant digits and the decimal exponent of the
// first one.
struct Decimal {
    char digits[17];
    int count = 0;
    int exponent = 0;
};

// The decimal of `count` significant digits nearest to `magnitude`: printf
// rounds the exact binary value, ties to even. Only the digits and the
// exponent are taken, so the locale's decimal sign does not matter.
Decimal nearestDecimal(double magnitude, int count) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*e", count - 1, magnitude);
    Decimal d;
    const char* p = text;
    for (; *p != 'e'; ++p) {
        if (isDigit(*p)) d.digits[d.count++] = *p;
    }
    p += p[1] == '+' ? 2 : 1;
    std::from_chars(p, text + std::strlen(text), d.exponent);
    return d;
}

// The double strtod reads from the decimal, written as "digits e exponent":
// with no decimal sign for a locale to change.
double readBack(const Decimal& d) {
    char text[32];
    std::memcpy(text, d.digits, static_cast<std::size_t>(d.count));
    char* end = text + d.count;
    *end++ = 'e';
    end = std::to_chars(end, text + sizeof text - 1, d.exponent - (d.count - 1)).ptr;
    *end = '\0';
    return std::strtod(text, nullptr);
}

// The next decimal of as many digits upwards or downwards: "999" up is "100"
// a decade higher, "100" down is "999" a decade lower.
Decimal neighbour(Decimal d, int direction) {
    int i = d.count - 1;
    if (direction > 0) {
        while (i >= 0 && d.digits[i] == '9') d.digits[i--] = '0';
        if (i >= 0) {
            ++d.digits[i];
        } else {
            d.digits[0] = '1';
            ++d.exponent;
        }
        return d;
    }
    while (d.digits[i] == '0') d.digits[i--] = '9';
    --d.digits[i];
    if (d.digits[0] == '0') {
        std::memmove(d.digits, d.digits + 1, static_cast<std::size_t>(d.count - 1));
        d.digits[d.count - 1] = '9';
        --d.exponent;
    }
    return d;
}

Decimal withoutTrailingZeros(Decimal d) {
    while (d.count > 1 && d.digits[d.count - 1] == '0') --d.count;
    return d;
}

// The fewest significant digits that read back as `magnitude` (finite, not
// negative) and, of several such decimals, the nearest.
Decimal shortestDecimal(double magnitude) {
    // From DBL_MIN up the doubles lie closer together than the 15-digit
    // decimals, so at most one of these reads back, and then it is the
    // nearest: any shorter form is that one without its trailing zeros, and
    // the lengths below 15 need no trial. Below DBL_MIN the spacing of the
    // doubles stays while the decimals keep shrinking.
    for (int count = magnitude >= DBL_MIN ? 15 : 1; count < 17; ++count) {
        Decimal d = nearestDecimal(magnitude, count);
        double back = readBack(d);
        if (back != magnitude) {
            // At a power of two the doubles below lie twice as close as those
            // above, so the nearest decimal can miss on the narrow side while
            // the next one on the other side still reads back.
            d = neighbour(d, back > magnitude ? -1 : 1);
            back = readBack(d);
        }
        if (back == magnitude) return withoutTrailingZeros(d);
    }
    // Seventeen digits always tell one double from the next.
    return withoutTrailingZeros(nearestDecimal(magnitude, 17));
}

// printf's %.*e, %.*f or %.*g of a finite value with "." for the decimal
// sign: whatever the locale made printf write between the integer digits and
// the fraction digits becomes ".".
std::string printed(char conversion, int precision, double value) {
    const char* format = conversion == 'e' ? "%.*e" : conversion == 'f' ? "%.*f" : "%.*g";
    const int length = std::snprintf(nullptr, 0, format, precision, value);
    std::string text(static_cast<std::size_t>(length), '\0');
    std::snprintf(text.data(), text.size() + 1, format, precision, value);
    const std::size_t sign = text.find_first_not_of("0123456789", text.find_first_of("0123456789"));
    if (sign != std::string::npos && text[sign] != 'e') {
        text.replace(sign, text.find_first_of("0123456789", sign) - sign, 1, '.');
    }
    return text;
}

void appendScientific(std::string& out, const Decimal& d) {
    out += d.digits[0];
    if (d.count > 1) {
        out += '.';
        out.append(d.digits + 1, static_cast<std::size_t>(d.count - 1));
    }
    out += d.exponent < 0 ? "e-" : "e+";
    const int e = std::abs(d.exponent);
    if (e < 10) out += '0';
    char buf[8];
    out.append(buf, std::to_chars(buf, buf + sizeof buf, e).ptr);
}

void appendFixed(std::string& out, const Decimal& d, double magnitude) {
    if (d.exponent >= d.count - 1) {
        // A whole number is written with all its digits, as they are
        // (1e23 is 99999999999999991611392): of the texts as long, that one
        // is the nearest.
        out += printed('f', 0, magnitude);
    } else if (d.exponent < 0) {
        out += "0.";
        out.append(static_cast<std::size_t>(-d.exponent - 1), '0');
        out.append(d.digits, static_cast<std::size_t>(d.count));
    } else {
        const auto whole = static_cast<std::size_t>(d.exponent + 1);
        out.append(d.digits, whole);
        out += '.';
        out.append(d.digits + whole, static_cast<std::size_t>(d.count) - whole);
    }
}

std::string nonFinite(double value) {
    return std::string(std::signbit(value) ? "-" : "") + (std::isinf(value) ? "inf" : "nan");
}

std::to_chars_result copied(char* first, char* last, const std::string& text) {
    if (text.size() > static_cast<std::size_t>(last - first)) return {last, std::errc::value_too_large};
    return {std::copy(text.begin(), text.end(), first), std::errc{}};
}

}  // namespace

std::to_chars_result toCharsShortest(char* first, char* last, double value, std::chars_format format) {
    KeepErrno keepErrno;
    if (!std::isfinite(value)) return copied(first, last, nonFinite(value));
    const double magnitude = std::fabs(value);
    const Decimal d = shortestDecimal(magnitude);
    std::string text = std::signbit(value) ? "-" : "";
    // The general form chooses as printf's %g does with its default
    // precision of 6, from the exponent of the shortest digits.
    const bool fixed = format == std::chars_format::fixed ||
                       (format == std::chars_format::general && d.exponent >= -4 && d.exponent < 6);
    if (fixed) {
        appendFixed(text, d, magnitude);
    } else {
        appendScientific(text, d);
    }
    return copied(first, last, text);
}

std::to_chars_result toCharsPrecision(char* first, char* last, double value, std::chars_format format,
                                      int precision) {
    KeepErrno keepErrno;
    if (!std::isfinite(value)) return copied(first, last, nonFinite(value));
    const char conversion = format == std::chars_format::fixed        ? 'f'
                            : format == std::chars_format::scientific ? 'e'
                                                                      : 'g';
    return copied(first, last, printed(conversion, precision, value));
}

std::from_chars_result fromChars(const char* first, const char* last, double& value) {
    KeepErrno keepErrno;
    // The text is rewritten as "digits e exponent", so that strtod meets no
    // decimal sign of a locale, nor anything beyond what from_chars reads.
    const char* p = first;
    const bool negative = p != last && *p == '-';
    if (negative) ++p;
    std::string text;
    long long exponent = 0;
    for (; p != last && isDigit(*p); ++p) text += *p;
    if (p != last && *p == '.') {
        for (++p; p != last && isDigit(*p); ++p, --exponent) text += *p;
    }
    if (text.empty()) return {first, std::errc::invalid_argument};
    const bool nonZero = text.find_first_not_of('0') != std::string::npos;
    if (p != last && (*p == 'e' || *p == 'E')) {
        const char* q = p + 1;
        const bool negativeExponent = q != last && *q == '-';
        if (q != last && (*q == '+' || *q == '-')) ++q;
        if (q != last && isDigit(*q)) {
            // Beyond 10^15 every exponent means the same: no text has as many
            // digits as would bring the value back into range.
            long long written = 0;
            for (; q != last && isDigit(*q); ++q) {
                if (written < 1'000'000'000'000'000) written = written * 10 + (*q - '0');
            }
            exponent += negativeExponent ? -written : written;
            p = q;
        }
    }
    char buf[24];
    text += 'e';
    text.append(buf, std::to_chars(buf, buf + sizeof buf, exponent).ptr);
    const double parsed = std::strtod(text.c_str(), nullptr);
    // Overflow to infinity and a nonzero number that rounds to 0 are out of
    // range; a subnormal result is not.
    if (std::isinf(parsed) || (parsed == 0 && nonZero)) return {p, std::errc::result_out_of_range};
    value = negative ? -parsed : parsed;
    return {p, std::errc{}};
}

}  // namespace equivalent
}  // namespace varidac
