// Where the regional decimal sign comes from on POSIX systems: the locale
// variables of the environment, read anew at every call. And standard
// output as the companion prints to it.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <locale>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "os/os.h"
#include "os/standard_stream.h"
#include "tests/temp_folder.h"

namespace varidac {
namespace {

class RegionalDecimalSign : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
            const char* value = std::getenv(name);
            saved_.push_back(value ? std::optional<std::string>(value) : std::nullopt);
        }
    }
    void TearDown() override {
        const char* names[] = {"LC_ALL", "LC_NUMERIC", "LANG"};
        for (std::size_t i = 0; i < 3; ++i) {
            if (saved_[i]) setenv(names[i], saved_[i]->c_str(), 1); else unsetenv(names[i]);
        }
    }
    static bool germanInstalled() {
        try {
            std::locale("de_DE.UTF-8");
            return true;
        } catch (const std::runtime_error&) {
            return false;
        }
    }
    std::vector<std::optional<std::string>> saved_;
};

TEST_F(RegionalDecimalSign, FollowsTheEnvironmentNotTheProcessLocale) {
    ASSERT_TRUE(germanInstalled()) << "scripts/install-deps generates de_DE.UTF-8";
    unsetenv("LC_NUMERIC");
    unsetenv("LANG");
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    EXPECT_EQ(os::regionalDecimalSign(), ',');
    setenv("LC_ALL", "C", 1);
    EXPECT_EQ(os::regionalDecimalSign(), '.');
    unsetenv("LC_ALL");
    setenv("LC_NUMERIC", "de_DE.UTF-8", 1);
    EXPECT_EQ(os::regionalDecimalSign(), ',');
    setenv("LC_ALL", "", 1);  // an empty variable counts as unset
    EXPECT_EQ(os::regionalDecimalSign(), ',');
    setenv("LANG", "de_DE.UTF-8", 1);
    setenv("LC_NUMERIC", "C.UTF-8", 1);
    EXPECT_EQ(os::regionalDecimalSign(), '.');
}

TEST_F(RegionalDecimalSign, FallsBackToAPointForAnUnknownLocale) {
    setenv("LC_ALL", "xx_NOWHERE.UTF-8", 1);
    EXPECT_EQ(os::regionalDecimalSign(), '.');
}

// The bytes as printed, whatever the pieces they came in; a flush that
// would end inside a character writes up to it, and the rest follows with
// the next. Standard output goes to a file meanwhile, and the checks come
// after it is back, since a failing one prints there.
TEST(StandardStreams, PrintTheBytesAndHoldBackACharacterCutShort) {
    TempFolder folder;
    const std::string path = (folder.path() / "out").string();
    auto printed = [&path] {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    const std::string longText(5000, 'x');
    std::vector<std::string> seen;
    const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    ASSERT_GE(file, 0);
    {
        std::fflush(stdout);
        const int saved = dup(STDOUT_FILENO);
        dup2(file, STDOUT_FILENO);
        close(file);
        {
            os::StandardStreamBuffer buffer(os::StandardStream::Output);
            std::ostream out(&buffer);
            out << "Empf\xC3" << std::flush;
            seen.push_back(printed());
            out << "\xA4nger\n" << std::flush;
            seen.push_back(printed());
            // More than is collected before a write, ending inside a character.
            out << longText << "\xE2\x82";
            seen.push_back(printed());
            out << "\xAC\n" << std::flush;
            seen.push_back(printed());
            out << "last \xC3";
        }
        seen.push_back(printed());
        dup2(saved, STDOUT_FILENO);
        close(saved);
    }
    const std::string first = "Empf\xC3\xA4nger\n";
    const std::vector<std::string> expected = {
        "Empf", first, first + longText, first + longText + "\xE2\x82\xAC\n",
        first + longText + "\xE2\x82\xAC\nlast \xC3",  // at the end, even half a character
    };
    ASSERT_EQ(seen.size(), expected.size());
    for (std::size_t i = 0; i < seen.size(); ++i) EXPECT_EQ(seen[i], expected[i]) << "after step " << i;
}

}  // namespace
}  // namespace varidac
