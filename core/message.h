#pragma once
// A message box as the user sees it: title, icon and the literal lines.
#include <string>
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

}  // namespace varidac
