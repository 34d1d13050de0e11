#include <ostream>
#include <string>
#include <vector>

#include "app/companion.h"
#include "os/os.h"
#include "os/standard_stream.h"

int main(int argc, char** argv) {
    varidac::os::loadLibrariesFromSystemOnly();
    // Not std::cout and std::cerr: on Windows they would show a name such
    // as "Empfänger" in a console as the code page reads its UTF-8 bytes.
    varidac::os::StandardStreamBuffer outBuffer(varidac::os::StandardStream::Output);
    varidac::os::StandardStreamBuffer errBuffer(varidac::os::StandardStream::Error);
    std::ostream out(&outBuffer);
    std::ostream err(&errBuffer);
    // Each message reaches standard error at once, as std::cerr's does.
    err.setf(std::ios::unitbuf);
    return varidac::runCompanion(varidac::os::arguments(argc, argv), out, err);
}
