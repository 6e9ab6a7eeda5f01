#include "uninstaller/SafeRemove.h"

#include "platform/Files.h"
#include "platform/Text.h"

#include <QString>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class TFd {
public:
    TFd() = default;
    explicit TFd(int fd) : Fd(fd) {}
    ~TFd() { Reset(-1); }
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    void Reset(int fd) {
        if (Fd >= 0)
            ::close(Fd);
        Fd = fd;
    }
    int Get() const { return Fd; }

private:
    int Fd = -1;
};

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

// The entry of the open folder whose name equals `name` without regard to case, the first in
// byte order when several do; "" when there is none. Windows names ignore case and the logs
// written for them rely on it, as the platform's own path resolution does.
std::string FindIgnoringCase(int dirFd, const std::string& name) {
    const int copy = ::openat(dirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (copy < 0)
        return {};
    DIR* d = ::fdopendir(copy);
    if (!d) {
        ::close(copy);
        return {};
    }
    const QString wanted = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    std::string best;
    while (dirent* e = ::readdir(d)) {
        const std::string entry = e->d_name;
        if (entry == "." || entry == "..")
            continue;
        const QString candidate =
            QString::fromUtf8(entry.data(), static_cast<qsizetype>(entry.size()));
        if (candidate.compare(wanted, Qt::CaseInsensitive) == 0 && (best.empty() || entry < best))
            best = entry;
    }
    ::closedir(d);
    return best;
}

// The entry itself (never a link's target) under its exact name or, failing that, under the
// same name in another case. False when there is none.
bool Lookup(int dirFd, std::string& name, struct stat& st) {
    if (::fstatat(dirFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0)
        return true;
    if (errno != ENOENT)
        return false;
    std::string found = FindIgnoringCase(dirFd, name);
    if (found.empty() || ::fstatat(dirFd, found.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    name = found;
    return true;
}

// Removes one entry of an open folder: a link or any other non-folder itself. A regular file
// keeps an immutable mark, and an append-only one unless `clearAppendOnly`; unlinking does not
// care about the read-only attribute, so it is never changed.
TRemoveOutcome RemoveEntry(int dirFd, const std::string& name, const struct stat& st,
                           bool clearAppendOnly, bool dryRun) {
    if (S_ISDIR(st.st_mode))
        return TRemoveOutcome::Failed;
    if (S_ISREG(st.st_mode)) {
        TFd file(::openat(dirFd, name.c_str(),
                          O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
        struct stat now {};
        int flags = 0;
        if (file.Get() >= 0 && ::fstat(file.Get(), &now) == 0 &&
            (now.st_ino != st.st_ino || now.st_dev != st.st_dev))
            return TRemoveOutcome::Failed; // replaced meanwhile: look again next time
        if (file.Get() >= 0 && ::ioctl(file.Get(), FS_IOC_GETFLAGS, &flags) == 0) {
            if (flags & FS_IMMUTABLE_FL)
                return TRemoveOutcome::Protected;
            if (flags & FS_APPEND_FL) {
                if (!clearAppendOnly)
                    return TRemoveOutcome::Protected;
                flags &= ~FS_APPEND_FL;
                if (!dryRun && ::ioctl(file.Get(), FS_IOC_SETFLAGS, &flags) != 0)
                    return TRemoveOutcome::Failed;
            }
        }
    }
    if (dryRun)
        return ::faccessat(dirFd, ".", W_OK | X_OK, 0) == 0 ? TRemoveOutcome::Removed
                                                            : TRemoveOutcome::Failed;
    return ::unlinkat(dirFd, name.c_str(), 0) == 0 ? TRemoveOutcome::Removed
                                                   : TRemoveOutcome::Failed;
}

std::string NativeName(const std::string& component) {
    return platform::AnsiToUtf8(component);
}

} // namespace

bool HasControlCharacter(const std::string& name) {
    for (char c : name) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 32 || b == 127)
            return true;
    }
    return false;
}

std::vector<std::string> PlainAbsoluteComponents(const std::string& path) {
    std::vector<std::string> parts;
    if (path.empty() || !IsSeparator(path[0]))
        return {};
    std::size_t pos = 1;
    for (;;) {
        std::size_t end = pos;
        while (end < path.size() && !IsSeparator(path[end]))
            ++end;
        std::string part = path.substr(pos, end - pos);
        if (part.empty() || part == "." || part == ".." || part.find('\0') != std::string::npos)
            return {};
        parts.push_back(std::move(part));
        if (end >= path.size())
            return parts;
        pos = end + 1;
    }
}

bool IsInsideFolder(const std::string& path, const std::string& folder) {
    std::string bare = folder;
    while (bare.size() > 1 && IsSeparator(bare.back()))
        bare.pop_back();
    const std::vector<std::string> inner = PlainAbsoluteComponents(path);
    const std::vector<std::string> outer = PlainAbsoluteComponents(bare);
    if (outer.empty() || inner.size() <= outer.size())
        return false;
    for (std::size_t i = 0; i < outer.size(); ++i)
        if (platform::AnsiLowerCase(inner[i]) != platform::AnsiLowerCase(outer[i]))
            return false;
    return true;
}

const std::vector<std::string>& ResultsCaptions() {
    static const std::vector<std::string> captions = {
        "The \"Zarvo\" Results file",
        platform::Utf8ToAnsi("Файл результатов программы \"Зарво\""),
    };
    return captions;
}

bool LooksLikeResultsFile(const std::string& head) {
    if (head.empty())
        return true;
    for (const std::string& caption : ResultsCaptions())
        if (head.compare(0, caption.size(), caption) == 0)
            return true;
    return false;
}

TRemoveOutcome RemoveInsideFolder(const TRemoveRequest& request, bool dryRun) {
    if (!IsInsideFolder(request.Path, request.Folder))
        return TRemoveOutcome::Outside;
    std::string bare = request.Folder;
    while (bare.size() > 1 && IsSeparator(bare.back()))
        bare.pop_back();
    const std::size_t depth = PlainAbsoluteComponents(bare).size();
    const std::vector<std::string> parts = PlainAbsoluteComponents(request.Path);

    TFd dir(::open(platform::NativePath(bare).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Get() < 0)
        return errno == ENOENT ? TRemoveOutcome::Missing : TRemoveOutcome::Failed;
    for (std::size_t i = depth; i + 1 < parts.size(); ++i) {
        std::string name = NativeName(parts[i]);
        struct stat st {};
        if (!Lookup(dir.Get(), name, st))
            return errno == ENOENT ? TRemoveOutcome::Missing : TRemoveOutcome::Failed;
        if (S_ISLNK(st.st_mode))
            return TRemoveOutcome::ThroughLink;
        if (!S_ISDIR(st.st_mode))
            return TRemoveOutcome::Missing;
        const int next =
            ::openat(dir.Get(), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (next < 0)
            // Made a link after the look: still a link on the way.
            return errno == ELOOP || errno == ENOTDIR ? TRemoveOutcome::ThroughLink
                                                      : TRemoveOutcome::Failed;
        dir.Reset(next);
    }
    std::string last = NativeName(parts.back());
    struct stat st {};
    if (!Lookup(dir.Get(), last, st))
        return errno == ENOENT ? TRemoveOutcome::Missing : TRemoveOutcome::Failed;
    return RemoveEntry(dir.Get(), last, st, request.ResultsFile, dryRun);
}

TRemoveOutcome RemoveForeignResultsFile(const std::string& path, bool dryRun) {
    const std::string native = platform::NativePath(path);
    const std::size_t slash = native.rfind('/');
    if (slash == std::string::npos || slash + 1 == native.size())
        return TRemoveOutcome::NotResults;
    const std::string folder = slash == 0 ? "/" : native.substr(0, slash);
    TFd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Get() < 0)
        return errno == ENOENT ? TRemoveOutcome::Missing : TRemoveOutcome::Failed;
    std::string name = native.substr(slash + 1);
    struct stat st {};
    if (!Lookup(dir.Get(), name, st))
        return errno == ENOENT ? TRemoveOutcome::Missing : TRemoveOutcome::Failed;
    if (!S_ISREG(st.st_mode))
        return TRemoveOutcome::NotResults;
    TFd file(::openat(dir.Get(), name.c_str(),
                      O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.Get() < 0)
        return TRemoveOutcome::Failed;
    std::string head(256, '\0');
    ssize_t got;
    do
        got = ::read(file.Get(), head.data(), head.size());
    while (got < 0 && errno == EINTR);
    if (got < 0)
        return TRemoveOutcome::Failed;
    head.resize(static_cast<std::size_t>(got));
    if (!LooksLikeResultsFile(head))
        return TRemoveOutcome::NotResults;
    return RemoveEntry(dir.Get(), name, st, true, dryRun);
}

bool IsKept(TRemoveOutcome outcome) {
    return outcome == TRemoveOutcome::Outside || outcome == TRemoveOutcome::ThroughLink ||
           outcome == TRemoveOutcome::Protected || outcome == TRemoveOutcome::NotResults;
}

std::string KeptReason(TRemoveOutcome outcome) {
    switch (outcome) {
    case TRemoveOutcome::Outside:
        return "it lies outside the program folder and the installation's own folders";
    case TRemoveOutcome::ThroughLink:
        return "a link stands on the way to it";
    case TRemoveOutcome::Protected:
        return "it is marked immutable or append-only";
    case TRemoveOutcome::NotResults:
        return "it is not a results file";
    default:
        return "it could not be deleted";
    }
}
