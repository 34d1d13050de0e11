#pragma once
// Writes a set of output files so that either all of them are replaced or
// none is touched: each goes to a temporary file beside its target first.
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/message.h"

namespace varidac {

struct OutputFile {
    std::string path;
    std::string bytes;
};

// The file-system calls that can fail, replaceable so that tests can make
// them fail. Each returns 0 on success and sets errno on failure.
struct FileSystemCalls {
    std::function<int(std::FILE*, const std::string&)> write;   // writes, flushes, syncs
    std::function<int(const std::string&, const std::string&)> rename;
};

FileSystemCalls realFileSystemCalls();

// A file the run reads, which none of its outputs may be, however spelled.
struct RunInput {
    std::string path;
    std::string what;  // "the tuning list", "the chip dump": how a message names it
};

struct WriteRules {
    std::vector<RunInput> inputs;
    bool replaceExisting = true;  // false: refuse an output that exists already
};

// Returns the message to show when a file could not be written; the files
// are then as they were, except that an earlier file which could not be put
// back is kept beside its target under a name the message states.
std::optional<Message> writeOutputFiles(const std::vector<OutputFile>& files, const FileSystemCalls& calls = realFileSystemCalls(),
                                        const WriteRules& rules = {});

// "Something is wrong!" / "Cannot write PATH" / what the user can do about it.
Message cannotWriteMessage(const std::string& path, int error);

}  // namespace varidac
