#pragma once
// "Start Filler": checks, codes, test report and image file, one message.
#include <string_view>

#include "core/image_formats.h"
#include "core/message.h"
#include "core/output_files.h"
#include "core/tuning_state.h"

namespace varidac {

// Runs the whole filler run on the state with the two voltage texts as they
// stand, and returns the message to show: the success message, or the error
// that stopped it (in which case no file was created or changed).
Message fillerRun(TuningState& state, std::string_view startText, std::string_view endText, char decimalSign,
                  const FileSystemCalls& calls = realFileSystemCalls());

// The same run writing the image in the given form (NAME_TYPE.HEX, .S19).
Message fillerRun(TuningState& state, std::string_view startText, std::string_view endText, char decimalSign,
                  ImageFormat format, const FileSystemCalls& calls = realFileSystemCalls());

}  // namespace varidac
