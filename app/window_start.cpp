#include "app/window_start.h"

namespace varidac {

WindowStart windowStart(std::span<const std::string> args, bool slashHelp) {
    WindowStart start;
    bool optionsEnded = false;
    for (const std::string& arg : args) {
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && (arg == "--help" || arg == "-h" || (slashHelp && arg == "/?"))) {
            if (args.size() == 1) return {WindowStart::Kind::PrintHelp, {}, {}};
            return {WindowStart::Kind::WrongUsage, {}, arg + " stands alone"};
        } else if (!optionsEnded && arg == "--version") {
            if (args.size() == 1) return {WindowStart::Kind::PrintVersion, {}, {}};
            return {WindowStart::Kind::WrongUsage, {}, arg + " stands alone"};
        } else if (!optionsEnded && arg.size() > 1 && arg.front() == '-') {
            // A list whose name starts with "-" is still reachable after "--".
            return {WindowStart::Kind::WrongUsage, {}, "unknown option " + arg};
        } else {
            start.lists.push_back(arg);
        }
    }
    return start;
}

std::string windowUsage() {
    return "Usage: varidac [LIST]\n"
           "Opens the window; with LIST, reads that tuning list at start as \"Read File\" would.\n"
           "  -h, --help   print this help and end\n"
           "  --version    print the version and the licence and end\n";
}

}  // namespace varidac
