#include "core/svg_writer.h"

#include <cmath>
#include <string_view>

#include "util/float_chars.h"

namespace varidac {
namespace {

// Coordinates to a hundredth of a unit, "." whatever the locale.
void appendNumber(std::string& out, double value) {
    if (!std::isfinite(value)) value = 0;
    double rounded = std::round(value * 100) / 100;
    if (rounded == 0) rounded = 0;  // no "-0"
    // Room for the largest double written out in full (309 digits), so that
    // no coordinate, however far off, can come out cut or as garbage.
    char buffer[320];
    auto result = toCharsShortest(buffer, buffer + sizeof buffer, rounded, std::chars_format::fixed);
    out.append(buffer, result.ptr);
}

void appendAttribute(std::string& out, std::string_view name, double value) {
    out += ' ';
    out += name;
    out += "=\"";
    appendNumber(out, value);
    out += '"';
}

void appendAttribute(std::string& out, std::string_view name, std::string_view value) {
    out += ' ';
    out += name;
    out += "=\"";
    out += value;
    out += '"';
}


// Length of the valid UTF-8 sequence at the start of `text` that XML allows, or 0.
std::size_t validSequence(std::string_view text) {
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    unsigned char lead = byte(0);
    if (lead < 0x80) return (lead >= 0x20 || lead == '\t' || lead == '\n') && lead != 0x7f ? 1 : 0;
    std::size_t length = lead >= 0xf0 ? 4 : lead >= 0xe0 ? 3 : lead >= 0xc2 ? 2 : 0;
    if (length == 0 || lead > 0xf4 || text.size() < length) return 0;
    char32_t code = lead & (0x7f >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xc0) != 0x80) return 0;
        code = (code << 6) | (byte(i) & 0x3f);
    }
    bool shortest = (length == 2) || (length == 3 && code >= 0x800) || (length == 4 && code >= 0x10000);
    bool allowed = code <= 0x10ffff && !(code >= 0xd800 && code <= 0xdfff) && code != 0xfffe && code != 0xffff;
    return shortest && allowed ? length : 0;
}

void appendEscaped(std::string& out, std::string_view text) {
    while (!text.empty()) {
        std::size_t length = validSequence(text);
        if (length == 0) {
            out += '?';
            text.remove_prefix(1);
            continue;
        }
        switch (text[0]) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out.append(text.substr(0, length));
        }
        text.remove_prefix(length);
    }
}

void appendStroke(std::string& out, const std::optional<Stroke>& stroke) {
    if (!stroke) {
        appendAttribute(out, "stroke", "none");
        return;
    }
    appendAttribute(out, "stroke", hexColour(stroke->colour));
    appendAttribute(out, "stroke-width", stroke->width);
    if (stroke->dashed) appendAttribute(out, "stroke-dasharray", "6 4");
}

void appendFill(std::string& out, const std::optional<Rgb>& fill) {
    appendAttribute(out, "fill", fill ? hexColour(*fill) : std::string("none"));
}

struct Writer {
    std::string& out;

    void operator()(const Line& line) const {
        out += "<line";
        appendAttribute(out, "x1", line.from.x);
        appendAttribute(out, "y1", line.from.y);
        appendAttribute(out, "x2", line.to.x);
        appendAttribute(out, "y2", line.to.y);
        appendStroke(out, line.stroke);
        out += "/>\n";
    }

    void operator()(const Polyline& polyline) const {
        out += "<polyline points=\"";
        for (std::size_t i = 0; i < polyline.points.size(); ++i) {
            if (i > 0) out += ' ';
            appendNumber(out, polyline.points[i].x);
            out += ',';
            appendNumber(out, polyline.points[i].y);
        }
        out += '"';
        appendAttribute(out, "fill", "none");
        appendStroke(out, polyline.stroke);
        appendAttribute(out, "stroke-linejoin", "round");
        out += "/>\n";
    }

    void operator()(const Rectangle& rectangle) const {
        out += "<rect";
        appendAttribute(out, "x", rectangle.topLeft.x);
        appendAttribute(out, "y", rectangle.topLeft.y);
        appendAttribute(out, "width", rectangle.width);
        appendAttribute(out, "height", rectangle.height);
        appendFill(out, rectangle.fill);
        appendStroke(out, rectangle.stroke);
        out += "/>\n";
    }

    void operator()(const Circle& circle) const {
        out += "<circle";
        appendAttribute(out, "cx", circle.centre.x);
        appendAttribute(out, "cy", circle.centre.y);
        appendAttribute(out, "r", circle.radius);
        appendFill(out, circle.fill);
        appendStroke(out, circle.stroke);
        if (circle.tooltip.empty()) {
            out += "/>\n";
            return;
        }
        out += "><title>";
        appendEscaped(out, circle.tooltip);
        out += "</title></circle>\n";
    }

    void operator()(const Text& text) const {
        // SVG 1.1 renderers disagree on vertical alignment; the baseline is
        // placed here from the font size instead.
        double y = text.at.y;
        if (text.vertical == VerticalAnchor::Top) y += text.size * 0.8;
        if (text.vertical == VerticalAnchor::Middle) y += text.size * 0.35;
        out += "<text";
        appendAttribute(out, "x", text.at.x);
        appendAttribute(out, "y", y);
        appendAttribute(out, "font-size", text.size);
        if (text.horizontal != HorizontalAnchor::Start) {
            appendAttribute(out, "text-anchor", text.horizontal == HorizontalAnchor::Middle ? "middle" : "end");
        }
        if (text.bold) appendAttribute(out, "font-weight", "bold");
        appendAttribute(out, "fill", hexColour(text.colour));
        out += '>';
        appendEscaped(out, text.text);
        out += "</text>\n";
    }
};

}  // namespace

std::string svgDocument(const Drawing& drawing) {
    std::string out;
    out.reserve(16384);
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n"
           "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\"";
    appendAttribute(out, "width", drawing.width);
    appendAttribute(out, "height", drawing.height);
    out += " viewBox=\"0 0 ";
    appendNumber(out, drawing.width);
    out += ' ';
    appendNumber(out, drawing.height);
    out += "\" font-family=\"Arial, Helvetica, 'Liberation Sans', sans-serif\">\n<title>";
    appendEscaped(out, drawing.title);
    out += "</title>\n";
    Writer writer{out};
    for (const Primitive& primitive : drawing.primitives) std::visit(writer, primitive);
    out += "</svg>\n";
    return out;
}

std::string hexColour(Rgb rgb) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text = "#";
    for (std::uint8_t part : {rgb.red, rgb.green, rgb.blue}) {
        text += kHex[part >> 4];
        text += kHex[part & 15];
    }
    return text;
}

}  // namespace varidac
