#include "core/dump_reader.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

#include "os/os.h"

namespace varidac {
namespace {

constexpr std::size_t kAddressSpace = 65536;
// Far beyond the text form of 64 KB in records of one byte.
constexpr std::size_t kLargestDumpFile = 4 * 1024 * 1024;

// What programmers' software puts around a text dump: a UTF-8 byte-order
// mark in front; behind, a DOS end-of-file byte (^Z) or NULs padding the
// file to a block. Only a run of ^Z and NUL that reaches the end goes: a ^Z
// with text after it leaves the file as it is, so it is not text and reads
// as raw bytes, as a raw dump holding such bytes must.
std::string_view textWithoutExtras(std::string_view content) {
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (content.substr(0, kByteOrderMark.size()) == kByteOrderMark) content.remove_prefix(kByteOrderMark.size());
    std::size_t kept = content.size();
    while (kept > 0 && (content[kept - 1] == '\x1A' || content[kept - 1] == '\0')) --kept;
    return content.substr(0, kept);
}

bool isTextByte(char c) { return (c >= 0x20 && c <= 0x7e) || c == '\t' || c == '\r' || c == '\n'; }

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The hex pairs of a record, or nothing when it holds anything else.
std::optional<std::vector<uint8_t>> hexPairs(std::string_view text) {
    if (text.size() % 2 != 0) return std::nullopt;
    std::vector<uint8_t> bytes;
    bytes.reserve(text.size() / 2);
    for (std::size_t i = 0; i < text.size(); i += 2) {
        int high = hexValue(text[i]), low = hexValue(text[i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        bytes.push_back(static_cast<uint8_t>(high * 16 + low));
    }
    return bytes;
}

unsigned byteSum(const std::vector<uint8_t>& bytes, std::size_t count) {
    unsigned sum = 0;
    for (std::size_t i = 0; i < count; ++i) sum += bytes[i];
    return sum;
}

std::string hexByte(unsigned value) { return hexDigits(value & 0xFF, 2) + "H"; }

// Collects data bytes at their addresses; every address may be given once.
class AddressSpace {
public:
    AddressSpace() : bytes_(kAddressSpace, '\xFF'), given_(kAddressSpace, false) {}

    // Returns the problem, if any, with the data at `address` onwards.
    std::optional<std::string> store(unsigned long long address, const uint8_t* data, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) {
            unsigned long long at = address + i;
            if (at >= kAddressSpace) return "address " + hexDigits(static_cast<unsigned long>(at), 4) + "H lies beyond 64 KB";
            if (given_[at]) return "address " + hexDigits(static_cast<unsigned long>(at), 4) + "H is given twice";
            given_[at] = true;
            bytes_[at] = static_cast<char>(data[i]);
            if (at + 1 > extent_) extent_ = static_cast<std::size_t>(at + 1);
        }
        return std::nullopt;
    }

    std::string take() {
        bytes_.resize(extent_);
        return std::move(bytes_);
    }

private:
    std::string bytes_;
    std::vector<bool> given_;
    std::size_t extent_ = 0;
};

// Splits text into lines at CR LF, LF or CR, with blanks around each line
// removed; calls `take(line)` for every line that is not blank
// until it returns a problem.
template <typename Take>
std::optional<std::string> eachRecord(std::string_view text, Take take) {
    std::size_t line = 1;
    std::size_t at = 0;
    while (at <= text.size()) {
        std::size_t end = text.find_first_of("\r\n", at);
        if (end == std::string_view::npos) end = text.size();
        std::string_view record = text.substr(at, end - at);
        std::size_t first = record.find_first_not_of(" \t");
        if (first != std::string_view::npos) {
            std::size_t last = record.find_last_not_of(" \t");
            if (auto problem = take(record.substr(first, last - first + 1))) return "Line " + std::to_string(line) + ": " + *problem;
        }
        if (end == text.size()) break;
        at = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
        ++line;
    }
    return std::nullopt;
}

std::string checksumProblem(unsigned found, unsigned needed) {
    return "checksum " + hexByte(found) + " is wrong, the record needs " + hexByte(needed);
}

// For a record whose length agrees with its data but not with its type: an
// address record cut short is not the base the programmer meant.
std::string dataLengthProblem(unsigned type, std::size_t length, std::size_t needed) {
    return "a type " + hexByte(type) + " record holds " + std::to_string(length) + (length == 1 ? " data byte" : " data bytes") +
           ", it needs " + std::to_string(needed);
}

std::variant<Dump, std::string> parseIntelHex(std::string_view text) {
    AddressSpace space;
    unsigned long long base = 0;
    bool ended = false;
    auto problem = eachRecord(text, [&](std::string_view record) -> std::optional<std::string> {
        if (ended) return "a record follows the end record";
        auto bytes = record[0] == ':' ? hexPairs(record.substr(1)) : std::nullopt;
        if (!bytes || bytes->size() < 5) return "not an Intel HEX record";
        std::size_t length = (*bytes)[0];
        if (bytes->size() != length + 5) return "the record length does not match its data";
        unsigned sum = byteSum(*bytes, bytes->size() - 1);
        unsigned needed = (0x100 - (sum & 0xFF)) & 0xFF;
        if (bytes->back() != needed) return checksumProblem(bytes->back(), needed);
        unsigned offset = (*bytes)[1] * 256u + (*bytes)[2];
        unsigned type = (*bytes)[3];
        const uint8_t* data = bytes->data() + 4;
        switch (type) {
            case 0x00: return space.store(base + offset, data, length);
            case 0x01: ended = true; return std::nullopt;
            case 0x02:
            case 0x04:
                if (length != 2) return dataLengthProblem(type, length, 2);
                base = (data[0] * 256ull + data[1]) << (type == 0x02 ? 4 : 16);
                return std::nullopt;
            case 0x03:
            case 0x05:  // a start address: nothing to store, but a short one is a damaged record
                if (length != 4) return dataLengthProblem(type, length, 4);
                return std::nullopt;
            default: return "record type " + hexByte(type) + " is not known";
        }
    });
    if (problem) return *problem;
    if (!ended) return std::string("It ends without an end record: the file is incomplete");
    return Dump{DumpFormat::IntelHex, space.take()};
}

// Programmers end S-records with an end record (S7, S8, S9), a record
// count (S5, S6) or both; either tells a whole file from a cut one.
std::variant<Dump, std::string> parseSRecords(std::string_view text) {
    AddressSpace space;
    bool ended = false;
    bool counted = false;
    unsigned long long dataRecords = 0;
    auto problem = eachRecord(text, [&](std::string_view record) -> std::optional<std::string> {
        if (ended) return "a record follows the end record";
        if (record.size() < 2 || record[0] != 'S' || hexValue(record[1]) < 0 || hexValue(record[1]) > 9) return "not an S-record";
        auto bytes = hexPairs(record.substr(2));
        if (!bytes || bytes->empty()) return "not an S-record";
        int type = record[1] - '0';
        if (type == 4) return "record type S4 is not known";
        static constexpr std::size_t kAddressBytes[10] = {2, 2, 3, 4, 0, 2, 3, 4, 3, 2};
        std::size_t addressBytes = kAddressBytes[type];
        if (bytes->size() != (*bytes)[0] + 1u || bytes->size() < addressBytes + 2) return "the record length does not match its data";
        unsigned needed = ~byteSum(*bytes, bytes->size() - 1) & 0xFF;
        if (bytes->back() != needed) return checksumProblem(bytes->back(), needed);
        if (type >= 7) {
            ended = true;
            return std::nullopt;
        }
        unsigned long long address = 0;
        for (std::size_t i = 1; i <= addressBytes; ++i) address = address * 256 + (*bytes)[i];
        if (type == 5 || type == 6) {
            if (address != dataRecords) {
                return "the count record says " + std::to_string(address) + " data records, the file holds " +
                       std::to_string(dataRecords);
            }
            counted = true;
            return std::nullopt;
        }
        if (type == 0) return std::nullopt;  // a header
        ++dataRecords;
        return space.store(address, bytes->data() + 1 + addressBytes, bytes->size() - 2 - addressBytes);
    });
    if (problem) return *problem;
    if (!ended && !counted) return std::string("It ends without an end record: the file is incomplete");
    return Dump{DumpFormat::SRecord, space.take()};
}

}  // namespace

std::string hexDigits(unsigned long value, int digits) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    while (value != 0 || digits > 0) {
        out.insert(out.begin(), kDigits[value % 16]);
        value /= 16;
        --digits;
    }
    return out;
}

std::variant<Dump, std::string> parseDump(std::string_view content) {
    std::string_view text = textWithoutExtras(content);
    bool isText = true;
    for (char c : text) {
        if (!isTextByte(c)) {
            isText = false;
            break;
        }
    }
    std::size_t first = text.find_first_not_of(" \t\r\n");
    if (isText && first != std::string_view::npos) {
        if (text[first] == ':') return parseIntelHex(text);
        if (text[first] == 'S' && first + 1 < text.size() && hexValue(text[first + 1]) >= 0 && hexValue(text[first + 1]) <= 9) {
            return parseSRecords(text);
        }
    }
    // Not text even without the extras: every byte, padding included, is the chip's.
    return Dump{DumpFormat::Binary, std::string(content)};
}

Message dumpReadMessage(const std::string& name, const std::string& problem) {
    return errorMessage({kSomethingWrong, "The chip image " + printablePath(name) + " could not be read  ", problem + "  "});
}

std::variant<Dump, Message> readDumpFile(const std::string& path) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(os::openForReading(path), &std::fclose);
    if (!file) return dumpReadMessage(path, "It cannot be opened: " + os::errorText(errno));
    std::string content;
    char buffer[65536];
    while (std::size_t got = std::fread(buffer, 1, sizeof buffer, file.get())) {
        content.append(buffer, got);
        if (content.size() > kLargestDumpFile) return dumpReadMessage(path, "It holds more than 4 MB: no chip image is that large");
    }
    if (std::ferror(file.get())) return dumpReadMessage(path, "It cannot be read: " + os::errorText(errno));
    auto parsed = parseDump(content);
    if (auto* problem = std::get_if<std::string>(&parsed)) return dumpReadMessage(path, *problem);
    return std::get<Dump>(std::move(parsed));
}

}  // namespace varidac
