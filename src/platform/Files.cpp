#include "platform/Files.h"

#include "platform/Exception.h"
#include "platform/Text.h"

#include <QString>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sched.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform {

namespace {

bool Lexists(const std::string& native) {
    struct stat st;
    return ::lstat(native.c_str(), &st) == 0;
}

// The entry of `dir` whose name equals `name` without regard to case; "" when there is none.
// Several candidates (possible on Linux) resolve to the first in byte order, so the choice does
// not depend on the order the directory happens to list them in.
std::string FindEntryIgnoringCase(const std::string& dir, const std::string& name) {
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (!d)
        return {};
    QString wanted = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    std::string best;
    while (dirent* e = ::readdir(d)) {
        std::string entry = e->d_name;
        if (entry == "." || entry == "..")
            continue;
        QString candidate = QString::fromUtf8(entry.data(), static_cast<qsizetype>(entry.size()));
        if (candidate.compare(wanted, Qt::CaseInsensitive) == 0 && (best.empty() || entry < best))
            best = entry;
    }
    ::closedir(d);
    return best;
}

std::string ErrorText(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + Utf8ToAnsi(std::strerror(errno));
}

} // namespace

std::string NativePath(const std::string& path) {
    std::string utf8 = AnsiToUtf8(path);
    for (char& c : utf8)
        if (c == '\\')
            c = '/';
    if (utf8.empty() || Lexists(utf8))
        return utf8;

    // Walk the components; once one matches nothing the rest cannot exist either.
    std::string out;
    std::size_t pos = 0;
    if (utf8[0] == '/') {
        out = "/";
        pos = 1;
    }
    bool missing = false;
    while (pos <= utf8.size()) {
        std::size_t slash = utf8.find('/', pos);
        std::string comp =
            utf8.substr(pos, slash == std::string::npos ? std::string::npos : slash - pos);
        if (!comp.empty()) {
            if (!missing && comp != "." && comp != ".." && !Lexists(out + comp)) {
                std::string found = FindEntryIgnoringCase(out, comp);
                if (found.empty())
                    missing = true;
                else
                    comp = found;
            }
            out += comp;
        }
        if (slash == std::string::npos)
            break;
        out += '/';
        pos = slash + 1;
    }
    return out;
}

std::string FromNativePath(const std::string& native) {
    return Utf8ToAnsi(native);
}

bool FileExists(const std::string& path) {
    struct stat st;
    return !path.empty() && ::stat(NativePath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
    struct stat st;
    return !path.empty() && ::stat(NativePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::int64_t FileSizeBySearch(const std::string& path) {
    // A search names one entry: a trailing separator or an empty name finds nothing.
    if (path.empty() || path.back() == '\\' || path.back() == '/')
        return -1;
    struct stat st;
    if (::stat(NativePath(path).c_str(), &st) != 0)
        return -1;
    return S_ISDIR(st.st_mode) ? 0 : static_cast<std::int64_t>(st.st_size);
}

bool FileIsReadOnly(const std::string& path) {
    struct stat st;
    return !path.empty() && ::stat(NativePath(path).c_str(), &st) == 0 &&
           (st.st_mode & S_IWUSR) == 0;
}

bool SetFileReadOnly(const std::string& path, bool readOnly) {
    std::string native = NativePath(path);
    struct stat st;
    if (path.empty() || ::stat(native.c_str(), &st) != 0)
        return false;
    mode_t mode = st.st_mode & 07777;
    mode = readOnly ? (mode & ~(S_IWUSR | S_IWGRP | S_IWOTH)) : (mode | S_IWUSR);
    return ::chmod(native.c_str(), mode) == 0;
}

bool DeleteFile(const std::string& path) {
    std::string native = NativePath(path);
    struct stat st;
    if (path.empty() || ::lstat(native.c_str(), &st) != 0 || S_ISDIR(st.st_mode))
        return false;
    // Windows refuses to delete a read-only file; callers clear the attribute first.
    if (!S_ISLNK(st.st_mode) && (st.st_mode & S_IWUSR) == 0)
        return false;
    return ::unlink(native.c_str()) == 0;
}

bool RemoveDir(const std::string& path) {
    return !path.empty() && ::rmdir(NativePath(path).c_str()) == 0;
}

namespace {

// Opens a file for reading. O_NONBLOCK keeps a device from blocking the open, and, unless
// `waitForWriter`, a FIFO without a writer too. A regular file or a FIFO is handed back in
// blocking mode, so that a FIFO with a writer is read like a file; anything else is refused.
int OpenForReading(const std::string& path, bool waitForWriter) {
    const std::string native = NativePath(path);
    struct stat before {};
    const bool fifo = ::stat(native.c_str(), &before) == 0 && S_ISFIFO(before.st_mode);
    const int wait = waitForWriter && fifo ? 0 : O_NONBLOCK;
    int fd = ::open(native.c_str(), O_RDONLY | wait | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        throw EInOutError(ErrorText("Cannot open file", path));
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        std::string message = ErrorText("Cannot open file", path);
        ::close(fd);
        throw EInOutError(message);
    }
    if (!S_ISREG(st.st_mode) && !S_ISFIFO(st.st_mode)) {
        ::close(fd);
        throw EInOutError("Cannot read file " + path + ": it is not a regular file");
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        std::string message = ErrorText("Cannot open file", path);
        ::close(fd);
        throw EInOutError(message);
    }
    return fd;
}

class TFd {
public:
    explicit TFd(int fd) : Fd(fd) {}
    ~TFd() { ::close(Fd); }
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    int Get() const { return Fd; }

private:
    int Fd;
};

std::string TooLarge(const std::string& path, std::size_t limit) {
    return "Cannot read file " + path + ": it is larger than " + std::to_string(limit) + " bytes";
}

} // namespace

std::string ReadFileBytes(const std::string& path, std::size_t limit) {
    TFd fd(OpenForReading(path, false));
    struct stat st {};
    std::size_t expected = 0;
    if (::fstat(fd.Get(), &st) == 0 && S_ISREG(st.st_mode)) {
        if (static_cast<std::uint64_t>(st.st_size) > limit)
            throw EFileTooLarge(TooLarge(path, limit));
        expected = static_cast<std::size_t>(st.st_size);
    }
    std::string out;
    out.reserve(expected);
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd.Get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw EInOutError(ErrorText("Cannot read file", path));
        if (n == 0)
            break;
        // A file that grows while it is read, or a FIFO, stops at the limit all the same.
        if (static_cast<std::size_t>(n) > limit - out.size())
            throw EFileTooLarge(TooLarge(path, limit));
        out.append(buffer, static_cast<std::size_t>(n));
    }
    return out;
}

void IgnoreWriteSignals() {
    // Only the default action is replaced: a handler someone installed stays.
    for (int sig : {SIGPIPE, SIGXFSZ}) {
        struct sigaction current {};
        if (::sigaction(sig, nullptr, &current) == 0 && current.sa_handler == SIG_DFL)
            std::signal(sig, SIG_IGN);
    }
}

unsigned ProcessorsAvailable() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (::sched_getaffinity(0, sizeof set, &set) != 0)
        return 1;
    return static_cast<unsigned>(CPU_COUNT(&set));
}

// The library reader built on this one still waits for a FIFO's writer, as its callers expect.
TReadFile::TReadFile(const std::string& path) : Fd(OpenForReading(path, true)) {
    struct stat st {};
    if (::fstat(Fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
        Hint = static_cast<std::size_t>(st.st_size);
}

TReadFile::~TReadFile() {
    ::close(Fd);
}

std::ptrdiff_t TReadFile::Read(char* to, std::size_t n) {
    for (;;) {
        ssize_t got = ::read(Fd, to, n);
        if (got >= 0 || errno != EINTR)
            return got < 0 ? -1 : got;
    }
}

void WriteFileAtomically(const std::string& path, const std::string& bytes) {
    IgnoreWriteSignals();
    std::string native = NativePath(path);
    std::size_t slash = native.rfind('/');
    std::string dir = slash == std::string::npos ? std::string() : native.substr(0, slash + 1);
    std::string base = slash == std::string::npos ? native : native.substr(slash + 1);
    std::string temp = dir + "." + base + ".XXXXXX";
    std::vector<char> name(temp.begin(), temp.end());
    name.push_back('\0');
    int fd = ::mkstemp(name.data());
    if (fd < 0)
        throw EInOutError(ErrorText("Cannot write file", path));
    temp = name.data();

    // The new file keeps the mode of the one it replaces; a new one gets the usual 0666 & ~umask.
    struct stat st;
    mode_t mode;
    if (::stat(native.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    int err = ::fchmod(fd, mode) == 0 ? 0 : errno;
    std::size_t done = 0;
    while (err == 0 && done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            err = n < 0 ? errno : EIO;
        else
            done += static_cast<std::size_t>(n);
    }
    if (err == 0 && ::fsync(fd) != 0)
        err = errno;
    if (::close(fd) != 0 && err == 0)
        err = errno;
    if (err == 0 && ::rename(temp.c_str(), native.c_str()) != 0)
        err = errno;
    if (err != 0) {
        ::unlink(temp.c_str());
        errno = err;
        throw EInOutError(ErrorText("Cannot write file", path));
    }
}

std::string ExtractFilePath(const std::string& path) {
    std::size_t p = path.find_last_of("\\/");
    return p == std::string::npos ? std::string() : path.substr(0, p + 1);
}

std::string IncludeTrailingBackslash(const std::string& path) {
    // An empty path stays empty: on Linux a lone separator would name the file-system root.
    if (path.empty() || path.back() == '\\' || path.back() == '/')
        return path;
    return path + '/';
}

std::string GetWindowsDirectory() {
    const char* env = std::getenv("ZARVO_WINDIR");
    std::string dir = env && *env ? Utf8ToAnsi(env) : std::string("/etc/zarvo");
    while (dir.size() > 1 && (dir.back() == '/' || dir.back() == '\\'))
        dir.pop_back();
    return dir;
}

} // namespace platform
