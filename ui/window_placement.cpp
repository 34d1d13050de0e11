#include "ui/window_placement.h"

#include <algorithm>

namespace varidac {

PixelPoint placeBeside(const PixelRect& main, int width, const PixelRect& room) {
    constexpr int kGap = 8;
    const int right = main.right() + kGap;
    const int left = main.left - kGap - width;
    int x = right;
    if (right + width > room.right() && left >= room.left) x = left;
    x = std::max(room.left, std::min(x, room.right() - width));
    return PixelPoint{x, main.top};
}

}  // namespace varidac
