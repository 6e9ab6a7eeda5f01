#pragma once
// Shell special folders, by their Windows CSIDL numbers. On Linux the desktop is
// $XDG_DESKTOP_DIR or ~/Desktop and the programs menu is $XDG_DATA_HOME/applications (default
// ~/.local/share/applications); shortcuts there are .desktop files. The all-users ("common")
// folders have no equivalent, so asking for them fails and callers fall back to the per-user ones.

#include <string>

namespace platform {

enum : int {
    CSIDL_PROGRAMS = 2,
    CSIDL_DESKTOPDIRECTORY = 16,
    CSIDL_COMMON_PROGRAMS = 23,
    CSIDL_COMMON_DESKTOPDIRECTORY = 25,
};

// The folder's path in the program's form (cp1251), without a trailing separator; empty when the
// folder cannot be obtained (a common folder, or neither the variable nor an absolute $HOME).
// The folder need not exist: a machine without a desktop simply has no shortcuts on it.
std::string GetSpecialFolderPath(int csidl);

// The file-name extension of a shortcut, with its dot.
inline const char* ShortcutExtension() {
    return ".desktop";
}

} // namespace platform
