#include "app/companion.h"

#include <array>
#include <cerrno>
#include <filesystem>
#include <optional>
#include <string_view>
#include <variant>
#include <vector>

#include "core/chip_check.h"
#include "core/curve_plot.h"
#include "core/dump_reader.h"
#include "core/filler_run.h"
#include "core/list_recovery.h"
#include "core/number_text.h"
#include "core/svg_writer.h"
#include "core/tuning_list.h"
#include "core/tuning_state.h"
#include "os/os.h"
#include "util/file_names.h"
#include "varidac_version.h"

namespace varidac {
namespace {

constexpr const char* kUsage =
    "usage: varidac-fill [--start TEXT] [--end TEXT] [--eprom 27C64|27C128|27C256|27C512] [--format bin|ihex|srec]\n"
    "                   [--plot FILE.svg] LIST\n"
    "       varidac-fill --check DUMP [--start TEXT] [--end TEXT] [--eprom TYPE] LIST\n"
    "       varidac-fill --recover DUMP --start TEXT --end TEXT [--eprom TYPE] [--force] OUT.INF";

// In the order of ImageFormat.
constexpr std::array<std::string_view, 3> kFormatNames = {"bin", "ihex", "srec"};

struct Options {
    std::string start{kStartupStartText};
    std::string end{kStartupEndText};
    int16_t eprom = 0;
    std::string list;
    bool startGiven = false, endGiven = false, epromGiven = false, formatGiven = false, force = false;
    ImageFormat format = ImageFormat::Binary;
    std::optional<std::string> checkDump;
    std::optional<std::string> recoverDump;
    std::optional<std::string> plot;
};

// A voltage as the usage rule allows it: digits, at most one ".", at least
// one digit. The window's key filter lets more through (any number of
// points, or none and no digit, which the window reads as 1.2 or 0); the
// companion refuses such text on purpose rather than guess what was meant.
bool isTypableVoltage(std::string_view text) {
    int points = 0, digits = 0;
    for (char c : text) {
        if (c == '.') {
            ++points;
        } else if (c >= '0' && c <= '9') {
            ++digits;
        } else {
            return false;
        }
    }
    return digits > 0 && points <= 1;
}

void printMessage(std::ostream& stream, const Message& message) {
    stream << message.title << '\n';
    for (const auto& line : message.lines) stream << line << '\n';
}

void printHelp(std::ostream& out) {
    out << kUsage << "\n\n"
        << "Reads a tuning list (frequency,voltage records from 600 to 1600 kHz) and writes\n"
        << "NAME_test_DA.TXT and NAME_TYPE.BIN beside it, NAME being the list's name\n"
        << "without its extension.\n\n"
        << "  --start TEXT   D/A output voltage at code 00H (default 1.50)\n"
        << "  --end TEXT     D/A output voltage at code FFH (default 12.00)\n"
        << "  --eprom TYPE   27C64 (default), 27C128, 27C256 or 27C512\n"
        << "  --format FORM  the image as bin (NAME_TYPE.BIN, default), ihex (Intel HEX,\n"
        << "                 NAME_TYPE.HEX) or srec (S-records, NAME_TYPE.S19)\n"
        << "  --plot FILE    also draw the tuning curve and the codes into FILE as SVG\n"
        << "  --check DUMP   compare a chip's contents (raw 8 to 64 KB, Intel HEX or\n"
        << "                 S-records) with the image LIST gives; writes nothing. The\n"
        << "                 EPROM type follows from DUMP unless --eprom is given\n"
        << "  --recover DUMP write the tuning list a chip holds to OUT.INF: the voltage\n"
        << "                 of the code at 600, 700, ..., 1600 kHz. An existing\n"
        << "                 OUT.INF is left alone unless --force is given\n"
        << "  --force        with --recover: replace an existing OUT.INF (never DUMP)\n"
        << "  --help         show this help and exit\n"
        << "  --version      show the version and exit\n\n"
        << "Examples:\n"
        << "  varidac-fill --format ihex MYLIST.INF\n"
        << "  varidac-fill --check CHIP.BIN --end 12.00 MYLIST.INF\n"
        << "  varidac-fill --recover CHIP.HEX --start 1.50 --end 12.00 FOUND.INF\n\n"
        << "Exit status: 0 the files were written, or --check found the chip the same;\n"
        << "1 refused or unreadable input (the reason is printed); 2 wrong usage;\n"
        << "3 --check found differences.\n";
}

int usageError(std::ostream& err, const std::string& problem) {
    err << "varidac-fill: " << problem << '\n' << kUsage << '\n';
    return 2;
}

// An argument echoed in a usage error, quoted and made safe for a terminal.
std::string inQuotes(std::string_view argument) { return "\"" + printablePath(argument) + "\""; }

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

}  // namespace

int runCompanion(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    Options options;
    bool listSeen = false;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        if (!optionsEnded && (arg == "--help" || arg == "-h")) {
            printHelp(out);
            return finishOutput(out, err, 0, false);
        }
        if (!optionsEnded && arg == "--version") {
            out << "varidac-fill " << VARIDAC_VERSION << '\n' << VARIDAC_LICENSE_NOTICE;
            return finishOutput(out, err, 0, false);
        }
        if (!optionsEnded && arg == "--force") {
            options.force = true;
            continue;
        }
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            std::string name = arg;
            std::optional<std::string> value;
            if (auto eq = arg.find('='); eq != std::string::npos) {
                name = arg.substr(0, eq);
                value = arg.substr(eq + 1);
            }
            if (name == "--force") return usageError(err, "--force takes no value");
            if (name != "--start" && name != "--end" && name != "--eprom" && name != "--format" && name != "--check" &&
                name != "--recover" && name != "--plot") {
                return usageError(err, "unknown option " + printablePath(name));
            }
            if (!value) {
                if (i + 1 >= args.size()) return usageError(err, name + " needs a value");
                value = args[++i];
            }
            if (name == "--eprom") {
                bool known = false;
                for (std::size_t t = 0; t < kEpromTypes.size(); ++t) {
                    if (*value == kEpromTypes[t]) {
                        options.eprom = static_cast<int16_t>(t);
                        known = true;
                    }
                }
                if (!known) return usageError(err, "--eprom: " + inQuotes(*value) + " is not one of 27C64, 27C128, 27C256, 27C512");
                options.epromGiven = true;
            } else if (name == "--format") {
                std::size_t f = 0;
                while (f < kFormatNames.size() && *value != kFormatNames[f]) ++f;
                if (f == kFormatNames.size()) return usageError(err, "--format: " + inQuotes(*value) + " is not one of bin, ihex, srec");
                options.format = static_cast<ImageFormat>(f);
                options.formatGiven = true;
            } else if (name == "--plot") {
                if (value->empty()) return usageError(err, "--plot needs a file name");
                options.plot = *value;
            } else if (name == "--check" || name == "--recover") {
                (name == "--check" ? options.checkDump : options.recoverDump) = *value;
            } else {
                if (!isTypableVoltage(*value)) {
                    return usageError(err, name + ": " + inQuotes(*value) + " is not a voltage (digits with at most one \".\")");
                }
                (name == "--start" ? options.start : options.end) = *value;
                (name == "--start" ? options.startGiven : options.endGiven) = true;
            }
            continue;
        }
        if (listSeen) return usageError(err, "only one LIST may be given");
        options.list = arg;
        listSeen = true;
    }
    if (!listSeen) return usageError(err, "no LIST given");
    if (options.checkDump && options.recoverDump) return usageError(err, "--check and --recover cannot be combined");
    if (options.formatGiven && (options.checkDump || options.recoverDump)) {
        return usageError(err, "--format applies only when writing an image");
    }
    if (options.plot && (options.checkDump || options.recoverDump)) return usageError(err, "--plot applies only when writing an image");
    if (options.force && !options.recoverDump) return usageError(err, "--force applies only with --recover");
    std::optional<int16_t> epromGiven;
    if (options.epromGiven) epromGiven = options.eprom;
    if (options.recoverDump) {
        if (!options.startGiven || !options.endGiven) {
            return usageError(err, "--recover needs --start and --end, the D/A voltages at 00H and FFH");
        }
        auto recovered = recoverListFile(*options.recoverDump, epromGiven, options.start, options.end, options.list, options.force);
        if (auto* refused = std::get_if<Message>(&recovered)) {
            printMessage(err, *refused);
            return 1;
        }
        out << std::get<std::string>(recovered) << '\n';
        return finishOutput(out, err, 0, true);
    }

    TuningState state;
    loadStartupValues(state);
    recomputeVoltages(state, options.start, options.end);
    selectEpromType(state, options.eprom);

    std::variant<LoadedList, Message> loaded = loadTuningList(listPathOf(options.list));
    if (auto* refused = std::get_if<Message>(&loaded)) {
        printMessage(err, *refused);
        return 1;
    }
    // Starting empty, the companion has no earlier list to take missing
    // points from: they would be 0 V, and the codes nonsense.
    if (std::vector<int> missing = missingFrequencies(std::get<LoadedList>(loaded).list); !missing.empty()) {
        printMessage(err, missingRecordsMessage(missing));
        return 1;
    }
    applyTuningList(state, std::get<LoadedList>(loaded));
    if (options.checkDump) {
        auto dump = readDumpFile(*options.checkDump);
        if (auto* refused = std::get_if<Message>(&dump)) {
            printMessage(err, *refused);
            return 1;
        }
        auto checked = checkChip(state, options.start, options.end, std::get<Dump>(dump), epromGiven, *options.checkDump, options.list);
        if (auto* refused = std::get_if<Message>(&checked)) {
            printMessage(err, *refused);
            return 1;
        }
        for (const auto& line : std::get<ChipCheck>(checked).lines) out << line << '\n';
        return finishOutput(out, err, std::get<ChipCheck>(checked).same ? 0 : 3, false);
    }
    ExtraOutputs plot;
    if (options.plot) {
        plot = [&options](const TuningState& filled, const CodeRun& run) {
            Drawing drawing = curvePlot(CurvePlotInput{filled, true, &run.image});
            return std::vector<OutputFile>{{*options.plot, svgDocument(drawing)}};
        };
    }
    Message result = fillerRun(state, options.start, options.end, os::regionalDecimalSign(), options.format, realFileSystemCalls(), plot);
    if (result.icon == MessageIcon::Information) {
        printMessage(out, result);
        return finishOutput(out, err, 0, true);
    }
    printMessage(err, result);
    return 1;
}

}  // namespace varidac
