// The system calls behind the outputs, alike on every system.
#include "os/os.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "tests/temp_folder.h"
#include "util/file_names.h"

namespace varidac {
namespace {

namespace fs = std::filesystem;

std::string utf8(const fs::path& path) { return utf8FromPath(path); }

TEST(SystemCalls, CreateNewWritesAFileAndNeverOpensAnExistingOne) {
    TempFolder folder;
    const std::string path = utf8(folder.path() / "NEW.BIN");
    std::FILE* file = os::createNew(path);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(os::writeDurably(file, std::string("a\nb\0c", 5)), 0);
    EXPECT_EQ(std::fclose(file), 0);
    EXPECT_EQ(readFile(folder.path() / "NEW.BIN"), std::string("a\nb\0c", 5));  // binary, not text mode

    errno = 0;
    EXPECT_EQ(os::createNew(path), nullptr);
    EXPECT_EQ(errno, EEXIST);
    EXPECT_EQ(readFile(folder.path() / "NEW.BIN"), std::string("a\nb\0c", 5));
}

TEST(SystemCalls, ReplaceFilePutsTheFileInPlaceWhetherOrNotOneIsThere) {
    for (bool targetExists : {false, true}) {
        SCOPED_TRACE(targetExists ? "replacing" : "new");
        TempFolder folder;
        const std::string from = folder.write("A.tmp", "new");
        const std::string to = utf8(folder.path() / "A.BIN");
        if (targetExists) folder.write("A.BIN", "earlier, longer");
        EXPECT_EQ(os::replaceFile(from, to), 0) << os::errorText(errno);
        EXPECT_EQ(readFile(folder.path() / "A.BIN"), "new");
        EXPECT_FALSE(fs::exists(folder.path() / "A.tmp"));
    }
}

TEST(SystemCalls, NamesBeyondAsciiWorkThroughout) {
    TempFolder folder;
    const std::string lists = utf8(folder.path()) + "/M\xC3\xA4tlisten";
    fs::create_directory(pathFromUtf8(lists));
    const std::string staged = lists + "/Empf\xC3\xA4nger Liste.tmp";
    const std::string target = lists + "/Empf\xC3\xA4nger Liste.INF";
    std::FILE* file = os::createNew(staged);
    ASSERT_NE(file, nullptr) << os::errorText(errno);
    EXPECT_EQ(os::writeDurably(file, "600,2.1\r\n"), 0);
    std::fclose(file);
    ASSERT_EQ(os::replaceFile(staged, target), 0) << os::errorText(errno);

    file = os::openForReading(target);
    ASSERT_NE(file, nullptr) << os::errorText(errno);
    char buffer[16] = {};
    EXPECT_EQ(std::fread(buffer, 1, sizeof buffer, file), 9u);
    std::fclose(file);
    EXPECT_EQ(std::string(buffer), "600,2.1\r\n");
    EXPECT_EQ(FileExists(lists + "/Empf*nger Liste.INF"), kTrue);
    EXPECT_EQ(utf8(fs::directory_iterator(pathFromUtf8(lists))->path().filename()), "Empf\xC3\xA4nger Liste.INF");
}

TEST(SystemCalls, AMissingFileIsReportedInTheSystemsWords) {
    TempFolder folder;
    errno = 0;
    EXPECT_EQ(os::openForReading(utf8(folder.path() / "MISSING.INF")), nullptr);
    EXPECT_EQ(errno, ENOENT);
    EXPECT_EQ(os::errorText(ENOENT), std::strerror(ENOENT));
    EXPECT_EQ(os::errorText(os::kFileInUse), "The file is in use by another program");
}

TEST(SystemCalls, TheProgramFolderHoldsTheRunningProgram) {
    EXPECT_TRUE(fs::is_regular_file(pathFromUtf8(os::programFolder()) / ("core_tests" VARIDAC_EXE_SUFFIX)))
        << os::programFolder();
    EXPECT_TRUE(fs::equivalent(pathFromUtf8(os::currentFolder()), fs::current_path()));
}

}  // namespace
}  // namespace varidac
