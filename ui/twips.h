#pragma once
// Window coordinates are kept in twips (1440 to the inch) and converted at
// the display's logical resolution: 15 twips to a pixel at 96 dpi.
#include <cmath>

namespace varidac {

inline constexpr int kTwipsPerInch = 1440;

inline int twipsToPixels(int twips, int dotsPerInch) {
    return static_cast<int>(std::lround(static_cast<double>(twips) * dotsPerInch / kTwipsPerInch));
}

}  // namespace varidac
