#include "fault_support.h"

#include <fcntl.h>
#include <grp.h>
#include <linux/fs.h>
#include <pwd.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include "core/tuning_list.h"

namespace varidac::fault {
namespace fs = std::filesystem;

const char* const kExampleList =
    "600,2.1\r\n650,2.35\r\n700,2.6\r\n800,3.2\r\n900,3.9\r\n1000,4.7\r\n"
    "1100,5.6\r\n1200,6.6\r\n1300,7.7\r\n1400,8.9\r\n1500,10.2\r\n1600,11.5\r\n";

namespace {

double now() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

std::string readAll(int fd) {
    std::string out;
    if (lseek(fd, 0, SEEK_SET) != 0) return out;
    char buffer[4096];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0) break;
        out.append(buffer, static_cast<std::size_t>(n));
    }
    return out;
}

// An unnamed temporary file for a child's output.
int captureFile() {
    std::string pattern = (fs::temp_directory_path() / "varidac-out-XXXXXX").string();
    int fd = mkstemp(pattern.data());
    if (fd < 0) throw std::runtime_error("mkstemp: " + std::string(std::strerror(errno)));
    unlink(pattern.c_str());
    return fd;
}

void clearFlagsAndOpen(const fs::path& root) {
    std::error_code ec;
    fs::permissions(root, fs::perms::owner_all, fs::perm_options::add, ec);
    for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        std::error_code ignored;
        if (it->is_regular_file(ignored)) setImmutable(it->path().string(), false);
        if (!it->is_symlink(ignored)) fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
}

}  // namespace

std::optional<std::string> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

std::set<std::string> namesIn(const std::string& folder) {
    std::set<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) names.insert(entry.path().filename().string());
    return names;
}

ScratchFolder::ScratchFolder() {
    std::string pattern = (fs::temp_directory_path() / "varidac-fault-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp: " + std::string(std::strerror(errno)));
    path_ = pattern;
    // Readable and searchable by the unprivileged user of the permission tests.
    chmod(path_.c_str(), 0755);
}

ScratchFolder::~ScratchFolder() {
    clearFlagsAndOpen(path_);
    std::error_code ec;
    fs::remove_all(path_, ec);
}

std::string ScratchFolder::file(std::string_view name) const { return (fs::path(path_) / name).string(); }

bool setImmutable(const std::string& path, bool on) {
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    int flags = 0;
    bool done = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        done = ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    close(fd);
    return done;
}

Child Child::run(const std::function<int()>& body) {
    Child child;
    child.outFd_ = captureFile();
    child.errFd_ = captureFile();
    std::fflush(nullptr);
    child.startedAt_ = now();
    child.pid_ = fork();
    if (child.pid_ < 0) throw std::runtime_error("fork: " + std::string(std::strerror(errno)));
    if (child.pid_ == 0) {
        dup2(child.outFd_, STDOUT_FILENO);
        dup2(child.errFd_, STDERR_FILENO);
        int status = 125;
        try {
            status = body();
        } catch (const std::exception& e) {
            std::fprintf(stderr, "exception: %s\n", e.what());
        }
        std::fflush(nullptr);
        _exit(status);
    }
    return child;
}

Child Child::companion(const std::vector<std::string>& args, const std::function<void()>& prepare, const std::string& program) {
    return run([&]() {
        if (prepare) prepare();
        std::vector<char*> argv;
        std::string name = program;
        argv.push_back(name.data());
        std::vector<std::string> copies(args);
        for (auto& a : copies) argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        std::fprintf(stderr, "exec %s: %s\n", program.c_str(), std::strerror(errno));
        return 126;
    });
}

ChildResult Child::wait() {
    ChildResult result;
    int status = 0;
    struct rusage usage {};
    pid_t waited;
    do {
        waited = wait4(pid_, &status, 0, &usage);
    } while (waited < 0 && errno == EINTR);
    result.seconds = now() - startedAt_;
    if (waited == pid_) {
        result.exited = WIFEXITED(status);
        result.status = result.exited ? WEXITSTATUS(status) : -1;
        result.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
        result.maxRssKb = usage.ru_maxrss;
    }
    result.out = readAll(outFd_);
    result.err = readAll(errFd_);
    close(outFd_);
    close(errFd_);
    return result;
}

bool becomeNobody() {
    if (geteuid() != 0) return false;
    uid_t uid = 65534;
    gid_t gid = 65534;
    if (const passwd* pw = getpwnam("nobody")) {
        uid = pw->pw_uid;
        gid = pw->pw_gid;
    }
    return setgroups(0, nullptr) == 0 && setgid(gid) == 0 && setuid(uid) == 0;
}

std::string printed(const Message& message) {
    std::string out = message.title + "\n";
    for (const auto& line : message.lines) out += line + "\n";
    return out;
}

TuningState stateWithList(const std::string& listPath, int type) {
    TuningState state;
    loadStartupValues(state);
    selectEpromType(state, static_cast<int16_t>(type));
    if (auto refused = readTuningList(state, listPath)) ADD_FAILURE() << "the list was refused: " << refused->text();
    return state;
}

}  // namespace varidac::fault
