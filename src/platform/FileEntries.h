#pragma once
// Directory entries as they are, without following links: what an uninstaller needs to remove a
// link and never its target, and to tell whether a folder would be left empty.

#include <string>
#include <vector>

namespace platform {

// The path names a symbolic link (dangling or not).
bool IsSymbolicLink(const std::string& path);
// Something that is not a directory is there under this name: a file, a link (even a dangling
// one), a device. A link to a directory counts, since deleting it removes only the link.
bool NonDirectoryExists(const std::string& path);
// Names of the entries of a directory (without "." and ".."), in the program's form; empty when
// the directory cannot be read.
std::vector<std::string> DirectoryEntries(const std::string& path);

// This process may delete or rename entries of the folder that holds `path` (write and search
// permission on it). Whether a particular delete succeeds still depends on the entry.
bool CanChangeFolderOf(const std::string& path);
// This process may replace the file as the registry store does: the file has a write bit, may be
// written, and its folder may take a temporary file and a lock file.
bool CanReplaceFile(const std::string& path);

// Linux's own marks that stop even the owner from changing a regular file: append-only
// (chattr +a, as a lab's shared results file carries) and immutable. Windows knows only the
// read-only attribute, so deleting "even when read-only" has to take these off as well.
bool HasUnchangeableMark(const std::string& path);
// Takes both marks off (needs root); true when none is left.
bool ClearUnchangeableMark(const std::string& path);

} // namespace platform
