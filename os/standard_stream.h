#pragma once
// Standard output and error as streams that print through
// os::writeStandard, for what std::cout and std::cerr do not: on Windows
// they hand a console the UTF-8 bytes, which it reads in its own code page.
#include <streambuf>
#include <string>
#include <string_view>

#include "os/os.h"

namespace varidac::os {

// Collects what is printed and writes it on a flush, and before that once
// there is more than a screenful. A character split between two flushes is
// held back until its last byte comes, so that each write ends on a whole
// one.
class StandardStreamBuffer : public std::streambuf {
public:
    explicit StandardStreamBuffer(StandardStream stream) : stream_(stream) {}
    ~StandardStreamBuffer() override;
    StandardStreamBuffer(const StandardStreamBuffer&) = delete;
    StandardStreamBuffer& operator=(const StandardStreamBuffer&) = delete;

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* text, std::streamsize count) override;
    int sync() override;

private:
    // Writes the whole characters collected, or all of it; false when the
    // system refused (errno set).
    bool writeCollected(bool all);

    StandardStream stream_;
    std::string collected_;
};

// How many bytes at the start of `text` make whole UTF-8 characters, when
// only the last one may be cut short; bytes that are no UTF-8 count as
// whole.
std::size_t wholeCharacters(std::string_view text);

}  // namespace varidac::os
