// Waits for a process's first painted window, from outside the process:
//   first_frame PID START_NS [TIMEOUT_MS]
// polls the X server every 2 ms for a viewable window whose _NET_WM_PID is
// PID and whose area on the screen (the root window's picture, so whatever
// child windows a toolkit draws into count too) holds more than one colour.
// Prints the milliseconds from START_NS (CLOCK_REALTIME, as `date +%s%N`)
// to the poll that saw it, then the window's id; exits 1 on a timeout.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace {

long long nowNs()
{
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return static_cast<long long>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

long windowPid(Display *display, Window window, Atom pidAtom)
{
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char *data = nullptr;
    long pid = -1;
    if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format,
                           &items, &after, &data)
            == Success
        && data != nullptr) {
        if (items == 1 && format == 32)
            pid = static_cast<long>(*reinterpret_cast<unsigned long *>(data));
        XFree(data);
    }
    return pid;
}

void collect(Display *display, Window window, long pid, Atom pidAtom, std::vector<Window> &out)
{
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, window, &root, &parent, &children, &count))
        return;
    for (unsigned int i = 0; i < count; ++i) {
        if (windowPid(display, children[i], pidAtom) == pid)
            out.push_back(children[i]);
        collect(display, children[i], pid, pidAtom, out);
    }
    if (children != nullptr)
        XFree(children);
}

bool painted(Display *display, Window window)
{
    XWindowAttributes a{};
    if (!XGetWindowAttributes(display, window, &a) || a.map_state != IsViewable || a.width < 2
        || a.height < 2)
        return false;
    const Window root = DefaultRootWindow(display);
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(display, window, root, 0, 0, &x, &y, &child);
    XImage *image = XGetImage(display, root, x, y, static_cast<unsigned>(a.width),
                              static_cast<unsigned>(a.height), AllPlanes, ZPixmap);
    if (image == nullptr)
        return false;
    const unsigned long first = XGetPixel(image, 0, 0);
    bool differs = false;
    for (int py = 0; py < a.height && !differs; py += 3)
        for (int px = 0; px < a.width && !differs; px += 3)
            differs = XGetPixel(image, px, py) != first;
    XDestroyImage(image);
    return differs;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s PID START_NS [TIMEOUT_MS]\n", argv[0]);
        return 2;
    }
    const long pid = std::strtol(argv[1], nullptr, 10);
    const long long start = std::strtoll(argv[2], nullptr, 10);
    const long long timeoutNs = (argc > 3 ? std::strtoll(argv[3], nullptr, 10) : 60000) * 1'000'000;
    Display *display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return 2;
    const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    const timespec pause{0, 2'000'000};
    while (nowNs() - start < timeoutNs) {
        const long long polled = nowNs();
        std::vector<Window> windows;
        collect(display, DefaultRootWindow(display), pid, pidAtom, windows);
        for (Window w : windows) {
            if (painted(display, w)) {
                std::printf("%lld %lu\n", (polled - start) / 1'000'000, w);
                XCloseDisplay(display);
                return 0;
            }
        }
        nanosleep(&pause, nullptr);
    }
    XCloseDisplay(display);
    return 1;
}
