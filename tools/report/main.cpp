#include "Tool.h"

#include <QCoreApplication>
#include <iostream>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    return RunReportTool(std::vector<std::string>(argv + 1, argv + argc),
                         QCoreApplication::applicationDirPath().toStdString(), std::cout,
                         std::cerr);
}
