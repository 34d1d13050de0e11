#include "os/command_line.h"

namespace varidac::os {
namespace {

bool isBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

}  // namespace

std::vector<std::wstring> commandLineArguments(std::wstring_view commandLine) {
    std::size_t i = 0;
    const std::size_t end = commandLine.size();
    // The program name has no escapes: it ends at its closing quotation mark, or else at a blank.
    if (end > 0 && commandLine[0] == L'"') {
        const std::size_t closing = commandLine.find(L'"', 1);
        i = closing == std::wstring_view::npos ? end : closing + 1;
    } else {
        while (i < end && !isBlank(commandLine[i])) ++i;
    }

    std::vector<std::wstring> arguments;
    for (;;) {
        while (i < end && isBlank(commandLine[i])) ++i;
        if (i == end) return arguments;
        std::wstring argument;
        bool quoted = false;
        std::size_t backslashes = 0;  // just before commandLine[i]
        for (; i < end && (quoted || !isBlank(commandLine[i])); ++i) {
            const wchar_t c = commandLine[i];
            if (c != L'"') {
                backslashes = c == L'\\' ? backslashes + 1 : 0;
                argument += c;
                continue;
            }
            // Backslashes before a quotation mark stand for half as many; an
            // odd one left over makes the mark itself part of the argument.
            const bool escaped = backslashes % 2 == 1;
            argument.resize(argument.size() - (backslashes + 1) / 2);
            backslashes = 0;
            // In a run of marks, every third one counted from the quoted part's
            // opening mark is kept and ends the quoted part.
            int marks = quoted ? 1 : 0;
            if (escaped) {
                argument += L'"';
            } else {
                ++marks;
            }
            while (i + 1 < end && commandLine[i + 1] == L'"') {
                ++i;
                if (++marks == 3) {
                    argument += L'"';
                    marks = 0;
                }
            }
            quoted = marks == 1;
        }
        arguments.push_back(std::move(argument));
    }
}

}  // namespace varidac::os
