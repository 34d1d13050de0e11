#include <iostream>
#include <string>
#include <vector>

#include "app/companion.h"
#include "os/os.h"

int main(int argc, char** argv) {
    varidac::os::useUtf8Console();
    return varidac::runCompanion(varidac::os::arguments(argc, argv), std::cout, std::cerr);
}
