#pragma once
// The tuning list: frequency,voltage records, read all-or-nothing.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/message.h"
#include "core/tuning_state.h"

namespace varidac {

// What one complete, checked list sets.
struct TuningList {
    std::array<std::optional<double>, kTableSize> voltages;  // used frequencies only, last record wins
    int16_t lastFreq = 0;
    double lastUvar = 0;
    std::size_t records = 0;
};

using ListOrMessage = std::variant<TuningList, Message>;

// Reads a list fed in chunks of any size. Fields are separated by commas or
// line ends (CR LF, LF or CR) and taken two at a time; blank lines and blanks
// around fields are accepted. Stops at the first problem, except while every
// line so far reads like "600,2,1": such a list was written with a comma as
// decimal sign, and that is only known once every line has been seen.
// Notepad saves lists as UTF-8 with a byte-order mark or as UTF-16 of
// either byte order with one: the mark is dropped and UTF-16 is read as the
// same text in UTF-8, so such a list reads exactly like its ASCII twin.
// Without a mark the bytes are taken as they are.
class TuningListParser {
public:
    void feed(std::string_view chunk);
    ListOrMessage finish();
    // The result no longer depends on what follows: feeding more is wasted.
    bool decided() const { return problem_.has_value() && !decimalCommas_; }

private:
    enum class Encoding { Undecided, Bytes, Utf16Le, Utf16Be };

    bool decideEncoding(bool atEnd);
    void feedBytes(std::string_view bytes);
    void feedUtf16(std::string_view bytes);
    void feedText(std::string_view text);
    void failEncoding(const std::string& what);
    void endField(bool lineEnds);
    void endLine();
    void noteShape(std::string_view text, bool lineEnds);
    void takeField(std::string_view text);
    void fail(Message message);
    void failAtLine(std::size_t line, const std::string& what);

    TuningList list_;
    std::optional<Message> problem_;
    std::string field_;
    bool lineHasContent_ = false;  // a comma or a non-blank seen on this line
    bool lastWasCr_ = false;
    std::size_t line_ = 1;
    std::optional<int16_t> pendingFreq_;
    std::size_t pendingLine_ = 0;

    // Every non-blank line so far has been three fields, the last two digits only.
    bool decimalCommas_ = true;
    std::size_t lineFields_ = 0;      // fields ended on the current line
    std::size_t firstRecordLine_ = 0;  // the first non-blank line, once it has ended in that form
    std::string firstRecordText_;      // its fields, blanks dropped, joined by commas

    Encoding encoding_ = Encoding::Undecided;
    std::string head_;              // the first bytes, until they tell the encoding
    int halfUnit_ = -1;             // the first byte of a UTF-16 unit whose second is still to come
    char16_t highSurrogate_ = 0;    // the first unit of a UTF-16 pair whose second is still to come
    std::string decoded_;           // UTF-16 of one chunk as UTF-8, kept to reuse its memory
};

ListOrMessage parseTuningListText(std::string_view text);

// The chosen path must hold no "*" and have at least 5 characters.
std::optional<Message> checkChosenPath(std::string_view chosenPath);

// A list file read whole and checked, not yet put into a state.
struct LoadedList {
    std::string path;
    std::string name;  // NameOnly of the path, taken before the file is opened
    TuningList list;
};

// What is read from a path that is not a regular file (a pipe, a device)
// before it is refused: such a source may never end.
constexpr std::size_t kMaxNonRegularListBytes = std::size_t{16} << 20;

std::variant<LoadedList, Message> loadTuningList(const std::string& path);

// Sets the path parts, the entries of UvarTable that the list has, Freq and Uvar.
void applyTuningList(TuningState& state, const LoadedList& loaded);

// Reads the list at `path` into the state: the path parts, UvarTable, Freq
// and Uvar change only when the whole file was read and passed the start
// check. Returns the message to show when it did not.
std::optional<Message> readTuningList(TuningState& state, const std::string& path);

// The used frequencies, 600 to 1600 kHz, that the list has no record for, ascending.
std::vector<int> missingFrequencies(const TuningList& list);

// "No record for 800, 900 kHz", as a list read refusal.
Message missingRecordsMessage(const std::vector<int>& missing);

// After `listName` was read over earlier lists without records for
// `missing`: which of those points keep the values of which list, as
// `sourceOf` (indexed like UvarTable) names them.
Message keptPointsMessage(const std::string& listName, const std::vector<int>& missing,
                          const std::array<std::string, kTableSize>& sourceOf);

// The 13 items of the D/A tune list, 500 to 1700 kHz.
std::vector<std::string> tuneListItems(const TuningState& state, std::string_view startText, std::string_view endText);

// The margin warnings after reading, end voltage first.
std::vector<Message> voltageWarnings(const TuningState& state, std::string_view startText, std::string_view endText);

Message badPathMessage();
Message badStartMessage();
Message listReadMessage(const std::string& problem);

}  // namespace varidac
