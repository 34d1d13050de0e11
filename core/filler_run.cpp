#include "core/filler_run.h"

#include <variant>

#include "core/image_file.h"
#include "core/test_report.h"
#include "util/file_names.h"

namespace varidac {

Message fillerRun(TuningState& state, std::string_view startText, std::string_view endText, char decimalSign,
                  const FileSystemCalls& calls) {
    return fillerRun(state, startText, endText, decimalSign, ImageFormat::Binary, calls);
}

Message fillerRun(TuningState& state, std::string_view startText, std::string_view endText, char decimalSign,
                  ImageFormat format, const FileSystemCalls& calls, const ExtraOutputs& extraOutputs) {
    if (auto refused = fillerInputChecks(state, startText, endText)) return *refused;
    int copies = imageCopies(state);
    if (copies == 0) return noEpromTypeMessage();

    std::variant<CodeRun, Message> computed = computeCodes(state);
    if (auto* refused = std::get_if<Message>(&computed)) return *refused;
    const CodeRun& run = std::get<CodeRun>(computed);
    state.EpromImage = run.image;
    state.Freq = 16;

    std::string image = imageBytes(state.EpromImage, copies);
    if (format != ImageFormat::Binary) image = imageFileContents(image, format);
    // Moved into place, never copied: the report and a large image are 64 KB
    // each, and copying them costs a run more than computing them.
    std::vector<OutputFile> outputs;
    outputs.reserve(2);
    outputs.push_back({testReportPath(state), testReportText(state, run.rows, decimalSign)});
    outputs.push_back({imageFilePath(state, format), std::move(image)});
    if (extraOutputs) {
        for (OutputFile& extra : extraOutputs(state, run)) outputs.push_back(std::move(extra));
    }
    // The list's own name could come back only through a hard link or a
    // --plot; no output may ever land on it.
    const WriteRules rules{{{joinPath(state.pad, state.naamzonderpad), "the tuning list"}}};
    if (auto failed = writeOutputFiles(outputs, calls, rules)) return *failed;
    return successMessage(state, format);
}

}  // namespace varidac
