#include "uninstaller/Program.h"

int main(int argc, char** argv) {
    return UninstallMain(argc, argv);
}
