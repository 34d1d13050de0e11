#include "app/companion_options.h"

#include <algorithm>

#include "core/message.h"

namespace varidac {
namespace {

// In the order of ImageFormat.
constexpr std::array<std::string_view, 3> kFormatNames = {"bin", "ihex", "srec"};

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

// An argument echoed in a usage error, quoted and made safe for a terminal.
std::string inQuotes(std::string_view argument) { return "\"" + printablePath(argument) + "\""; }

std::optional<std::string> voltageProblem(const OptionValue& value) {
    if (isTypableVoltage(value.text)) return std::nullopt;
    return std::string(value.name) + ": " + inQuotes(value.text) + " is not a voltage (digits with at most one \".\")";
}

// --check and --recover each name the one dump a run reads.
std::optional<std::string> takeDump(CompanionOptions& o, const OptionValue& v) {
    o.dump = v.text;
    return std::nullopt;
}

constexpr Use No = Use::No, May = Use::May, Must = Use::Must;

// Windows' own programs answer "/?" with their help, and users there try
// it first. Elsewhere it is a path like any other.
#ifdef _WIN32
constexpr std::string_view kSystemHelpSwitch = "/?";
#else
constexpr std::string_view kSystemHelpSwitch = "";
#endif

// In the order --help lists them. The checks of a mode go down the table
// too, so the first option a mode refuses is the one named.
constexpr std::array<CompanionOption, 10> kOptions = {{
    {"--start", {}, "TEXT", "", {}, "D/A output voltage at code 00H (default 1.50)", {May, May, Must},
     [](CompanionOptions& o, const OptionValue& v) {
         if (auto problem = voltageProblem(v)) return problem;
         o.start = v.text;
         return std::optional<std::string>();
     }},
    {"--end", {}, "TEXT", "", {}, "D/A output voltage at code FFH (default 12.00)", {May, May, Must},
     [](CompanionOptions& o, const OptionValue& v) {
         if (auto problem = voltageProblem(v)) return problem;
         o.end = v.text;
         return std::optional<std::string>();
     }},
    {"--eprom", {}, "TYPE", "", kEpromTypes, "27C64 (default), 27C128, 27C256 or 27C512", {May, May, May},
     [](CompanionOptions& o, const OptionValue& v) -> std::optional<std::string> {
         o.eprom = static_cast<int16_t>(v.choice);
         return std::nullopt;
     }},
    {"--format", {}, "FORM", "", kFormatNames,
     "the image as bin (NAME_TYPE.BIN, default), ihex (Intel HEX,\nNAME_TYPE.HEX) or srec (S-records, NAME_TYPE.S19)",
     {May, No, No},
     [](CompanionOptions& o, const OptionValue& v) -> std::optional<std::string> {
         o.format = static_cast<ImageFormat>(v.choice);
         return std::nullopt;
     }},
    {"--plot", {}, "FILE", "FILE.svg", {}, "also draw the tuning curve and the codes into FILE as SVG", {May, No, No},
     [](CompanionOptions& o, const OptionValue& v) -> std::optional<std::string> {
         if (v.text.empty()) return std::string(v.name) + " needs a file name";
         o.plot = v.text;
         return std::nullopt;
     }},
    {"--check", {}, "DUMP", "", {},
     "compare a chip's contents (raw 8 to 64 KB, Intel HEX or\nS-records) with the image LIST gives; writes nothing. The\n"
     "EPROM type follows from DUMP unless --eprom is given",
     {No, Must, No},
     takeDump},
    {"--recover", {}, "DUMP", "", {},
     "write the tuning list a chip holds to OUT.INF: the voltage\nof the code at 600, 700, ..., 1600 kHz. An existing\n"
     "OUT.INF is left alone unless --force is given",
     {No, No, Must},
     takeDump},
    {"--force", {}, "", "", {}, "with --recover: replace an existing OUT.INF (never DUMP)", {No, No, May},
     [](CompanionOptions& o, const OptionValue&) -> std::optional<std::string> {
         o.force = true;
         return std::nullopt;
     }},
    // These two end the reading at once, whatever else is given, and so
    // stand in no mode's usage line.
    {"--help", {"-h", kSystemHelpSwitch}, "", "", {}, "show this help and exit", {No, No, No},
     [](CompanionOptions& o, const OptionValue&) -> std::optional<std::string> {
         o.request = CompanionOptions::Request::Help;
         return std::nullopt;
     }},
    {"--version", {}, "", "", {}, "show the version and exit", {No, No, No},
     [](CompanionOptions& o, const OptionValue&) -> std::optional<std::string> {
         o.request = CompanionOptions::Request::Version;
         return std::nullopt;
     }},
}};

struct ModeSpec {
    std::string_view option;    // the option that selects it; none for a fill
    std::string_view scope;     // ends "--format applies only ..."
    std::string_view operand;   // what the one argument that is no option names
    std::string_view needsWhy;  // ends "--recover needs --start and --end, ..."
};

// In the order of CompanionMode.
constexpr std::array<ModeSpec, kCompanionModes> kModes = {{
    {"", "when writing an image", "LIST", ""},
    {"--check", "with --check", "LIST", ""},
    {"--recover", "with --recover", "OUT.INF", "the D/A voltages at 00H and FFH"},
}};

// Usage lines are folded before they pass this column.
constexpr std::size_t kUsageWidth = 120;

std::size_t indexOf(std::string_view name) {
    auto found = std::find_if(kOptions.begin(), kOptions.end(), [name](const CompanionOption& o) {
        return o.name == name || std::any_of(o.aliases.begin(), o.aliases.end(),
                                             [name](std::string_view alias) { return !alias.empty() && alias == name; });
    });
    return static_cast<std::size_t>(found - kOptions.begin());
}

template <typename Range, typename Part>
std::string joined(const Range& items, std::string_view separator, Part part) {
    std::string text;
    for (const auto& item : items) {
        if (!text.empty()) text += separator;
        text += part(item);
    }
    return text;
}

std::string joined(std::span<const std::string_view> items, std::string_view separator) {
    return joined(items, separator, [](std::string_view item) { return item; });
}

// The checks that need the whole command line: which mode, and whether
// the options given suit it.
std::optional<std::string> modeProblem(CompanionOptions& options, const std::array<bool, kOptions.size()>& given) {
    std::vector<std::size_t> chosen;
    for (std::size_t m = 0; m < kModes.size(); ++m) {
        if (!kModes[m].option.empty() && given[indexOf(kModes[m].option)]) chosen.push_back(m);
    }
    if (chosen.size() > 1) {
        return joined(chosen, " and ", [](std::size_t m) { return kModes[m].option; }) + " cannot be combined";
    }
    const std::size_t mode = chosen.empty() ? 0 : chosen.front();
    options.mode = static_cast<CompanionMode>(mode);
    for (std::size_t i = 0; i < kOptions.size(); ++i) {
        if (!given[i] || kOptions[i].use[mode] != Use::No) continue;
        std::vector<std::string_view> scopes;
        for (std::size_t m = 0; m < kModes.size(); ++m) {
            if (kOptions[i].use[m] != Use::No) scopes.push_back(kModes[m].scope);
        }
        return std::string(kOptions[i].name) + " applies only " + joined(scopes, " or ");
    }
    // One missing, the message names all the mode needs: they go together.
    std::vector<std::string_view> needed;
    bool missing = false;
    for (std::size_t i = 0; i < kOptions.size(); ++i) {
        if (kOptions[i].use[mode] != Use::Must || kOptions[i].name == kModes[mode].option) continue;
        needed.push_back(kOptions[i].name);
        missing = missing || !given[i];
    }
    if (!missing) return std::nullopt;
    return std::string(kModes[mode].option) + " needs " + joined(needed, " and ") + ", " + std::string(kModes[mode].needsWhy);
}

std::string valueInUsage(const CompanionOption& option, bool firstLine) {
    if (firstLine && !option.spelledValue.empty()) return std::string(option.spelledValue);
    if (firstLine && !option.choices.empty()) return joined(option.choices, "|");
    return std::string(option.placeholder);
}

}  // namespace

std::span<const CompanionOption> companionOptions() { return kOptions; }

std::variant<CompanionOptions, std::string> parseCompanionArguments(const std::vector<std::string>& args) {
    CompanionOptions options;
    std::array<bool, kOptions.size()> given{};
    bool listSeen = false;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        // A spelling of an option that does not start with "-" ("/?") is
        // taken as that option whole, never as a LIST.
        const bool looksLikeOption = (arg.size() >= 2 && arg[0] == '-') || indexOf(arg) < kOptions.size();
        if (optionsEnded || !looksLikeOption) {
            if (listSeen) return "only one LIST may be given";
            options.list = arg;
            listSeen = true;
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const std::size_t eq = arg.find('=');
        const std::string name = arg.substr(0, eq);
        std::optional<std::string> text;
        if (eq != std::string::npos) text = arg.substr(eq + 1);
        const std::size_t index = indexOf(name);
        if (index == kOptions.size()) return "unknown option " + printablePath(name);
        const CompanionOption& option = kOptions[index];
        if (option.placeholder.empty() && text) return name + " takes no value";
        if (!option.placeholder.empty() && !text) {
            if (i + 1 >= args.size()) return name + " needs a value";
            text = args[++i];
        }
        OptionValue value{option.name, text.value_or(""), 0};
        if (!option.choices.empty()) {
            auto choice = std::find(option.choices.begin(), option.choices.end(), value.text);
            if (choice == option.choices.end()) {
                return name + ": " + inQuotes(value.text) + " is not one of " + joined(option.choices, ", ");
            }
            value.choice = static_cast<std::size_t>(choice - option.choices.begin());
        }
        if (auto problem = option.take(options, value)) return *problem;
        given[index] = true;
        if (options.request != CompanionOptions::Request::Run) return options;
    }
    if (!listSeen) return "no LIST given";
    if (auto problem = modeProblem(options, given)) return *problem;
    return options;
}

std::string companionUsage() {
    std::string text;
    for (std::size_t m = 0; m < kModes.size(); ++m) {
        const ModeSpec& mode = kModes[m];
        std::string line = std::string(m == 0 ? "usage: " : "       ") + "varidac-fill";
        const std::size_t indent = line.size();
        std::vector<std::string> parts;
        if (!mode.option.empty()) {
            parts.push_back(std::string(mode.option) + " " + std::string(kOptions[indexOf(mode.option)].placeholder));
        }
        for (const CompanionOption& option : kOptions) {
            if (option.use[m] == Use::No || option.name == mode.option) continue;
            std::string part(option.name);
            if (!option.placeholder.empty()) part += " " + valueInUsage(option, m == 0);
            parts.push_back(option.use[m] == Use::May ? "[" + part + "]" : part);
        }
        parts.emplace_back(mode.operand);
        for (const std::string& part : parts) {
            if (line.size() + 1 + part.size() > kUsageWidth) {
                text += line + '\n';
                line = std::string(indent, ' ') + part;
            } else {
                line += " " + part;
            }
        }
        text += (m == 0 ? "" : "\n") + line;
    }
    return text;
}

std::string companionHelp() {
    std::size_t column = 0;
    for (const CompanionOption& option : kOptions) {
        column = std::max(column, option.name.size() + (option.placeholder.empty() ? 0 : 1 + option.placeholder.size()));
    }
    const std::string indent(2 + column + 1, ' ');
    std::string text = companionUsage() +
                       "\n\n"
                       "Reads a tuning list (frequency,voltage records from 600 to 1600 kHz) and writes\n"
                       "NAME_test_DA.TXT and NAME_TYPE.BIN beside it, NAME being the list's name\n"
                       "without its extension.\n\n";
    for (const CompanionOption& option : kOptions) {
        std::string line = "  " + std::string(option.name);
        if (!option.placeholder.empty()) line += " " + std::string(option.placeholder);
        line.resize(indent.size(), ' ');
        for (char c : option.help) line += c == '\n' ? "\n" + indent : std::string(1, c);
        text += line + '\n';
    }
    text +=
        "\nExamples:\n"
        "  varidac-fill --format ihex MYLIST.INF\n"
        "  varidac-fill --check CHIP.BIN --end 12.00 MYLIST.INF\n"
        "  varidac-fill --recover CHIP.HEX --start 1.50 --end 12.00 FOUND.INF\n\n"
        "Exit status: 0 the files were written, or --check found the chip the same;\n"
        "1 refused or unreadable input (the reason is printed); 2 wrong usage;\n"
        "3 --check found differences.\n";
    return text;
}

}  // namespace varidac
