// varidac-fill.exe printing into a console window: a name beyond ASCII
// shows as it is whatever the console's code page, and the same text goes
// to a file or a pipe as UTF-8.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/temp_folder.h"
#include "tests/windows/windows_support.h"
#include "util/file_names.h"

namespace varidac::windows {
namespace {

// A console of this process's own, its screen readable; the process's
// standard handles stay where they were, so that the test's own report goes
// where it went. The console stays until the process ends: Wine's
// FreeConsole would close the standard output as well (measured).
class Console {
public:
    Console() {
        const HANDLE in = GetStdHandle(STD_INPUT_HANDLE), out = GetStdHandle(STD_OUTPUT_HANDLE), err = GetStdHandle(STD_ERROR_HANDLE);
        FreeConsole();
        allocated_ = AllocConsole();
        SetStdHandle(STD_INPUT_HANDLE, in);
        SetStdHandle(STD_OUTPUT_HANDLE, out);
        SetStdHandle(STD_ERROR_HANDLE, err);
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        if (allocated_) {
            screen_ = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING,
                                  0, nullptr);
        }
    }
    ~Console() {
        if (screen_ != INVALID_HANDLE_VALUE) CloseHandle(screen_);
    }
    Console(const Console&) = delete;
    Console& operator=(const Console&) = delete;

    // Under Wine a console gets a screen only where there is a display.
    bool usable() const {
        CONSOLE_SCREEN_BUFFER_INFO info{};
        return screen_ != INVALID_HANDLE_VALUE && GetConsoleScreenBufferInfo(screen_, &info) && info.dwSize.X >= 80;
    }
    HANDLE screen() const { return screen_; }

    bool useCodePage(UINT codePage) const { return SetConsoleOutputCP(codePage) && GetConsoleOutputCP() == codePage; }

    void clear() const {
        CONSOLE_SCREEN_BUFFER_INFO info{};
        GetConsoleScreenBufferInfo(screen_, &info);
        DWORD written = 0;
        FillConsoleOutputCharacterW(screen_, L' ', static_cast<DWORD>(info.dwSize.X) * info.dwSize.Y, COORD{0, 0}, &written);
        SetConsoleCursorPosition(screen_, COORD{0, 0});
    }

    // The rows above the cursor as the screen shows them, UTF-8, without
    // the blanks that fill each row.
    std::vector<std::string> lines() const {
        CONSOLE_SCREEN_BUFFER_INFO info{};
        GetConsoleScreenBufferInfo(screen_, &info);
        std::vector<std::string> rows;
        for (SHORT y = 0; y < info.dwCursorPosition.Y; ++y) {
            std::wstring cells(static_cast<std::size_t>(info.dwSize.X), L' ');
            DWORD read = 0;
            ReadConsoleOutputCharacterW(screen_, cells.data(), static_cast<DWORD>(cells.size()), COORD{0, y}, &read);
            cells.resize(read);
            cells.erase(cells.find_last_not_of(L' ') + 1);
            rows.push_back(os::utf8(cells));
        }
        return rows;
    }

private:
    BOOL allocated_ = FALSE;
    HANDLE screen_ = INVALID_HANDLE_VALUE;
};

class ConsoleText : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directory(pathFromUtf8(joinPath(dir, "M\xC3\xA4tlisten")));
        writeFile(joinPath(dir, list), readFile(VARIDAC_SOURCE_DIR "/examples/EXAMPLE.INF").value_or(""));
    }

    TempFolder folder;
    const std::string dir = utf8FromPath(folder.path());
    const std::string list = "M\xC3\xA4tlisten\\Empf\xC3\xA4nger.INF";
    const std::string image = "M\xC3\xA4tlisten\\Empf\xC3\xA4nger_27C64.BIN";
};

struct Printing {
    const char* what;
    std::vector<std::string> args;
    bool toError;                    // the text goes to standard error
    DWORD status;
    std::vector<std::string> lines;  // as a console shows them
    std::string bytes;               // as a file receives them
};

TEST_F(ConsoleText, NamesBeyondAsciiShowAsTheyAreInEveryCodePage) {
    Console console;
    if (!console.usable()) GTEST_SKIP() << "no console window can be made here (Wine makes one only on a display)";
    const Printing printings[] = {
        {"a fill", {"--format", "srec", list}, false, 0,
         {"Run OK!", "Okido!", "Empf\xC3\xA4nger_27C64.S19 is created."},
         "Run OK!\r\nOkido!  \r\nEmpf\xC3\xA4nger_27C64.S19 is created.  \r\n"},
        {"a refusal", {list}, true, 1,
         {"Error !", "Something is wrong!", "Cannot write " + image, "The file is in use by another program: close it and run again"},
         "Error !\r\nSomething is wrong!  \r\nCannot write " + image +
             "  \r\nThe file is in use by another program: close it and run again  \r\n"},
    };
    writeFile(joinPath(dir, image), "earlier image");
    HeldFile held(joinPath(dir, image));
    ASSERT_TRUE(held.held());
    for (UINT codePage : {437u, 850u, 1252u}) {
        ASSERT_TRUE(console.useCodePage(codePage)) << codePage;
        for (const Printing& printing : printings) {
            SCOPED_TRACE(std::string(printing.what) + ", code page " + std::to_string(codePage));
            console.clear();
            EXPECT_EQ(runCompanionExe(printing.args, dir, console.screen(), console.screen(), 0), printing.status);
            EXPECT_EQ(console.lines(), printing.lines);

            // The other stream stays on the console, and nothing shows there.
            console.clear();
            const std::wstring capture = wide(joinPath(dir, "printed.txt"));
            SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
            HANDLE file = CreateFileW(capture.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
            ASSERT_NE(file, INVALID_HANDLE_VALUE);
            const HANDLE out = printing.toError ? console.screen() : file, err = printing.toError ? file : console.screen();
            EXPECT_EQ(runCompanionExe(printing.args, dir, out, err, 0), printing.status);
            CloseHandle(file);
            EXPECT_EQ(readFile(joinPath(dir, "printed.txt")), printing.bytes);
            EXPECT_EQ(console.lines(), std::vector<std::string>());
        }
    }
    EXPECT_EQ(readFile(joinPath(dir, image)), "earlier image");
}

}  // namespace
}  // namespace varidac::windows
