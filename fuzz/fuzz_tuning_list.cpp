// The tuning-list reader on arbitrary bytes. Beyond not crashing: the result
// does not depend on how the bytes arrive in chunks, a list that reads passed
// the start check, holds only finite voltages of used frequencies, and every
// refusal is a known message that names an existing line, and a list whose
// every line reads like "600,2,1" is refused for its decimal commas.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "core/number_text.h"
#include "core/tuning_list.h"
#include "core/voltage_checks.h"
#include "fuzz_checks.h"

using namespace varidac;
using varidac::fuzz::require;

namespace {

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
    std::string_view text(reinterpret_cast<const char*>(data), size);
    ListOrMessage whole = parseTuningListText(text);

    // The file reader feeds 64 KB pieces; line ends and fields may be split.
    TuningListParser parser;
    for (std::size_t at = 0, piece = 1; at < size; at += piece, piece = piece % 7 + 1) {
        parser.feed(text.substr(at, piece));
    }
    require(sameResult(whole, parser.finish()), "the result does not depend on the chunks");

    const std::string_view commaSign = " has a comma as decimal sign: write ";
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
