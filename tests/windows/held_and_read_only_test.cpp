// Windows will not replace a file that another program holds open or that
// is marked read-only. The run must then refuse before it changes anything:
// the earlier outputs byte-identical, no temporary file left, and a message
// that says what to do.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <string>

#include "core/filler_run.h"
#include "core/tuning_list.h"
#include "os/os.h"
#include "tests/temp_folder.h"
#include "tests/test_printers.h"
#include "tests/windows/windows_support.h"
#include "tests/write_refusals.h"
#include "util/file_names.h"

namespace varidac::windows {
namespace {

using namespace refusal;

// One way another program can keep an output from being replaced, for as
// long as the object lives.
class Hold {
public:
    virtual ~Hold() = default;
    virtual bool held() const = 0;
};

class OpenHold : public Hold {
public:
    OpenHold(const std::string& path, DWORD access, DWORD share) : file_(path, access, share) {}
    bool held() const override { return file_.held(); }

private:
    HeldFile file_;
};

class RedirectHold : public Hold {
public:
    explicit RedirectHold(const std::string& path) : redirect_(path, "held by a redirect\r\n") {}
    bool held() const override { return redirect_.held(); }

private:
    RedirectedInto redirect_;
};

class ReadOnlyHold : public Hold {
public:
    explicit ReadOnlyHold(const std::string& path) : path_(path) { setReadOnly(path_, true); }
    ~ReadOnlyHold() override { setReadOnly(path_, false); }
    bool held() const override {
        const DWORD attributes = GetFileAttributesW(wide(path_).c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
    }

private:
    std::string path_;
};

struct Holding {
    const char* name;
    std::function<std::unique_ptr<Hold>(const std::string&)> take;
    int error;           // what os::replaceFile says
    const char* reason;  // what the run says
};

std::function<std::unique_ptr<Hold>(const std::string&)> openedWith(DWORD access, DWORD share) {
    return [access, share](const std::string& path) { return std::make_unique<OpenHold>(path, access, share); };
}

// However another program holds a file, the user is told to close it; the
// permissions message only for a file marked read-only.
const Holding kHoldings[] = {
    {"read, sharing reading", openedWith(GENERIC_READ, FILE_SHARE_READ), os::kFileInUse, kInUse},
    {"read, sharing reading and writing", openedWith(GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE), os::kFileInUse, kInUse},
    {"read, sharing reading, writing and deleting",
     openedWith(GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE), os::kFileInUse, kInUse},
    {"written as cmd's redirect opens it", openedWith(GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE), os::kFileInUse, kInUse},
    {"the target of a running cmd /c more > FILE", [](const std::string& path) { return std::make_unique<RedirectHold>(path); },
     os::kFileInUse, kInUse},
    {"marked read-only", [](const std::string& path) { return std::make_unique<ReadOnlyHold>(path); }, EACCES, kAccessDenied},
};

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

TEST_F(HeldAndReadOnly, AnOutputHeldOrReadOnlyIsRefusedUntilItIsLetGo) {
    for (const Holding& holding : kHoldings) {
        for (const std::string* heldPath : {&report, &image}) {
            SCOPED_TRACE(std::string(holding.name) + ": " + *heldPath);
            {
                std::unique_ptr<Hold> hold = holding.take(*heldPath);
                ASSERT_TRUE(hold->held());
                const std::optional<std::string> before = readFile(*heldPath);
                EXPECT_EQ(run(), cannotWrite(*heldPath, holding.reason));
                EXPECT_TRUE(readFile(*heldPath) == before) << "the held file changed";
            }
            // A redirect wrote into its file; the earlier output was kept otherwise.
            writeFile(*heldPath, heldPath == &report ? kEarlierReport : kEarlierImage);
            expectEarlierOutputsKept();
        }
    }
    EXPECT_EQ(run().title, "Run OK!");
    EXPECT_EQ(readFile(image).value_or("").size(), 8192u);
}

// Taken hold of between the checks and the renames: the replacing itself
// fails, the report already put in place goes back, and the message says
// why as it does when the checks find it.
TEST_F(HeldAndReadOnly, AnOutputHeldDuringTheRunIsRefusedAndTheOtherPutBack) {
    for (const Holding& holding : kHoldings) {
        SCOPED_TRACE(holding.name);
        FileSystemCalls calls = realFileSystemCalls();
        std::unique_ptr<Hold> hold;
        std::optional<std::string> before;
        calls.rename = [&](const std::string& from, const std::string& to) {
            if (to == image && !hold) {
                hold = holding.take(image);
                before = readFile(image);
            }
            return os::replaceFile(from, to);
        };
        EXPECT_EQ(run({}, calls), cannotWrite(image, holding.reason));
        ASSERT_TRUE(hold && hold->held());
        EXPECT_TRUE(readFile(image) == before) << "the held image changed";
        hold.reset();
        writeFile(image, kEarlierImage);
        expectEarlierOutputsKept();
    }
}

// The system's "access denied" told apart, whatever the sharing: the file
// in place and the one meant to replace it both as they were.
TEST(Replacing, SaysWhetherTheTargetIsHeldOrReadOnly) {
    TempFolder folder;
    const std::string from = joinPath(utf8FromPath(folder.path()), "NEW.tmp");
    const std::string to = joinPath(utf8FromPath(folder.path()), "OLD.BIN");
    for (const Holding& holding : kHoldings) {
        SCOPED_TRACE(holding.name);
        writeFile(from, "new");
        writeFile(to, "old");
        std::unique_ptr<Hold> hold = holding.take(to);
        ASSERT_TRUE(hold->held());
        const std::optional<std::string> before = readFile(to);
        errno = 0;
        EXPECT_EQ(os::replaceFile(from, to), -1);
        EXPECT_EQ(errno, holding.error) << os::errorText(errno);
        EXPECT_EQ(readFile(to), before);
        EXPECT_EQ(readFile(from), "new");
        EXPECT_EQ(os::whyNotReplaceable(to), holding.error);
    }
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
