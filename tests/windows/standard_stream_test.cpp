// Standard output and error on Windows when they go to a file or a pipe:
// the UTF-8 bytes, each line ended by CR LF as a text-mode stream ends it,
// and no character split between two writes.
#include <gtest/gtest.h>

#include <cerrno>
#include <ostream>
#include <string>

#include "os/os.h"
#include "os/standard_stream.h"
#include "tests/temp_folder.h"
#include "tests/windows/windows_support.h"
#include "util/file_names.h"

namespace varidac::windows {
namespace {

// The process's standard output or error handle pointed at a new file for
// the life of the object (the C runtime's own stdout keeps its handle, so
// the test's report still goes where it went).
class StandardHandleToFile {
public:
    StandardHandleToFile(DWORD which, const std::string& path) : which_(which), saved_(GetStdHandle(which)) {
        file_ = CreateFileW(wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        SetStdHandle(which_, file_);
    }
    ~StandardHandleToFile() {
        SetStdHandle(which_, saved_);
        if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    }
    StandardHandleToFile(const StandardHandleToFile&) = delete;
    StandardHandleToFile& operator=(const StandardHandleToFile&) = delete;
    bool open() const { return file_ != INVALID_HANDLE_VALUE; }

private:
    DWORD which_;
    HANDLE saved_;
    HANDLE file_ = INVALID_HANDLE_VALUE;
};

TEST(StandardStreams, AFileGetsUtf8WithCrLf) {
    TempFolder folder;
    const std::string path = joinPath(utf8FromPath(folder.path()), "printed");
    for (auto [stream, which] : {std::pair{os::StandardStream::Output, STD_OUTPUT_HANDLE}, std::pair{os::StandardStream::Error, STD_ERROR_HANDLE}}) {
        SCOPED_TRACE(which == STD_OUTPUT_HANDLE ? "output" : "error");
        std::string afterCut, whole;
        {
            StandardHandleToFile redirected(which, path);
            ASSERT_TRUE(redirected.open());
            EXPECT_EQ(os::writeStandard(stream, "Run OK!\nEmpf\xC3\xA4nger_27C64.S19 is created.  \n"), 0);
            os::StandardStreamBuffer buffer(stream);
            std::ostream out(&buffer);
            out << "M\xC3" << std::flush;
            afterCut = readFile(path).value_or("?");
            out << "\xA4tlisten\n" << std::flush;
        }
        whole = readFile(path).value_or("?");
        const std::string first = "Run OK!\r\nEmpf\xC3\xA4nger_27C64.S19 is created.  \r\n";
        EXPECT_EQ(afterCut, first + "M");
        EXPECT_EQ(whole, first + "M\xC3\xA4tlisten\r\n");
    }
}

// With no standard output at all, as a program started without one has,
// printing fails and says so.
TEST(StandardStreams, NoHandleIsAFailure) {
    const HANDLE saved = GetStdHandle(STD_OUTPUT_HANDLE);
    SetStdHandle(STD_OUTPUT_HANDLE, nullptr);
    errno = 0;
    const int written = os::writeStandard(os::StandardStream::Output, "lost\n");
    const int error = errno;
    SetStdHandle(STD_OUTPUT_HANDLE, saved);
    EXPECT_EQ(written, -1);
    EXPECT_EQ(error, EBADF);
}

}  // namespace
}  // namespace varidac::windows
