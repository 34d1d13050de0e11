#pragma once
// The companion's options, each written once in a table: the parser, the
// usage lines and --help are all made from it.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/image_formats.h"
#include "core/tuning_state.h"

namespace varidac {

enum class CompanionMode { Fill, Check, Recover };
inline constexpr std::size_t kCompanionModes = 3;

// What the command line asks for once it has been read and found sound.
struct CompanionOptions {
    enum class Request { Run, Help, Version };
    Request request = Request::Run;
    CompanionMode mode = CompanionMode::Fill;
    std::string start{kStartupStartText};
    std::string end{kStartupEndText};
    std::optional<int16_t> eprom;  // unset: 27C64 for a fill, what the dump shows for --check and --recover
    ImageFormat format = ImageFormat::Binary;
    std::optional<std::string> plot;
    std::string dump;  // --check's or --recover's DUMP
    std::string list;  // LIST, or OUT.INF with --recover
    bool force = false;
};

// A value as the parser hands it on: `choice` is its place among the
// option's choices, when it has any.
struct OptionValue {
    std::string_view name;
    std::string text;
    std::size_t choice = 0;
};

enum class Use : std::uint8_t { No, May, Must };

struct CompanionOption {
    std::string_view name;
    std::array<std::string_view, 2> aliases;  // other spellings accepted, shown nowhere; empty ones are none
    std::string_view placeholder;  // names the value; empty for an option that takes none
    // The value as the first usage line spells it out; the later lines
    // refer back to it by the placeholder. Empty: the choices joined by
    // "|", or else the placeholder.
    std::string_view spelledValue;
    std::span<const std::string_view> choices;  // the only values accepted, if not empty
    std::string_view help;                      // what it selects; '\n' starts an indented line
    std::array<Use, kCompanionModes> use;       // in a fill, with --check, with --recover
    // Stores the value; returns what is wrong with it, if anything.
    std::optional<std::string> (*take)(CompanionOptions&, const OptionValue&);
};

std::span<const CompanionOption> companionOptions();

// The options, or the usage problem to print (without the program's name).
std::variant<CompanionOptions, std::string> parseCompanionArguments(const std::vector<std::string>& args);

// The usage lines, without a final line break.
std::string companionUsage();
std::string companionHelp();

}  // namespace varidac
