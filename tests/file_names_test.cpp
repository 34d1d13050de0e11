#include "util/file_names.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "tests/temp_folder.h"

namespace varidac {
namespace {

struct SplitCase {
    const char* path;
    const char* pathOnly;
    const char* fileOnly;
};

TEST(FileNames, SplitAtTheLastBackslashOrSlash) {
    const SplitCase cases[] = {
        {"C:\\dir\\file.inf", "C:\\dir", "file.inf"},
        {"C:\\file.inf", "C:", "file.inf"},
        {"file.inf", "", "file.inf"},
        {"C:\\dir\\", "C:\\dir", ""},
        {"", "", ""},
        {"/home/ham/lists/MYLIST.INF", "/home/ham/lists", "MYLIST.INF"},
        {"/MYLIST.INF", "", "MYLIST.INF"},
        {"C:\\lists/sub\\A.INF", "C:\\lists/sub", "A.INF"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PathOnly(c.path), c.pathOnly) << c.path;
        EXPECT_EQ(FileOnly(c.path), c.fileOnly) << c.path;
    }
}

TEST(FileNames, NameOnlyDropsFolderAndLastExtension) {
    EXPECT_EQ(NameOnly("C:\\dir\\file.inf"), "file");
    EXPECT_EQ(NameOnly("C:\\my.dir\\a.b.inf"), "a.b");
    EXPECT_EQ(NameOnly(".inf"), "");
    EXPECT_EQ(NameOnly("/home/x.y/MYLIST.INF"), "MYLIST");
    EXPECT_THROW(NameOnly("C:\\my.dir\\readme"), std::invalid_argument);
    EXPECT_THROW(NameOnly("/home/x.y/readme"), std::invalid_argument);
    EXPECT_THROW(NameOnly(""), std::invalid_argument);
}

TEST(FileNames, ExtOnly) {
    EXPECT_EQ(ExtOnly("C:\\dir\\file.inf", kFalse), "inf");
    EXPECT_EQ(ExtOnly("C:\\dir\\file.inf", kTrue), ".inf");
    EXPECT_EQ(ExtOnly("C:\\dir\\file.inf", 1), "inf");  // only exactly -1 is True
    EXPECT_EQ(ExtOnly("C:\\dir\\readme", kFalse), "C:\\dir\\readme");
    EXPECT_EQ(ExtOnly("C:\\my.dir\\readme", kFalse), "dir\\readme");
    EXPECT_EQ(ExtOnly("", kTrue), ".");
}

TEST(FileNames, ChangeExtAlsoRewritesTheCallersExtension) {
    struct Case {
        const char* path;
        const char* ext;
        const char* result;
        const char* extAfter;
    };
    const Case cases[] = {
        {"C:\\dir\\file.inf", "bin", "C:\\dir\\file.bin", ".bin"},
        {"C:\\dir\\file.inf", "", "C:\\dir\\file", ""},
        {"C:\\dir\\readme", "bin", "C:\\dir\\readme.bin", ".bin"},
        {"C:\\my.dir\\readme", "bin", "C:\\my.bin", ".bin"},
        {"file.inf", ".bin", "file..bin", "..bin"},
        {"", "bin", ".bin", ".bin"},
    };
    for (const auto& c : cases) {
        std::string ext = c.ext;
        EXPECT_EQ(ChangeExt(c.path, ext), c.result) << c.path;
        EXPECT_EQ(ext, c.extAfter) << c.path;
    }
}

TEST(FileNames, FixPath) {
    EXPECT_EQ(FixPath("C:\\dir"), "C:\\dir\\");
    EXPECT_EQ(FixPath("C:\\dir\\"), "C:\\dir\\");
    EXPECT_EQ(FixPath(""), "\\");
}

TEST(FileNames, FileExistsCountsOrdinaryVisibleFilesOnly) {
    TempFolder folder;
    std::ofstream(folder.path() / "LIST.inf") << "600,2.1\n";
    std::ofstream(folder.path() / ".hidden.inf") << "x";
    std::filesystem::create_directory(folder.path() / "sub.dir");
    const std::string base = folder.path().string() + "/";

    EXPECT_EQ(FileExists(base + "LIST.inf"), kTrue);
    EXPECT_EQ(FileExists(base + "*.inf"), kTrue);
    EXPECT_EQ(FileExists(base + "L?ST.*"), kTrue);
    EXPECT_EQ(FileExists(base + "list.inf"), kFalse);   // names compare exactly
    EXPECT_EQ(FileExists(base + ".hidden.inf"), kFalse);
    EXPECT_EQ(FileExists(base + "sub.dir"), kFalse);    // a folder's own path
    EXPECT_EQ(FileExists(base + "*.dir"), kFalse);
    EXPECT_EQ(FileExists(base + "missing.inf"), kFalse);
    EXPECT_EQ(FileExists(base + "nowhere/LIST.inf"), kFalse);
    EXPECT_EQ(DirExists(base + "*.inf"), kTrue);
}

TEST(FileNames, JoinPathUsesThePlatformSeparator) {
    const char sep = static_cast<char>(std::filesystem::path::preferred_separator);
    EXPECT_EQ(joinPath("/tmp/lists", "A_test_DA.TXT"), std::string("/tmp/lists") + sep + "A_test_DA.TXT");
}

}  // namespace
}  // namespace varidac
