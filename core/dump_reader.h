#pragma once
// A chip's contents as an EPROM programmer saves them: raw bytes, Intel HEX
// or Motorola S-records, told apart by their content.
#include <string>
#include <string_view>
#include <variant>

#include "core/message.h"

namespace varidac {

enum class DumpFormat { Binary, IntelHex, SRecord };

struct Dump {
    DumpFormat format = DumpFormat::Binary;
    // From address 0 to the highest address the dump holds. Addresses that a
    // text dump leaves out read FFH, as an erased EPROM does: programmers
    // skip blank blocks.
    std::string bytes;
};

// A text form is recognised when, without a leading UTF-8 byte-order mark
// and a trailing run of ^Z (1AH) and NUL bytes, every byte is printable
// ASCII, a blank or a line end, and the first non-blank character is ":"
// (Intel HEX) or "S" and a digit (S-records); anything else is raw bytes,
// all of them. Every record's checksum is verified, and a text form must
// reach its end record (for S-records an end record or a record count that
// agrees). Returns the dump, or what is wrong with it.
std::variant<Dump, std::string> parseDump(std::string_view content);

// Reads and parses the file; the message names it as given.
std::variant<Dump, Message> readDumpFile(const std::string& path);

// "Something is wrong!" / "The chip image NAME could not be read" / problem.
Message dumpReadMessage(const std::string& name, const std::string& problem);

// Upper-case hex digits, at least `digits` of them: 0x650, 4 -> "0650".
std::string hexDigits(unsigned long value, int digits);

}  // namespace varidac
