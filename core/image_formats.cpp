#include "core/image_formats.h"

#include <cstdint>

namespace varidac {
namespace {

constexpr std::size_t kBytesPerRecord = 16;

void appendHexByte(std::string& out, unsigned value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    out += kDigits[(value >> 4) & 0xF];
    out += kDigits[value & 0xF];
}

// Appends the fields of one record as hex pairs and returns their byte sum.
unsigned appendFields(std::string& out, std::initializer_list<unsigned> fields, std::string_view data) {
    unsigned sum = 0;
    for (unsigned field : fields) {
        appendHexByte(out, field);
        sum += field;
    }
    for (char c : data) {
        unsigned byte = static_cast<uint8_t>(c);
        appendHexByte(out, byte);
        sum += byte;
    }
    return sum;
}

}  // namespace

std::string_view imageFileExtension(ImageFormat format) {
    switch (format) {
        case ImageFormat::IntelHex: return ".HEX";
        case ImageFormat::SRecord: return ".S19";
        case ImageFormat::Binary: break;
    }
    return ".BIN";
}

std::string imageFileContents(std::string_view bytes, ImageFormat format) {
    switch (format) {
        case ImageFormat::IntelHex: return intelHexText(bytes);
        case ImageFormat::SRecord: return sRecordText(bytes);
        case ImageFormat::Binary: break;
    }
    return std::string(bytes);
}

std::string intelHexText(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() / kBytesPerRecord * 45 + 16);
    for (std::size_t at = 0; at < bytes.size(); at += kBytesPerRecord) {
        std::string_view data = bytes.substr(at, kBytesPerRecord);
        auto address = static_cast<unsigned>(at);
        out += ':';
        unsigned sum = appendFields(out, {static_cast<unsigned>(data.size()), (address >> 8) & 0xFF, address & 0xFF, 0x00}, data);
        appendHexByte(out, (0x100 - (sum & 0xFF)) & 0xFF);
        out += "\r\n";
    }
    out += ":00000001FF\r\n";
    return out;
}

std::string sRecordText(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() / kBytesPerRecord * 46 + 16);
    for (std::size_t at = 0; at < bytes.size(); at += kBytesPerRecord) {
        std::string_view data = bytes.substr(at, kBytesPerRecord);
        auto address = static_cast<unsigned>(at);
        out += "S1";
        // The count covers the address, the data and the checksum.
        unsigned sum = appendFields(out, {static_cast<unsigned>(data.size() + 3), (address >> 8) & 0xFF, address & 0xFF}, data);
        appendHexByte(out, ~sum & 0xFF);
        out += "\r\n";
    }
    out += "S9030000FC\r\n";
    return out;
}

}  // namespace varidac
