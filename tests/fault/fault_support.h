#pragma once
// Scratch folders, whole-file reads and child processes for the tests that
// break disks and feed hostile input.
#include <sys/types.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/message.h"
#include "core/tuning_state.h"

namespace varidac::fault {

// The example list of the README, with CR LF line ends.
extern const char* const kExampleList;

std::optional<std::string> readFile(const std::string& path);
void writeFile(const std::string& path, std::string_view bytes);
// Names of every entry in the folder, hidden ones included.
std::set<std::string> namesIn(const std::string& folder);

// A fresh folder under the system's temporary folder, readable by every user,
// removed with everything in it (permissions and immutable flags undone).
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string file(std::string_view name) const;

private:
    std::string path_;
};

// Sets or clears the file's immutable flag; false when this file system or
// this user cannot (then nothing changed).
bool setImmutable(const std::string& path, bool on);

// How a child process ended and what it printed.
struct ChildResult {
    bool exited = false;  // ended by exit(), not by a signal
    int status = -1;      // exit status when `exited`
    int signal = 0;       // the signal when not `exited`
    std::string out;
    std::string err;
    long maxRssKb = 0;
    double seconds = 0;
};

// A child process whose stdout and stderr go to temporary files.
class Child {
public:
    // Forks and runs `body` in the child; its result is the exit status.
    static Child run(const std::function<int()>& body);
    // Forks, runs `prepare` in the child (limits, another user), then
    // executes the companion binary (`program`, or the one built here) with `args`.
    static Child companion(const std::vector<std::string>& args, const std::function<void()>& prepare = {},
                           const std::string& program = VARIDAC_FILL_BINARY);

    ChildResult wait();

private:
    pid_t pid_ = -1;
    int outFd_ = -1;
    int errFd_ = -1;
    double startedAt_ = 0;
};

// In a child: gives up root for the user "nobody", so that permission bits
// apply. Returns false when not root.
bool becomeNobody();

// Message text as the companion prints it: title, then each line, "\n" after each.
std::string printed(const Message& message);

// The state after start-up with `list` read, and the EPROM type `type` (0..3).
TuningState stateWithList(const std::string& listPath, int type = 0);

// True in a build with AddressSanitizer, where everything runs slower.
constexpr bool kSanitized =
#if defined(__SANITIZE_ADDRESS__)
    true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    true;
#else
    false;
#endif
#else
    false;
#endif

// A folder holding LIST.INF (the example) and the paths of its two outputs,
// with earlier outputs of known content to check against.
class ListFolderTest : public ::testing::Test {
protected:
    static constexpr const char* kEarlierReport = "earlier report\r\n";
    static constexpr const char* kEarlierImage = "earlier image";

    void SetUp() override {
        list = folder.file("LIST.INF");
        report = folder.file("LIST_test_DA.TXT");
        image = folder.file("LIST_27C64.BIN");
        writeFile(list, kExampleList);
    }

    void writeEarlierOutputs() {
        writeFile(report, kEarlierReport);
        writeFile(image, kEarlierImage);
    }

    // The earlier outputs byte-identical, and nothing else beside the list.
    void expectEarlierOutputsKept() {
        EXPECT_EQ(readFile(report), kEarlierReport);
        EXPECT_EQ(readFile(image), kEarlierImage);
        EXPECT_EQ(namesIn(folder.path()), (std::set<std::string>{"LIST.INF", "LIST_test_DA.TXT", "LIST_27C64.BIN"}));
    }

    ScratchFolder folder;
    std::string list, report, image;
};

}  // namespace varidac::fault
