#include <iostream>
#include <string>
#include <vector>

#include "app/companion.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return varidac::runCompanion(args, std::cout, std::cerr);
}
