#pragma once
// What the Uninstaller tells before it removes anything: whether a package manager owns the
// installation (then that is the way to remove it, and nothing is done here), and which results
// file goes and how many pupils' sessions it holds.

#include "uninstaller/Target.h"
#include "uninstaller/Texts.h"

#include <string>

// The registry value the packages' maintainer scripts write: "deb" or "rpm"; empty for an
// installation this program removes.
extern const char* const PackageKey;
std::string InstalledPackage(IUninstallTarget& target);
// The text that names the commands removing the package.
std::string PackageRemovalText(const TUninstallTexts& texts, const std::string& package);

// The results file the steps would delete (the program folder + Files\Result, or a full name);
// empty when there is none.
std::string FindResultsFile(IUninstallTarget& target);
// Blocks of a results file: each begins with an empty line followed by its date line.
int CountResultBlocks(const std::string& text);
// -1 when the file cannot be read.
int CountResultBlocksInFile(const std::string& path);
// The line under the confirmation: the file, its blocks, and whether it goes or stays.
std::string ResultsLine(const TUninstallTexts& texts, const std::string& file, int blocks,
                        bool keep);
