// The filler run on failing disks: every failure must leave the earlier
// outputs byte-identical, leave no temporary file, and come back as the
// message that says what to do.
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "core/filler_run.h"
#include "core/output_files.h"
#include "fault_support.h"
#include "tests/write_refusals.h"

namespace varidac::fault {
namespace {

using namespace refusal;

enum class Fault { Write, DevFull, Rename };

// The real calls, except that call number `failAt` of the kind `fault`
// fails with `error`; `made` counts the calls of that kind.
FileSystemCalls failing(Fault fault, int failAt, int error, int& made) {
    FileSystemCalls real = realFileSystemCalls();
    FileSystemCalls calls = real;
    if (fault == Fault::Rename) {
        calls.rename = [=, &made](const std::string& from, const std::string& to) {
            if (++made == failAt) {
                errno = error;
                return -1;
            }
            return real.rename(from, to);
        };
        return calls;
    }
    calls.write = [=, &made](std::FILE* file, const std::string& bytes) {
        if (++made != failAt) return real.write(file, bytes);
        if (fault == Fault::Write) {
            errno = error;
            return -1;
        }
        // The bytes go to a device that is always full instead.
        std::FILE* full = std::fopen("/dev/full", "wb");
        if (!full) return -1;
        int result = real.write(full, bytes);
        int saved = errno;
        std::fclose(full);
        errno = saved;
        return result;
    };
    return calls;
}

class OutputFaults : public ListFolderTest {
protected:
    // The outputs of a run that nothing disturbed, made in a folder of their own.
    void cleanOutputs(std::string& cleanReport, std::string& cleanImage, int type = 0) {
        ScratchFolder other;
        writeFile(other.file("LIST.INF"), kExampleList);
        TuningState state = stateWithList(other.file("LIST.INF"), type);
        Message result = fillerRun(state, "1.50", "12.00", '.');
        ASSERT_EQ(result.title, "Run OK!") << result.text();
        cleanReport = readFile(other.file("LIST_test_DA.TXT")).value_or("");
        cleanImage = readFile(other.file("LIST_" + state.epromtype + ".BIN")).value_or("");
    }

    // Exactly the list and, when there were some, the earlier outputs as they were.
    void expectNothingChanged(bool hadEarlier) {
        if (hadEarlier) {
            expectEarlierOutputsKept();
        } else {
            EXPECT_EQ(namesIn(folder.path()), (std::set<std::string>{"LIST.INF"}));
        }
    }

    Message run(const FileSystemCalls& calls = realFileSystemCalls()) {
        TuningState state = stateWithList(list);
        return fillerRun(state, "1.50", "12.00", '.', calls);
    }
};

TEST_F(OutputFaults, ACleanRunWritesBothFilesAndNothingElse) {
    writeEarlierOutputs();
    Message result = run();
    EXPECT_EQ(result.title, "Run OK!");
    EXPECT_EQ(readFile(image).value_or("").size(), 8192u);
    EXPECT_NE(readFile(report), kEarlierReport);
    EXPECT_EQ(namesIn(folder.path()), (std::set<std::string>{"LIST.INF", "LIST_test_DA.TXT", "LIST_27C64.BIN"}));
}

TEST_F(OutputFaults, AFailingWriteOrRenameChangesNothing) {
    struct Case {
        const char* what;
        Fault fault;
        int failAt;  // 1: the report, 2: the image
        int error;
        std::string reason;
    };
    const Case cases[] = {
        {"report write, disk full", Fault::Write, 1, ENOSPC, kDiskFull},
        {"image write, disk full", Fault::Write, 2, ENOSPC, kDiskFull},
        {"report written to /dev/full", Fault::DevFull, 1, 0, kDiskFull},
        {"image written to /dev/full", Fault::DevFull, 2, 0, kDiskFull},
        {"image write, file too large", Fault::Write, 2, EFBIG, kDiskFull},
        {"report write, quota exceeded", Fault::Write, 1, EDQUOT, kDiskFull},
        {"image write, I/O error", Fault::Write, 2, EIO, std::strerror(EIO)},
        {"report rename, access denied", Fault::Rename, 1, EACCES, kAccessDenied},
        {"image rename, access denied", Fault::Rename, 2, EACCES, kAccessDenied},
        {"image rename, not permitted", Fault::Rename, 2, EPERM, kAccessDenied},
        {"image rename, read-only disk", Fault::Rename, 2, EROFS, "The disk is read-only: read the list from a writable folder"},
        {"image rename, busy", Fault::Rename, 2, EBUSY, std::strerror(EBUSY)},
    };
    for (const auto& c : cases) {
        for (bool hadEarlier : {true, false}) {
            SCOPED_TRACE(std::string(c.what) + (hadEarlier ? ", earlier outputs" : ", no earlier outputs"));
            std::filesystem::remove(report);
            std::filesystem::remove(image);
            if (hadEarlier) writeEarlierOutputs();
            int made = 0;
            Message result = run(failing(c.fault, c.failAt, c.error, made));
            EXPECT_GE(made, c.failAt) << "the fault was not reached";
            EXPECT_EQ(result, cannotWrite(c.failAt == 1 ? report : image, c.reason));
            expectNothingChanged(hadEarlier);
        }
    }
}

// The image cannot be put in place, and then the earlier report cannot be
// put back either: it must survive under the name the message gives.
TEST_F(OutputFaults, AnEarlierFileThatCannotBePutBackIsKeptAndNamed) {
    writeEarlierOutputs();
    FileSystemCalls real = realFileSystemCalls();
    FileSystemCalls calls = real;
    int renames = 0;
    calls.rename = [&](const std::string& from, const std::string& to) {
        if (++renames >= 2) {
            errno = EIO;
            return -1;
        }
        return real.rename(from, to);
    };
    Message result = run(calls);
    EXPECT_EQ(renames, 3) << "the image's rename, then putting the report back";
    ASSERT_EQ(result.lines.size(), 4u) << result.text();
    Message expected = cannotWrite(image, std::strerror(EIO));
    EXPECT_EQ(std::vector<std::string>(result.lines.begin(), result.lines.begin() + 3), expected.lines);
    const std::string prefix = "The earlier file is kept as " + folder.file("~varidac-");
    ASSERT_EQ(result.lines[3].substr(0, prefix.size()), prefix);
    EXPECT_EQ(result.lines[3].substr(result.lines[3].size() - 6), ".old  ");
    std::string kept = result.lines[3].substr(28, result.lines[3].size() - 30);
    EXPECT_EQ(readFile(kept), kEarlierReport);
    EXPECT_EQ(readFile(image), kEarlierImage);
    EXPECT_EQ(namesIn(folder.path()), (std::set<std::string>{"LIST.INF", "LIST_test_DA.TXT", "LIST_27C64.BIN",
                                                              std::filesystem::path(kept).filename().string()}));
}

TEST_F(OutputFaults, AMissingFolderIsNamedAndNothingIsCreated) {
    for (std::string pad : {folder.file("gone"), folder.file("gone") + "/deeper", list + "/inside-a-file"}) {
        SCOPED_TRACE(pad);
        TuningState state = stateWithList(list);
        state.pad = pad;
        Message result = fillerRun(state, "1.50", "12.00", '.');
        EXPECT_EQ(result, cannotWrite(pad + "/LIST_test_DA.TXT", kNoFolder));
        expectNothingChanged(false);
    }
}

TEST_F(OutputFaults, AFolderWithAnOutputsNameIsReportedAndKept) {
    for (bool imageIsFolder : {true, false}) {
        SCOPED_TRACE(imageIsFolder ? "image name" : "report name");
        std::filesystem::remove_all(report);
        std::filesystem::remove_all(image);
        const std::string& blocked = imageIsFolder ? image : report;
        const std::string& other = imageIsFolder ? report : image;
        std::filesystem::create_directory(blocked);
        writeFile(other, "earlier");
        Message result = run();
        EXPECT_EQ(result, cannotWrite(blocked, kFolderNamed));
        EXPECT_TRUE(std::filesystem::is_directory(blocked));
        EXPECT_TRUE(std::filesystem::is_empty(blocked));
        EXPECT_EQ(readFile(other), "earlier");
        EXPECT_EQ(namesIn(folder.path()), (std::set<std::string>{"LIST.INF", "LIST_test_DA.TXT", "LIST_27C64.BIN"}));
    }
}

// A read-only earlier output is replaced like any other: the new file is put
// in its place in one step, so no reader ever sees half of either.
TEST_F(OutputFaults, ReadOnlyEarlierOutputsAreReplacedWhole) {
    std::string cleanReport, cleanImage;
    cleanOutputs(cleanReport, cleanImage);
    writeEarlierOutputs();
    ASSERT_EQ(chmod(report.c_str(), 0444), 0);
    ASSERT_EQ(chmod(image.c_str(), 0444), 0);
    Message result = run();
    EXPECT_EQ(result.title, "Run OK!") << result.text();
    EXPECT_EQ(readFile(report), cleanReport);
    EXPECT_EQ(readFile(image), cleanImage);
    EXPECT_EQ(namesIn(folder.path()), (std::set<std::string>{"LIST.INF", "LIST_test_DA.TXT", "LIST_27C64.BIN"}));
}

// Root ignores permission bits, so the run gives up root first.
TEST_F(OutputFaults, AFolderThatCannotBeWrittenIsReported) {
    writeEarlierOutputs();
    TuningState state = stateWithList(list);
    bool asRoot = geteuid() == 0;
    if (!asRoot) {
        ASSERT_EQ(chmod(folder.path().c_str(), 0555), 0);
    }
    ChildResult child = Child::run([&]() {
        if (asRoot && !becomeNobody()) return 3;
        std::fputs(fillerRun(state, "1.50", "12.00", '.').text().c_str(), stdout);
        return 0;
    }).wait();
    chmod(folder.path().c_str(), 0755);
    ASSERT_TRUE(child.exited) << "signal " << child.signal;
    ASSERT_EQ(child.status, 0) << child.err;
    EXPECT_EQ(child.out, cannotWrite(report, kAccessDenied).text());
    expectNothingChanged(true);
}

// A file-size limit fails writes with EFBIG for root too, as a full disk would.
// A run ended between its two renames: an interrupt finishes the commit at
// once; after a kill the next run into the folder finishes it, even one
// that is then refused, and nothing of the killed run is left.
TEST_F(OutputFaults, ARunEndedBetweenItsRenamesLeavesTheNewSet) {
    std::string newReport, newImage;
    cleanOutputs(newReport, newImage);
    for (int sig : {SIGKILL, SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(strsignal(sig));
        writeEarlierOutputs();
        ChildResult ended = Child::run([&]() {
            FileSystemCalls real = realFileSystemCalls(), calls = real;
            int renames = 0;
            calls.rename = [&](const std::string& from, const std::string& to) {
                if (++renames == 2) raise(sig);
                return real.rename(from, to);
            };
            run(calls);
            return 0;
        }).wait();
        ASSERT_FALSE(ended.exited);
        EXPECT_EQ(ended.signal, sig);
        if (sig == SIGKILL) {
            EXPECT_EQ(readFile(report), newReport);
            EXPECT_EQ(readFile(image), kEarlierImage) << "the kill fell between the renames";
            auto refused = writeOutputFiles({{list, "x"}}, realFileSystemCalls(), WriteRules{{{list, "the tuning list"}}});
            ASSERT_TRUE(refused.has_value());
            EXPECT_EQ(refused->lines.at(2), "It is the tuning list " + list + ": give the output another name  ");
        }
        EXPECT_EQ(readFile(report), newReport);
        EXPECT_EQ(readFile(image), newImage);
        EXPECT_EQ(namesIn(folder.path()), (std::set<std::string>{"LIST.INF", "LIST_test_DA.TXT", "LIST_27C64.BIN"}));
    }
}

TEST_F(OutputFaults, AFullDiskIsReportedAndNothingChanges) {
    std::string cleanReport, cleanImage;
    cleanOutputs(cleanReport, cleanImage, 3);
    ASSERT_LT(cleanReport.size(), cleanImage.size()) << "the second case needs a report smaller than a 27C512 image";
    struct Case {
        const char* what;
        rlim_t limit;
        int type;
        std::string failing;
    };
    const Case cases[] = {
        {"the report does not fit", 4096, 0, "LIST_test_DA.TXT"},
        {"the report fits, the image does not", cleanReport.size(), 3, "LIST_27C512.BIN"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        writeEarlierOutputs();
        writeFile(folder.file("LIST_27C512.BIN"), kEarlierImage);
        TuningState state = stateWithList(list, c.type);
        ChildResult child = Child::run([&]() {
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit limit{c.limit, c.limit};
            if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return 3;
            std::fputs(fillerRun(state, "1.50", "12.00", '.').text().c_str(), stdout);
            return 0;
        }).wait();
        ASSERT_TRUE(child.exited) << "signal " << child.signal;
        ASSERT_EQ(child.status, 0) << child.err;
        EXPECT_EQ(child.out, cannotWrite(folder.file(c.failing), kDiskFull).text());
        EXPECT_EQ(readFile(report), kEarlierReport);
        EXPECT_EQ(readFile(image), kEarlierImage);
        EXPECT_EQ(readFile(folder.file("LIST_27C512.BIN")), kEarlierImage);
        EXPECT_EQ(namesIn(folder.path()),
                  (std::set<std::string>{"LIST.INF", "LIST_test_DA.TXT", "LIST_27C64.BIN", "LIST_27C512.BIN"}));
    }
}

}  // namespace
}  // namespace varidac::fault
