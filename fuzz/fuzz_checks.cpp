#include "fuzz_checks.h"

#include <array>

#include "core/tuning_list.h"

namespace varidac::fuzz {

void requireKnownListMessage(const Message& message, std::string_view listText) {
    requireReadable(message);
    if (message == badStartMessage()) return;
    require(message.title == "Error !" && message.icon == MessageIcon::Error, "a refusal is an error", message.text());
    require(message.lines.size() == 3 && message.lines[0] == kSomethingWrong &&
                message.lines[1] == "The INF input file could not be read  " && endsWith(message.lines[2], "  "),
            "a refusal says the list could not be read", message.text());
    std::string_view problem(message.lines[2]);
    problem.remove_suffix(2);
    if (problem == "The file holds no records") return;

    require(startsWith(problem, "Line "), "a problem names its line", message.text());
    problem.remove_prefix(5);
    std::size_t digits = problem.find(": ");
    require(digits != std::string_view::npos && digits > 0 && digits <= 20, "the line number ends in \": \"", message.text());
    std::size_t line = 0;
    for (char c : problem.substr(0, digits)) {
        require(c >= '0' && c <= '9', "the line number is digits", message.text());
        line = line * 10 + static_cast<std::size_t>(c - '0');
    }
    require(line >= 1 && line <= lineCount(listText), "the line named exists", message.text());
    std::string_view what = problem.substr(digits + 2);

    // A field as shown: at most 20 characters, then "..." when cut.
    auto shownField = [&](std::string_view field) {
        require(field.size() <= 23 && !field.empty(), "a field is shown short", message.text());
    };
    const std::array<std::string_view, 4> fixed = {"a field is longer than 1000 characters", "a field is empty",
                                                   "frequency without a voltage",
                                                   "the UTF-16 text ends in the middle of a character"};
    for (std::string_view f : fixed) {
        if (what == f) return;
    }
    const std::string_view surrogate = "the UTF-16 text has an unpaired surrogate U+";
    if (startsWith(what, surrogate)) {
        std::string_view unit = what.substr(surrogate.size());
        require(unit.size() == 4 && unit[0] == 'D' && unit.find_first_not_of("0123456789ABCDEF") == std::string_view::npos &&
                    unit[1] >= '8',
                "a surrogate is named as D800 to DFFF", message.text());
        return;
    }
    if (startsWith(what, "\"") && endsWith(what, "\" is not a number")) {
        shownField(what.substr(1, what.size() - 1 - std::string_view("\" is not a number").size()));
        return;
    }
    for (std::string_view tail : {std::string_view(" is outside -32768 to 32767"), std::string_view(" is not a whole number")}) {
        if (startsWith(what, "frequency ") && endsWith(what, tail)) {
            shownField(what.substr(10, what.size() - 10 - tail.size()));
            return;
        }
    }
    const std::string_view commaSign = " has a comma as decimal sign: write ";
    if (std::size_t at = what.find(commaSign); at != std::string_view::npos) {
        shownField(what.substr(0, at));
        shownField(what.substr(at + commaSign.size()));
        return;
    }
    if (startsWith(what, "voltage ") && endsWith(what, " is out of range")) {
        shownField(what.substr(8, what.size() - 8 - std::string_view(" is out of range").size()));
        return;
    }
    broken("a refusal names a known problem", message.text());
}

}  // namespace varidac::fuzz
