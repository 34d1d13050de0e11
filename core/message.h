#pragma once
// A message box as the user sees it: title, icon and the literal lines.
#include <string>
#include <string_view>
#include <vector>

namespace varidac {

enum class MessageIcon { Error, Information };

struct Message {
    std::string title;
    MessageIcon icon = MessageIcon::Error;
    std::vector<std::string> lines;

    // Each line followed by a lone carriage return, the last one included.
    std::string text() const;

    bool operator==(const Message&) const = default;
};

inline constexpr const char* kErrorTitle = "Error !";
inline constexpr const char* kSomethingWrong = "Something is wrong!  ";

Message errorMessage(std::vector<std::string> lines);

// A file name (or any text the user typed) as a message may show it: a
// terminal must never receive its control characters raw, since a name can
// hold an escape sequence. C0 controls and DEL become \x1B, C1 controls
// \u0085, a byte that is not part of valid UTF-8 \xFF (hex in upper case);
// everything else, valid UTF-8 of any alphabet, stays as it is.
std::string printablePath(std::string_view path);

// Text taken from a file's contents (a field of a list) as a message may
// show it: every byte that is not printable ASCII as <09>, <C3> (hex in
// upper case). The bytes are shown, not a guess at the characters they
// were meant to be: a list's encoding is what the user has to put right.
std::string printableBytes(std::string_view text);

// `value` as `digits` upper-case hex digits, leading zeros kept ("D800").
std::string upperHex(unsigned value, int digits);

}  // namespace varidac
