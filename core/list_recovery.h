#pragma once
// A tuning list recovered from a chip: the voltage each stored code gives at
// 600, 700, ..., 1600 kHz.
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "core/chip_check.h"
#include "core/message.h"
#include "core/output_files.h"

namespace varidac {

// The list text, "600,V" to "1600,V" with CR LF, V = start + code x step
// with "." as decimal sign. Refuses a chip whose alignment points (0500H =
// 00H, 1700H = FFH) are not as a filler run leaves them, or whose copies
// disagree at an address it reads.
struct RecoveredList {
    std::string text;
};
std::variant<RecoveredList, std::string> recoverList(const ChipImage& chip, double startVoltage, double voltageStep);

// Reads the dump, recovers the list with the two voltage texts and writes it
// to `listPath`. An existing file there is replaced only when
// `replaceExisting`, and the dump itself never. Voltages whose step a filler
// run refuses are refused first, with the same message. Returns the line to
// print on success, or the message saying why nothing was written.
std::variant<std::string, Message> recoverListFile(const std::string& dumpPath, std::optional<int16_t> eprom,
                                                   std::string_view startText, std::string_view endText,
                                                   const std::string& listPath, bool replaceExisting,
                                                   const FileSystemCalls& calls = realFileSystemCalls());

Message recoveryMessage(const std::string& dumpName, const std::string& problem);

}  // namespace varidac
