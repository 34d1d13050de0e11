#include "core/output_files.h"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <system_error>

#include "os/os.h"
#include "util/file_names.h"

namespace varidac {
namespace fs = std::filesystem;
namespace {

std::string reasonFor(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
            return "The folder does not exist: read the list from an existing folder";
        case EACCES:
        case EPERM:
            return "Access denied: check the permissions of the folder and the file";
        case EROFS:
            return "The disk is read-only: read the list from a writable folder";
        case ENOSPC:
#ifdef EDQUOT
        case EDQUOT:
#endif
        case EFBIG:
            return "The disk is full: make room and run again";
        case EISDIR:
            return "A folder has that name: rename or move the folder";
        case os::kFileInUse:
            return "The file is in use by another program: close it and run again";
        default:
            return os::errorText(error);
    }
}

// The names need only differ from what else is in the folder, and each file
// is created exclusively, with another name on a clash. The clock and where
// this run's memory lies tell runs apart well enough; the system's random
// source, or even seeding a Mersenne twister, would cost a start of the
// companion more than all its arithmetic. Each name is the next step of
// splitmix64 from that seed.
std::uint64_t nextNameBits() {
    static const int marker = 0;
    static std::uint64_t state = [] {
        const auto ticks = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
        const auto where = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(&marker));
        return ticks ^ (where << 32 | where >> 32);
    }();
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::string uniqueSuffix() {
    static constexpr char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    constexpr std::uint64_t kCount = sizeof kChars - 1;
    std::uint64_t bits = nextNameBits();
    std::string suffix = ".tmp~";
    for (int i = 0; i < 8; ++i, bits /= kCount) suffix += kChars[bits % kCount];
    return suffix;
}

// Creates a new file beside `target`; returns its path, or empty with errno set.
std::string createBeside(const std::string& target, std::FILE*& file) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate = target + uniqueSuffix();
        errno = 0;
        file = os::createNew(candidate);
        if (file) return candidate;
        if (errno != EEXIST) return {};
    }
    return {};
}

struct Pending {
    std::string target;
    std::string temporary;
    std::string backup;   // a link to the earlier target, to restore it
    bool hadTarget = false;
};

void removeQuietly(const std::string& path) {
    if (path.empty()) return;
    std::error_code ignored;
    fs::remove(pathFromUtf8(path), ignored);
}

}  // namespace

FileSystemCalls realFileSystemCalls() {
    return FileSystemCalls{os::writeDurably, os::replaceFile};
}

Message cannotWriteMessage(const std::string& path, int error) {
    return errorMessage({kSomethingWrong, "Cannot write " + path + "  ", reasonFor(error) + "  "});
}

std::optional<Message> writeOutputFiles(const std::vector<OutputFile>& files, const FileSystemCalls& calls) {
    std::vector<Pending> pending;
    auto discard = [&]() {
        for (const auto& p : pending) {
            removeQuietly(p.temporary);
            removeQuietly(p.backup);
        }
    };

    // Stage every file; nothing visible changes yet.
    for (const auto& file : files) {
        std::error_code ec;
        const fs::path target = pathFromUtf8(file.path);
        if (fs::is_directory(target, ec)) {
            discard();
            return cannotWriteMessage(file.path, EISDIR);
        }
        if (int error = os::whyNotReplaceable(file.path)) {
            discard();
            return cannotWriteMessage(file.path, error);
        }
        std::FILE* handle = nullptr;
        Pending p{file.path, createBeside(file.path, handle), {}, false};
        if (p.temporary.empty()) {
            int error = errno;
            discard();
            return cannotWriteMessage(file.path, error);
        }
        pending.push_back(p);
        errno = 0;
        int written = calls.write(handle, file.bytes);
        int error = errno;
        if (std::fclose(handle) != 0 && written == 0) {
            written = -1;
            error = errno;
        }
        if (written != 0) {
            discard();
            return cannotWriteMessage(file.path, error);
        }
        pending.back().hadTarget = fs::exists(target, ec);
        if (pending.back().hadTarget) {
            // Keep the earlier file reachable so that a later failure can put it back.
            std::string backup = file.path + uniqueSuffix();
            if (os::keepEarlierFile(file.path, backup) != 0) {
                int error = errno;
                discard();
                return cannotWriteMessage(file.path, error);
            }
            pending.back().backup = backup;
        }
    }

    // Put them in place; on a failure put back what was there before.
    for (std::size_t i = 0; i < pending.size(); ++i) {
        errno = 0;
        if (calls.rename(pending[i].temporary, pending[i].target) != 0) {
            int error = errno;
            std::vector<std::string> keptAs;
            for (std::size_t j = 0; j < i; ++j) {
                if (pending[j].hadTarget) {
                    // A backup that cannot be put back is the only copy of
                    // the earlier file: keep it and say where it is.
                    if (calls.rename(pending[j].backup, pending[j].target) != 0) keptAs.push_back(pending[j].backup);
                    pending[j].backup.clear();
                } else {
                    removeQuietly(pending[j].target);
                }
            }
            discard();
            Message message = cannotWriteMessage(pending[i].target, error);
            for (const auto& backup : keptAs) message.lines.push_back("The earlier file is kept as " + backup + "  ");
            return message;
        }
    }
    for (const auto& p : pending) removeQuietly(p.backup);
    return std::nullopt;
}

}  // namespace varidac
