// Windows will not replace a file that another program holds open or that
// is marked read-only. The run must then refuse before it changes anything:
// the earlier outputs byte-identical, no temporary file left, and a message
// that says what to do.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <set>
#include <string>

#include "core/filler_run.h"
#include "core/tuning_list.h"
#include "os/os.h"
#include "tests/temp_folder.h"
#include "tests/windows/windows_support.h"
#include "tests/write_refusals.h"
#include "util/file_names.h"

namespace varidac::windows {
namespace {

using namespace refusal;

class HeldAndReadOnly : public ::testing::Test {
protected:
    static constexpr const char* kEarlierReport = "earlier report\r\n";
    static constexpr const char* kEarlierImage = "earlier image";

    void SetUp() override {
        writeFile(list, readFile(VARIDAC_SOURCE_DIR "/examples/EXAMPLE.INF").value_or(""));
        writeFile(report, kEarlierReport);
        writeFile(image, kEarlierImage);
    }

    Message run(const std::string& pad = {}, const FileSystemCalls& calls = realFileSystemCalls()) {
        TuningState state;
        loadStartupValues(state);
        selectEpromType(state, 0);
        if (auto refused = readTuningList(state, list)) ADD_FAILURE() << refused->text();
        if (!pad.empty()) state.pad = pad;
        return fillerRun(state, kStartupStartText, kStartupEndText, '.', calls);
    }

    void expectEarlierOutputsKept() {
        EXPECT_EQ(readFile(report), kEarlierReport);
        EXPECT_EQ(readFile(image), kEarlierImage);
        EXPECT_EQ(namesIn(dir), (std::set<std::string>{"LIST.INF", "LIST_test_DA.TXT", "LIST_27C64.BIN"}));
    }

    TempFolder folder;
    const std::string dir = utf8FromPath(folder.path());
    const std::string list = joinPath(dir, "LIST.INF");
    const std::string report = joinPath(dir, "LIST_test_DA.TXT");
    const std::string image = joinPath(dir, "LIST_27C64.BIN");
};

TEST_F(HeldAndReadOnly, AnOutputHeldOpenIsRefusedUntilItIsClosed) {
    for (const std::string* heldPath : {&report, &image}) {
        SCOPED_TRACE(*heldPath);
        {
            HeldFile held(*heldPath);
            ASSERT_TRUE(held.held());
            EXPECT_EQ(run(), cannotWrite(*heldPath, kInUse));
        }
        expectEarlierOutputsKept();
    }
    EXPECT_EQ(run().title, "Run OK!");
    EXPECT_EQ(readFile(image).value_or("").size(), 8192u);
}

// Taken hold of between the checks and the renames: the report already put
// in place goes back.
TEST_F(HeldAndReadOnly, AnOutputHeldDuringTheRunIsRefusedAndTheOtherPutBack) {
    FileSystemCalls calls = realFileSystemCalls();
    std::unique_ptr<HeldFile> held;
    calls.rename = [&](const std::string& from, const std::string& to) {
        if (to == image && !held) held = std::make_unique<HeldFile>(image);
        return os::replaceFile(from, to);
    };
    EXPECT_EQ(run({}, calls), cannotWrite(image, kInUse));
    held.reset();
    expectEarlierOutputsKept();
}

TEST_F(HeldAndReadOnly, AReadOnlyEarlierOutputIsRefused) {
    setReadOnly(image, true);
    EXPECT_EQ(run(), cannotWrite(image, kAccessDenied));
    setReadOnly(image, false);
    expectEarlierOutputsKept();
}

TEST_F(HeldAndReadOnly, MissingFoldersAndFoldersInTheWayAreNamed) {
    for (std::string pad : {joinPath(dir, "gone"), joinPath(joinPath(dir, "gone"), "deeper"), joinPath(list, "inside-a-file")}) {
        SCOPED_TRACE(pad);
        EXPECT_EQ(run(pad), cannotWrite(joinPath(pad, "LIST_test_DA.TXT"), kNoFolder));
        expectEarlierOutputsKept();
    }
    std::filesystem::remove(pathFromUtf8(image));
    std::filesystem::create_directory(pathFromUtf8(image));
    EXPECT_EQ(run(), cannotWrite(image, kFolderNamed));
    EXPECT_TRUE(std::filesystem::is_empty(pathFromUtf8(image)));
    EXPECT_EQ(readFile(report), kEarlierReport);
}

}  // namespace
}  // namespace varidac::windows
