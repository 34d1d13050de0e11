#include "app/companion.h"

#include <cerrno>
#include <filesystem>
#include <optional>
#include <variant>
#include <vector>

#include "app/companion_options.h"
#include "core/chip_check.h"
#include "core/curve_plot.h"
#include "core/dump_reader.h"
#include "core/filler_run.h"
#include "core/list_recovery.h"
#include "core/svg_writer.h"
#include "core/tuning_list.h"
#include "core/tuning_state.h"
#include "os/os.h"
#include "util/file_names.h"
#include "varidac_version.h"

namespace varidac {
namespace {

void printMessage(std::ostream& stream, const Message& message) {
    stream << message.title << '\n';
    for (const auto& line : message.lines) stream << line << '\n';
}

// Every refusal of a run that was asked for properly ends here.
int refuse(std::ostream& err, const Message& message) {
    printMessage(err, message);
    return 1;
}

// The list's path as the outputs are built from it: relative stays relative,
// since a current folder deeper than the system's limit for a whole path
// cannot be named absolutely. A bare name becomes "./NAME", as an empty
// folder would put the outputs at the root; a drive-relative "C:NAME" on
// Windows has no such form and is made absolute.
std::string listPathOf(const std::string& given) {
    if (given.find_first_of("\\/") != std::string::npos) return given;
    const std::filesystem::path path = pathFromUtf8(given);
    if (!path.has_root_name()) return joinPath(".", given);
    std::error_code ec;
    std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    return ec ? given : utf8FromPath(absolute);
}

// What was printed must have reached standard output: a full disk or a
// closed pipe there would otherwise pass as success. Files already written
// stay; the status says that the user did not see the result.
int finishOutput(std::ostream& out, std::ostream& err, int status, bool filesWritten) {
    errno = 0;
    out.flush();
    if (out) return status;
    int error = errno;
    err << "varidac-fill: standard output could not be written";
    if (error != 0) err << " (" << os::errorText(error) << ")";
    err << (filesWritten ? "; the files written are kept" : "") << '\n';
    return 1;
}

// The list read into a state set up with the voltages and type given, as
// a fill and a check both start; the refusal if the list will not do.
std::optional<Message> loadList(TuningState& state, const CompanionOptions& options) {
    loadStartupValues(state);
    recomputeVoltages(state, options.start, options.end);
    selectEpromType(state, options.eprom.value_or(0));
    std::variant<LoadedList, Message> loaded = loadTuningList(listPathOf(options.list));
    if (auto* refused = std::get_if<Message>(&loaded)) return *refused;
    // Starting empty, the companion has no earlier list to take missing
    // points from: they would be 0 V, and the codes nonsense.
    if (std::vector<int> missing = missingFrequencies(std::get<LoadedList>(loaded).list); !missing.empty()) {
        return missingRecordsMessage(missing);
    }
    applyTuningList(state, std::get<LoadedList>(loaded));
    return std::nullopt;
}

int runFill(const CompanionOptions& options, std::ostream& out, std::ostream& err) {
    TuningState state;
    if (auto refused = loadList(state, options)) return refuse(err, *refused);
    ExtraOutputs plot;
    if (options.plot) {
        plot = [&options](const TuningState& filled, const CodeRun& run) {
            Drawing drawing = curvePlot(CurvePlotInput{filled, true, &run.image, nullptr, std::nullopt, {}, std::nullopt});
            return std::vector<OutputFile>{{*options.plot, svgDocument(drawing)}};
        };
    }
    Message result = fillerRun(state, options.start, options.end, os::regionalDecimalSign(), options.format, realFileSystemCalls(), plot);
    if (result.icon != MessageIcon::Information) return refuse(err, result);
    printMessage(out, result);
    return finishOutput(out, err, 0, true);
}

int runCheck(const CompanionOptions& options, std::ostream& out, std::ostream& err) {
    TuningState state;
    if (auto refused = loadList(state, options)) return refuse(err, *refused);
    auto dump = readDumpFile(options.dump);
    if (auto* refused = std::get_if<Message>(&dump)) return refuse(err, *refused);
    auto checked = checkChip(state, options.start, options.end, std::get<Dump>(dump), options.eprom, options.dump, options.list);
    if (auto* refused = std::get_if<Message>(&checked)) return refuse(err, *refused);
    for (const auto& line : std::get<ChipCheck>(checked).lines) out << line << '\n';
    return finishOutput(out, err, std::get<ChipCheck>(checked).same ? 0 : 3, false);
}

int runRecover(const CompanionOptions& options, std::ostream& out, std::ostream& err) {
    auto recovered = recoverListFile(options.dump, options.eprom, options.start, options.end, options.list, options.force);
    if (auto* refused = std::get_if<Message>(&recovered)) return refuse(err, *refused);
    out << std::get<std::string>(recovered) << '\n';
    return finishOutput(out, err, 0, true);
}

}  // namespace

int runCompanion(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    auto parsed = parseCompanionArguments(args);
    if (auto* problem = std::get_if<std::string>(&parsed)) {
        err << "varidac-fill: " << *problem << '\n' << companionUsage() << '\n';
        return 2;
    }
    const CompanionOptions& options = std::get<CompanionOptions>(parsed);
    switch (options.request) {
        case CompanionOptions::Request::Help:
            out << companionHelp();
            return finishOutput(out, err, 0, false);
        case CompanionOptions::Request::Version:
            out << "varidac-fill " << VARIDAC_VERSION << '\n' << VARIDAC_LICENSE_NOTICE;
            return finishOutput(out, err, 0, false);
        case CompanionOptions::Request::Run:
            break;
    }
    switch (options.mode) {
        case CompanionMode::Check:
            return runCheck(options, out, err);
        case CompanionMode::Recover:
            return runRecover(options, out, err);
        case CompanionMode::Fill:
            break;
    }
    return runFill(options, out, err);
}

}  // namespace varidac
