// Catches the moment a top-level window maps, from the X server's own
// MapNotify event (SubstructureNotify on the root), with no polling.
//
//   map_watch TITLE [WxH]
//     Once the watch is in place, clicks the first mouse button where the
//     pointer is, with the XTEST extension as xdotool does, and prints the
//     milliseconds from the click to the map of the first window named
//     TITLE, leaving out windows of the size WxH. (Starting xdotool itself
//     takes longer than many of the things timed here.)
//   map_watch --log
//     Prints "ready", then one line for every top-level window that maps:
//     the wall-clock time (seconds since the epoch, to the microsecond, to
//     line up with strace -ttt), the window, its name and size. Ends on
//     SIGTERM or when the display goes.
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include <X11/Xlib.h>

namespace {

double Now(clockid_t clock) {
    timespec ts{};
    clock_gettime(clock, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

// libXtst is loaded at run time: it comes with xdotool, and building this
// tool then needs no development package of its own.
using FakeButton = int (*)(Display*, unsigned, Bool, unsigned long);

FakeButton LoadFakeButton() {
    void* library = dlopen("libXtst.so.6", RTLD_NOW);
    if (!library) return nullptr;
    return reinterpret_cast<FakeButton>(dlsym(library, "XTestFakeButtonEvent"));
}

// A window may be gone by the time we ask about it.
int IgnoreErrors(Display*, XErrorEvent*) { return 0; }

std::string NameOf(Display* display, Window window) {
    char* name = nullptr;
    std::string text;
    if (XFetchName(display, window, &name) && name) text = name;
    if (name) XFree(name);
    return text;
}

void SizeOf(Display* display, Window window, unsigned& width, unsigned& height) {
    Window root = 0;
    int x = 0, y = 0;
    unsigned border = 0, depth = 0;
    width = height = 0;
    XGetGeometry(display, window, &root, &x, &y, &width, &height, &border, &depth);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s TITLE [WxH] | %s --log\n", argv[0], argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        const char* name = std::getenv("DISPLAY");
        std::fprintf(stderr, "map_watch: cannot open display %s\n", name ? name : "(unset)");
        return 1;
    }
    XSetErrorHandler(IgnoreErrors);
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);  // the watch is in place before anything is started

    const bool log = std::strcmp(argv[1], "--log") == 0;
    unsigned skipWidth = 0, skipHeight = 0;
    if (!log && argc > 2 && std::sscanf(argv[2], "%ux%u", &skipWidth, &skipHeight) != 2) {
        std::fprintf(stderr, "map_watch: not a size: %s\n", argv[2]);
        return 2;
    }

    double started = 0;
    if (log) {
        std::printf("ready\n");
        std::fflush(stdout);
    } else {
        const FakeButton fakeButton = LoadFakeButton();
        if (!fakeButton) {
            const char* why = dlerror();
            std::fprintf(stderr, "map_watch: no XTestFakeButtonEvent in libXtst.so.6: %s\n", why ? why : "not found");
            return 1;
        }
        started = Now(CLOCK_MONOTONIC);
        fakeButton(display, 1, True, CurrentTime);
        fakeButton(display, 1, False, CurrentTime);
        XFlush(display);
    }

    XEvent event;
    for (;;) {
        if (XNextEvent(display, &event) != 0) break;
        if (event.type != MapNotify) continue;
        const double monotonic = Now(CLOCK_MONOTONIC);
        const double wall = Now(CLOCK_REALTIME);
        const Window window = event.xmap.window;
        const std::string name = NameOf(display, window);
        unsigned width = 0, height = 0;
        SizeOf(display, window, width, height);
        if (log) {
            std::printf("%.6f 0x%lx %ux%u \"%s\"\n", wall, window, width, height, name.c_str());
            std::fflush(stdout);
            continue;
        }
        if (name != argv[1] || (width == skipWidth && height == skipHeight)) continue;
        std::printf("%.3f 0x%lx %ux%u\n", (monotonic - started) * 1000.0, window, width, height);
        XCloseDisplay(display);
        return 0;
    }
    return 1;
}
