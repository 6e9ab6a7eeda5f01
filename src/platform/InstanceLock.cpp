#include "platform/InstanceLock.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace platform {

TInstanceLock::TInstanceLock(std::string path) : Path(std::move(path)) {}

TInstanceLock::~TInstanceLock() {
    if (Fd < 0)
        return;
    // Removed while still locked, so that a copy starting now creates a fresh file rather than
    // locking this one after it is gone.
    ::unlink(Path.c_str());
    ::close(Fd);
}

TInstanceLock::TResult TInstanceLock::TryAcquire() {
    if (Fd >= 0)
        return TResult::Acquired;
    // A copy that was ending may have removed the file between its opening here and the lock;
    // the lock then belongs to a name that is gone, and the file is opened again.
    for (int attempt = 0; attempt < 5; ++attempt) {
        const int fd = ::open(Path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0)
            return TResult::Unavailable;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            ::close(fd);
            return error == EWOULDBLOCK ? TResult::HeldElsewhere : TResult::Unavailable;
        }
        struct stat opened {
        }, named{};
        if (::fstat(fd, &opened) == 0 && ::stat(Path.c_str(), &named) == 0 &&
            opened.st_dev == named.st_dev && opened.st_ino == named.st_ino) {
            // The process number, for whoever looks at the file; a failed write changes nothing.
            if (::ftruncate(fd, 0) == 0) {
                const std::string pid = std::to_string(::getpid()) + "\n";
                [[maybe_unused]] const ssize_t written = ::write(fd, pid.data(), pid.size());
            }
            Fd = fd;
            return TResult::Acquired;
        }
        ::close(fd);
    }
    return TResult::Unavailable;
}

} // namespace platform
