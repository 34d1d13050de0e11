#pragma once
// Numbers to and from text, independent of the process's C locale.
#include <optional>
#include <string>
#include <string_view>

namespace varidac {

// Reads a decimal number from the start of the text ("." as decimal sign);
// reading stops at the first character that cannot continue the number.
// A text that does not begin with a number reads as 0.
double readNumber(std::string_view text);

// A whole text that is one number: [sign] digits [. digits] [e [sign] digits],
// with at least one mantissa digit. `outOfRange` is set, and `value` is
// infinite or 0, when the number lies beyond what a double holds.
struct ParsedNumber {
    double value = 0;
    bool outOfRange = false;
};
std::optional<ParsedNumber> parseNumberField(std::string_view text);

// " 12", " .5", "-1.25": a blank or "-", at most 15 significant digits,
// no trailing zeros, no zero before the decimal sign.
std::string numberText(double value);

// Appends the number text with the given decimal sign in place of ".".
void appendNumberText(std::string& out, double value, char decimalSign);

// "10.5", "0.5": no leading blank, a zero before the decimal sign.
std::string plainNumberText(double value);

// Replaces the "." of a formatted number by the given decimal sign.
std::string withDecimalSign(std::string text, char decimalSign);

}  // namespace varidac
