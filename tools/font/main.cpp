#include "FontTool.h"

#include <iostream>

int main(int argc, char** argv) {
    return fonttool::RunFontTool(std::vector<std::string>(argv + 1, argv + argc), std::cout,
                                 std::cerr);
}
