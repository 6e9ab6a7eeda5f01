#include "platform/InstanceLock.h"

#include "support/Sandbox.h"

#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace platform;
using TResult = TInstanceLock::TResult;

namespace {

std::string Contents(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Another copy: a process that takes the lock, says so through a pipe and waits to be killed.
pid_t HoldInAnotherProcess(const std::string& path) {
    int ready[2];
    if (pipe(ready) != 0)
        return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        TInstanceLock lock(path);
        const char held = lock.TryAcquire() == TResult::Acquired ? 'y' : 'n';
        [[maybe_unused]] const ssize_t n = write(ready[1], &held, 1);
        for (;;)
            pause();
    }
    close(ready[1]);
    char held = 0;
    const bool told = read(ready[0], &held, 1) == 1 && held == 'y';
    close(ready[0]);
    if (!told && pid > 0) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        return -1;
    }
    return pid;
}

} // namespace

TEST(InstanceLock, AnotherProcessHoldsItUntilItEndsHoweverItEnds) {
    TSandbox box;
    const std::string path = box.Root() + "zarvo.lock";
    const pid_t other = HoldInAnotherProcess(path);
    ASSERT_GT(other, 0);
    {
        TInstanceLock second(path);
        EXPECT_EQ(second.TryAcquire(), TResult::HeldElsewhere);
        EXPECT_FALSE(second.Held());
    }
    EXPECT_TRUE(std::ifstream(path).good()) << "a refused copy leaves the holder's file alone";

    // Killed outright, as at a forced logout: its file is still there, and no matter.
    kill(other, SIGKILL);
    waitpid(other, nullptr, 0);
    TInstanceLock next(path);
    EXPECT_EQ(next.TryAcquire(), TResult::Acquired);
    EXPECT_EQ(Contents(path), std::to_string(getpid()) + "\n");
}

TEST(InstanceLock, ReleasedWithItsObjectAndUnavailableWhereNoFileCanBeMade) {
    TSandbox box;
    const std::string path = box.Root() + "zarvo.lock";
    {
        TInstanceLock first(path);
        ASSERT_EQ(first.TryAcquire(), TResult::Acquired);
        EXPECT_EQ(first.TryAcquire(), TResult::Acquired) << "asking again keeps it";
        // A second lock in the same process is a second open file, so it is refused as well.
        EXPECT_EQ(TInstanceLock(path).TryAcquire(), TResult::HeldElsewhere);
    }
    EXPECT_FALSE(std::ifstream(path).good()) << "removed when released";
    EXPECT_EQ(TInstanceLock(path).TryAcquire(), TResult::Acquired);

    EXPECT_EQ(TInstanceLock(box.Root() + "missing/zarvo.lock").TryAcquire(), TResult::Unavailable);
    // A file planted as a link is not followed.
    ASSERT_EQ(symlink((box.Root() + "elsewhere").c_str(), (box.Root() + "link.lock").c_str()), 0);
    EXPECT_EQ(TInstanceLock(box.Root() + "link.lock").TryAcquire(), TResult::Unavailable);
    EXPECT_FALSE(std::ifstream(box.Root() + "elsewhere").good());
}
