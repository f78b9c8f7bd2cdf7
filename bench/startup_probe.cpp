// Starts a program and watches the X server from outside for its first
// window: when it is mapped and when its first frame reaches the screen. The
// program under test needs no hook, so the same probe measures any GUI
// program (ours and its peers) on the same Xvfb.
//
// The screen must be black where the window appears (Xvfb -br, nothing else
// running). "First frame" is the first poll in which any pixel inside a
// mapped top-level window of the new program is no longer black. The root
// window is read back with XGetImage, so what counts is what the X server
// shows, not what the program believes it drew. Resolution: one poll, about
// 1 ms of sleep plus the time of one XGetImage of the window area (a few ms
// for 1024 x 640 on Xvfb); the probe prints its median poll period.
//
// Output (one line on stdout, times in ms since the fork):
//   pid=<pid> t0=<CLOCK_MONOTONIC seconds at the fork> map_ms=<x> frame_ms=<y> poll_ms=<p>
// The program keeps running; the caller measures it further and ends it.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <poll.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

double nowSec() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

struct Mapped {
    Window window;
    int x, y, width, height;
};

// Any pixel of the area that is not black.
bool drawn(Display *dpy, const Mapped &m) {
    const int sw = DisplayWidth(dpy, DefaultScreen(dpy));
    const int sh = DisplayHeight(dpy, DefaultScreen(dpy));
    const int x = std::max(0, m.x), y = std::max(0, m.y);
    const int w = std::min(sw, m.x + m.width) - x, h = std::min(sh, m.y + m.height) - y;
    if (w <= 0 || h <= 0)
        return false;
    XImage *img =
        XGetImage(dpy, DefaultRootWindow(dpy), x, y, unsigned(w), unsigned(h), AllPlanes, ZPixmap);
    if (!img)
        return false;
    bool any = false;
    if (img->bits_per_pixel == 32) {
        // The usual 24-bit visual: scan the rows directly, XGetPixel per
        // pixel would dominate the poll period.
        for (int row = 0; row < h && !any; ++row) {
            const auto *px =
                reinterpret_cast<const std::uint32_t *>(img->data + row * img->bytes_per_line);
            for (int col = 0; col < w; ++col)
                if ((px[col] & 0xffffff) != 0) {
                    any = true;
                    break;
                }
        }
    } else {
        for (int row = 0; row < h && !any; ++row)
            for (int col = 0; col < w; ++col)
                if ((XGetPixel(img, col, row) & 0xffffff) != 0) {
                    any = true;
                    break;
                }
    }
    XDestroyImage(img);
    return any;
}

int usage() {
    std::fprintf(stderr, "usage: startup_probe [--timeout SECONDS] -- PROGRAM [ARGS...]\n");
    return 64;
}

} // namespace

int main(int argc, char **argv) {
    double timeout = 30;
    int first = 1;
    for (; first < argc; ++first) {
        if (std::strcmp(argv[first], "--timeout") == 0 && first + 1 < argc)
            timeout = std::atof(argv[++first]);
        else if (std::strcmp(argv[first], "--") == 0) {
            ++first;
            break;
        } else
            return usage();
    }
    if (first >= argc)
        return usage();

    Display *dpy = XOpenDisplay(nullptr);
    if (!dpy) {
        std::fprintf(stderr, "startup_probe: cannot open the display\n");
        return 69;
    }
    const Window root = DefaultRootWindow(dpy);
    XSelectInput(dpy, root, SubstructureNotifyMask);
    XSync(dpy, False);

    const double t0 = nowSec();
    const pid_t pid = fork();
    if (pid < 0) {
        std::perror("fork");
        return 71;
    }
    if (pid == 0) {
        close(ConnectionNumber(dpy));
        execvp(argv[first], argv + first);
        std::perror("exec");
        _exit(127);
    }

    std::vector<Mapped> mapped;
    std::vector<double> polls;
    double mapAt = -1, frameAt = -1;
    const int fd = ConnectionNumber(dpy);
    while (frameAt < 0) {
        const double now = nowSec();
        if (now - t0 > timeout)
            break;
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            std::fprintf(stderr,
                         "startup_probe: the program ended (status %d) before its first frame\n",
                         status);
            return 70;
        }
        // Block for events only while nothing is mapped; afterwards poll the
        // screen continuously and take events in between.
        if (mapped.empty() && XPending(dpy) == 0) {
            pollfd p{fd, POLLIN, 0};
            ::poll(&p, 1, 20);
        }
        while (XPending(dpy) > 0) {
            XEvent ev;
            XNextEvent(dpy, &ev);
            if (ev.type == ConfigureNotify && ev.xconfigure.event == root) {
                for (Mapped &m : mapped)
                    if (m.window == ev.xconfigure.window)
                        m = {m.window, ev.xconfigure.x, ev.xconfigure.y, ev.xconfigure.width,
                             ev.xconfigure.height};
                continue;
            }
            if (ev.type == UnmapNotify && ev.xunmap.event == root) {
                mapped.erase(
                    std::remove_if(mapped.begin(), mapped.end(),
                                   [&](const Mapped &m) { return m.window == ev.xunmap.window; }),
                    mapped.end());
                continue;
            }
            if (ev.type != MapNotify || ev.xmap.event != root || ev.xmap.override_redirect)
                continue;
            XWindowAttributes a{};
            if (!XGetWindowAttributes(dpy, ev.xmap.window, &a))
                continue;
            if (mapAt < 0)
                mapAt = nowSec();
            mapped.push_back({ev.xmap.window, a.x, a.y, a.width, a.height});
        }
        const double before = nowSec();
        for (const Mapped &m : mapped)
            if (drawn(dpy, m)) {
                frameAt = nowSec();
                break;
            }
        if (!mapped.empty() && frameAt < 0) {
            usleep(1000);
            polls.push_back((nowSec() - before) * 1000);
        }
    }
    XCloseDisplay(dpy);
    if (frameAt < 0) {
        std::fprintf(stderr, "startup_probe: no frame within %.0f s\n", timeout);
        std::printf("pid=%d t0=%.6f map_ms=%.1f frame_ms=-1 poll_ms=-1\n", int(pid), t0,
                    mapAt < 0 ? -1.0 : (mapAt - t0) * 1000);
        return 75;
    }
    double pollMs = 0;
    if (!polls.empty()) {
        std::sort(polls.begin(), polls.end());
        pollMs = polls[polls.size() / 2];
    }
    std::printf("pid=%d t0=%.6f map_ms=%.1f frame_ms=%.1f poll_ms=%.1f\n", int(pid), t0,
                (mapAt - t0) * 1000, (frameAt - t0) * 1000, pollMs);
    return 0;
}
