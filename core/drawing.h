#pragma once
// A picture as plain data: primitives in logical coordinates (x to the right,
// y downwards, one unit about one pixel at 96 dpi), painted in order. Every
// front end and every file writer paints the same list, so none of them
// decides what the picture shows.
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace varidac {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const Rgb&) const = default;
};

struct Point {
    double x = 0;
    double y = 0;
    bool operator==(const Point&) const = default;
};

struct Stroke {
    Rgb colour;
    double width = 1;
    bool dashed = false;
    bool operator==(const Stroke&) const = default;
};

// What a primitive shows; painters ignore it, readers of a drawing use it
// to find things in it.
enum class Role { Background, Frame, Grid, Tick, Label, Title, Margin, DaVoltage, Curve, ListPoint, Staircase, Legend };

struct Line {
    Point from;
    Point to;
    Stroke stroke;
    Role role = Role::Frame;
};

struct Polyline {
    std::vector<Point> points;
    Stroke stroke;
    Role role = Role::Curve;
};

struct Rectangle {
    Point topLeft;
    double width = 0;
    double height = 0;
    std::optional<Rgb> fill;
    std::optional<Stroke> stroke;
    Role role = Role::Frame;
};

struct Circle {
    Point centre;
    double radius = 0;
    Rgb fill;
    std::optional<Stroke> stroke;
    std::string tooltip;  // shown on hover where the medium can
    Role role = Role::ListPoint;
};

// Where `at` lies on the text's box.
enum class HorizontalAnchor { Start, Middle, End };
enum class VerticalAnchor { Top, Middle, Baseline };

struct Text {
    Point at;
    std::string text;  // UTF-8
    double size = 12;  // height of the font's em, logical units
    Rgb colour;
    HorizontalAnchor horizontal = HorizontalAnchor::Start;
    VerticalAnchor vertical = VerticalAnchor::Baseline;
    bool bold = false;
    Role role = Role::Label;
};

using Primitive = std::variant<Line, Polyline, Rectangle, Circle, Text>;

struct Drawing {
    double width = 0;
    double height = 0;
    std::string title;
    std::vector<Primitive> primitives;
};

}  // namespace varidac
