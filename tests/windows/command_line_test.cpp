// The companion's arguments split as the shell's CommandLineToArgvW splits
// them, the way every Windows program is expected to take its command line.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "os/command_line.h"

namespace varidac::os {
namespace {

std::vector<std::wstring> shellSplit(const std::wstring& commandLine) {
    int count = 0;
    wchar_t** parts = CommandLineToArgvW(commandLine.c_str(), &count);
    std::vector<std::wstring> arguments;
    for (int i = 1; i < count; ++i) arguments.emplace_back(parts[i]);
    LocalFree(parts);
    return arguments;
}

TEST(CommandLine, SplitsAsTheShellDoes) {
    const wchar_t* programs[] = {L"varidac-fill.exe", L"\"C:\\Program Files\\Varidac\\varidac-fill.exe\"",
                                 L"\"C:\\a b\\x.exe\"next", L"\"C:\\no closing quote"};
    const wchar_t* argumentLines[] = {
        L"",
        L"   \t ",
        L"LIST.INF",
        L"--eprom 27C256 \"M\u00e4tlisten\\Empf\u00e4nger Liste.INF\"",
        L"\"C:\\lists\\\" next",
        L"a\\\\\\b d\"e f\"g h",
        L"a\\\\\\\"b c d",
        L"a\\\\\\\\\"b c\" d e",
        L"\"\" \"\"\"\" \"a\"\"b c\" d\"\"\"e f",
        L"\"a\"\"\"b c\"\"\"\"d e \\\"\"x y\"",
        L"\"unclosed and\\ long\\\\",
        L"\xd83d\xde00 x\ty",
    };
    for (const wchar_t* program : programs) {
        for (const wchar_t* arguments : argumentLines) {
            const std::wstring line = std::wstring(program) + L" " + arguments;
            SCOPED_TRACE(testing::PrintToString(line));
            EXPECT_EQ(commandLineArguments(line), shellSplit(line));
        }
    }
}

}  // namespace
}  // namespace varidac::os
