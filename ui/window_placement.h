#pragma once
// Where the curve window goes on the screen, in pixels, for every front end.
namespace varidac {

struct PixelRect {
    int left = 0, top = 0, width = 0, height = 0;
    int right() const { return left + width; }  // the first column past the rect
    bool operator==(const PixelRect&) const = default;
};

struct PixelPoint {
    int x = 0, y = 0;
    bool operator==(const PixelPoint&) const = default;
};

// The top-left corner of a window of `width` beside the main window (both
// with their frames): on its right where `room` (the screen's work area)
// has space, else on its left, else as far right as fits; level with it.
PixelPoint placeBeside(const PixelRect& main, int width, const PixelRect& room);

}  // namespace varidac
