#pragma once
// One running copy per lock file. The lock is the system's exclusive lock on the open file, so
// it goes with the process however that ends: a copy that crashed or was killed at logout
// leaves nothing for the next start to clear, and taking the lock writes nothing to disk.

#include <string>

namespace platform {

class TInstanceLock {
public:
    enum class TResult {
        Acquired,      // this process holds it until the object goes
        HeldElsewhere, // another process holds it
        Unavailable    // the file cannot be made or locked (folder missing, not writable)
    };

    explicit TInstanceLock(std::string path);
    ~TInstanceLock();
    TInstanceLock(const TInstanceLock&) = delete;
    TInstanceLock& operator=(const TInstanceLock&) = delete;

    TResult TryAcquire();
    bool Held() const { return Fd >= 0; }

private:
    std::string Path;
    int Fd = -1;
};

} // namespace platform
