#pragma once
// What writing a file's bytes has in common wherever POSIX calls serve:
// Linux, and Emscripten's file systems in the browser and under node.
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <string>

namespace varidac::os {

// Every byte to the descriptor, through interrupted and partial writes.
// 0, or -1 with errno set (EIO where the system wrote nothing and said nothing).
inline int writeAllBytes(int fd, const std::string& bytes) {
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) {
            if (wrote == 0) errno = EIO;
            return -1;
        }
        done += static_cast<std::size_t>(wrote);
    }
    return 0;
}

}  // namespace varidac::os
