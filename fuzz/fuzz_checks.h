#pragma once
// Property checks shared by the fuzz targets. A broken property aborts, and
// the fuzzer reports it like a crash, with the input that broke it.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/message.h"

namespace varidac::fuzz {

[[noreturn]] inline void broken(const char* property, const std::string& detail) {
    std::fprintf(stderr, "\n*** property broken: %s\n*** %s\n", property, detail.c_str());
    std::fflush(stderr);
    std::abort();
}

inline void require(bool holds, const char* property, const std::string& detail = {}) {
    if (!holds) broken(property, detail);
}

inline bool isPrintableAscii(std::string_view text) {
    for (char c : text) {
        if (c < 0x20 || c > 0x7e) return false;
    }
    return true;
}

inline bool startsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

inline bool endsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// A message a user can read: a title, at least one line, every line short
// printable ASCII.
inline void requireReadable(const Message& message) {
    require(!message.title.empty() && !message.lines.empty(), "a message has a title and lines", message.text());
    for (const auto& line : message.lines) {
        require(isPrintableAscii(line), "message lines are printable ASCII", message.text());
        require(line.size() <= 200, "message lines are short", message.text());
    }
}

// The number of lines of `text` (CR LF, LF or CR ending each), counting an
// unfinished last line.
inline std::size_t lineCount(std::string_view text) {
    std::size_t lines = 1;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))) ++lines;
    }
    return lines;
}

// Checks a refusal of the tuning-list reader: the bad start message, or
// "could not be read" with a problem from the reader's known list, naming a
// line that exists.
void requireKnownListMessage(const Message& message, std::string_view listText);

}  // namespace varidac::fuzz
