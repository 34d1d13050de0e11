#include "core/number_text.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

#include "util/float_chars.h"

namespace varidac {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the longest prefix of `text` that is a number:
// [sign] digits [. digits] [e [sign] digits], at least one mantissa digit.
std::size_t numberPrefixLength(std::string_view text) {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < text.size() && isDigit(text[i])) { ++i; ++digits; }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i])) { ++i; ++digits; }
    }
    if (digits == 0) return 0;
    std::size_t mantissaEnd = i;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        std::size_t expDigits = 0;
        while (j < text.size() && isDigit(text[j])) { ++j; ++expDigits; }
        if (expDigits > 0) return j;
    }
    return mantissaEnd;
}

// Tells an overflow from an underflow when from_chars reports out of range:
// the decimal exponent of the first significant digit decides.
bool magnitudeAboveOne(std::string_view number) {
    std::size_t expAt = number.find_first_of("eE");
    std::string_view mantissa = number.substr(0, expAt);
    std::size_t point = mantissa.find('.');
    std::string_view intPart = mantissa.substr(0, point);
    std::string_view fracPart = point == std::string_view::npos ? std::string_view{} : mantissa.substr(point + 1);
    long long position = 0;
    std::size_t p = intPart.find_first_not_of('0');
    if (p != std::string_view::npos) {
        position = static_cast<long long>(intPart.size() - p - 1);
    } else {
        std::size_t q = fracPart.find_first_not_of('0');
        if (q == std::string_view::npos) return false;
        position = -static_cast<long long>(q + 1);
    }
    long long exponent = 0;
    if (expAt != std::string_view::npos) {
        std::string_view expText = number.substr(expAt + 1);
        bool negative = expText[0] == '-';
        if (expText[0] == '+' || expText[0] == '-') expText.remove_prefix(1);
        for (char c : expText) {
            if (exponent < 1000000) exponent = exponent * 10 + (c - '0');
        }
        if (negative) exponent = -exponent;
    }
    return position + exponent >= 0;
}

struct Decimal {
    char digits[20];     // significant digits, no trailing zeros, at least one
    std::size_t count = 0;
    int exponent = 0;    // decimal exponent of the first digit
};

// Splits "d.ddde+XX" into digits and exponent.
Decimal splitScientific(const char* begin, const char* end) {
    Decimal d;
    const char* p = begin;
    for (; p != end && *p != 'e'; ++p) {
        if (*p != '.') d.digits[d.count++] = *p;
    }
    ++p;
    if (*p == '+') ++p;
    std::from_chars(p, end, d.exponent);
    while (d.count > 1 && d.digits[d.count - 1] == '0') --d.count;
    return d;
}

// `value` > 0 and finite, its exact binary value rounded to 15 significant
// digits.
Decimal toDecimal(double value) {
    char buf[64];
    // For a normal double the shortest form that reads back as `value` is
    // also its rounding to 15 digits whenever it has no more than 15: the
    // double's spacing is finer than that of 15-digit decimals, so no other
    // 15-digit decimal can lie as close. Below DBL_MIN the spacing stays at
    // 2^-1074 while the decimals keep shrinking, and a shorter form can read
    // back as `value` yet differ from its 15-digit rounding
    // (1.3577664124045E-310 against 1.35776641240448E-310).
    if (value >= std::numeric_limits<double>::min()) {
        auto res = toCharsShortest(buf, buf + sizeof buf, value, std::chars_format::scientific);
        Decimal d = splitScientific(buf, res.ptr);
        if (d.count <= 15) return d;
    }
    auto res = toCharsPrecision(buf, buf + sizeof buf, value, std::chars_format::scientific, 14);
    return splitScientific(buf, res.ptr);
}

// Numbers with at most four decimals (every voltage of a report) are written
// from their count of ten-thousandths or coarser. The count divided by its
// power of ten is the double nearest to that decimal, so when it equals
// `magnitude` the decimal is the shortest text that reads back as it, which is
// what the general path below would write, only found at a fraction of the cost.
bool appendFewDecimals(std::string& out, double magnitude, bool leadingZero, char decimalSign) {
    double scale = 1;
    for (int decimals = 1; decimals <= 4; ++decimals) {
        scale *= 10;
        const double scaled = magnitude * scale;
        if (!(scaled < 1e15)) return false;
        const auto count = static_cast<long long>(scaled + 0.5);
        if (static_cast<double>(count) / scale != magnitude) continue;
        char digits[24];
        char* end = std::to_chars(digits, digits + sizeof digits, count).ptr;
        const auto length = static_cast<int>(end - digits);
        // The integer part, then the decimals without their trailing zeros.
        if (length > decimals) {
            out.append(digits, static_cast<std::size_t>(length - decimals));
        } else if (leadingZero) {
            out += '0';
        }
        out += decimalSign;
        if (length < decimals) out.append(static_cast<std::size_t>(decimals - length), '0');
        const char* fraction = length > decimals ? end - decimals : digits;
        while (end - fraction > 1 && end[-1] == '0') --end;
        out.append(fraction, static_cast<std::size_t>(end - fraction));
        return true;
    }
    return false;
}

// Appends the unsigned form; `leadingZero` puts "0" before a decimal sign
// that would otherwise start the text.
void appendUnsigned(std::string& out, double magnitude, bool leadingZero, char decimalSign) {
    if (magnitude == 0) {
        out += '0';
        return;
    }
    if (std::isinf(magnitude)) {
        out += "INF";
        return;
    }
    char buf[24];
    if (magnitude < 1e15 && magnitude == std::floor(magnitude)) {
        // Whole numbers (frequencies, codes) need no rounding at all.
        auto res = std::to_chars(buf, buf + sizeof buf, static_cast<long long>(magnitude));
        out.append(buf, res.ptr);
        return;
    }
    if (appendFewDecimals(out, magnitude, leadingZero, decimalSign)) return;
    {
        // Most report numbers: the shortest form is already plain decimal
        // with at most 15 significant digits, so it is the text as it stands.
        // A plain shortest form is never below 1E-05, so never subnormal.
        char plain[32];
        auto res = toCharsShortest(plain, plain + sizeof plain, magnitude, std::chars_format::general);
        std::string_view text(plain, static_cast<std::size_t>(res.ptr - plain));
        if (text.find('e') == std::string_view::npos) {
            std::size_t first = text.find_first_not_of("0.");
            std::size_t significant = text.size() - first - (text.find('.', first) == std::string_view::npos ? 0 : 1);
            if (significant <= 15) {
                if (text[0] == '0' && !leadingZero) text.remove_prefix(1);
                std::size_t at = out.size();
                out += text;
                if (decimalSign != '.') {
                    std::size_t point = out.find('.', at);
                    if (point != std::string::npos) out[point] = decimalSign;
                }
                return;
            }
        }
    }
    Decimal d = toDecimal(magnitude);
    std::string_view digits(d.digits, d.count);
    if (d.exponent < -4 || d.exponent >= 15) {
        out += digits[0];
        if (d.count > 1) {
            out += decimalSign;
            out += digits.substr(1);
        }
        int e = d.exponent < 0 ? -d.exponent : d.exponent;
        out += d.exponent < 0 ? "E-" : "E+";
        if (e < 10) out += '0';
        auto res = std::to_chars(buf, buf + sizeof buf, e);
        out.append(buf, res.ptr);
        return;
    }
    if (d.exponent < 0) {
        if (leadingZero) out += '0';
        out += decimalSign;
        out.append(static_cast<std::size_t>(-d.exponent - 1), '0');
        out += digits;
        return;
    }
    std::size_t intDigits = static_cast<std::size_t>(d.exponent) + 1;
    if (d.count <= intDigits) {
        out += digits;
        out.append(intDigits - d.count, '0');
        return;
    }
    out += digits.substr(0, intDigits);
    out += decimalSign;
    out += digits.substr(intDigits);
}

}  // namespace

namespace {

ParsedNumber convert(std::string_view number) {
    bool negative = number[0] == '-';
    if (number[0] == '+' || number[0] == '-') number.remove_prefix(1);
    ParsedNumber parsed;
    auto res = fromChars(number.data(), number.data() + number.size(), parsed.value);
    if (res.ec == std::errc::result_out_of_range) {
        parsed.outOfRange = true;
        parsed.value = magnitudeAboveOne(number) ? HUGE_VAL : 0.0;
    }
    if (negative) parsed.value = -parsed.value;
    return parsed;
}

}  // namespace

double readNumber(std::string_view text) {
    std::size_t start = 0;
    while (start < text.size() && (text[start] == ' ' || text[start] == '\t')) ++start;
    text.remove_prefix(start);
    std::size_t length = numberPrefixLength(text);
    if (length == 0) return 0;
    return convert(text.substr(0, length)).value;
}

std::optional<ParsedNumber> parseNumberField(std::string_view text) {
    if (text.empty() || numberPrefixLength(text) != text.size()) return std::nullopt;
    return convert(text);
}

void appendNumberText(std::string& out, double value, char decimalSign) {
    if (std::isnan(value)) {
        out += " NaN";
        return;
    }
    out += std::signbit(value) && value != 0 ? '-' : ' ';
    appendUnsigned(out, std::fabs(value), false, decimalSign);
}

std::string numberText(double value) {
    std::string out;
    appendNumberText(out, value, '.');
    return out;
}

std::string plainNumberText(double value) {
    if (std::isnan(value)) return "NaN";
    std::string out;
    if (std::signbit(value) && value != 0) out += '-';
    appendUnsigned(out, std::fabs(value), true, '.');
    return out;
}

std::string withDecimalSign(std::string text, char decimalSign) {
    for (char& c : text) {
        if (c == '.') c = decimalSign;
    }
    return text;
}

}  // namespace varidac
