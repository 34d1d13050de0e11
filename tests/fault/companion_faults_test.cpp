// The same failing disks, end to end through the companion binary: it must
// exit with status 1 and the message on stderr, never be killed, and leave
// the earlier outputs as they were.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "fault_support.h"

namespace varidac::fault {
namespace {

std::string cannotWrite(const std::string& path, const std::string& reason) {
    return "Error !\nSomething is wrong!  \nCannot write " + path + "  \n" + reason + "  \n";
}

class CompanionFaults : public ListFolderTest {
protected:
    void expectRefused(const ChildResult& result, const std::string& message) {
        ASSERT_TRUE(result.exited) << "killed by signal " << result.signal;
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err, message);
        EXPECT_EQ(result.out, "");
    }
};

TEST_F(CompanionFaults, ACleanRunSucceeds) {
    ChildResult result = Child::companion({list}).wait();
    ASSERT_TRUE(result.exited);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "Run OK!\nOkido!  \nLIST_27C64.BIN is created.  \n");
    EXPECT_EQ(readFile(image).value_or("").size(), 8192u);
}

// The list comes through a pipe; its folder is removed while the companion
// is still reading, so the outputs have nowhere to go.
TEST_F(CompanionFaults, AFolderThatVanishedIsReported) {
    std::filesystem::remove(list);
    ASSERT_EQ(mkfifo(list.c_str(), 0644), 0);
    Child child = Child::companion({list});
    int pipe = -1;
    for (int attempt = 0; attempt < 1000 && pipe < 0; ++attempt) {
        pipe = open(list.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (pipe < 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_GE(pipe, 0) << "the companion never opened the list";
    fcntl(pipe, F_SETFL, 0);
    std::string text = kExampleList;
    EXPECT_EQ(write(pipe, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    std::filesystem::remove(list);
    std::filesystem::remove(folder.path());
    close(pipe);
    ChildResult result = child.wait();
    expectRefused(result, cannotWrite(report, "The folder does not exist: read the list from an existing folder"));
    EXPECT_FALSE(std::filesystem::exists(folder.path()));
}

TEST_F(CompanionFaults, AFolderWithTheImagesNameIsReported) {
    writeFile(report, kEarlierReport);
    std::filesystem::create_directory(image);
    ChildResult result = Child::companion({list}).wait();
    expectRefused(result, cannotWrite(image, "A folder has that name: rename or move the folder"));
    EXPECT_EQ(readFile(report), kEarlierReport);
    EXPECT_TRUE(std::filesystem::is_empty(image));
    EXPECT_EQ(namesIn(folder.path()), (std::set<std::string>{"LIST.INF", "LIST_test_DA.TXT", "LIST_27C64.BIN"}));
}

TEST_F(CompanionFaults, ReadOnlyEarlierOutputsAreReplaced) {
    ScratchFolder other;
    writeFile(other.file("LIST.INF"), kExampleList);
    ChildResult clean = Child::companion({other.file("LIST.INF")}).wait();
    ASSERT_EQ(clean.status, 0) << clean.err;

    writeEarlierOutputs();
    chmod(report.c_str(), 0444);
    chmod(image.c_str(), 0444);
    ChildResult result = Child::companion({list}).wait();
    ASSERT_TRUE(result.exited);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(readFile(report), readFile(other.file("LIST_test_DA.TXT")));
    EXPECT_EQ(readFile(image), readFile(other.file("LIST_27C64.BIN")));
    EXPECT_EQ(namesIn(folder.path()), (std::set<std::string>{"LIST.INF", "LIST_test_DA.TXT", "LIST_27C64.BIN"}));
}

TEST_F(CompanionFaults, AFolderThatCannotBeWrittenIsReported) {
    writeEarlierOutputs();
    bool asRoot = geteuid() == 0;
    if (!asRoot) {
        ASSERT_EQ(chmod(folder.path().c_str(), 0555), 0);
    }
    // The build tree may lie where "nobody" cannot reach, so run a copy.
    ScratchFolder programFolder;
    std::string program = programFolder.file("varidac-fill");
    std::filesystem::copy_file(VARIDAC_FILL_BINARY, program);
    ChildResult result = Child::companion({list}, [&]() {
        if (asRoot && !becomeNobody()) _exit(3);
    }, program).wait();
    chmod(folder.path().c_str(), 0755);
    expectRefused(result, cannotWrite(report, "Access denied: check the permissions of the folder and the file"));
    expectEarlierOutputsKept();
}

TEST_F(CompanionFaults, AFullDiskIsReported) {
    writeEarlierOutputs();
    ChildResult result = Child::companion({list}, []() {
        // The signal as a shell leaves it: the companion must not die of it.
        std::signal(SIGXFSZ, SIG_DFL);
        rlimit limit{4096, 4096};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(3);
    }).wait();
    expectRefused(result, cannotWrite(report, "The disk is full: make room and run again"));
    expectEarlierOutputsKept();
}

// An immutable image cannot be replaced, even by root: the report, already
// in place by then, must be put back as it was.
TEST_F(CompanionFaults, AFailingRenameRollsBackTheReport) {
    for (bool hadReport : {true, false}) {
        SCOPED_TRACE(hadReport ? "earlier report" : "no earlier report");
        std::filesystem::remove(report);
        if (hadReport) writeFile(report, kEarlierReport);
        if (!std::filesystem::exists(image)) writeFile(image, kEarlierImage);
        if (!setImmutable(image, true)) GTEST_SKIP() << "this file system or user cannot make a file immutable";
        ChildResult result = Child::companion({list}).wait();
        setImmutable(image, false);
        expectRefused(result, cannotWrite(image, "Access denied: check the permissions of the folder and the file"));
        EXPECT_EQ(readFile(image), kEarlierImage);
        if (hadReport) {
            EXPECT_EQ(readFile(report), kEarlierReport);
            EXPECT_EQ(namesIn(folder.path()), (std::set<std::string>{"LIST.INF", "LIST_test_DA.TXT", "LIST_27C64.BIN"}));
        } else {
            EXPECT_EQ(namesIn(folder.path()), (std::set<std::string>{"LIST.INF", "LIST_27C64.BIN"}));
        }
    }
}

// Standard output on a full disk: what the user was to read is lost, so the
// status says so, and the files written stay.
TEST_F(CompanionFaults, AStandardOutputThatCannotBeWrittenEndsWithOne) {
    auto toFull = []() {
        int full = open("/dev/full", O_WRONLY | O_CLOEXEC);
        if (full < 0 || dup2(full, STDOUT_FILENO) < 0) _exit(3);
    };
    ASSERT_EQ(Child::companion({list}).wait().status, 0);
    const std::string noSpace = "varidac-fill: standard output could not be written (No space left on device)";
    struct Case {
        std::vector<std::string> args;
        std::string err;
    };
    const Case cases[] = {
        {{list}, noSpace + "; the files written are kept\n"},
        {{"--check", image, list}, noSpace + "\n"},
        {{"--recover", image, "--start=1.50", "--end=12.00", folder.file("FOUND.INF")}, noSpace + "; the files written are kept\n"},
        {{"--help"}, noSpace + "\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.front());
        std::filesystem::remove(report);
        ChildResult result = Child::companion(c.args, toFull).wait();
        ASSERT_TRUE(result.exited);
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err, c.err);
        EXPECT_EQ(std::filesystem::exists(report), c.args.size() == 1 && c.args.front() == list);
    }
    EXPECT_EQ(readFile(folder.file("FOUND.INF")).value_or("").substr(0, 8), "600,2.11");
}

// Down a chain of folders whose whole path is longer than the system
// takes, by relative names only.
bool enterDeepFolder(const std::string& top, int levels, bool create) {
    if (chdir(top.c_str()) != 0) return false;
    const std::string name(200, 'd');
    for (int i = 0; i < levels; ++i) {
        if (create && mkdir(name.c_str(), 0755) != 0) return false;
        if (chdir(name.c_str()) != 0) return false;
    }
    return true;
}

TEST_F(CompanionFaults, AListInACurrentFolderBeyondTheLongestPathIsFilled) {
    const int levels = PATH_MAX / 200 + 2;
    ASSERT_EQ(Child::companion({list}).wait().status, 0);
    const std::string sizes = "LIST.INF " + std::to_string(std::strlen(kExampleList)) + "\nLIST_27C64.BIN 8192\nLIST_test_DA.TXT " +
                              std::to_string(readFile(report).value_or("").size()) + "\n";
    ChildResult result = Child::companion({"LIST.INF"}, [&]() {
        if (!enterDeepFolder(folder.path(), levels, true)) _exit(3);
        writeFile("LIST.INF", kExampleList);
    }).wait();
    ASSERT_TRUE(result.exited);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "Run OK!\nOkido!  \nLIST_27C64.BIN is created.  \n");
    // What the deep folder holds, and then the chain removed from the bottom,
    // which a removal by whole paths could not do.
    ChildResult deep = Child::run([&]() {
        if (!enterDeepFolder(folder.path(), levels, false)) return 3;
        for (const auto& name : namesIn(".")) {
            std::printf("%s %llu\n", name.c_str(), static_cast<unsigned long long>(std::filesystem::file_size(name)));
            unlink(name.c_str());
        }
        for (int i = 0; i < levels; ++i) {
            if (chdir("..") != 0 || rmdir(std::string(200, 'd').c_str()) != 0) return 4;
        }
        return 0;
    }).wait();
    EXPECT_EQ(deep.status, 0);
    EXPECT_EQ(deep.out, sizes);
}

// A list name as long as its outputs allow: the report's name is 255 bytes.
TEST_F(CompanionFaults, AListNameAsLongAsItsOutputsAllowIsFilled) {
    const std::string name(255 - std::string("_test_DA.TXT").size(), 'L');
    const std::string longList = folder.file(name + ".INF");
    writeFile(longList, kExampleList);
    ChildResult result = Child::companion({longList}).wait();
    ASSERT_TRUE(result.exited);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(readFile(folder.file(name + "_27C64.BIN")).value_or("").size(), 8192u);
    EXPECT_TRUE(readFile(folder.file(name + "_test_DA.TXT")).has_value());
    EXPECT_EQ(namesIn(folder.path()), (std::set<std::string>{"LIST.INF", name + ".INF", name + "_27C64.BIN", name + "_test_DA.TXT"}));
}

}  // namespace
}  // namespace varidac::fault
