#pragma once
// Shows messages readably in test failures.
#include <ostream>

#include "core/message.h"

namespace varidac {

inline void PrintTo(const Message& message, std::ostream* os) {
    *os << '"' << message.title << "\" [" << (message.icon == MessageIcon::Error ? "error" : "information") << "]";
    for (const auto& line : message.lines) *os << " |" << line << '|';
}

}  // namespace varidac
