#include "core/message.h"

#include <utility>

namespace varidac {

std::string Message::text() const {
    std::string out;
    for (const auto& line : lines) {
        out += line;
        out += '\r';
    }
    return out;
}

Message errorMessage(std::vector<std::string> lines) {
    return Message{kErrorTitle, MessageIcon::Error, std::move(lines)};
}

}  // namespace varidac
