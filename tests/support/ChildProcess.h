#pragma once
// Runs a piece of a test in a child process with a generous time limit, for inputs that used to
// hang a reader or end the process by a signal: the test then fails instead of hanging or taking
// the test binary with it. No timing is asserted; the limit only ends a hang.

#include <csignal>
#include <functional>
#include <sys/wait.h>
#include <unistd.h>

// The child's exit status; 128 + the signal for a child that died by one; 999 when it was still
// running after `seconds` and was killed.
inline int InChild(const std::function<int()>& body, int seconds = 30) {
    const pid_t pid = fork();
    if (pid == 0)
        _exit(body());
    if (pid < 0)
        return -1;
    int status = 0;
    for (int waited = 0; waited < seconds * 100; ++waited) {
        if (waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        usleep(10000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return 999;
}
