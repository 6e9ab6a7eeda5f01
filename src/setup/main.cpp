#include "setup/RegistrySetup.h"

#include <iostream>

int main(int argc, char** argv) {
    return SetupRegistryMain(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
