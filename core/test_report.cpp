#include "core/test_report.h"

#include <array>
#include <cmath>
#include <cstdio>

#include "core/number_text.h"
#include "util/file_names.h"

namespace varidac {
namespace {

constexpr std::size_t kZoneWidth = 14;
constexpr const char* kLineEnd = "\r\n";

std::string hexText(int16_t code) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    unsigned value = static_cast<uint16_t>(code);
    std::string out;
    do {
        out.insert(out.begin(), kDigits[value % 16]);
        value /= 16;
    } while (value != 0);
    return out;
}

double roundedToCents(double value) { return std::floor(value * 100 + 0.5) / 100; }

}  // namespace

std::string testReportPath(const TuningState& state) { return joinPath(state.pad, state.alleendenaam + "_test_DA.TXT"); }

namespace {

// Pads `line` with blanks to the next zone start. A field that ended exactly
// at a zone's last column is followed at the very next zone start.
void padToZone(std::string& line, std::size_t lineStart) {
    std::size_t column = line.size() - lineStart;
    line.append((kZoneWidth - column % kZoneWidth) % kZoneWidth, ' ');
}

}  // namespace

std::string printZones(const std::vector<std::string>& fields) {
    std::string line;
    for (const auto& field : fields) {
        padToZone(line, 0);
        line += field;
    }
    return line;
}

std::string testReportText(const TuningState& state, const std::vector<CodeRow>& rows, char decimalSign) {
    auto tuneUDa = [&](int16_t code) { return roundedToCents(code / 255.0 * state.RangeVoltage) + state.StartVoltage; };

    double step = roundedStep(state.VoltageStep);
    std::string stepDigits = numberText(step);
    if (!stepDigits.empty() && stepDigits[0] == ' ') stepDigits.erase(0, 1);

    std::vector<std::string> lines = {
        "Start voltage outside D/A range = " + numberText(state.StartVoltage) + " Volt",
        "Align D/A = 00H at 500.0 setting",
        " ",
        "End voltage outside D/A range = " + numberText(state.EndVoltage) + " Volt",
        "Align D/A = FFH at 1700.0 setting",
        " ",
        "Calculated 255 D/A steps = 0" + stepDigits + " Volt",
        "(required real voltage step per KHz recalculated for every 100 KHz range) ",
        "The total D/A voltage range = " + withDecimalSign(plainNumberText(state.RangeVoltage), decimalSign) + " Volt",
        " ",
        "Keep in mind that the INT( ) values are ROUNDED values ",
        " ",
        printZones({"frequency", "tune-U", "D/A code  ", "D/A code ", "tune-U"}),
        printZones({"         ", "required", "in INT(dec.)", "in INT(Hex) ", "D/A"}),
    };

    std::string out;
    out.reserve(66 * 1024);
    for (const auto& line : lines) {
        out += line;
        out += kLineEnd;
    }
    // Rows are appended in place: a run writes a thousand of them.
    auto tableField = [&](std::string& line, std::size_t lineStart, double value) {
        padToZone(line, lineStart);
        appendNumberText(line, value, decimalSign);
        line += ' ';
    };
    // Fields 3 to 5 depend on the code alone and start at a zone start, so
    // each code's tail of the row is made once and reused.
    std::array<std::string, 256> tails;
    auto tailOf = [&](int16_t code) -> const std::string& {
        std::string& tail = tails[static_cast<uint8_t>(code)];
        if (tail.empty()) {
            tableField(tail, 0, code);
            padToZone(tail, 0);
            tail += hexText(code);
            tableField(tail, 0, tuneUDa(code));
            tail += kLineEnd;
        }
        return tail;
    };
    for (const CodeRow& row : rows) {
        bool last = row.frequency == 1600;
        std::size_t lineStart = out.size();
        if (last) {
            out += " 1600";
        } else {
            tableField(out, lineStart, row.frequency);
        }
        tableField(out, lineStart, last ? state.UvarTable[16] : roundedToCents(row.offset) + state.StartVoltage);
        padToZone(out, lineStart);
        out += tailOf(row.code);
    }
    return out;
}

}  // namespace varidac
