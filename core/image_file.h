#pragma once
// The raw EPROM image file: the 8 KB image repeated to fill the device.
#include <array>
#include <cstdint>
#include <string>

#include "core/image_formats.h"
#include "core/message.h"
#include "core/tuning_state.h"

namespace varidac {

// NAME_TYPE.BIN, or .HEX / .S19 for the text forms.
std::string imageFilePath(const TuningState& state, ImageFormat format = ImageFormat::Binary);

// Copies of the 8 KB image for the first EPROM flag that equals 1, tested
// 27C64, 27C128, 27C256, 27C512; 0 when none is selected.
int imageCopies(const TuningState& state);

std::string imageBytes(const std::array<int16_t, kImageSize>& image, int copies);

Message noEpromTypeMessage();
Message successMessage(const TuningState& state, ImageFormat format = ImageFormat::Binary);

}  // namespace varidac
