// The chip-dump reader on arbitrary bytes. Beyond not crashing: a dump that
// reads holds exactly the bytes its records give, at their addresses, and
// FFH elsewhere; every record of it has a checksum that holds, and the same
// dump with one checksum changed is refused; a byte-order mark in front and
// ^Z and NUL padding behind change nothing; raw bytes read as themselves;
// the dump written as Intel HEX or S-records reads back the same; and every
// refusal is a known problem naming a line that exists.
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/chip_check.h"
#include "core/dump_reader.h"
#include "core/image_formats.h"
#include "fuzz_checks.h"

using namespace varidac;
using varidac::fuzz::require;

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The part of a text dump that holds its records: without a byte-order mark
// in front, and without the ^Z (end of file) and NUL bytes that pad it.
struct Extras {
    std::size_t front = 0;
    std::size_t back = 0;
};

Extras extrasOf(std::string_view text) {
    Extras extras;
    if (fuzz::startsWith(text, kByteOrderMark)) extras.front = kByteOrderMark.size();
    auto padding = [](char c) { return c == '\x1A' || c == '\0'; };
    while (text.size() - extras.back > extras.front && padding(text[text.size() - extras.back - 1])) ++extras.back;
    return extras;
}

// The records of a text dump: every non-blank line, without its blanks.
std::vector<std::string_view> records(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != '\r' && text[i] != '\n') continue;
        std::string_view line = text.substr(start, i - start);
        std::size_t first = line.find_first_not_of(" \t");
        if (first != std::string_view::npos) lines.push_back(line.substr(first, line.find_last_not_of(" \t") - first + 1));
        start = i + 1;
    }
    return lines;
}

std::vector<unsigned> pairs(std::string_view hex) {
    std::vector<unsigned> bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) bytes.push_back(static_cast<unsigned>(hexValue(hex[i]) * 16 + hexValue(hex[i + 1])));
    return bytes;
}

// Decodes the records of a dump the reader accepted, checking each checksum,
// and lays their data out as the reader must have.
std::string bytesTheRecordsHold(std::string_view text, bool intelHex) {
    std::string bytes;
    auto place = [&](unsigned long long address, unsigned value) {
        require(address < 65536, "data lies below 64 KB");
        if (bytes.size() <= address) bytes.resize(address + 1, '\xFF');
        bytes[address] = static_cast<char>(value);
    };
    unsigned long long base = 0;
    for (std::string_view record : records(text)) {
        std::vector<unsigned> b = pairs(record.substr(intelHex ? 1 : 2));
        unsigned sum = 0;
        for (unsigned v : b) sum += v;
        if (intelHex) {
            require((sum & 0xFF) == 0, "every Intel HEX checksum holds", std::string(record));
            unsigned type = b[3];
            if (type == 1) break;
            if (type == 2 || type == 4) base = (b[4] * 256ull + b[5]) << (type == 2 ? 4 : 16);
            if (type == 0) {
                for (std::size_t i = 4; i + 1 < b.size(); ++i) place(base + b[1] * 256u + b[2] + (i - 4), b[i]);
            }
        } else {
            require((sum & 0xFF) == 0xFF, "every S-record checksum holds", std::string(record));
            int type = record[1] - '0';
            if (type >= 7) break;
            if (type >= 1 && type <= 3) {
                std::size_t addressBytes = static_cast<std::size_t>(type) + 1;
                unsigned long long address = 0;
                for (std::size_t i = 1; i <= addressBytes; ++i) address = address * 256 + b[i];
                for (std::size_t i = 1 + addressBytes; i + 1 < b.size(); ++i) place(address + (i - 1 - addressBytes), b[i]);
            }
        }
    }
    return bytes;
}

void requireKnownProblem(const std::string& problem, std::string_view text) {
    if (problem == "It ends without an end record: the file is incomplete") return;
    require(fuzz::startsWith(problem, "Line "), "a problem names its line", problem);
    std::size_t colon = problem.find(": ");
    require(colon != std::string::npos && colon > 5, "the line number ends in \": \"", problem);
    std::size_t line = std::stoul(problem.substr(5, colon - 5));
    require(line >= 1 && line <= fuzz::lineCount(text), "the line named exists", problem);
    std::string_view what = std::string_view(problem).substr(colon + 2);
    const std::array<std::string_view, 5> fixed = {"not an Intel HEX record", "not an S-record",
                                                   "the record length does not match its data",
                                                   "a record follows the end record", "record type S4 is not known"};
    for (std::string_view f : fixed) {
        if (what == f) return;
    }
    bool known = (fuzz::startsWith(what, "checksum ") && what.find(" is wrong, the record needs ") != std::string_view::npos) ||
                 (fuzz::startsWith(what, "record type ") && fuzz::endsWith(what, "H is not known")) ||
                 (fuzz::startsWith(what, "a type 0") && (fuzz::endsWith(what, "it needs 2") || fuzz::endsWith(what, "it needs 4"))) ||
                 (fuzz::startsWith(what, "the count record says ") && what.find(" data records, the file holds ") != std::string_view::npos) ||
                 (fuzz::startsWith(what, "address ") &&
                  (fuzz::endsWith(what, "H lies beyond 64 KB") || fuzz::endsWith(what, "H is given twice")));
    require(known, "a refusal names a known problem", problem);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    auto parsed = parseDump(text);
    if (auto* problem = std::get_if<std::string>(&parsed)) {
        requireKnownProblem(*problem, text);
        return 0;
    }
    const Dump& dump = std::get<Dump>(parsed);
    if (dump.format == DumpFormat::Binary) {
        require(dump.bytes == text, "raw bytes read as themselves");
        return 0;
    }
    bool intelHex = dump.format == DumpFormat::IntelHex;
    const Extras extras = extrasOf(text);
    const std::string_view body = text.substr(extras.front, text.size() - extras.front - extras.back);
    for (char c : body) require((c >= 0x20 && c <= 0x7e) || c == '\t' || c == '\r' || c == '\n', "a text dump is text once its extras are gone");
    require(dump.bytes == bytesTheRecordsHold(body, intelHex), "a dump holds exactly the bytes its records give");

    // Without its extras, or with all of them, it reads the same.
    const std::string bare(body);
    for (const std::string& dressed : {bare, std::string(kByteOrderMark) + bare + std::string("\x1A\0\x1A\0", 4)}) {
        auto same = parseDump(dressed);
        require(std::holds_alternative<Dump>(same) && std::get<Dump>(same).format == dump.format &&
                    std::get<Dump>(same).bytes == dump.bytes,
                "a byte-order mark and ^Z or NUL padding change nothing", dressed);
    }

    // The same dump with the checksum of its first record changed; the
    // record lies in the body, never in the padding around it.
    std::string changed(text);
    std::size_t last = body.find_first_of("\r\n", body.find_first_not_of(" \t\r\n"));
    if (last == std::string::npos) last = body.size();
    while (body[last - 1] == ' ' || body[last - 1] == '\t') --last;
    last += extras.front;
    changed[last - 1] = changed[last - 1] == '0' ? '1' : '0';
    auto refused = parseDump(changed);
    require(std::holds_alternative<std::string>(refused) &&
                std::get<std::string>(refused).find(": checksum ") != std::string::npos,
            "a changed checksum is refused", changed);

    // Written again in either text form, it reads back the same.
    for (ImageFormat format : {ImageFormat::IntelHex, ImageFormat::SRecord}) {
        auto again = parseDump(imageFileContents(dump.bytes, format));
        require(std::holds_alternative<Dump>(again) && std::get<Dump>(again).bytes == dump.bytes,
                "a dump written as text reads back the same");
    }
    auto chip = chipImageOf(dump, std::nullopt);
    require(std::holds_alternative<ChipImage>(chip), "every text dump fits a chip");
    const std::string& image = std::get<ChipImage>(chip).bytes;
    require(image.size() == kImageSize << std::get<ChipImage>(chip).eprom && image.substr(0, dump.bytes.size()) == dump.bytes,
            "the chip holds the dump, blank beyond it");
    return 0;
}
