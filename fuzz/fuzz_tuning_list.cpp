// The tuning-list reader on arbitrary bytes. Beyond not crashing: the result
// does not depend on how the bytes arrive in chunks, a list that reads passed
// the start check, holds only finite voltages of used frequencies, and every
// refusal is a known message that names an existing line, and a list whose
// every line reads like "600,2,1" is refused for its decimal commas. A list
// with a byte-order mark reads as its text without one (UTF-16 as UTF-8),
// broken UTF-16 is refused, and ASCII text reads the same in every encoding
// Notepad saves.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/number_text.h"
#include "core/tuning_list.h"
#include "core/voltage_checks.h"
#include "fuzz_checks.h"

using namespace varidac;
using varidac::fuzz::require;

namespace {

// Each piece 1 to 7 bytes, as the file reader's pieces may split a line
// end, a field, a byte-order mark or a UTF-16 unit anywhere.
ListOrMessage fedInPieces(std::string_view bytes) {
    TuningListParser parser;
    for (std::size_t at = 0, piece = 1; at < bytes.size(); at += piece, piece = piece % 7 + 1) {
        parser.feed(bytes.substr(at, piece));
    }
    return parser.finish();
}

void appendUtf8(std::string& out, uint32_t c) {
    const int extra = c < 0x80 ? 0 : c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
    const unsigned char lead[] = {0x00, 0xC0, 0xE0, 0xF0};
    std::string bytes(static_cast<std::size_t>(extra + 1), '\0');
    for (int i = extra; i > 0; --i, c >>= 6) bytes[static_cast<std::size_t>(i)] = static_cast<char>(0x80 | (c & 0x3F));
    bytes[0] = static_cast<char>(lead[extra] | c);
    out += bytes;
}

// The text the reader is to see: a UTF-8 byte-order mark dropped, UTF-16 of
// either byte order after its mark as UTF-8, any other bytes as they are.
// Nothing for broken UTF-16: an odd number of bytes or a surrogate without
// its partner.
std::optional<std::string> listText(std::string_view bytes) {
    if (fuzz::startsWith(bytes, "\xEF\xBB\xBF")) return std::string(bytes.substr(3));
    const bool little = fuzz::startsWith(bytes, "\xFF\xFE");
    if (!little && !fuzz::startsWith(bytes, "\xFE\xFF")) return std::string(bytes);
    bytes.remove_prefix(2);
    if (bytes.size() % 2 != 0) return std::nullopt;
    std::vector<uint32_t> units;
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        const auto a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
        units.push_back(little ? (uint32_t{b} << 8 | a) : (uint32_t{a} << 8 | b));
    }
    std::string text;
    for (std::size_t i = 0; i < units.size(); ++i) {
        uint32_t c = units[i];
        if (c >= 0xDC00 && c <= 0xDFFF) return std::nullopt;
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 == units.size() || units[i + 1] < 0xDC00 || units[i + 1] > 0xDFFF) return std::nullopt;
            c = 0x10000 + (c - 0xD800) * 0x400 + (units[++i] - 0xDC00);
        }
        appendUtf8(text, c);
    }
    return text;
}

std::string utf16(std::string_view ascii, bool little) {
    std::string bytes = little ? "\xFF\xFE" : "\xFE\xFF";
    for (char c : ascii) {
        bytes += little ? c : '\0';
        bytes += little ? '\0' : c;
    }
    return bytes;
}

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

bool sameResult(const ListOrMessage& a, const ListOrMessage& b) {
    if (a.index() != b.index()) return false;
    if (auto* m = std::get_if<Message>(&a)) return *m == std::get<Message>(b);
    const TuningList& x = std::get<TuningList>(a);
    const TuningList& y = std::get<TuningList>(b);
    if (x.records != y.records || x.lastFreq != y.lastFreq || !sameBits(x.lastUvar, y.lastUvar)) return false;
    for (std::size_t i = 0; i < kTableSize; ++i) {
        if (x.voltages[i].has_value() != y.voltages[i].has_value()) return false;
        if (x.voltages[i] && !sameBits(*x.voltages[i], *y.voltages[i])) return false;
    }
    return true;
}

// The first field as the file format defines it: blank lines and leading
// blanks skipped, ended by a comma or a line end, trailing blanks dropped.
std::optional<std::string_view> firstField(std::string_view text) {
    std::size_t start = text.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos || text[start] == ',') return std::nullopt;
    std::size_t end = text.find_first_of(",\r\n", start);
    std::string_view field = text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    while (!field.empty() && (field.back() == ' ' || field.back() == '\t')) field.remove_suffix(1);
    return field;
}

std::size_t separators(std::string_view text) {
    std::size_t n = 0;
    for (char c : text) n += (c == ',' || c == '\r' || c == '\n') ? 1 : 0;
    return n;
}

// The first non-blank line when every non-blank line is three fields, the
// last two digits only, none longer than a field may be; else 0.
std::size_t decimalCommaLine(std::string_view text) {
    auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    std::size_t first = 0;
    std::size_t number = 1;
    for (std::size_t at = 0; at <= text.size(); ++number) {
        std::size_t end = std::min(text.find_first_of("\r\n", at), text.size());
        std::string_view line = text.substr(at, end - at);
        at = end + (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n' ? 2 : 1);
        if (line.find_first_not_of(" \t") == std::string_view::npos) continue;
        std::size_t fields = 0;
        for (std::size_t from = 0; from <= line.size(); ++fields) {
            std::size_t comma = std::min(line.find(',', from), line.size());
            std::string_view field = line.substr(from, comma - from);
            from = comma + 1;
            while (!field.empty() && isBlank(field.front())) field.remove_prefix(1);
            if (field.size() > 1000) return 0;
            while (!field.empty() && isBlank(field.back())) field.remove_suffix(1);
            bool digits = !field.empty() && field.find_first_not_of("0123456789") == std::string_view::npos;
            if (fields > 2 || (fields == 0 ? field.empty() : !digits)) return 0;
        }
        if (fields != 3) return 0;
        if (first == 0) first = number;
    }
    return first;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    ListOrMessage whole = parseTuningListText(bytes);

    // The file reader feeds 64 KB pieces; line ends and fields may be split.
    require(sameResult(whole, fedInPieces(bytes)), "the result does not depend on the chunks");

    const std::string_view commaSign = " has a comma as decimal sign: write ";
    const std::optional<std::string> decoded = listText(bytes);
    if (!decoded) {
        auto* refused = std::get_if<Message>(&whole);
        require(refused != nullptr, "broken UTF-16 is refused");
        fuzz::requireKnownListMessage(*refused, bytes);
        require(refused->lines.back().find(commaSign) == std::string::npos, "broken UTF-16 is no decimal-comma list",
                refused->text());
        return 0;
    }
    const std::string_view text = *decoded;
    // Its text alone reads the same, unless that text starts as a mark would.
    const bool marked = fuzz::startsWith(bytes, "\xEF\xBB\xBF") || fuzz::startsWith(bytes, "\xFF\xFE") ||
                        fuzz::startsWith(bytes, "\xFE\xFF");
    if (marked && (text.empty() || (text[0] != '\xEF' && text[0] != '\xFF' && text[0] != '\xFE'))) {
        require(sameResult(whole, parseTuningListText(text)), "a list with a mark reads as its text");
    }
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        for (const std::string& saved : {"\xEF\xBB\xBF" + std::string(bytes), utf16(bytes, true), utf16(bytes, false)}) {
            require(sameResult(whole, parseTuningListText(saved)), "ASCII reads the same in every encoding");
            require(sameResult(whole, fedInPieces(saved)), "an encoded list does not depend on the chunks");
        }
    }

    std::size_t commaLine = decimalCommaLine(text);
    if (auto* refused = std::get_if<Message>(&whole)) {
        fuzz::requireKnownListMessage(*refused, text);
        bool forCommas = refused->lines.back().find(commaSign) != std::string::npos;
        require(forCommas == (commaLine != 0), "decimal commas are named exactly when every line has them", refused->text());
        if (forCommas) require(fuzz::startsWith(refused->lines.back(), "Line " + std::to_string(commaLine) + ": "),
                               "decimal commas are named on the first line", refused->text());
        return 0;
    }
    require(commaLine == 0, "a list whose every line has a decimal comma is refused");
    const TuningList& list = std::get<TuningList>(whole);

    std::optional<std::string_view> first = firstField(text);
    require(first.has_value(), "a list that reads has a first field");
    std::optional<ParsedNumber> firstNumber = parseNumberField(*first);
    require(firstNumber && !firstNumber->outOfRange, "the first field is a number", std::string(*first));
    require(numberText(firstNumber->value).substr(0, 4) == " 600", "a list that reads passes the start check", std::string(*first));

    require(list.records >= 1, "a list that reads has a record");
    require(list.records * 2 <= separators(text) + 1, "every record took two fields");
    for (std::size_t i = 0; i < kTableSize; ++i) {
        if (!list.voltages[i]) continue;
        require(i >= 6 && i <= 16, "only used frequencies are stored", std::to_string(i));
        require(std::isfinite(*list.voltages[i]), "stored voltages are finite");
    }
    int16_t last = list.lastFreq;
    if (last >= 600 && last <= 1600 && last % 100 == 0) {
        require(sameBits(*list.voltages[static_cast<std::size_t>(last / 100)], list.lastUvar), "the last record wins");
    }

    // What "Read File" shows next: 13 list items and at most the two warnings.
    TuningState state;
    for (std::size_t i = 0; i < kTableSize; ++i) state.UvarTable[i] = list.voltages[i].value_or(0);
    std::vector<std::string> items = tuneListItems(state, "1.50", "12.00");
    require(items.size() == 13, "the tune list has 13 items");
    for (int f = 600; f <= 1600; f += 100) {
        const std::string& item = items[static_cast<std::size_t>(f / 100 - 5)];
        require(fuzz::startsWith(item, "  " + std::to_string(f) + " , "), "a list item starts with its frequency", item);
        require(fuzz::isPrintableAscii(item) && item.size() < 40, "a list item is short printable text", item);
    }
    std::vector<Message> warnings = voltageWarnings(state, "1.50", "12.00");
    require(warnings.size() <= 2, "at most two warnings");
    for (std::size_t i = 0; i < warnings.size(); ++i) {
        bool known = warnings[i] == endVoltageMessage() || warnings[i] == startVoltageMessage();
        require(known, "warnings are the margin messages", warnings[i].text());
        if (i == 1) require(warnings[0] == endVoltageMessage(), "the end-voltage warning comes first");
    }
    return 0;
}
