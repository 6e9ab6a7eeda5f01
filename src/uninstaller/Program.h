#pragma once
// The program around the steps: the command line, the window run (ask, run, report), and the two
// runs without a window for administrators (--dry-run lists, --yes removes).

#include <ostream>
#include <string>
#include <vector>

enum class TUninstallMode { Window, DryRun, Yes, Help, BadUsage };

struct TUninstallOptions {
    TUninstallMode Mode = TUninstallMode::Window;
    bool KeepResults = false;
    std::string BadArgument; // for BadUsage
};

TUninstallOptions ParseUninstallArguments(const std::vector<std::string>& args);

// Runs one mode. The window run needs the Qt application; the others need none and write to the
// given streams. Exit status: 0 when every step ran and removed all it was meant to, 1 when a
// step failed, the texts could not be read or files were kept (the window run: 1 only for kept
// files, as its errors are shown), 2 for a wrong command line. An installation a package manager
// owns is left alone: the runs name its removal command instead (--yes then exits with 1, as
// nothing was removed).
int RunUninstallProgram(const TUninstallOptions& options, std::ostream& out, std::ostream& err);

int UninstallMain(int argc, char** argv);
