// What Windows reads from the program files themselves: the version shown
// in their properties, the manifest that sets how they run, the icon.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "os/os.h"
#include "tests/windows/windows_support.h"
#include "util/file_names.h"
#include "varidac_version.h"

namespace varidac::windows {
namespace {

TEST(ProgramResources, EachProgramCarriesItsVersionAndManifest) {
    std::vector<const char*> programs = {"varidac-fill.exe"};
    if (VARIDAC_WINDOW_BUILT) programs.push_back("varidac.exe");
    for (const char* name : programs) {
        SCOPED_TRACE(name);
        const std::wstring program = wide(joinPath(os::programFolder(), name));
        DWORD ignored = 0;
        DWORD size = GetFileVersionInfoSizeW(program.c_str(), &ignored);
        ASSERT_GT(size, 0u);
        std::vector<char> info(size);
        ASSERT_TRUE(GetFileVersionInfoW(program.c_str(), 0, size, info.data()));
        wchar_t* version = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueW(info.data(), L"\\StringFileInfo\\040904B0\\ProductVersion", reinterpret_cast<void**>(&version),
                                   &length));
        EXPECT_EQ(std::wstring(version), wide(VARIDAC_VERSION));

        HMODULE module = LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(module, nullptr);
        HRSRC manifest = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
        ASSERT_NE(manifest, nullptr);
        std::string text(static_cast<const char*>(LockResource(LoadResource(module, manifest))), SizeofResource(module, manifest));
        // The window's icon, for its title bar and the Explorer.
        if (std::string(name) == "varidac.exe") {
            EXPECT_NE(FindResourceW(module, MAKEINTRESOURCEW(1), RT_GROUP_ICON), nullptr);
        }
        FreeLibrary(module);
        for (const char* setting : {"name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"", ">UTF-8</activeCodePage>",
                                    ">true</longPathAware>", ">system</dpiAwareness>"}) {
            EXPECT_NE(text.find(setting), std::string::npos) << setting;
        }
    }
}

}  // namespace
}  // namespace varidac::windows
