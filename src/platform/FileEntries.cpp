#include "platform/FileEntries.h"

#include "platform/Files.h"

#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

bool Lstat(const std::string& path, struct stat& st) {
    return !path.empty() && ::lstat(NativePath(path).c_str(), &st) == 0;
}

std::string NativeFolderOf(const std::string& path) {
    std::string native = NativePath(path);
    while (native.size() > 1 && native.back() == '/')
        native.pop_back();
    std::size_t slash = native.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : native.substr(0, slash);
}

} // namespace

bool IsSymbolicLink(const std::string& path) {
    struct stat st;
    return Lstat(path, st) && S_ISLNK(st.st_mode);
}

bool NonDirectoryExists(const std::string& path) {
    struct stat st;
    return Lstat(path, st) && !S_ISDIR(st.st_mode);
}

bool CanChangeFolderOf(const std::string& path) {
    return !path.empty() && ::access(NativeFolderOf(path).c_str(), W_OK | X_OK) == 0;
}

bool CanReplaceFile(const std::string& path) {
    struct stat st;
    // Root passes access() for any file, so the write bits are looked at as well.
    return !path.empty() && ::stat(NativePath(path).c_str(), &st) == 0 &&
           (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0 &&
           ::access(NativePath(path).c_str(), W_OK) == 0 && CanChangeFolderOf(path);
}

std::vector<std::string> DirectoryEntries(const std::string& path) {
    std::vector<std::string> names;
    if (path.empty())
        return names;
    DIR* d = ::opendir(NativePath(path).c_str());
    if (!d)
        return names;
    while (dirent* e = ::readdir(d)) {
        std::string name = e->d_name;
        if (name != "." && name != "..")
            names.push_back(FromNativePath(name));
    }
    ::closedir(d);
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace platform
