#include "core/chip_check.h"

#include <cmath>

#include "core/bcd_address.h"
#include "core/da_codes.h"
#include "core/image_file.h"
#include "core/number_text.h"

namespace varidac {
namespace {

std::size_t chipSize(std::size_t eprom) { return kImageSize << eprom; }

std::string addressText(std::size_t address) {
    std::optional<int> frequency = frequencyAt(address);
    std::string where = hexDigits(static_cast<unsigned long>(address), 4) + "H  ";
    return where + (frequency ? std::to_string(*frequency) + " kHz" : std::string("no frequency"));
}

std::string codeText(uint8_t code) { return hexDigits(code, 2) + "H"; }

// The voltage of a code to the millivolt: a step is tens of millivolts, so
// neighbouring codes show apart.
std::string voltageText(const TuningState& state, uint8_t code) {
    double volts = state.StartVoltage + code * state.VoltageStep;
    return plainNumberText(std::floor(volts * 1000 + 0.5) / 1000) + " V";
}

std::string counted(std::size_t n, const char* one, const char* many) { return std::to_string(n) + (n == 1 ? one : many); }

template <typename Item, typename Describe>
void appendListed(std::vector<std::string>& lines, const std::vector<Item>& items, Describe describe) {
    for (std::size_t i = 0; i < items.size() && i < kLinesListed; ++i) lines.push_back(describe(items[i]));
    if (items.size() > kLinesListed) lines.push_back("and " + std::to_string(items.size() - kLinesListed) + " more");
}

}  // namespace

std::variant<ChipImage, std::string> chipImageOf(const Dump& dump, std::optional<int16_t> eprom) {
    std::size_t size = dump.bytes.size();
    if (eprom) {
        auto type = static_cast<std::size_t>(*eprom);
        std::size_t fits = chipSize(type);
        std::string name(kEpromTypes[type]);
        if (dump.format == DumpFormat::Binary && size != fits) {
            return "It holds " + std::to_string(size) + " bytes; an image of a " + name + " holds " + std::to_string(fits);
        }
        if (size > fits) {
            return "It holds data up to " + hexDigits(static_cast<unsigned long>(size - 1), 4) + "H; an image of a " + name +
                   " ends at " + hexDigits(static_cast<unsigned long>(fits - 1), 4) + "H";
        }
        ChipImage chip{*eprom, dump.bytes};
        chip.bytes.resize(fits, '\xFF');
        return chip;
    }
    for (std::size_t type = 0; type < kEpromTypes.size(); ++type) {
        std::size_t fits = chipSize(type);
        bool matches = dump.format == DumpFormat::Binary ? size == fits : size <= fits;
        if (matches) {
            ChipImage chip{static_cast<int16_t>(type), dump.bytes};
            chip.bytes.resize(fits, '\xFF');
            return chip;
        }
    }
    if (dump.format != DumpFormat::Binary) return std::string("It holds data beyond 64 KB, more than any EPROM type");
    return "It holds " + std::to_string(size) + " bytes; an image of a 27C64, 27C128, 27C256 or 27C512 holds " +
           "8192, 16384, 32768 or 65536";
}

ChipComparison compareChip(std::string_view expected, std::string_view found) {
    ChipComparison comparison;
    for (std::size_t a = 0; a < expected.size() && a < found.size(); ++a) {
        if (expected[a] != found[a]) {
            comparison.differences.push_back({a, static_cast<uint8_t>(expected[a]), static_cast<uint8_t>(found[a])});
        }
    }
    std::size_t copies = found.size() / kImageSize;
    for (std::size_t offset = 0; copies > 1 && offset < kImageSize; ++offset) {
        bool agree = true;
        for (std::size_t copy = 1; copy < copies; ++copy) agree = agree && found[copy * kImageSize + offset] == found[offset];
        if (agree) continue;
        CopyDisagreement disagreement{offset, {}};
        for (std::size_t copy = 0; copy < copies; ++copy) disagreement.copies += found[copy * kImageSize + offset];
        comparison.disagreements.push_back(std::move(disagreement));
    }
    return comparison;
}

std::vector<std::string> comparisonLines(const ChipComparison& comparison, const TuningState& state, std::string_view listName) {
    const std::string list = printablePath(listName);
    if (comparison.differences.empty() && comparison.disagreements.empty()) return {"Same as " + list};
    std::vector<std::string> lines;
    if (!comparison.differences.empty()) {
        lines.push_back(counted(comparison.differences.size(), " address differs from ", " addresses differ from ") + list + ":");
        appendListed(lines, comparison.differences, [&](const Difference& d) {
            return addressText(d.address) + ": expected " + codeText(d.expected) + " (" + voltageText(state, d.expected) +
                   "), found " + codeText(d.found) + " (" + voltageText(state, d.found) + ")";
        });
    }
    if (!comparison.disagreements.empty()) {
        lines.push_back("The copies of the 8 KB image disagree at " +
                        counted(comparison.disagreements.size(), " address:", " addresses:"));
        appendListed(lines, comparison.disagreements, [](const CopyDisagreement& d) {
            std::string line = addressText(d.offset) + ": the copies hold";
            for (char code : d.copies) line += " " + codeText(static_cast<uint8_t>(code));
            return line;
        });
    }
    return lines;
}

std::variant<ChipCheck, Message> checkChip(TuningState& state, std::string_view startText, std::string_view endText,
                                           const Dump& dump, std::optional<int16_t> eprom, const std::string& dumpName,
                                           std::string_view listName) {
    auto chip = chipImageOf(dump, eprom);
    if (auto* problem = std::get_if<std::string>(&chip)) return dumpReadMessage(dumpName, *problem);
    const ChipImage& found = std::get<ChipImage>(chip);

    if (auto refused = fillerInputChecks(state, startText, endText)) return *refused;
    auto computed = computeCodes(state);
    if (auto* refused = std::get_if<Message>(&computed)) return *refused;
    selectEpromType(state, found.eprom);
    std::string expected = imageBytes(std::get<CodeRun>(computed).image, imageCopies(state));

    ChipComparison comparison = compareChip(expected, found.bytes);
    ChipCheck check;
    check.same = comparison.differences.empty() && comparison.disagreements.empty();
    check.lines = comparisonLines(comparison, state, listName);
    return check;
}

}  // namespace varidac
