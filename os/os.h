#pragma once
// Every call whose working differs between systems, in one place: the rest
// of the program is standard C++ and calls these. One implementation per
// system: os_posix.cpp and os_windows.cpp. Paths and texts are UTF-8.
// A call that fails sets errno (a Windows error is translated to its errno
// value) and returns its failure value.
#include <cstdio>
#include <string>
#include <vector>

namespace varidac::os {

// The errno value of a file that another program holds open and does not
// let go (Windows' sharing modes); no system's errno has this value.
inline constexpr int kFileInUse = 0x10001;

// The system's own words for an errno value or kFileInUse.
std::string errorText(int error);

// Opens an existing file for reading, in binary mode; nullptr on failure.
std::FILE* openForReading(const std::string& path);

// Creates a new file for writing, in binary mode; never opens an existing
// one (errno EEXIST then). nullptr on failure.
std::FILE* createNew(const std::string& path);

// Writes all bytes, flushes them and has the system put them on the disk.
// 0, or -1 on failure.
int writeDurably(std::FILE* file, const std::string& bytes);

// Puts the file `from` in the place of `to` in one step, replacing a file
// that is there. 0, or -1 on failure (the file `to` is then unchanged).
int replaceFile(const std::string& from, const std::string& to);

// Makes `backup` hold what the file at `path` holds now, so that it can be
// put back. On POSIX systems a second name for the same file (a copy where
// the file system has no links); on Windows a copy, since a second name would share
// the file's read-only attribute and its holders, and could not be removed
// while another program holds the file. 0, or -1 on failure.
int keepEarlierFile(const std::string& path, const std::string& backup);

// 0 when nothing but its folder keeps the file at `path` (if there is one)
// from being replaced; else the errno value that says what does: on Windows
// the read-only attribute (EACCES) or another program holding the file open
// (kFileInUse). Lets a run refuse before it changes anything.
int whyNotReplaceable(const std::string& path);

// Whether a directory entry is hidden from the user: a name starting with
// "." on POSIX systems, the hidden or system attribute on Windows.
bool isHidden(const std::string& path);

// The decimal sign of the user's regional settings, whatever the process's
// C locale is; "." when it cannot be told.
char regionalDecimalSign();

// The folder of the running program's executable, without a final separator.
std::string programFolder();

// The process's current folder.
std::string currentFolder();

// The command-line arguments after the program name, each as UTF-8.
std::vector<std::string> arguments(int argc, char** argv);

// Lets UTF-8 text written to standard output and error show as such in a
// console window.
void useUtf8Console();

}  // namespace varidac::os
