// Which copy of the user's guide the "?" button is given.
#include "ui/help_file.h"

#include <gtest/gtest.h>

#include "tests/temp_folder.h"

namespace varidac {
namespace {

namespace fs = std::filesystem;

enum class Entry { None, File, Folder };

struct Layout {
    const char* what;
    Entry beside;     // bin/VARIDAC.HLP
    Entry installed;  // share/varidac/VARIDAC.HLP
    const char* expected;
};

void make(const fs::path& path, Entry entry) {
    fs::create_directories(path.parent_path());
    if (entry == Entry::File) std::ofstream(path) << "<html></html>";
    if (entry == Entry::Folder) fs::create_directory(path);
}

TEST(HelpFilePath, BesideTheProgramFirstThenTheInstalledOne) {
    const Layout layouts[] = {
        {"both", Entry::File, Entry::File, "bin/VARIDAC.HLP"},
        {"only beside", Entry::File, Entry::None, "bin/VARIDAC.HLP"},
        {"only installed", Entry::None, Entry::File, "share/varidac/VARIDAC.HLP"},
        {"a folder beside", Entry::Folder, Entry::File, "share/varidac/VARIDAC.HLP"},
        {"neither", Entry::None, Entry::None, "bin/VARIDAC.HLP"},
        {"a folder installed", Entry::None, Entry::Folder, "bin/VARIDAC.HLP"},
    };
    for (const Layout& l : layouts) {
        TempFolder root;
        make(root.path() / "bin" / "VARIDAC.HLP", l.beside);
        make(root.path() / "share" / "varidac" / "VARIDAC.HLP", l.installed);
        EXPECT_EQ(helpFilePath((root.path() / "bin").string(), "VARIDAC.HLP"), (root.path() / fs::path(l.expected).make_preferred()).string())
            << l.what;
    }
}

}  // namespace
}  // namespace varidac
