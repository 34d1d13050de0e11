#include "core/image_file.h"

#include "util/file_names.h"

namespace varidac {

namespace {

std::string imageFileName(const TuningState& state, ImageFormat format) {
    return state.alleendenaam + "_" + state.epromtype + std::string(imageFileExtension(format));
}

}  // namespace

std::string imageFilePath(const TuningState& state, ImageFormat format) { return joinPath(state.pad, imageFileName(state, format)); }

int imageCopies(const TuningState& state) {
    if (state.eprom_64 == 1) return 1;
    if (state.eprom_128 == 1) return 2;
    if (state.eprom_256 == 1) return 4;
    if (state.eprom_512 == 1) return 8;
    return 0;
}

std::string imageBytes(const std::array<int16_t, kImageSize>& image, int copies) {
    if (copies <= 0) return {};
    std::string bytes(kImageSize, '\0');
    for (std::size_t i = 0; i < kImageSize; ++i) bytes[i] = static_cast<char>(static_cast<uint8_t>(image[i]));
    // Every copy is the same 8 KB: build one, then repeat it whole.
    bytes.reserve(kImageSize * static_cast<std::size_t>(copies));
    for (int copy = 1; copy < copies; ++copy) bytes.append(bytes.data(), kImageSize);
    return bytes;
}

Message noEpromTypeMessage() { return errorMessage({kSomethingWrong, "First select an EPROM type  "}); }

Message successMessage(const TuningState& state, ImageFormat format) {
    return Message{"Run OK!", MessageIcon::Information, {"Okido!  ", printablePath(imageFileName(state, format)) + " is created.  "}};
}

}  // namespace varidac
