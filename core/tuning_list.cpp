#include "core/tuning_list.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <stdexcept>

#include "core/number_text.h"
#include "core/voltage_checks.h"
#include "os/os.h"
#include "util/file_names.h"

namespace varidac {
namespace {

// No number needs more; a longer field is refused instead of held in memory.
constexpr std::size_t kMaxFieldLength = 1000;

bool isBlank(char c) { return c == ' ' || c == '\t'; }

bool isUsedFrequency(int16_t freq) { return freq >= 600 && freq <= 1600 && freq % 100 == 0; }

// A field as it can be shown inside a message: printable ASCII, short.
std::string shown(std::string_view text) {
    constexpr std::size_t kShown = 20;
    std::string out;
    for (char c : text.substr(0, kShown)) out += (c >= 0x20 && c < 0x7f) ? c : '?';
    if (text.size() > kShown) out += "...";
    return out;
}

// A file name as it can be shown inside a message.
std::string shownName(std::string_view name) {
    constexpr std::size_t kShown = 60;
    std::string out;
    for (char c : name.substr(0, kShown)) out += (c >= 0x20 && c < 0x7f) ? c : '?';
    if (name.size() > kShown) out += "...";
    return out;
}

}  // namespace

Message badPathMessage() {
    return errorMessage({kSomethingWrong, "I don't like what you did !  ", "No empty parameters allowed !  "});
}

Message badStartMessage() {
    return errorMessage({kSomethingWrong, "The INF input file doesn't start the way it should  ", "Correct the INF file and reload  "});
}

Message listReadMessage(const std::string& problem) {
    return errorMessage({kSomethingWrong, "The INF input file could not be read  ", problem + "  "});
}

void TuningListParser::fail(Message message) {
    if (!problem_) problem_ = std::move(message);
}

void TuningListParser::failAtLine(std::size_t line, const std::string& what) {
    fail(listReadMessage("Line " + std::to_string(line) + ": " + what));
}

void TuningListParser::feed(std::string_view chunk) {
    for (char c : chunk) {
        if (decided()) return;
        if (c == '\n' && lastWasCr_) {
            lastWasCr_ = false;
            continue;
        }
        lastWasCr_ = c == '\r';
        if (c == '\r' || c == '\n') {
            endLine();
        } else if (c == ',') {
            lineHasContent_ = true;
            endField(false);
        } else if (field_.empty() && isBlank(c)) {
            continue;
        } else if (field_.size() < kMaxFieldLength) {
            lineHasContent_ = true;
            field_ += c;
        } else {
            // Refused here, not at the field's end: a list that never ends must not keep the reader.
            failAtLine(line_, "a field is longer than " + std::to_string(kMaxFieldLength) + " characters");
            decimalCommas_ = false;
        }
    }
}

void TuningListParser::endField(bool lineEnds) {
    std::size_t end = field_.size();
    while (end > 0 && isBlank(field_[end - 1])) --end;
    std::string_view text(field_.data(), end);
    if (decimalCommas_) noteShape(text, lineEnds);
    if (!problem_) {
        if (text.empty()) {
            failAtLine(line_, "a field is empty");
        } else {
            takeField(text);
        }
    }
    field_.clear();
}

void TuningListParser::noteShape(std::string_view text, bool lineEnds) {
    std::size_t index = lineFields_++;
    bool digitsOnly = !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
    bool fits = index == 0 ? !text.empty() : index <= 2 && digitsOnly;
    if (!fits || (lineEnds && index != 2)) {
        decimalCommas_ = false;
        firstRecordText_.clear();
        return;
    }
    if (firstRecordLine_ != 0) return;
    if (index > 0) firstRecordText_ += ',';
    firstRecordText_ += text;
    if (lineEnds) firstRecordLine_ = line_;
}

void TuningListParser::endLine() {
    if (lineHasContent_) endField(true);
    lineHasContent_ = false;
    lineFields_ = 0;
    ++line_;
}

void TuningListParser::takeField(std::string_view text) {
    std::optional<ParsedNumber> number = parseNumberField(text);
    if (!number) {
        failAtLine(line_, "\"" + shown(text) + "\" is not a number");
        return;
    }
    if (!pendingFreq_) {
        double f = number->value;
        if (number->outOfRange || f < -32768 || f > 32767) {
            failAtLine(line_, "frequency " + shown(text) + " is outside -32768 to 32767");
        } else if (f != std::floor(f)) {
            failAtLine(line_, "frequency " + shown(text) + " is not a whole number");
        } else {
            pendingFreq_ = static_cast<int16_t>(f);
            pendingLine_ = line_;
        }
        return;
    }
    if (number->outOfRange) {
        failAtLine(line_, "voltage " + shown(text) + " is out of range");
        return;
    }
    int16_t freq = *pendingFreq_;
    pendingFreq_.reset();
    if (list_.records == 0 && numberText(freq).substr(0, 4) != " 600") {
        fail(badStartMessage());
        return;
    }
    ++list_.records;
    list_.lastFreq = freq;
    list_.lastUvar = number->value;
    if (isUsedFrequency(freq)) list_.voltages[static_cast<std::size_t>(freq / 100)] = number->value;
}

ListOrMessage TuningListParser::finish() {
    if (!decided() && lineHasContent_) endField(true);
    if (decimalCommas_ && firstRecordLine_ != 0) {
        std::string corrected = firstRecordText_;
        corrected[corrected.rfind(',')] = '.';
        return listReadMessage("Line " + std::to_string(firstRecordLine_) + ": " + shown(firstRecordText_) +
                               " has a comma as decimal sign: write " + shown(corrected));
    }
    if (!problem_ && pendingFreq_) failAtLine(pendingLine_, "frequency without a voltage");
    if (!problem_ && list_.records == 0) fail(listReadMessage("The file holds no records"));
    if (problem_) return *problem_;
    return list_;
}

ListOrMessage parseTuningListText(std::string_view text) {
    TuningListParser parser;
    parser.feed(text);
    return parser.finish();
}

std::optional<Message> checkChosenPath(std::string_view chosenPath) {
    if (chosenPath.find('*') != std::string_view::npos || chosenPath.size() < 5) return badPathMessage();
    return std::nullopt;
}

std::variant<LoadedList, Message> loadTuningList(const std::string& path) {
    LoadedList loaded;
    loaded.path = path;
    try {
        loaded.name = NameOnly(path);
    } catch (const std::invalid_argument&) {
        return listReadMessage("The file name has no extension");
    }
    errno = 0;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(os::openForReading(path), &std::fclose);
    if (!file) return listReadMessage("It cannot be opened: " + os::errorText(errno));
    // A pipe or a device may never end; a regular file ends, however large.
    std::error_code error;
    bool regular = std::filesystem::is_regular_file(pathFromUtf8(path), error);
    TuningListParser parser;
    std::size_t total = 0;
    char buffer[1 << 16];
    while (!parser.decided()) {
        std::size_t n = std::fread(buffer, 1, sizeof buffer, file.get());
        if (n > 0) parser.feed(std::string_view(buffer, n));
        total += n;
        if (n < sizeof buffer) {
            if (std::ferror(file.get())) return listReadMessage("It cannot be read: " + os::errorText(errno));
            break;
        }
        if (!regular && total > kMaxNonRegularListBytes && !parser.decided()) {
            return listReadMessage("It is not a regular file and gives more than " +
                                   std::to_string(kMaxNonRegularListBytes >> 20) + " MB: save the list as a file and read that");
        }
    }
    ListOrMessage result = parser.finish();
    if (auto* message = std::get_if<Message>(&result)) return *message;
    loaded.list = std::get<TuningList>(result);
    return loaded;
}

void applyTuningList(TuningState& state, const LoadedList& loaded) {
    state.pad = PathOnly(loaded.path);
    state.alleendenaam = loaded.name;
    state.naamzonderpad = FileOnly(loaded.path);
    for (std::size_t i = 0; i < kTableSize; ++i) {
        if (loaded.list.voltages[i]) state.UvarTable[i] = *loaded.list.voltages[i];
    }
    state.Freq = loaded.list.lastFreq;
    state.Uvar = loaded.list.lastUvar;
}

std::optional<Message> readTuningList(TuningState& state, const std::string& path) {
    std::variant<LoadedList, Message> loaded = loadTuningList(path);
    if (auto* message = std::get_if<Message>(&loaded)) return *message;
    applyTuningList(state, std::get<LoadedList>(loaded));
    return std::nullopt;
}

std::vector<int> missingFrequencies(const TuningList& list) {
    std::vector<int> missing;
    for (int f = 600; f <= 1600; f += 100) {
        if (!list.voltages[static_cast<std::size_t>(f / 100)]) missing.push_back(f);
    }
    return missing;
}

namespace {

// "800, 900"
std::string frequencyList(const std::vector<int>& frequencies) {
    std::string text;
    for (std::size_t i = 0; i < frequencies.size(); ++i) {
        if (i > 0) text += ", ";
        text += std::to_string(frequencies[i]);
    }
    return text;
}

}  // namespace

Message missingRecordsMessage(const std::vector<int>& missing) {
    return listReadMessage("No record for " + frequencyList(missing) + " kHz");
}

Message keptPointsMessage(const std::string& listName, const std::vector<int>& missing,
                          const std::array<std::string, kTableSize>& sourceOf) {
    std::vector<std::string> lines = {kSomethingWrong, shownName(listName) + " has no record for " + frequencyList(missing) + " kHz  "};
    // One line per list the kept values come from, in the order of the points.
    std::vector<std::pair<std::string, std::vector<int>>> groups;
    for (int f : missing) {
        const std::string& source = sourceOf[static_cast<std::size_t>(f / 100)];
        auto group = std::find_if(groups.begin(), groups.end(), [&](const auto& g) { return g.first == source; });
        if (group == groups.end()) group = groups.insert(groups.end(), {source, {}});
        group->second.push_back(f);
    }
    for (const auto& [source, frequencies] : groups) {
        lines.push_back(frequencyList(frequencies) + " kHz " + (frequencies.size() == 1 ? "keeps" : "keep") + " the value" +
                        (frequencies.size() == 1 ? "" : "s") + " of " + shownName(source) + "  ");
    }
    lines.push_back("Correct the INF file and reload  ");
    return errorMessage(std::move(lines));
}

std::vector<std::string> tuneListItems(const TuningState& state, std::string_view startText, std::string_view endText) {
    std::vector<std::string> items;
    items.push_back("  500 ,  " + std::string(startText));
    for (int f = 600; f <= 1600; f += 100) {
        items.push_back("  " + std::to_string(f) + " , " + numberText(state.UvarTable[static_cast<std::size_t>(f / 100)]));
    }
    items.push_back("  1700 ,  " + std::string(endText));
    return items;
}

std::vector<Message> voltageWarnings(const TuningState& state, std::string_view startText, std::string_view endText) {
    std::vector<Message> warnings;
    if (auto m = checkEndVoltage(state, endText)) warnings.push_back(*m);
    if (auto m = checkStartVoltage(state, startText)) warnings.push_back(*m);
    return warnings;
}

}  // namespace varidac
