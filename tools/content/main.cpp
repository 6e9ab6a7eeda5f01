#include "Tool.h"

#include <QCoreApplication>
#include <iostream>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    return RunContentTool(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
