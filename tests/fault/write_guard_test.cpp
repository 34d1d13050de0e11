// Outputs never land on what the run reads, on each other, or on anything
// but a regular file, however the path is spelled: each such run is refused
// before anything is written, through the companion binary.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "fault_support.h"

namespace varidac::fault {
namespace {

class WriteGuard : public ListFolderTest {};

TEST_F(WriteGuard, RefusesOutputsOnInputsOnEachOtherAndOnWhatIsNoFile) {
    const std::string sub = folder.file("sub");
    std::filesystem::create_directory(sub);
    struct Case {
        const char* what;
        std::function<void()> prepare;
        std::string plot;            // the --plot argument
        std::string refusedPath;     // the output the message names
        std::string reason;
    };
    const std::string theList = "It is the tuning list " + list + ": give the output another name";
    const std::string theImage = "It is also the output " + image + " of this run: give it another name";
    const std::vector<Case> cases = {
        {"the list itself", [] {}, list, list, theList},
        {"the list, spelled otherwise", [] {}, sub + "/../LIST.INF", sub + "/../LIST.INF", theList},
        {"the list, spelled with a dot", [] {}, folder.path() + "/./LIST.INF", folder.path() + "/./LIST.INF", theList},
        {"a hard link to the list", [&] { ASSERT_EQ(link(list.c_str(), folder.file("PIC.svg").c_str()), 0); },
         folder.file("PIC.svg"), folder.file("PIC.svg"), theList},
        {"the image of the same run", [] {}, sub + "/../LIST_27C64.BIN", sub + "/../LIST_27C64.BIN", theImage},
        {"the report of the same run", [] {}, folder.path() + "/./LIST_test_DA.TXT", folder.path() + "/./LIST_test_DA.TXT",
         "It is also the output " + report + " of this run: give it another name"},
        {"a symbolic link", [&] { ASSERT_EQ(symlink("elsewhere.svg", folder.file("PIC.svg").c_str()), 0); }, folder.file("PIC.svg"),
         folder.file("PIC.svg"), "It is a symbolic link: remove the link or choose another name"},
        {"a symbolic link in the image's place",
         [&] {
             std::filesystem::remove(image);
             ASSERT_EQ(symlink("LIST.INF", image.c_str()), 0);
         },
         folder.file("PIC.svg"), image, "It is a symbolic link: remove the link or choose another name"},
        {"a pipe", [&] { ASSERT_EQ(mkfifo(folder.file("PIC.svg").c_str(), 0644), 0); }, folder.file("PIC.svg"),
         folder.file("PIC.svg"), "It is a device or a pipe, not a file: choose another name"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        writeEarlierOutputs();
        c.prepare();
        const auto before = namesIn(folder.path());
        ChildResult result = Child::companion({"--plot", c.plot, list}).wait();
        ASSERT_TRUE(result.exited) << "killed by signal " << result.signal;
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err, "Error !\nSomething is wrong!  \nCannot write " + c.refusedPath + "  \n" + c.reason + "  \n");
        EXPECT_EQ(readFile(list), kExampleList);
        EXPECT_EQ(readFile(report), kEarlierReport);
        EXPECT_EQ(namesIn(folder.path()), before);
        std::error_code ignored;
        std::filesystem::remove(folder.file("PIC.svg"), ignored);
        std::filesystem::remove(image, ignored);
    }
}

}  // namespace
}  // namespace varidac::fault
