#pragma once
// zarvo-report: a class's results and its weak spots, read from the trainer's results files.

#include <iosfwd>
#include <string>
#include <vector>

// Runs the tool on its arguments (without the program name); returns the exit status: 0, 1 when
// nothing could be read, the rule library given cannot be read or an output could not be
// written, 2 for a wrong command line.
// `binaryDir` locates the installed language file when none is given. With `exiting` the process
// ends right after, and the sessions read are left for it to free.
int RunReportTool(const std::vector<std::string>& args, const std::string& binaryDir,
                  std::ostream& out, std::ostream& err, bool exiting = false);

std::string ReportUsage();
