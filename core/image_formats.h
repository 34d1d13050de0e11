#pragma once
// The three forms an EPROM programmer takes an image in: raw bytes, Intel
// HEX and Motorola S-records. The text forms end every line with CR LF.
#include <string>
#include <string_view>

namespace varidac {

enum class ImageFormat { Binary, IntelHex, SRecord };

// ".BIN", ".HEX" or ".S19".
std::string_view imageFileExtension(ImageFormat format);

// The bytes in the given form. The text forms number addresses from 0 in
// 16 bits, so they hold at most 64 KB, the largest EPROM there is.
std::string imageFileContents(std::string_view bytes, ImageFormat format);

// Data records of 16 bytes, then the end record.
std::string intelHexText(std::string_view bytes);

// S1 records of 16 bytes, then an S9 end record.
std::string sRecordText(std::string_view bytes);

}  // namespace varidac
