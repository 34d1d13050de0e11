#pragma once
// What printf's %.15G writes in the C locale, which rounds the exact binary
// value, put into the number text's form: trailing zeros and a bare point
// dropped, no zero before the point. The reference the number text is
// checked against, by the unit test and by the fuzz target.
#include <cmath>
#include <cstdio>
#include <string>

namespace varidac {

inline std::string printfNumberText(double value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15G", std::fabs(value));
    std::string text(buf);
    std::size_t e = text.find('E');
    std::string exponent = e == std::string::npos ? "" : text.substr(e);
    std::string mantissa = text.substr(0, e);
    if (mantissa.find('.') != std::string::npos) {
        while (mantissa.back() == '0') mantissa.pop_back();
        if (mantissa.back() == '.') mantissa.pop_back();
    }
    if (mantissa.size() > 1 && mantissa[0] == '0') mantissa.erase(0, 1);
    return (value < 0 ? "-" : " ") + mantissa + exponent;
}

}  // namespace varidac
