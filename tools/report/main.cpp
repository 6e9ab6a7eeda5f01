#include "Tool.h"

#include <QCoreApplication>
#include <cstdlib>
#include <iostream>

int main(int argc, char** argv) {
    // Without TZ the C library looks at /etc/localtime again for every local date it converts,
    // once per session of the report; naming the same zone once spares a school's file as many
    // file checks.
    if (!std::getenv("TZ"))
        ::setenv("TZ", ":/etc/localtime", 0);
    QCoreApplication app(argc, argv);
    return RunReportTool(std::vector<std::string>(argv + 1, argv + argc),
                         QCoreApplication::applicationDirPath().toStdString(), std::cout, std::cerr,
                         true);
}
