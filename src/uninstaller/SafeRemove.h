#pragma once
// Removing what the installation made and nothing else. Uninstall.log lies in a folder that
// pupils or a network share may write, and the Uninstaller runs as root: a listed name is taken
// only when it is a plain absolute path inside the program folder (or the installation root the
// installers record), and it is reached one folder at a time without following any link, so
// that a link planted on the way cannot send the deletion elsewhere.

#include <string>
#include <vector>

// A byte below 32 or 127: a name holding one cannot come from the installation (a line break
// in it would make the log name a different file).
bool HasControlCharacter(const std::string& name);
// The components of an absolute path with '/' or '\' separators, when every one is a name: no
// empty, "." or ".." component (a trailing separator counts as an empty one). Empty for anything
// else, the root itself included.
std::vector<std::string> PlainAbsoluteComponents(const std::string& path);
// `path` lies strictly inside `folder` (both plain absolute paths; `folder` may end in a
// separator), compared component by component without regard to case, as Windows names are.
bool IsInsideFolder(const std::string& path, const std::string& folder);

// Results captions of both interface languages (cp1251), as the trainer begins the file.
const std::vector<std::string>& ResultsCaptions();
// The bytes begin with a results caption, or there are none.
bool LooksLikeResultsFile(const std::string& head);

enum class TRemoveOutcome {
    Removed,     // gone (or, in a dry run, would go)
    Missing,     // nothing under this name
    Failed,      // the system refused (a folder, no permission)
    Outside,     // not inside the folder: kept
    ThroughLink, // a component below the folder is a link: kept
    Protected,   // an immutable file, or append-only where that mark may not be cleared: kept
    NotResults   // not a regular file that is empty or begins with a results caption: kept
};
// The outcomes that keep a file on purpose; each is reported.
bool IsKept(TRemoveOutcome outcome);

struct TRemoveRequest {
    // The folder the path lies in (a plain absolute path). It is opened as it is named, links
    // included, since the registry names it; everything below it is reached without links.
    std::string Folder;
    std::string Path; // inside Folder
    // The results file the registry names: its read-only attribute and append-only mark may be
    // cleared. Listed files may have their read-only attribute cleared, never a mark.
    bool ResultsFile = false;
};

// Deletes the entry: a file or a link itself, never a folder. With `dryRun` nothing is changed
// and Removed means the deletion would be tried.
TRemoveOutcome RemoveInsideFolder(const TRemoveRequest& request, bool dryRun);

// The results file named outside the program folder (an absolute name elsewhere, or a relative
// one climbing out with ".."): removed only when it is a regular file that is empty or begins
// with a results caption, since the registry's value alone does not prove the file is ours.
TRemoveOutcome RemoveForeignResultsFile(const std::string& path, bool dryRun);

// Why a path was kept, for the report ("reached through a link", ...).
std::string KeptReason(TRemoveOutcome outcome);
