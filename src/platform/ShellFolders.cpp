#include "platform/ShellFolders.h"

#include "platform/Text.h"

#include <cstdlib>

namespace platform {

namespace {

// An environment variable that holds an absolute path, without trailing separators; empty
// otherwise. Relative values are ignored, as the XDG base-directory rules ask.
std::string AbsoluteFromEnv(const char* name) {
    const char* value = std::getenv(name);
    if (!value || value[0] != '/')
        return {};
    std::string path = value;
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

std::string UnderHome(const char* relative) {
    std::string home = AbsoluteFromEnv("HOME");
    if (home.empty())
        return {};
    return (home == "/" ? std::string() : home) + relative;
}

} // namespace

std::string GetSpecialFolderPath(int csidl) {
    std::string path;
    switch (csidl) {
    case CSIDL_DESKTOPDIRECTORY:
        path = AbsoluteFromEnv("XDG_DESKTOP_DIR");
        if (path.empty())
            path = UnderHome("/Desktop");
        break;
    case CSIDL_PROGRAMS:
        path = AbsoluteFromEnv("XDG_DATA_HOME");
        if (!path.empty())
            path = (path == "/" ? std::string() : path) + "/applications";
        else
            path = UnderHome("/.local/share/applications");
        break;
    default:
        // The common folders and anything else: not available here.
        break;
    }
    return Utf8ToAnsi(path);
}

} // namespace platform
