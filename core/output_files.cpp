#include "core/output_files.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <cstdio>
#include <memory>
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

Message cannotWriteBecause(const std::string& path, const std::string& reason) {
    return errorMessage({kSomethingWrong, "Cannot write " + printablePath(path) + "  ", reason + "  "});
}

// What a run leaves beside its targets while it writes: short names of one
// pattern, so that a list name whose outputs fit never fails for the
// temporary's sake, and so that the next run in the folder can recognise
// what a killed run left. Temporaries end in .tmp, earlier files kept for
// putting back in .old, the record of a commit under way in .jnl.
constexpr std::string_view kPrefix = "~varidac-";
constexpr std::string_view kNameChars = "abcdefghijklmnopqrstuvwxyz0123456789";
constexpr std::size_t kNameBits = 8;

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

std::string workName(std::string_view extension) {
    std::uint64_t bits = nextNameBits();
    std::string name(kPrefix);
    for (std::size_t i = 0; i < kNameBits; ++i, bits /= kNameChars.size()) name += kNameChars[bits % kNameChars.size()];
    name += extension;
    return name;
}

bool isWorkName(std::string_view name, std::string_view extension) {
    if (name.size() != kPrefix.size() + kNameBits + extension.size()) return false;
    if (name.substr(0, kPrefix.size()) != kPrefix || name.substr(name.size() - extension.size()) != extension) return false;
    std::string_view bits = name.substr(kPrefix.size(), kNameBits);
    return std::all_of(bits.begin(), bits.end(), [](char c) { return kNameChars.find(c) != std::string_view::npos; });
}

// The folder that holds `path`, "." for a bare name.
fs::path folderOf(const std::string& path) {
    fs::path folder = pathFromUtf8(path).parent_path();
    return folder.empty() ? fs::path(".") : folder;
}

std::string beside(const std::string& target, const std::string& name) {
    return utf8FromPath(pathFromUtf8(target).parent_path() / pathFromUtf8(name));
}

void removeQuietly(const std::string& path) {
    if (path.empty()) return;
    std::error_code ignored;
    fs::remove(pathFromUtf8(path), ignored);
}

// Where a path leads: the file itself when there is one, else its folder and
// its name, so that two spellings of one new file are also told to be one.
struct Place {
    bool exists = false;
    os::FileIdentity identity;
    std::string name;
};

std::optional<Place> placeOf(const std::string& path) {
    if (auto identity = os::fileIdentity(path)) return Place{true, *identity, {}};
    auto folder = os::fileIdentity(utf8FromPath(folderOf(path)));
    if (!folder) return std::nullopt;
    return Place{false, *folder, utf8FromPath(pathFromUtf8(path).filename())};
}

bool samePlace(const std::optional<Place>& a, const std::optional<Place>& b) {
    if (!a || !b || a->exists != b->exists || a->identity != b->identity) return false;
    return a->exists || os::sameEntryName(a->name, b->name);
}

// A run writes only regular files, never onto what it reads and never one
// output onto another: refused before anything is made.
std::optional<Message> judgeTargets(const std::vector<OutputFile>& files, const WriteRules& rules) {
    std::vector<std::optional<Place>> inputs;
    // An input that is no longer there cannot be written over.
    for (const auto& input : rules.inputs) {
        auto identity = os::fileIdentity(input.path);
        inputs.push_back(identity ? std::optional<Place>(Place{true, *identity, {}}) : std::nullopt);
    }
    std::vector<std::optional<Place>> outputs;
    for (const auto& file : files) {
        switch (os::fileKind(file.path)) {
            case os::FileKind::Directory:
                return cannotWriteMessage(file.path, EISDIR);
            case os::FileKind::Link:
                return cannotWriteBecause(file.path, "It is a symbolic link: remove the link or choose another name");
            case os::FileKind::Other:
                return cannotWriteBecause(file.path, "It is a device or a pipe, not a file: choose another name");
            case os::FileKind::Regular:
                if (!rules.replaceExisting) {
                    return cannotWriteBecause(file.path, "A file of that name exists: choose another name (--force replaces it)");
                }
                break;
            case os::FileKind::Missing:
                break;
        }
        std::optional<Place> place = placeOf(file.path);
        for (std::size_t i = 0; i < inputs.size(); ++i) {
            if (samePlace(place, inputs[i])) {
                return cannotWriteBecause(file.path, "It is " + rules.inputs[i].what + " " + printablePath(rules.inputs[i].path) +
                                                         ": give the output another name");
            }
        }
        for (std::size_t i = 0; i < outputs.size(); ++i) {
            if (samePlace(place, outputs[i])) {
                return cannotWriteBecause(file.path, "It is also the output " + printablePath(files[i].path) + " of this run: give it another name");
            }
        }
        outputs.push_back(place);
    }
    return std::nullopt;
}

// Runs that write into the same folders take turns, so that simultaneous
// runs end with one run's whole set rather than a mixture. Folders are
// locked in the order of their identities, so that two runs never wait for
// each other.
class FolderLocks {
public:
    FolderLocks() = default;
    FolderLocks(const FolderLocks&) = delete;
    FolderLocks& operator=(const FolderLocks&) = delete;
    ~FolderLocks() {
        for (auto handle : handles_) os::unlockFolder(handle);
    }

    // The folders of the targets; a message when one cannot be locked.
    std::optional<Message> take(const std::vector<OutputFile>& files) {
        struct Folder {
            os::FileIdentity identity;
            std::string path;
            std::string firstTarget;  // what a message about the folder names
        };
        std::vector<Folder> folders;
        for (const auto& file : files) {
            std::string folder = utf8FromPath(folderOf(file.path));
            auto identity = os::fileIdentity(folder);
            if (!identity) return cannotWriteMessage(file.path, errno);
            bool known = std::any_of(folders.begin(), folders.end(), [&](const Folder& f) { return f.identity == *identity; });
            if (!known) folders.push_back({*identity, folder, file.path});
        }
        std::sort(folders.begin(), folders.end(), [](const Folder& a, const Folder& b) { return a.identity < b.identity; });
        for (const auto& folder : folders) {
            errno = 0;
            std::intptr_t handle = os::lockFolder(folder.path);
            // A folder that may be written but not read cannot be locked;
            // the run goes on as every run did before there were locks.
            if (handle < 0 && errno != EACCES && errno != EPERM) return cannotWriteMessage(folder.firstTarget, errno);
            if (handle >= 0) handles_.push_back(handle);
            folders_.push_back(folder.path);
        }
        return std::nullopt;
    }

    const std::vector<std::string>& folders() const { return folders_; }

private:
    std::vector<std::intptr_t> handles_;
    std::vector<std::string> folders_;
};

// The record of a commit under way: for each output its temporary, its
// target and the earlier file kept beside it, each as a name in the record's
// folder or a full path, NUL-separated since a name may hold any other
// character. Only a record that reaches its end marker was complete before
// the first rename.
constexpr std::string_view kJournalStart("varidac commit\0", 15);
constexpr std::string_view kJournalEnd("end\0", 4);

struct Pending {
    std::string target;
    std::string temporary;
    std::string backup;  // the earlier target, kept to put it back
};

std::string journalText(const std::vector<Pending>& pending, const fs::path& journalFolder) {
    auto entry = [&](const std::string& path) {
        if (path.empty()) return std::string();
        fs::path p = pathFromUtf8(path);
        if (folderOf(path) == journalFolder) return utf8FromPath(p.filename());
        std::error_code ec;
        fs::path absolute = fs::absolute(p, ec);
        return utf8FromPath(ec ? p : absolute);
    };
    std::string text(kJournalStart);
    for (const auto& p : pending) {
        for (const auto* part : {&p.temporary, &p.target, &p.backup}) {
            text += entry(*part);
            text += '\0';
        }
    }
    text += kJournalEnd;
    return text;
}

// Finishes the commit a killed run recorded: every temporary still there is
// put in place, then the earlier files and the record go.
void finishCommit(const fs::path& journal) {
    // Read through the C library, as the lists are: a stream here would bring
    // the whole of the C++ library's locale machinery into every program.
    std::string text;
    if (std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(os::openForReading(utf8FromPath(journal)), &std::fclose); in) {
        char block[4096];
        for (std::size_t got; (got = std::fread(block, 1, sizeof block, in.get())) > 0;) text.append(block, got);
    }
    const bool complete = text.size() >= kJournalStart.size() + kJournalEnd.size() &&
                          text.compare(0, kJournalStart.size(), kJournalStart) == 0 &&
                          text.compare(text.size() - kJournalEnd.size(), kJournalEnd.size(), kJournalEnd) == 0;
    if (complete) {
        std::vector<std::string> parts;
        const std::string_view body = std::string_view(text).substr(kJournalStart.size(), text.size() - kJournalStart.size() - kJournalEnd.size());
        for (std::size_t at = 0; at < body.size();) {
            std::size_t end = body.find('\0', at);
            if (end == std::string_view::npos) break;
            std::string part(body.substr(at, end - at));
            parts.push_back(part.empty() ? part : utf8FromPath(journal.parent_path() / pathFromUtf8(part)));
            at = end + 1;
        }
        for (std::size_t i = 0; i + 2 < parts.size(); i += 3) {
            if (os::fileKind(parts[i]) == os::FileKind::Regular) os::replaceFile(parts[i], parts[i + 1]);
        }
        for (std::size_t i = 0; i + 2 < parts.size(); i += 3) removeQuietly(parts[i + 2]);
    }
    std::error_code ignored;
    fs::remove(journal, ignored);
}

// What runs killed in this folder left: their commits are finished, their
// temporaries removed. Called with the folder locked, so nothing of a run
// still going is touched.
void tidyFolder(const std::string& folder, const std::vector<OutputFile>& files) {
    std::error_code ec;
    fs::directory_iterator entries(pathFromUtf8(folder), ec);
    if (ec) return;
    std::vector<fs::path> journals, temporaries;
    for (const auto& entry : entries) {
        const std::string name = utf8FromPath(entry.path().filename());
        if (isWorkName(name, ".jnl")) journals.push_back(entry.path());
        if (isWorkName(name, ".tmp")) {
            temporaries.push_back(entry.path());
            fs::path backup = entry.path();
            temporaries.push_back(backup.replace_extension(".old"));
        }
        // Temporaries of earlier versions, named after their target.
        for (const auto& file : files) {
            const std::string stem = utf8FromPath(pathFromUtf8(file.path).filename()) + ".tmp~";
            if (name.size() == stem.size() + kNameBits && name.compare(0, stem.size(), stem) == 0) temporaries.push_back(entry.path());
        }
    }
    for (const auto& journal : journals) finishCommit(journal);
    for (const auto& temporary : temporaries) fs::remove(temporary, ec);
}

// Creates a new file named `name` beside `target`; returns its path, or
// empty with errno set. Each candidate joins the interrupt plan before it
// exists, so that an interrupt never leaves it behind.
std::string createBeside(const std::string& target, std::string_view extension, std::FILE*& file, os::InterruptPlan& plan) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate = beside(target, workName(extension));
        plan.removals.push_back(candidate);
        os::setInterruptPlan(plan);
        errno = 0;
        file = os::createNew(candidate);
        if (file) return candidate;
        plan.removals.pop_back();
        if (errno != EEXIST) return {};
    }
    return {};
}

// The earlier file at `target`, linked or copied beside it under the name of
// the temporary that replaces it, with .old for .tmp: while that temporary
// exists, the next run knows the copy for one a killed run left; once the
// temporary is gone, the copy is either listed in a commit record or the
// only one left of a file that could not be put back.
std::string keepBeside(const std::string& target, const std::string& temporary, os::InterruptPlan& plan) {
    std::string backup = temporary.substr(0, temporary.size() - 4) + ".old";
    plan.removals.push_back(backup);
    os::setInterruptPlan(plan);
    if (os::keepEarlierFile(target, backup) == 0) return backup;
    plan.removals.pop_back();
    return {};
}

// Clears the interrupt plan however the write ends.
struct PlanCleared {
    ~PlanCleared() { os::setInterruptPlan({}); }
};

}  // namespace

FileSystemCalls realFileSystemCalls() {
    return FileSystemCalls{os::writeDurably, os::replaceFile};
}

Message cannotWriteMessage(const std::string& path, int error) {
    return cannotWriteBecause(path, reasonFor(error));
}

std::optional<Message> writeOutputFiles(const std::vector<OutputFile>& files, const FileSystemCalls& calls, const WriteRules& rules) {
    os::prepareForInterrupts();
    FolderLocks locks;
    if (auto failed = locks.take(files)) return failed;
    // Whatever a killed run left in these folders is dealt with first, even
    // when this run then refuses.
    for (const auto& folder : locks.folders()) tidyFolder(folder, files);
    if (auto refused = judgeTargets(files, rules)) return refused;

    PlanCleared planCleared;
    os::InterruptPlan plan;
    std::vector<Pending> pending;
    auto discard = [&]() {
        for (const auto& p : pending) {
            removeQuietly(p.temporary);
            removeQuietly(p.backup);
        }
    };

    // Stage every file; nothing visible changes yet.
    for (const auto& file : files) {
        if (int error = os::whyNotReplaceable(file.path)) {
            discard();
            return cannotWriteMessage(file.path, error);
        }
        std::FILE* handle = nullptr;
        Pending p{file.path, createBeside(file.path, ".tmp", handle, plan), {}};
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
        // The earlier file is kept reachable so that a later failure can put
        // it back; the last target has no later rename to fail.
        if (&file != &files.back() && os::fileKind(file.path) == os::FileKind::Regular) {
            pending.back().backup = keepBeside(file.path, pending.back().temporary, plan);
            if (pending.back().backup.empty()) {
                int error = errno;
                discard();
                return cannotWriteMessage(file.path, error);
            }
        }
    }

    // From the first rename on, an interrupt finishes the commit rather than
    // leave a new file beside an old one; a kill is finished by the next run
    // in the folder, from the record written here.
    std::string journal;
    if (pending.size() > 1) {
        std::FILE* handle = nullptr;
        journal = createBeside(pending.front().target, ".jnl", handle, plan);
        bool recorded = !journal.empty();
        if (recorded) {
            const std::string text = journalText(pending, folderOf(pending.front().target));
            recorded = std::fwrite(text.data(), 1, text.size(), handle) == text.size();
            recorded = std::fclose(handle) == 0 && recorded;
        }
        if (!recorded) {
            int error = errno;
            removeQuietly(journal);
            discard();
            return cannotWriteMessage(pending.front().target, error);
        }
    }
    plan.removals.clear();
    for (const auto& p : pending) plan.renames.emplace_back(p.temporary, p.target);
    for (const auto& p : pending) {
        if (!p.backup.empty()) plan.removals.push_back(p.backup);
    }
    if (!journal.empty()) plan.removals.push_back(journal);
    os::setInterruptPlan(plan);

    // Put them in place; on a failure put back what was there before.
    for (std::size_t i = 0; i < pending.size(); ++i) {
        errno = 0;
        if (calls.rename(pending[i].temporary, pending[i].target) != 0) {
            int error = errno;
            // The record goes first: no later run may finish this commit.
            removeQuietly(journal);
            plan = {};
            for (const auto& p : pending) plan.removals.push_back(p.temporary);
            os::setInterruptPlan(plan);
            std::vector<std::string> keptAs;
            for (std::size_t j = 0; j < i; ++j) {
                if (!pending[j].backup.empty()) {
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
            for (const auto& backup : keptAs) message.lines.push_back("The earlier file is kept as " + printablePath(backup) + "  ");
            return message;
        }
    }
    for (const auto& p : pending) removeQuietly(p.backup);
    removeQuietly(journal);
    return std::nullopt;
}

}  // namespace varidac
