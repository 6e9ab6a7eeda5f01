#pragma once
// "Install for pupils": the pair packed into the two libraries the installed trainer reads, put
// where it reads them, the previous pair kept beside them as a backup. A pair with errors is never
// installed: the trainer would refuse it or show broken sentences to a whole class.

#include "Document.h"

#include <optional>
#include <string>

struct TInstallTarget {
    std::string VarLibFile; // native paths
    std::string RuleFile;
};

// The libraries of a folder the teacher chose: Zarvo.ff and Zarvo.frf in it.
TInstallTarget TargetInFolder(const std::string& folder);

// The libraries the trainer installed on this machine reads, by its settings (Windows directory,
// registry, content directory); nothing when no installed trainer is found.
std::optional<TInstallTarget> InstalledTarget();

struct TInstallResult {
    bool Done = false;
    std::string Message;      // UTF-8, for the teacher
    std::string VarLibBackup; // the previous libraries, when there were any
    std::string RuleBackup;
};

// Packs, checks, backs up the previous pair (FILE.bak, replacing an older backup) and writes both
// libraries atomically. When the second write fails the first library is put back.
TInstallResult InstallForPupils(const TEditorDocument& doc, const TInstallTarget& target);
