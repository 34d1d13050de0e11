#pragma once
// "Start Filler": checks, codes, test report and image file, one message.
#include <functional>
#include <string_view>
#include <vector>

#include "core/da_codes.h"
#include "core/image_formats.h"
#include "core/message.h"
#include "core/output_files.h"
#include "core/tuning_state.h"

namespace varidac {

// Further files made from a finished run, written together with the report
// and the image: all of them are new, or none is.
using ExtraOutputs = std::function<std::vector<OutputFile>(const TuningState&, const CodeRun&)>;

// Runs the whole filler run on the state with the two voltage texts as they
// stand, and returns the message to show: the success message, or the error
// that stopped it (in which case no file was created or changed).
Message fillerRun(TuningState& state, std::string_view startText, std::string_view endText, char decimalSign,
                  const FileSystemCalls& calls = realFileSystemCalls());

// The same run writing the image in the given form (NAME_TYPE.HEX, .S19),
// and any further files along with it.
Message fillerRun(TuningState& state, std::string_view startText, std::string_view endText, char decimalSign,
                  ImageFormat format, const FileSystemCalls& calls = realFileSystemCalls(), const ExtraOutputs& extraOutputs = {});

}  // namespace varidac
