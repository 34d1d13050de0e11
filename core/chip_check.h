#pragma once
// Compares a chip's contents with the image that a tuning list and the two
// D/A voltages give, without writing anything.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/dump_reader.h"
#include "core/message.h"
#include "core/tuning_state.h"

namespace varidac {

struct ChipImage {
    int16_t eprom = 0;  // index into kEpromTypes
    std::string bytes;  // exactly the size of that type
};

// The chip a dump stands for. A raw dump's size decides the EPROM type; a
// text dump is as large as the smallest type that holds all its data, and
// blank (FFH) up to its end. `eprom` (0 to 3), when given, names the type
// instead, and a dump that does not fit it is refused. Returns the problem
// when no type fits.
std::variant<ChipImage, std::string> chipImageOf(const Dump& dump, std::optional<int16_t> eprom);

struct Difference {
    std::size_t address = 0;
    uint8_t expected = 0;
    uint8_t found = 0;
};

// An offset in the 8 KB image where the copies in a larger chip disagree.
struct CopyDisagreement {
    std::size_t offset = 0;
    std::string copies;  // the byte of each copy, first copy first
};

struct ChipComparison {
    std::vector<Difference> differences;
    std::vector<CopyDisagreement> disagreements;
};

// `expected` and `found` are of the same size, whole copies of 8 KB.
ChipComparison compareChip(std::string_view expected, std::string_view found);

// At most this many lines per list, then "and N more".
inline constexpr std::size_t kLinesListed = 20;

// "Same as LIST", or the differences, one line per address with the
// frequency, both codes and the voltages they give, then the addresses where
// the copies disagree.
std::vector<std::string> comparisonLines(const ChipComparison& comparison, const TuningState& state, std::string_view listName);

struct ChipCheck {
    bool same = false;
    std::vector<std::string> lines;
};

// The whole check of a dump against the list read into `state`, with the
// filler's own input checks and codes; selects the chip's EPROM type in the
// state. A dump or list that cannot be checked gives a message.
std::variant<ChipCheck, Message> checkChip(TuningState& state, std::string_view startText, std::string_view endText,
                                           const Dump& dump, std::optional<int16_t> eprom, const std::string& dumpName,
                                           std::string_view listName);

}  // namespace varidac
