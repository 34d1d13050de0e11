// The system calls behind the outputs, alike on every system.
#include "os/os.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "os/standard_stream.h"
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

#ifdef _WIN32
constexpr bool kWindows = true;
#else
constexpr bool kWindows = false;
#endif

TEST(SystemCalls, FileKindTellsWhatStandsAtAPath) {
    TempFolder folder;
    const std::string dir = utf8(folder.path());
    folder.write("A.INF", "x");
    fs::create_directory(folder.path() / "sub");
    struct Case {
        std::string path;
        os::FileKind kind;
    };
    const Case cases[] = {
        {dir + "/A.INF", os::FileKind::Regular},
        {dir + "/sub", os::FileKind::Directory},
        {dir + "/sub/", os::FileKind::Directory},
        {dir + "/MISSING.INF", os::FileKind::Missing},
        {dir + "/nowhere/A.INF", os::FileKind::Missing},
        {kWindows ? "NUL" : "/dev/null", os::FileKind::Other},
        {kWindows ? dir + "\\CON" : "/dev/zero", os::FileKind::Other},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        errno = 0;
        EXPECT_EQ(os::fileKind(c.path), c.kind);
        if (c.kind == os::FileKind::Missing) {
            EXPECT_EQ(errno, ENOENT);
        }
    }
}

TEST(SystemCalls, FileKindDoesNotFollowALink) {
    TempFolder folder;
    folder.write("A.INF", "x");
    std::error_code ec;
    fs::create_symlink("A.INF", folder.path() / "L.INF", ec);
    if (ec) GTEST_SKIP() << "no symbolic links here: " << ec.message();
    EXPECT_EQ(os::fileKind(utf8(folder.path() / "L.INF")), os::FileKind::Link);
    EXPECT_EQ(os::fileIdentity(utf8(folder.path() / "L.INF")), os::fileIdentity(utf8(folder.path() / "A.INF")));
}

TEST(SystemCalls, FileIdentityIsTheFilesWhateverItsSpelling) {
    TempFolder folder;
    const std::string dir = utf8(folder.path());
    folder.write("A.INF", "x");
    folder.write("B.INF", "x");
    fs::create_directory(folder.path() / "sub");
    const auto a = os::fileIdentity(dir + "/A.INF");
    ASSERT_TRUE(a.has_value()) << os::errorText(errno);
    std::vector<std::string> spellings = {dir + "/./A.INF", dir + "/sub/../A.INF"};
    if (kWindows) {
        std::string backslashed = dir + "\\A.INF";
        for (char& c : backslashed) c = c == '/' ? '\\' : c;
        spellings.insert(spellings.end(), {backslashed, dir + "\\.\\a.inf", dir + "/a.Inf"});
    }
    for (const auto& spelling : spellings) EXPECT_EQ(os::fileIdentity(spelling), a) << spelling;

    EXPECT_NE(os::fileIdentity(dir + "/B.INF"), a);
    EXPECT_NE(os::fileIdentity(dir), a);
    EXPECT_EQ(os::fileIdentity(dir + "/sub/.."), os::fileIdentity(dir));
    errno = 0;
    EXPECT_EQ(os::fileIdentity(dir + "/MISSING.INF"), std::nullopt);
    EXPECT_EQ(errno, ENOENT);
}

TEST(SystemCalls, SameEntryNameIgnoresCaseOnlyOnWindows) {
    struct Case {
        const char* a;
        const char* b;
        bool same;  // on this system
    };
    const Case cases[] = {
        {"A.INF", "A.INF", true},
        {"A.INF", "a.inf", kWindows},
        {"\xC3\x84RGER.INF", "\xC3\xA4rger.inf", kWindows},  // beyond ASCII too
        {"A.INF", "A.INF ", false},
        {"A.INF", "B.INF", false},
        {"A.INF", "A.IN", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(os::sameEntryName(c.a, c.b), c.same) << c.a << " / " << c.b;
        EXPECT_EQ(os::sameEntryName(c.b, c.a), c.same) << c.b << " / " << c.a;
    }
}

// What standard output is given at a flush ends on a whole UTF-8 character,
// so that a console never shows half of one; bytes that are no UTF-8 go as
// they are.
TEST(StandardStreams, WholeCharactersStopBeforeACharacterCutShort) {
    const struct {
        std::string_view text;
        std::size_t whole;
    } cases[] = {
        {"", 0},
        {"Run OK!\n", 8},
        {"Empf\xC3", 4},                 // a two-byte character's first byte
        {"Empf\xC3\xA4", 6},
        {"\xE2\x82", 0},                 // two of the euro sign's three bytes
        {"\xE2\x82\xAC", 3},
        {"x\xF0\x9F\x98", 1},           // three of four
        {"x\xF0\x9F\x98\x80", 5},
        {"\x80\x80", 2},                 // continuation bytes with no start
        {"a\xFF", 2},                    // never UTF-8
        {"\xC3\xA4\xC3", 2},
    };
    for (const auto& c : cases) EXPECT_EQ(os::wholeCharacters(c.text), c.whole) << testing::PrintToString(std::string(c.text));
}

TEST(SystemCalls, TheProgramFolderHoldsTheRunningProgram) {
    EXPECT_TRUE(fs::is_regular_file(pathFromUtf8(os::programFolder()) / ("core_tests" VARIDAC_EXE_SUFFIX)))
        << os::programFolder();
    EXPECT_TRUE(fs::equivalent(pathFromUtf8(os::currentFolder()), fs::current_path()));
}

}  // namespace
}  // namespace varidac
