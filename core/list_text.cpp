#include "core/list_text.h"

#include <variant>

#include "core/number_text.h"
#include "core/tuning_list.h"

namespace varidac {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

std::string record(std::string_view kHz, std::string_view volts) {
    std::string line(kHz);
    line += ',';
    line += volts;
    line += kLineEnd;
    return line;
}

std::string pointRecord(int point, double volts) { return record(std::to_string(pointKHz(point)), pointText(volts)); }

// The text of a file that reads as a list, without its byte-order mark.
// Every character of such a list is ASCII (its fields are numbers, its
// blanks spaces and tabs), so a UTF-16 list is its units' low bytes.
std::optional<std::string> listCharacters(std::string_view bytes) {
    constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
    constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
    constexpr std::string_view kUtf16BeMark = "\xFE\xFF";
    if (bytes.starts_with(kUtf8Mark)) return std::string(bytes.substr(kUtf8Mark.size()));
    const bool littleEndian = bytes.starts_with(kUtf16LeMark);
    if (!littleEndian && !bytes.starts_with(kUtf16BeMark)) return std::string(bytes);
    bytes.remove_prefix(2);
    std::string text;
    text.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const char low = littleEndian ? bytes[i] : bytes[i + 1];
        const char high = littleEndian ? bytes[i + 1] : bytes[i];
        if (high != 0 || static_cast<unsigned char>(low) >= 0x80) return std::nullopt;
        text += low;
    }
    return text;
}

struct RecordText {
    std::string_view kHz, volts;
};

// The records as the list reader splits them: fields end at a comma or a
// line end (CR LF, LF or CR), blanks around them do not count, a line with
// nothing on it is no field, and the fields pair up in turn.
std::vector<RecordText> recordTexts(std::string_view text) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    bool lineHasComma = false;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        const bool atEnd = i == text.size();
        const char c = atEnd ? '\n' : text[i];
        if (c != ',' && c != '\r' && c != '\n') continue;
        std::string_view field = trimmed(text.substr(start, i - start));
        if (c == ',' || lineHasComma || !field.empty()) fields.push_back(field);
        lineHasComma = c == ',';
        start = i + 1;
    }
    std::vector<RecordText> records;
    for (std::size_t i = 0; i + 1 < fields.size(); i += 2) records.push_back({fields[i], fields[i + 1]});
    return records;
}

// The point a record's frequency is, if any.
std::optional<int> pointOf(std::string_view kHz) {
    std::optional<ParsedNumber> number = parseNumberField(kHz);
    if (!number || number->outOfRange) return std::nullopt;
    for (int point = 0; point < kListPoints; ++point) {
        if (number->value == pointKHz(point)) return point;
    }
    return std::nullopt;
}

}  // namespace

std::optional<double> pointVoltage(std::string_view text) {
    std::optional<ParsedNumber> number = parseNumberField(text);
    if (!number || number->outOfRange) return std::nullopt;
    return number->value;
}

std::string pointText(double volts) { return plainNumberText(volts); }

std::vector<int> emptyPointKHz(const ListPoints& points) {
    std::vector<int> kHz;
    for (int point = 0; point < kListPoints; ++point) {
        if (!points[static_cast<std::size_t>(point)]) kHz.push_back(pointKHz(point));
    }
    return kHz;
}

std::optional<ListVoltages> completeVoltages(const ListPoints& points) {
    ListVoltages voltages{};
    for (std::size_t i = 0; i < voltages.size(); ++i) {
        if (!points[i]) return std::nullopt;
        voltages[i] = *points[i];
    }
    return voltages;
}

Message emptyPointsMessage(const std::vector<int>& kHz) {
    std::string names;
    for (int f : kHz) names += (names.empty() ? "" : ", ") + std::to_string(f);
    return errorMessage({kSomethingWrong, "No voltage for " + names + " kHz  ", "The list is not saved  "});
}

std::string listText(const ListVoltages& voltages) {
    std::string text;
    for (int point = 0; point < kListPoints; ++point) text += pointRecord(point, voltages[static_cast<std::size_t>(point)]);
    return text;
}

std::string listTextOver(std::string_view existing, const ListVoltages& voltages) {
    if (!std::holds_alternative<TuningList>(parseTuningListText(existing))) return listText(voltages);
    const std::optional<std::string> characters = listCharacters(existing);
    if (!characters) return listText(voltages);
    const std::vector<RecordText> records = recordTexts(*characters);

    std::array<bool, kListPoints> present{};
    for (const RecordText& r : records) {
        if (std::optional<int> point = pointOf(r.kHz)) present[static_cast<std::size_t>(*point)] = true;
    }
    // The points the list lacks, each behind the nearest point below it
    // that it has (-1: none, so first of all).
    auto lackingBehind = [&](int below) {
        std::string text;
        for (int point = below + 1; point < kListPoints && !present[static_cast<std::size_t>(point)]; ++point) {
            text += pointRecord(point, voltages[static_cast<std::size_t>(point)]);
        }
        return text;
    };

    std::string text = lackingBehind(-1);
    std::array<bool, kListPoints> written{};
    for (const RecordText& r : records) {
        std::optional<int> point = pointOf(r.kHz);
        if (!point) {
            text += record(r.kHz, r.volts);
            continue;
        }
        const auto i = static_cast<std::size_t>(*point);
        if (written[i]) continue;
        written[i] = true;
        text += pointRecord(*point, voltages[i]);
        text += lackingBehind(*point);
    }
    return text;
}

}  // namespace varidac
