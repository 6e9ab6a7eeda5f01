#include "platform/FileEntries.h"

#include "platform/Files.h"

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
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

namespace {

constexpr int UnchangeableFlags = FS_APPEND_FL | FS_IMMUTABLE_FL;

// The file's attribute flags through a descriptor of the file itself: never through a link, and
// only for a regular file (opening a device to ask could have effects of its own).
int OpenForFlags(const std::string& path) {
    const std::string native = NativePath(path);
    struct stat st;
    if (path.empty() || ::lstat(native.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return -1;
    return ::open(native.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
}

} // namespace

bool HasUnchangeableMark(const std::string& path) {
    const int fd = OpenForFlags(path);
    if (fd < 0)
        return false;
    int flags = 0;
    const bool marked = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 && (flags & UnchangeableFlags);
    ::close(fd);
    return marked;
}

bool ClearUnchangeableMark(const std::string& path) {
    const int fd = OpenForFlags(path);
    if (fd < 0)
        return false;
    int flags = 0;
    bool clear = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) != 0 || !(flags & UnchangeableFlags);
    if (!clear) {
        flags &= ~UnchangeableFlags;
        clear = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return clear;
}

} // namespace platform
