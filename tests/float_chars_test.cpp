#include "util/float_chars.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

// The equivalent that stands in where the C++ library cannot convert doubles,
// run side by side with this library's std::to_chars and std::from_chars on
// the same input: the same text, the same error, the same end.
namespace varidac {
namespace {

constexpr std::chars_format kFormats[] = {std::chars_format::scientific, std::chars_format::fixed,
                                          std::chars_format::general};

// What a conversion wrote into a buffer of `room` characters, or how it
// refused.
template <class Convert>
std::string written(Convert convert, std::size_t room = 400) {
    char buffer[400];
    const std::to_chars_result result = convert(buffer, buffer + room);
    if (result.ec != std::errc{}) {
        return "error " + std::to_string(static_cast<int>(result.ec)) + " at " + std::to_string(result.ptr - buffer);
    }
    return std::string(buffer, result.ptr);
}

std::string shortestByStd(double value, std::chars_format format, std::size_t room = 400) {
    return written([&](char* first, char* last) { return std::to_chars(first, last, value, format); }, room);
}

std::string shortestByEquivalent(double value, std::chars_format format, std::size_t room = 400) {
    return written(
        [&](char* first, char* last) { return equivalent::toCharsShortest(first, last, value, format); }, room);
}

std::string precisionByStd(double value, std::chars_format format, int precision) {
    return written([&](char* first, char* last) { return std::to_chars(first, last, value, format, precision); });
}

std::string precisionByEquivalent(double value, std::chars_format format, int precision) {
    return written([&](char* first, char* last) {
        return equivalent::toCharsPrecision(first, last, value, format, precision);
    });
}

// The bits read, the error and how much was read; 42 shows a value left alone.
template <class Read>
std::string reading(Read read, const std::string& text) {
    double value = 42;
    const std::from_chars_result result = read(text.data(), text.data() + text.size(), value);
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return std::to_string(bits) + " error " + std::to_string(static_cast<int>(result.ec)) + " read " +
           std::to_string(result.ptr - text.data());
}

std::string readByStd(const std::string& text) {
    return reading([](const char* f, const char* l, double& v) { return std::from_chars(f, l, v); }, text);
}

std::string readByEquivalent(const std::string& text) {
    return reading([](const char* f, const char* l, double& v) { return equivalent::fromChars(f, l, v); }, text);
}

double parsed(const std::string& text) {
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

// Every power of two and of ten, the edges of the range, the places where the
// general form switches between fixed and scientific, each with its nearest
// neighbours; signs and what is not a number.
std::vector<double> hardValues() {
    std::vector<double> centres = {0.1, 1.0 / 3, 2.0 / 3, 9007199254740993.0, 9007199254740991.0, 100, 1e15,
                                   1e16, 1e-5, 0.0001, 1.5e-5, 123456, 123456.7, 999999.5, 999999.9999999999,
                                   1e6, 0.00012, 99999.95, DBL_MAX, DBL_MIN, 1.35776641240448e-310};
    for (int e = -1074; e <= 1023; ++e) centres.push_back(std::ldexp(1.0, e));
    for (int e = -323; e <= 308; ++e) centres.push_back(parsed("1e" + std::to_string(e)));
    std::vector<double> values = {0.0, -0.0, -0.1, -1e23, -5e-324, -DBL_MAX, HUGE_VAL, -HUGE_VAL,
                                  std::numeric_limits<double>::quiet_NaN(), -std::numeric_limits<double>::quiet_NaN()};
    for (double centre : centres) {
        values.push_back(centre);
        values.push_back(std::nextafter(centre, 0.0));
        if (centre < DBL_MAX) values.push_back(std::nextafter(centre, HUGE_VAL));
    }
    return values;
}

// Exact halves of doubles and texts just beside them: where reading has to
// break a tie.
std::string exactHalf(double value) {
    // 800 digits hold every double exactly, with zeros to spare for the half.
    char buffer[900];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 800);
    std::string text(buffer, result.ptr);
    int carry = 0;
    for (char& c : text) {
        if (c == 'e') break;
        if (c == '.') continue;
        const int twice = carry * 10 + (c - '0');
        c = static_cast<char>('0' + twice / 2);
        carry = twice % 2;
    }
    return text;
}

std::vector<std::string> hardTexts() {
    std::vector<std::string> texts = {
        "0", "0.0", "000", ".5", "5.", "-0", "-0.0e5", "0e99999999999999999999", "1e400", "-1e400", "1e-400",
        "-1e-400", "1e99999999999999999999", "1e-99999999999999999999", "1.7976931348623157e308",
        "1.7976931348623158e308", "1.7976931348623159e308", "2.2250738585072011e-308", "2.2250738585072014e-308",
        "4.9406564584124654e-324", "5e-324", "3e-324", "2.4703282292062327e-324", "2.4703282292062328e-324",
        "1e-323", "1e-310", "1.35776641240448e-310", "9007199254740993", "9007199254740995",
        "9007199254740993.0000000000000000001", "9007199254740992.9999999999999999999",
        "1.00000000000000011102230246251565404236316680908203124",
        "1.00000000000000011102230246251565404236316680908203125",
        "1.00000000000000011102230246251565404236316680908203126", "0.1", "123456789012345678901234567890",
        "3.14159265358979323846264338327950288419716939937510582097494459", "1E5", "1e+5", "1e-5", "1e", "1e+",
        "1e-", "1ex", "1.5.6", "12.5V", "1,5", ".", "", "x", "-", "-.5", "--1", "+1", " 1", "0x10", ".e1",
        "0." + std::string(400, '0') + "1e401", "1" + std::string(400, '0') + "e-400",
        "0." + std::string(20000, '0') + "25e20001", "25" + std::string(20000, '0') + "e-20001",
        std::string(30, '9') + "e-330", "0.0000000000000000000000000000000000000000000000001e-280"};
    for (double value : {5e-324, 3 * 5e-324, 2 * 5e-324, DBL_MIN, 3.0, 1e22, DBL_MAX}) {
        const std::string half = exactHalf(value);
        texts.push_back(half);
        const std::size_t e = half.find('e');
        texts.push_back(half.substr(0, e) + "1" + half.substr(e));     // just above the half
        std::string below = half.substr(0, e);
        below.resize(below.find_last_not_of('0') + 1);
        below.back() = static_cast<char>(below.back() - 1);
        texts.push_back(below + "9999" + half.substr(e));                 // just below it
    }
    return texts;
}

TEST(FloatChars, ShortestFormsAsTheLibraryWritesThemForHardValues) {
    for (double value : hardValues()) {
        for (auto format : kFormats) {
            const std::string expected = shortestByStd(value, format);
            EXPECT_EQ(shortestByEquivalent(value, format), expected) << std::hexfloat << value;
            // A buffer one character short is refused alike.
            EXPECT_EQ(shortestByEquivalent(value, format, expected.size() - 1),
                      shortestByStd(value, format, expected.size() - 1));
        }
    }
}

TEST(FloatChars, PrecisionFormsAsTheLibraryWritesThemForHardValues) {
    const double values[] = {
        // Exact ties at the last digit kept, which go to the even digit.
        100000000000000.5, 100000000000001.5, 1000000000000005.0, 1000000000000015.0, 0.125, 0.375, 2.5, 3.5,
        // Edges, subnormals, carries into a new digit, signs.
        0.0, -0.0, 1e23, 1e22, DBL_MAX, DBL_MIN, 5e-324, 1.35776641240448e-310, 9.9999999999999995, 0.99999999999999994,
        999999.9999999999, 0.1, -2.51, 1e-5, 0.0001, 123456.7, HUGE_VAL, -HUGE_VAL,
        std::numeric_limits<double>::quiet_NaN()};
    for (double value : values) {
        for (auto format : kFormats) {
            for (int precision : {-1, 0, 1, 2, 5, 14, 16, 17, 20, 60}) {
                EXPECT_EQ(precisionByEquivalent(value, format, precision), precisionByStd(value, format, precision))
                    << std::hexfloat << value << " precision " << precision;
            }
        }
    }
}

TEST(FloatChars, ReadsHardTextsAsTheLibraryDoes) {
    errno = 0;
    for (const std::string& text : hardTexts()) {
        EXPECT_EQ(readByEquivalent(text), readByStd(text)) << '"' << text << '"';
    }
    EXPECT_EQ(errno, 0) << "strtod's ERANGE escaped";
}

double fromBits(std::uint64_t bits) {
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

TEST(FloatChars, WritesRandomValuesAsTheLibraryDoes) {
    std::mt19937_64 random(20240611);
    const auto expectSame = [](double value) {
        for (auto format : kFormats) {
            ASSERT_EQ(shortestByEquivalent(value, format), shortestByStd(value, format)) << std::hexfloat << value;
        }
        ASSERT_EQ(precisionByEquivalent(value, std::chars_format::scientific, 14),
                  precisionByStd(value, std::chars_format::scientific, 14))
            << std::hexfloat << value;
    };
    // The kind of number a report holds: a count of ten-thousandths or of
    // other decimals.
    for (int i = 0; i < 100000; ++i) {
        expectSame(static_cast<double>(random() % 10000000) / std::pow(10.0, random() % 7));
    }
    // Any bit pattern: the equivalent's printf is slow for large exponents,
    // hence fewer of these.
    for (int i = 0; i < 20000; ++i) {
        const double value = fromBits(random());
        expectSame(value);
        const int precision = static_cast<int>(random() % 21);
        for (auto format : {std::chars_format::fixed, std::chars_format::general}) {
            ASSERT_EQ(precisionByEquivalent(value, format, precision), precisionByStd(value, format, precision))
                << std::hexfloat << value << " precision " << precision;
        }
        // An integer ending in 5 kept to all but that digit: a tie.
        const auto tie = static_cast<double>(random() % 900719925474099 * 10 + 5);
        const int digits = static_cast<int>(std::to_string(static_cast<std::uint64_t>(tie)).size());
        ASSERT_EQ(precisionByEquivalent(tie, std::chars_format::scientific, digits - 2),
                  precisionByStd(tie, std::chars_format::scientific, digits - 2))
            << std::hexfloat << tie;
    }
}

TEST(FloatChars, ReadsRandomTextsAsTheLibraryDoes) {
    std::mt19937_64 random(1600600);
    const auto digitsOf = [&](std::uint64_t count) {
        std::string digits;
        for (std::uint64_t i = 0; i < count; ++i) digits += static_cast<char>('0' + random() % 10);
        return digits;
    };
    for (int i = 0; i < 40000; ++i) {
        // Digits with a point anywhere and any exponent, mostly around the
        // range of a double.
        std::string text = digitsOf(random() % 12) + (random() % 2 ? "." : "") + digitsOf(random() % 12);
        if (random() % 4 != 0) {
            text += (random() % 2 ? "e" : "E") + std::string(random() % 3 == 0 ? "-" : random() % 2 ? "+" : "");
            text += std::to_string(random() % 400);
        }
        ASSERT_EQ(readByEquivalent(text), readByStd(text)) << '"' << text << '"';

        // Close to a double: its 16 to 24 digits with the last one changed.
        char buffer[48];
        const double finite = fromBits(random() % 0x7FF0000000000000);
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, finite, std::chars_format::scientific,
                                          static_cast<int>(15 + random() % 9));
        std::string near(buffer, result.ptr);
        near[near.find('e') - 1] = static_cast<char>('0' + random() % 10);
        ASSERT_EQ(readByEquivalent(near), readByStd(near)) << '"' << near << '"';

        // The exact half-way point between two doubles of 2^49 to 2^63,
        // (2m+1)/2^k written as (2m+1)*5^k e-k, and just beside it.
        const std::uint64_t odd = (random() % (std::uint64_t{1} << 52) + (std::uint64_t{1} << 52)) * 2 + 1;
        const int k = static_cast<int>(random() % 14) - 9;
        std::uint64_t scaled = odd;
        for (int j = 0; j < k; ++j) scaled *= 5;
        for (int j = 0; j > k; --j) scaled *= 2;
        const std::string exponent = "e" + std::to_string(k > 0 ? -k : 0);
        for (const std::string& tie : {std::to_string(scaled) + exponent,
                                       std::to_string(scaled) + ".000000000000000000001" + exponent,
                                       std::to_string(scaled - 1) + ".999999999999999999999" + exponent}) {
            ASSERT_EQ(readByEquivalent(tie), readByStd(tie)) << '"' << tie << '"';
        }
    }
}

// The equivalent is built on printf and strtod, which follow the C locale;
// the window's toolkit may set one with a decimal comma.
TEST(FloatChars, EquivalentIgnoresTheDecimalSignOfTheLocale) {
    struct CommaLocale {
        bool set = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
        ~CommaLocale() { std::setlocale(LC_NUMERIC, "C"); }
    } locale;
    if (!locale.set) GTEST_SKIP() << "no de_DE.UTF-8 locale (scripts/install-deps test makes one)";
    char check[8];
    std::snprintf(check, sizeof check, "%.1f", 1.5);
    ASSERT_STREQ(check, "1,5");
    for (double value : {0.1, 1.5, -2.51, 1e-5, 123456.7, 1e23, 5e-324}) {
        for (auto format : kFormats) {
            EXPECT_EQ(shortestByEquivalent(value, format), shortestByStd(value, format)) << value;
            EXPECT_EQ(precisionByEquivalent(value, format, 14), precisionByStd(value, format, 14)) << value;
        }
    }
    for (const char* text : {"1.5", "0.1e-3", "12.75e2", "1,5", "5e-324"}) {
        EXPECT_EQ(readByEquivalent(text), readByStd(text)) << text;
    }
}

}  // namespace
}  // namespace varidac
