#include "core/tuning_list.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <utility>

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

// A field as it can be shown inside a message: each byte that is not
// printable ASCII as <09>, so that a tab or a stray encoding can be told from
// what it looks like; cut after 20 characters as shown, never inside <09>,
// so that a message stays a line however odd the field.
std::string shown(std::string_view text) {
    constexpr std::size_t kShown = 20;
    std::string out;
    for (std::size_t at = 0; at < text.size(); ++at) {
        std::string byte = printableBytes(text.substr(at, 1));
        if (out.size() + byte.size() > kShown) return out + "...";
        out += byte;
    }
    return out;
}

// A file name as it can be shown inside a message: as every other message
// shows a name (letters of any alphabet as they are), cut short, though
// never inside a character.
std::string shownName(std::string_view name) {
    constexpr std::size_t kShown = 60;
    if (name.size() <= kShown) return printablePath(name);
    std::size_t cut = kShown;
    auto continues = [&](std::size_t at) { return (static_cast<unsigned char>(name[at]) & 0xC0) == 0x80; };
    // A UTF-8 character is at most 4 bytes: a longer run of continuation bytes is no character to keep whole.
    for (int back = 0; back < 3 && cut > 0 && continues(cut); ++back) --cut;
    return printablePath(name.substr(0, cut)) + "...";
}

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool isHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

std::string unpairedSurrogate(char16_t unit) { return "the UTF-16 text has an unpaired surrogate U+" + upperHex(unit, 4); }

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

// An encoding problem ends the reading at once: nothing after it can make
// the list readable, not even a later line with a decimal comma.
void TuningListParser::failEncoding(const std::string& what) {
    failAtLine(line_, what);
    decimalCommas_ = false;
}

// Takes the encoding from the byte-order mark at the start of head_ and
// drops the mark. False while head_ could still be the start of a mark.
bool TuningListParser::decideEncoding(bool atEnd) {
    const std::pair<std::string_view, Encoding> marks[] = {
        {kUtf8Mark, Encoding::Bytes}, {kUtf16LeMark, Encoding::Utf16Le}, {kUtf16BeMark, Encoding::Utf16Be}};
    for (const auto& [mark, encoding] : marks) {
        if (std::string_view(head_).substr(0, mark.size()) == mark) {
            encoding_ = encoding;
            head_.erase(0, mark.size());
            return true;
        }
        if (!atEnd && mark.substr(0, head_.size()) == head_) return false;
    }
    encoding_ = Encoding::Bytes;
    return true;
}

void TuningListParser::feed(std::string_view chunk) {
    if (decided()) return;
    if (encoding_ == Encoding::Undecided) {
        // The mark may arrive a byte at a time: the first bytes wait until they tell.
        std::size_t wanted = kUtf8Mark.size() - head_.size();
        head_.append(chunk.substr(0, wanted));
        chunk.remove_prefix(std::min(wanted, chunk.size()));
        if (!decideEncoding(false)) return;
        std::string afterMark = std::move(head_);
        head_.clear();
        feedBytes(afterMark);
    }
    feedBytes(chunk);
}

// The bytes after the mark, in the encoding it gave.
void TuningListParser::feedBytes(std::string_view bytes) {
    if (encoding_ == Encoding::Bytes) {
        feedText(bytes);
    } else {
        feedUtf16(bytes);
    }
}

void TuningListParser::feedUtf16(std::string_view bytes) {
    decoded_.clear();
    for (char c : bytes) {
        auto byte = static_cast<unsigned char>(c);
        if (halfUnit_ < 0) {
            halfUnit_ = byte;
            continue;
        }
        auto first = static_cast<unsigned>(halfUnit_);
        halfUnit_ = -1;
        auto unit = static_cast<char16_t>(encoding_ == Encoding::Utf16Le ? first | (byte << 8u) : (first << 8u) | byte);
        if (highSurrogate_ != 0) {
            char16_t high = highSurrogate_;
            highSurrogate_ = 0;
            if (isLowSurrogate(unit)) {
                appendUtf8(decoded_, 0x10000 + ((char32_t{high} - 0xD800) << 10) + (char32_t{unit} - 0xDC00));
                continue;
            }
            // The text before the problem first, so that its line is counted.
            feedText(decoded_);
            failEncoding(unpairedSurrogate(high));
            return;
        }
        if (isHighSurrogate(unit)) {
            highSurrogate_ = unit;
        } else if (isLowSurrogate(unit)) {
            feedText(decoded_);
            failEncoding(unpairedSurrogate(unit));
            return;
        } else {
            appendUtf8(decoded_, unit);
        }
    }
    feedText(decoded_);
}

// The list's text: its own bytes, or UTF-8 decoded from UTF-16.
void TuningListParser::feedText(std::string_view text) {
    for (char c : text) {
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
    if (encoding_ == Encoding::Undecided) {
        // Fewer bytes than a mark, or the start of one and no more.
        decideEncoding(true);
        std::string bytes = std::move(head_);
        head_.clear();
        feedBytes(bytes);
    }
    if (!decided() && halfUnit_ >= 0) {
        failEncoding("the UTF-16 text ends in the middle of a character");
    } else if (!decided() && highSurrogate_ != 0) {
        failEncoding(unpairedSurrogate(highSurrogate_));
    }
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
