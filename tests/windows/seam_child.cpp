// The other process of the folder-lock and interrupt tests: it does one
// thing through the system seam, says "ready" on standard output and waits
// to be killed or interrupted.
//   seam_child lock FOLDER
//   seam_child plan FROM TO [FROM TO ...] -- REMOVAL ...
// A removal written +PATH is created first and kept open, as a temporary
// being written is.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "os/os.h"

int main(int argc, char** argv) {
    using namespace varidac;
    const std::vector<std::string> args = os::arguments(argc, argv);
    if (args.size() == 2 && args[0] == "lock") {
        if (os::lockFolder(args[1]) < 0) return 2;
    } else if (!args.empty() && args[0] == "plan") {
        os::InterruptPlan plan;
        std::size_t i = 1;
        for (; i + 1 < args.size() && args[i] != "--"; i += 2) plan.renames.emplace_back(args[i], args[i + 1]);
        if (i < args.size() && args[i] == "--") ++i;
        for (; i < args.size(); ++i) {
            const bool open = args[i][0] == '+';
            plan.removals.push_back(open ? args[i].substr(1) : args[i]);
            if (open && !os::createNew(plan.removals.back())) return 2;
        }
        os::prepareForInterrupts();
        os::setInterruptPlan(plan);
    } else {
        return 3;
    }
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
    Sleep(INFINITE);
}
