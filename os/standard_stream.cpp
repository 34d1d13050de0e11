#include "os/standard_stream.h"

namespace varidac::os {
namespace {

// About a screenful: --help and a chip check's list go out in a few writes.
constexpr std::size_t kCollectAtMost = 4096;

}  // namespace

std::size_t wholeCharacters(std::string_view text) {
    // The last character starts at one of the last four bytes.
    for (std::size_t back = 1; back <= 4 && back <= text.size(); ++back) {
        const auto byte = static_cast<unsigned char>(text[text.size() - back]);
        if ((byte & 0xC0) == 0x80) continue;  // a continuation byte
        const std::size_t length = byte >= 0xF0 && byte <= 0xF4 ? 4 : byte >= 0xE0 && byte < 0xF0 ? 3 : byte >= 0xC2 && byte < 0xE0 ? 2 : 1;
        return length > back ? text.size() - back : text.size();
    }
    return text.size();
}

StandardStreamBuffer::~StandardStreamBuffer() { writeCollected(true); }

StandardStreamBuffer::int_type StandardStreamBuffer::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) return sync() == 0 ? traits_type::not_eof(c) : traits_type::eof();
    collected_ += traits_type::to_char_type(c);
    if (collected_.size() >= kCollectAtMost && !writeCollected(false)) return traits_type::eof();
    return c;
}

std::streamsize StandardStreamBuffer::xsputn(const char* text, std::streamsize count) {
    collected_.append(text, static_cast<std::size_t>(count));
    if (collected_.size() >= kCollectAtMost && !writeCollected(false)) return 0;
    return count;
}

int StandardStreamBuffer::sync() { return writeCollected(false) ? 0 : -1; }

bool StandardStreamBuffer::writeCollected(bool all) {
    const std::size_t whole = all ? collected_.size() : wholeCharacters(collected_);
    if (whole == 0) return true;
    const int written = writeStandard(stream_, std::string_view(collected_).substr(0, whole));
    // What could not be written is dropped: the stream is failed from now
    // on, and the same bytes would only fail again.
    collected_.erase(0, whole);
    return written == 0;
}

}  // namespace varidac::os
