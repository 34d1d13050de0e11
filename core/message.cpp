#include "core/message.h"

#include <utility>

namespace varidac {

std::string Message::text() const {
    std::string out;
    for (const auto& line : lines) {
        out += line;
        out += '\r';
    }
    return out;
}

Message errorMessage(std::vector<std::string> lines) {
    return Message{kErrorTitle, MessageIcon::Error, std::move(lines)};
}

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

void appendHex(std::string& out, unsigned value, int digits) {
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) out += kHex[(value >> shift) & 0xF];
}

void appendEscape(std::string& out, const char* prefix, unsigned value, int digits) {
    out += prefix;
    appendHex(out, value, digits);
}

// The length of the well-formed UTF-8 sequence at the start of `text` (no
// overlong forms, no surrogates, nothing beyond U+10FFFF), or 0.
std::size_t sequenceLength(std::string_view text) {
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
    }
    return length;
}

}  // namespace

std::string printablePath(std::string_view path) {
    std::string out;
    out.reserve(path.size());
    std::size_t i = 0;
    while (i < path.size()) {
        auto c = static_cast<unsigned char>(path[i]);
        if (c < 0x80) {
            if (c < 0x20 || c == 0x7F) {
                appendEscape(out, "\\x", c, 2);
            } else {
                out += static_cast<char>(c);
            }
            ++i;
            continue;
        }
        std::size_t length = sequenceLength(path.substr(i));
        if (length == 0) {
            appendEscape(out, "\\x", c, 2);
            ++i;
        } else if (c == 0xC2 && static_cast<unsigned char>(path[i + 1]) <= 0x9F) {
            appendEscape(out, "\\u", static_cast<unsigned char>(path[i + 1]), 4);
            i += 2;
        } else {
            out.append(path.substr(i, length));
            i += length;
        }
    }
    return out;
}

std::string printableBytes(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F) {
            out += c;
        } else {
            out += '<';
            appendHex(out, byte, 2);
            out += '>';
        }
    }
    return out;
}

std::string upperHex(unsigned value, int digits) {
    std::string out;
    appendHex(out, value, digits);
    return out;
}

}  // namespace varidac
