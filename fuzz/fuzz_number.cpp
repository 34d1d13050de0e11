// The number-reading rule and number text on arbitrary texts and on every
// bit pattern of a double. The reading rule is compared with the C
// library's strtod on the number it found; number text must show printf's
// %.15G digits in its own form, and it and the step text must read back to
// the value they show.
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "core/number_text.h"
#include "core/tuning_state.h"
#include "tests/printf_number_text.h"
#include "fuzz_checks.h"

using namespace varidac;
using varidac::fuzz::broken;
using varidac::fuzz::require;

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string show(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.17g", v);
    return buf;
}

// The number at the start of `text`: [sign] digits [. digits] [e [sign] digits].
std::string_view leadingNumber(std::string_view text) {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t mantissa = 0;
    while (i < text.size() && isDigit(text[i])) ++i, ++mantissa;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i])) ++i, ++mantissa;
    }
    if (mantissa == 0) return {};
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        std::size_t expStart = j;
        while (j < text.size() && isDigit(text[j])) ++j;
        if (j > expStart) i = j;
    }
    return text.substr(0, i);
}

void checkReadNumber(std::string_view text) {
    double v = readNumber(text);
    require(!std::isnan(v), "a text never reads as NaN");

    std::size_t blanks = 0;
    while (blanks < text.size() && (text[blanks] == ' ' || text[blanks] == '\t')) ++blanks;
    std::string number(leadingNumber(text.substr(blanks)));
    if (number.empty()) {
        require(v == 0, "a text that does not begin with a number reads as 0", show(v));
    } else {
        double expected = std::strtod(number.c_str(), nullptr);
        if (std::fabs(expected) < DBL_MIN) {
            require(v == expected || v == 0, "an underflow reads as 0 or the C library's value", number + " -> " + show(v));
        } else {
            require(v == expected, "the value is the C library's for the same number", number + " -> " + show(v));
        }
    }

    std::string extended(text);
    extended += 'x';
    double w = readNumber(extended);
    require(w == v && std::signbit(w) == std::signbit(v), "a character that cannot continue the number changes nothing");

    std::optional<ParsedNumber> field = parseNumberField(text);
    require(field.has_value() == (!text.empty() && blanks == 0 && number.size() == text.size()),
            "a field is a number exactly when the whole text is one");
    if (field && !field->outOfRange) require(field->value == v, "a field reads as the same number");
    if (field && field->outOfRange) require(std::isinf(v) || std::fabs(v) < DBL_MIN, "out of range means beyond the double range");
}

// " 12", " .5", "-1.25", " 1.5E+20": a sign place, at most 15 significant
// digits, no needless zeros; the digits and exponent of %.15G; reads back as
// the value it shows.
void checkNumberText(double v) {
    std::string t = numberText(v);
    if (std::isnan(v)) {
        require(t == " NaN", "NaN is written NaN", t);
        return;
    }
    if (std::isinf(v)) {
        require(t == (v > 0 ? " INF" : "-INF"), "infinity is written INF", t);
        return;
    }
    require(t.size() >= 2 && t[0] == (v < 0 ? '-' : ' '), "a blank or a minus comes first", show(v) + " -> " + t);
    std::string expected = printfNumberText(v);
    if (t != expected) broken("the 15-digit rounding printf's %.15G gives", show(v) + " -> " + t + " against " + expected);
    std::string_view body(t);
    body.remove_prefix(1);
    std::size_t e = body.find('E');
    std::string_view mantissa = body.substr(0, e);
    std::size_t point = mantissa.find('.');
    std::size_t significant = 0;
    bool leading = true;
    for (std::size_t i = 0; i < mantissa.size(); ++i) {
        char c = mantissa[i];
        if (c == '.') continue;
        require(isDigit(c), "the mantissa is digits and one point", t);
        if (leading && c == '0') continue;
        leading = false;
        ++significant;
    }
    require(significant <= 15, "at most 15 significant digits", t);
    require(mantissa == "0" || mantissa[0] != '0', "no zero before the decimal sign or leading zeros", t);
    require(mantissa.find('.', point == std::string_view::npos ? 0 : point + 1) == std::string_view::npos, "one point at most", t);
    if (point != std::string_view::npos) {
        require(mantissa.back() != '0' && mantissa.back() != '.', "no trailing zeros after the point", t);
    }
    if (e != std::string_view::npos) {
        std::string_view exponent = body.substr(e + 1);
        require(exponent.size() >= 3 && (exponent[0] == '+' || exponent[0] == '-'), "the exponent has a sign and two digits", t);
        require(mantissa.size() >= 1 && mantissa[0] != '0' && (point == std::string_view::npos || point == 1), "one digit before the point", t);
    } else {
        require(std::fabs(v) < 1e15, "no exponent only below 10^15", t);
    }

    double back = readNumber(t);
    if (std::fabs(v) >= DBL_MIN) {
        if (std::isinf(back)) {
            require(std::fabs(v) > 1.797693134862315e308, "only the largest doubles round beyond the range", t);
        } else {
            require(std::fabs(back - v) <= std::fabs(v) * 1e-14, "the text reads back as its value", show(v) + " -> " + t);
        }
    }

    std::string plain = plainNumberText(v);
    std::string expectedPlain = (v < 0 ? "-" : "") + std::string(body[0] == '.' ? "0" : "") + std::string(body);
    require(plain == expectedPlain, "the plain form is the number text with a zero before the point and no blank", plain);
}

// "0" then the step's magnitude to four decimals, or "too large".
void checkStepText(double step) {
    std::string s = stepText(step);
    double a = std::fabs(std::floor(step * 10000 + 0.5) / 10000);
    require(stepShowable(step) == (s != kStepTooLarge), "showable means not too large");
    if (s == kStepTooLarge) {
        require(!(a < 999999999999999.0), "only steps of about 10^15 or more are too large", show(step));
        return;
    }
    require(s.size() >= 2 && s[0] == '0', "the step text starts with 0", s);
    std::string_view digits(s);
    digits.remove_prefix(1);
    std::size_t point = digits.find('.');
    for (std::size_t i = 0; i < digits.size(); ++i) {
        require(isDigit(digits[i]) || i == point, "the step is digits and a point", s);
    }
    if (point != std::string_view::npos) {
        std::size_t decimals = digits.size() - point - 1;
        require(decimals >= 1 && decimals <= 4 && digits.back() != '0', "one to four decimals, no trailing zero", s);
    }
    double back = readNumber(digits);
    require(std::fabs(back - a) <= a * 1e-14, "the step text reads back as the rounded step", show(step) + " -> " + s);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    checkReadNumber(text);
    double v = readNumber(text);
    checkNumberText(v);
    checkStepText(v);

    // Any bit pattern: NaNs, infinities, subnormals, the largest doubles.
    if (size >= sizeof(double)) {
        double raw;
        std::memcpy(&raw, data, sizeof raw);
        checkNumberText(raw);
        checkStepText(raw);
    }

    // A pair of voltage texts as the window holds them.
    std::size_t newline = text.find('\n');
    std::string_view start = text.substr(0, newline);
    std::string_view end = newline == std::string_view::npos ? std::string_view{} : text.substr(newline + 1);
    TuningState state;
    std::string shown = recomputeVoltages(state, start, end);
    double range = readNumber(end) - readNumber(start);
    require(state.StartVoltage == readNumber(start) && state.EndVoltage == readNumber(end), "the voltages are read by the rule");
    require(std::memcmp(&state.RangeVoltage, &range, sizeof range) == 0 || (std::isnan(range) && std::isnan(state.RangeVoltage)),
            "the range is end minus start");
    require(shown == stepText(state.VoltageStep), "the step field shows the step text");
    checkStepText(state.VoltageStep);
    return 0;
}
