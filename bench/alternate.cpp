// Wall time of two commands run in alternation (A, B, A, B, ...), each run
// timed on its own from spawn to exit; prints the medians and the median of
// the per-pair ratios. Spawning directly keeps the timer's own cost out of a
// run of a few milliseconds.
// usage: alternate [--runs N] CMD_A ... --vs CMD_B ...
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

extern char** environ;

namespace {

double runOnce(const std::vector<char*>& argv) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        std::perror(argv[0]);
        std::exit(2);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    auto end = std::chrono::steady_clock::now();
    posix_spawn_file_actions_destroy(&actions);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s failed\n", argv[0]);
        std::exit(1);
    }
    return std::chrono::duration<double, std::milli>(end - start).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 300;
    int i = 1;
    if (i + 1 < argc && std::strcmp(argv[i], "--runs") == 0) {
        runs = std::atoi(argv[i + 1]);
        i += 2;
    }
    std::vector<char*> a, b;
    for (auto* current = &a; i < argc; ++i) {
        if (std::strcmp(argv[i], "--vs") == 0) current = &b;
        else current->push_back(argv[i]);
    }
    if (a.empty() || b.empty() || runs < 1) {
        std::fprintf(stderr, "usage: alternate [--runs N] CMD_A ... --vs CMD_B ...\n");
        return 2;
    }
    a.push_back(nullptr);
    b.push_back(nullptr);
    for (int w = 0; w < 10; ++w) runOnce(a), runOnce(b);
    std::vector<double> ta, tb, ratios;
    for (int r = 0; r < runs; ++r) {
        ta.push_back(runOnce(a));
        tb.push_back(runOnce(b));
        ratios.push_back(ta.back() / tb.back());
    }
    std::printf("A %.2f ms, B %.2f ms, ratio A/B %.3f\n", median(ta), median(tb), median(ratios));
    return 0;
}
