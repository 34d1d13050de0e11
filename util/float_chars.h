#pragma once
// The floating-point std::to_chars and std::from_chars, also where the C++
// library lacks them (Emscripten's): there an exact equivalent built on the
// C library's correctly rounded printf and strtod stands in, so that every
// build writes and reads the same numbers.
#include <charconv>

namespace varidac {

// std::to_chars(first, last, value, format): the fewest significant digits
// that read back as `value`.
std::to_chars_result toCharsShortest(char* first, char* last, double value, std::chars_format format);

// std::to_chars(first, last, value, format, precision).
std::to_chars_result toCharsPrecision(char* first, char* last, double value, std::chars_format format,
                                      int precision);

// std::from_chars(first, last, value): on result_out_of_range `value` is left
// as it was.
std::from_chars_result fromChars(const char* first, const char* last, double& value);

// What stands in for the std calls above; always built, so that it can be
// checked against them. It covers the fixed, scientific and general formats
// and decimal text ([-] digits [. digits] [e [sign] digits]), not hexadecimal
// nor the words "inf" and "nan" when reading; it does not depend on the C
// locale.
namespace equivalent {
std::to_chars_result toCharsShortest(char* first, char* last, double value, std::chars_format format);
std::to_chars_result toCharsPrecision(char* first, char* last, double value, std::chars_format format,
                                      int precision);
std::from_chars_result fromChars(const char* first, const char* last, double& value);
}  // namespace equivalent

}  // namespace varidac
