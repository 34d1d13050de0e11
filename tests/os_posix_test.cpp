// Where the regional decimal sign comes from on POSIX systems: the locale
// variables of the environment, read anew at every call.
#include <gtest/gtest.h>

#include <cstdlib>
#include <locale>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "os/os.h"

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

}  // namespace
}  // namespace varidac
