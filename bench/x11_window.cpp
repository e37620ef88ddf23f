// Drives a program's windows on a virtual X server that has no window manager.
//   x11_window launch <program> [args...]
//       starts the program and, once its first normal window is mapped, prints
//       "pid=<pid> shown_ms=<milliseconds since the launch>", then waits for the program
//       to end (it stays its parent, so that nothing is left unreaped).
//   x11_window minimize <pid>
//       minimizes the process's shown windows the way a window manager does: unmapped,
//       with an iconic WM_STATE, so the program sees what a user's minimize makes it see.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// One 32-bit item of a window property; -1 when the window has none.
long property(Display* display, Window window, Atom name, Atom type) {
    Atom actual = None;
    int format = 0;
    unsigned long items = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    long value = -1;
    if (XGetWindowProperty(display, window, name, 0, 1, False, type, &actual, &format, &items,
                           &after, &data) == Success &&
        data && format == 32 && items == 1)
        value = *reinterpret_cast<long*>(data);
    if (data)
        XFree(data);
    return value;
}

double nowMs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

int launch(Display* display, char** command) {
    const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    const Atom typeAtom = XInternAtom(display, "_NET_WM_WINDOW_TYPE", False);
    const Atom normal = XInternAtom(display, "_NET_WM_WINDOW_TYPE_NORMAL", False);
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);
    const double start = nowMs();
    const pid_t pid = fork();
    if (pid < 0)
        return 1;
    if (pid == 0) {
        close(ConnectionNumber(display));
        execvp(command[0], command);
        _exit(127);
    }
    // A splash screen is mapped first; the main window is the first normal one.
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type != MapNotify)
            continue;
        const Window window = event.xmap.window;
        if (property(display, window, pidAtom, XA_CARDINAL) == pid &&
            Atom(property(display, window, typeAtom, XA_ATOM)) == normal) {
            std::printf("pid=%d shown_ms=%.1f\n", int(pid), nowMs() - start);
            std::fflush(stdout);
            int status = 0;
            waitpid(pid, &status, 0);
            return 0;
        }
    }
}

int minimize(Display* display, long pid) {
    const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    const Atom wmState = XInternAtom(display, "WM_STATE", False);
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    int minimized = 0;
    if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) {
        for (unsigned int i = 0; i < count; ++i) {
            XWindowAttributes attributes;
            if (property(display, children[i], pidAtom, XA_CARDINAL) != pid ||
                !XGetWindowAttributes(display, children[i], &attributes) ||
                attributes.map_state != IsViewable)
                continue;
            const long iconic[2] = {IconicState, None};
            XChangeProperty(display, children[i], wmState, wmState, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(iconic), 2);
            XUnmapWindow(display, children[i]);
            ++minimized;
        }
        if (children)
            XFree(children);
    }
    XSync(display, False);
    if (minimized == 0)
        std::fprintf(stderr, "x11_window: no shown window of process %ld\n", pid);
    return minimized ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    const bool launching = argc >= 3 && std::strcmp(argv[1], "launch") == 0;
    const bool minimizing = argc == 3 && std::strcmp(argv[1], "minimize") == 0;
    if (!launching && !minimizing) {
        std::fprintf(stderr, "usage: x11_window launch <program> [args...] | minimize <pid>\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "x11_window: no X display\n");
        return 1;
    }
    const int result = launching ? launch(display, argv + 2)
                                 : minimize(display, std::strtol(argv[2], nullptr, 10));
    XCloseDisplay(display);
    return result;
}
