// Watches a program's window on the X display for the start benchmark, answering one command
// per line on standard input with monotonic times (seconds, the clock Python's
// time.monotonic() reads), so that the driver can time what a person sees:
//
//   window PID TIMEOUT         -> "window ID SECONDS" when a managed, viewable top-level of
//                                 process PID exists, or "timeout"
//   colour X Y RRGGBB TIMEOUT  -> "colour SECONDS" when the pixel at X,Y of that window's
//                                 client area shows the colour, or "timeout"
//   frames X Y SECONDS         -> "frames ADVANCES" for a movie whose frame index, modulo
//                                 16, is painted at X,Y in the colours of frameColours
//
// Polls every millisecond: a one-pixel read costs the X server next to nothing.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <unistd.h>

namespace {

double now() {
    timespec time;
    clock_gettime(CLOCK_MONOTONIC, &time);
    return time.tv_sec + time.tv_nsec / 1e9;
}

void waitAMillisecond() {
    usleep(1000);
}

Display* display = nullptr;
Window watched = 0;

long cardinalProperty(Window window, Atom property) {
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    long value = -1;
    if (XGetWindowProperty(display, window, property, 0, 1, False, XA_CARDINAL, &type, &format,
                           &count, &after, &data) == Success &&
        data && count == 1 && format == 32)
        value = *reinterpret_cast<long*>(data);
    if (data)
        XFree(data);
    return value;
}

// A top-level of `pid` that the window manager manages and that is viewable, or 0.
Window findWindow(long pid) {
    Atom clientList = XInternAtom(display, "_NET_CLIENT_LIST", False);
    Atom wmPid = XInternAtom(display, "_NET_WM_PID", False);
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    Window found = 0;
    if (XGetWindowProperty(display, DefaultRootWindow(display), clientList, 0, 4096, False,
                           XA_WINDOW, &type, &format, &count, &after, &data) == Success &&
        data) {
        auto* windows = reinterpret_cast<Window*>(data);
        for (unsigned long i = 0; i < count && !found; ++i) {
            XWindowAttributes attributes;
            if (cardinalProperty(windows[i], wmPid) == pid &&
                XGetWindowAttributes(display, windows[i], &attributes) &&
                attributes.map_state == IsViewable)
                found = windows[i];
        }
    }
    if (data)
        XFree(data);
    return found;
}

// The colour on screen at x,y of the watched window's client area; -1 when unreadable.
long pixelAt(int x, int y) {
    int rootX, rootY;
    Window child;
    if (!watched || !XTranslateCoordinates(display, watched, DefaultRootWindow(display), x, y,
                                           &rootX, &rootY, &child))
        return -1;
    XImage* image =
        XGetImage(display, DefaultRootWindow(display), rootX, rootY, 1, 1, AllPlanes, ZPixmap);
    if (!image)
        return -1;
    long pixel = static_cast<long>(XGetPixel(image, 0, 0) & 0xffffff);
    XDestroyImage(image);
    return pixel;
}

bool near(long a, long b) {
    for (int shift : {0, 8, 16}) {
        long difference = ((a >> shift) & 0xff) - ((b >> shift) & 0xff);
        if (difference > 12 || difference < -12)
            return false;
    }
    return true;
}

// The indicator's sixteen colours, as the stress movie paints them (benchmarks/stress_swf.py).
constexpr long frameColours[16] = {0x000000, 0xff0000, 0x00ff00, 0x0000ff, 0xffff00, 0xff00ff,
                                   0x00ffff, 0xffffff, 0x800000, 0x008000, 0x000080, 0x808000,
                                   0x800080, 0x008080, 0x808080, 0xff8000};

int frameIndexOf(long pixel) {
    for (int index = 0; index < 16; ++index)
        if (near(pixel, frameColours[index]))
            return index;
    return -1;
}

int xErrorIgnored(Display*, XErrorEvent*) {
    return 0; // a window may vanish between the list and the question
}

} // namespace

int main() {
    display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "screen_watch: no X display\n");
        return 1;
    }
    XSetErrorHandler(xErrorIgnored);
    char line[256];
    while (std::fgets(line, sizeof line, stdin)) {
        char command[16] = "";
        std::sscanf(line, "%15s", command);
        if (std::strcmp(command, "window") == 0) {
            long pid = 0;
            double timeout = 0;
            std::sscanf(line, "%*s %ld %lf", &pid, &timeout);
            double deadline = now() + timeout;
            watched = 0;
            while (!(watched = findWindow(pid)) && now() < deadline)
                waitAMillisecond();
            if (watched)
                std::printf("window %lu %.4f\n", watched, now());
            else
                std::printf("timeout\n");
        } else if (std::strcmp(command, "colour") == 0) {
            int x = 0, y = 0;
            unsigned colour = 0;
            double timeout = 0;
            std::sscanf(line, "%*s %d %d %x %lf", &x, &y, &colour, &timeout);
            double deadline = now() + timeout;
            bool seen = false;
            while (!(seen = near(pixelAt(x, y), colour)) && now() < deadline)
                waitAMillisecond();
            if (seen)
                std::printf("colour %.4f\n", now());
            else
                std::printf("timeout\n");
        } else if (std::strcmp(command, "frames") == 0) {
            int x = 0, y = 0;
            double seconds = 0;
            std::sscanf(line, "%*s %d %d %lf", &x, &y, &seconds);
            double end = now() + seconds;
            long advances = 0;
            int last = frameIndexOf(pixelAt(x, y));
            while (now() < end) {
                int index = frameIndexOf(pixelAt(x, y));
                if (index >= 0 && last >= 0)
                    advances += (index - last + 16) % 16;
                if (index >= 0)
                    last = index;
                waitAMillisecond();
            }
            std::printf("frames %ld\n", advances);
        } else {
            std::printf("unknown\n");
        }
        std::fflush(stdout);
    }
    XCloseDisplay(display);
    return 0;
}
