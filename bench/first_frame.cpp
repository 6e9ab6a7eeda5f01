// Time from starting a program to its first mapped window, for two programs started in turn, as
// a pupil waits for the first screen. Median of several starts each and their ratio.
//
//   first_frame [--runs N] -- PROGRAM [ARGS...] -- PROGRAM [ARGS...]
//
// Needs $DISPLAY. A window counts when the X server maps a child of the root window: the
// program's own window, or the frame a window manager puts around it.

#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Milliseconds from exec to the first MapNotify on the root, or a negative number on timeout.
double TimeOneStart(xcb_connection_t* c, const std::vector<char*>& argv) {
    // Drain what earlier programs left behind.
    while (xcb_generic_event_t* e = xcb_poll_for_event(c))
        free(e);
    const Clock::time_point start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execvp(argv[0], argv.data());
        _exit(127);
    }
    double ms = -1;
    const int fd = xcb_get_file_descriptor(c);
    while (Clock::now() - start < std::chrono::seconds(20)) {
        pollfd p{fd, POLLIN, 0};
        poll(&p, 1, 50);
        bool mapped = false;
        while (xcb_generic_event_t* e = xcb_poll_for_event(c)) {
            mapped |= (e->response_type & 0x7f) == XCB_MAP_NOTIFY;
            free(e);
        }
        if (mapped) {
            ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            break;
        }
    }
    kill(pid, SIGTERM);
    int status = 0;
    for (int i = 0; i < 40 && waitpid(pid, &status, WNOHANG) == 0; ++i)
        usleep(50000);
    if (waitpid(pid, &status, WNOHANG) == 0) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
    }
    // Let the window manager and the server settle before the next start.
    usleep(300000);
    return ms;
}

// The value below which the given share of the starts lie (0.5: the median).
double Quantile(std::vector<double> v, double share) {
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[static_cast<std::size_t>(share * static_cast<double>(v.size() - 1) + 0.5)];
}

} // namespace

int main(int argc, char** argv) {
    int runs = 7;
    std::vector<std::vector<char*>> programs;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (std::strcmp(argv[i], "--") == 0) {
            programs.emplace_back();
        } else if (!programs.empty()) {
            programs.back().push_back(argv[i]);
        }
    }
    if (programs.size() != 2 || programs[0].empty() || programs[1].empty()) {
        std::fprintf(stderr,
                     "usage: first_frame [--runs N] -- PROGRAM [ARGS...] -- PROGRAM [ARGS...]\n");
        return 2;
    }
    for (auto& p : programs)
        p.push_back(nullptr);
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "first_frame: cannot open the display\n");
        return 2;
    }
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, screen->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c);

    std::vector<double> times[2];
    for (int r = 0; r < runs; ++r)
        for (int k = 0; k < 2; ++k) {
            const double ms = TimeOneStart(c, programs[static_cast<std::size_t>(k)]);
            if (ms < 0) {
                std::fprintf(stderr, "first_frame: %s mapped no window in 20 s\n",
                             programs[static_cast<std::size_t>(k)][0]);
                return 1;
            }
            times[k].push_back(ms);
        }
    // The quartiles show how much the machine's other work moved the starts.
    for (std::size_t k = 0; k < 2; ++k)
        std::printf("%-40s median %7.1f ms over %d starts (middle half %.1f-%.1f ms)\n",
                    programs[k][0], Quantile(times[k], 0.5), runs, Quantile(times[k], 0.25),
                    Quantile(times[k], 0.75));
    const double a = Quantile(times[0], 0.5), b = Quantile(times[1], 0.5);
    std::printf("ratio (first / second): %.2f (aim: at most 1.3)\n", b > 0 ? a / b : 0.0);
    xcb_disconnect(c);
    return 0;
}
