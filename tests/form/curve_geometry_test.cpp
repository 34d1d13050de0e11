// The curve window's place beside the main window, the drawing fitted into
// a window, and the list point under the mouse, in plain numbers.
#include <gtest/gtest.h>

#include "ui/drawing_fit.h"
#include "ui/hover_tip.h"
#include "ui/window_placement.h"

namespace varidac {
namespace {

TEST(CurvePlacement, RightOfTheWindowElseLeftElseAsFarRightAsFits) {
    struct Case {
        PixelRect main, room;
        PixelPoint expected;
    };
    const PixelRect main{1000, 50, 260, 460};
    const Case cases[] = {
        {main, {0, 0, 1920, 1080}, {1268, 50}},
        {main, {0, 0, 1600, 1080}, {342, 50}},
        {{100, 0, 260, 460}, {0, 0, 1000, 800}, {350, 0}},
        {{-300, 30, 260, 460}, {-1920, 0, 1920, 1080}, {-958, 30}},  // a screen left of the primary one
    };
    for (const Case& c : cases) {
        const PixelPoint at = placeBeside(c.main, 650, c.room);
        EXPECT_EQ(at.x, c.expected.x) << c.room.left << " " << c.room.width;
        EXPECT_EQ(at.y, c.expected.y);
    }
}

TEST(DrawingFit, KeepsTheProportionsCentredAndMapsBackWhereItCame) {
    struct Case {
        DeviceRect target;
        Point topLeft, bottomRight;  // where the drawing's corners land
    };
    const Drawing drawing{100, 50, "", {}};
    const Case cases[] = {
        {{0, 0, 200, 200}, {0, 50}, {200, 150}},
        {{10, 20, 400, 100}, {110, 20}, {310, 120}},
        {{0, 0, 640, 440}, {0, 60}, {640, 380}},
    };
    for (const Case& c : cases) {
        const DrawingFit fit = fitDrawing(drawing, c.target);
        EXPECT_EQ(fit.toDevice({0, 0}), c.topLeft);
        EXPECT_EQ(fit.toDevice({100, 50}), c.bottomRight);
        for (Point p : {Point{0, 0}, Point{37.5, 12.25}, Point{100, 50}}) {
            const Point back = fit.toDrawing(fit.toDevice(p));
            EXPECT_DOUBLE_EQ(back.x, p.x);
            EXPECT_DOUBLE_EQ(back.y, p.y);
        }
    }
    const DrawingFit none = fitDrawing(Drawing{}, {5, 5, 100, 100});
    EXPECT_EQ(none.toDevice({3, 4}), (Point{3, 4}));
}

TEST(HoverTip, TheTopmostPointWithATipWithinReachOfTheMouse) {
    Drawing drawing{100, 50, "", {}};
    drawing.primitives.push_back(Circle{{20, 20}, 2, {}, std::nullopt, "600 kHz: 2.1 V"});
    drawing.primitives.push_back(Circle{{27, 20}, 2, {}, std::nullopt, "700 kHz: 2.6 V"});
    drawing.primitives.push_back(Circle{{60, 20}, 2, {}, std::nullopt, ""});
    const DrawingFit fit = fitDrawing(drawing, {0, 0, 200, 200});  // twice the size, 50 pixels down
    struct Case {
        Point mouse;
        std::string tip;
    };
    const Case cases[] = {
        {{40, 90}, "600 kHz: 2.1 V"},
        {{47, 90}, "700 kHz: 2.6 V"},  // within reach of both: the one painted last
        {{30, 90}, "600 kHz: 2.1 V"},  // 5 units off: the radius and the slack
        {{29, 90}, ""},
        {{120, 90}, ""},  // a point without a tip
        {{40, 40}, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(hoverTip(drawing, fit, c.mouse), c.tip) << c.mouse.x << "," << c.mouse.y;
    EXPECT_EQ(hoverTip(drawing, fitDrawing(drawing, {0, 0, 0, 0}), {0, 0}), "");
}

}  // namespace
}  // namespace varidac
