#include "core/list_recovery.h"

#include "core/bcd_address.h"
#include "core/da_codes.h"
#include "core/number_text.h"
#include "core/tuning_list.h"
#include "core/tuning_state.h"

namespace varidac {
namespace {

std::size_t addressOf(int frequency) { return static_cast<std::size_t>(HexWaarde(static_cast<int16_t>(frequency))); }

// The code at `frequency`, when every copy holds the same one.
std::variant<uint8_t, std::string> codeAt(const ChipImage& chip, int frequency) {
    std::size_t offset = addressOf(frequency);
    char code = chip.bytes[offset];
    for (std::size_t at = offset + kImageSize; at < chip.bytes.size(); at += kImageSize) {
        if (chip.bytes[at] != code) {
            return "The copies of the 8 KB image disagree at " + hexDigits(offset, 4) + "H: read the chip again";
        }
    }
    return static_cast<uint8_t>(code);
}

}  // namespace

Message recoveryMessage(const std::string& dumpName, const std::string& problem) {
    return errorMessage({kSomethingWrong, "No tuning list can be recovered from " + printablePath(dumpName) + "  ", problem + "  "});
}

std::variant<RecoveredList, std::string> recoverList(const ChipImage& chip, double startVoltage, double voltageStep) {
    struct Alignment {
        int frequency;
        uint8_t code;
    };
    for (Alignment point : {Alignment{500, 0x00}, Alignment{1700, 0xFF}}) {
        auto code = codeAt(chip, point.frequency);
        if (auto* problem = std::get_if<std::string>(&code)) return *problem;
        if (std::get<uint8_t>(code) != point.code) {
            return hexDigits(addressOf(point.frequency), 4) + "H holds " + hexDigits(std::get<uint8_t>(code), 2) + "H, not " +
                   hexDigits(point.code, 2) + "H: this is not an image of a Varidac filler";
        }
    }
    std::string text;
    for (int frequency = 600; frequency <= 1600; frequency += 100) {
        auto code = codeAt(chip, frequency);
        if (auto* problem = std::get_if<std::string>(&code)) return *problem;
        text += std::to_string(frequency) + "," + plainNumberText(startVoltage + std::get<uint8_t>(code) * voltageStep) + "\r\n";
    }
    return RecoveredList{text};
}

std::variant<std::string, Message> recoverListFile(const std::string& dumpPath, std::optional<int16_t> eprom,
                                                   std::string_view startText, std::string_view endText,
                                                   const std::string& listPath, bool replaceExisting,
                                                   const FileSystemCalls& calls) {
    TuningState state;
    recomputeVoltages(state, startText, endText);
    // The same refusal as a filler run's: with a step this large every code
    // gives an infinite voltage, and the list would hold "INF".
    if (!stepShowable(state.VoltageStep)) return voltageTooLargeMessage();

    auto dump = readDumpFile(dumpPath);
    if (auto* refused = std::get_if<Message>(&dump)) return *refused;
    auto chip = chipImageOf(std::get<Dump>(dump), eprom);
    if (auto* problem = std::get_if<std::string>(&chip)) return dumpReadMessage(dumpPath, *problem);

    auto recovered = recoverList(std::get<ChipImage>(chip), state.StartVoltage, state.VoltageStep);
    if (auto* problem = std::get_if<std::string>(&recovered)) return recoveryMessage(dumpPath, *problem);
    const std::string& text = std::get<RecoveredList>(recovered).text;
    // Whatever the voltages, never write a list that this program cannot read.
    ListOrMessage readBack = parseTuningListText(text);
    if (auto* refused = std::get_if<Message>(&readBack)) {
        std::string problem = refused->lines.empty() ? std::string() : refused->lines.back();
        while (!problem.empty() && problem.back() == ' ') problem.pop_back();
        return recoveryMessage(dumpPath, "The list it gives would not read back (" + problem + "): check --start and --end");
    }
    WriteRules rules{{{dumpPath, "the chip dump"}}, replaceExisting};
    if (auto failed = writeOutputFiles({{listPath, text}}, calls, rules)) return *failed;
    return printablePath(listPath) + " is created.";
}

}  // namespace varidac
