/* Prints one line for every window mapped as a child of the root window:
 *   <CLOCK_REALTIME nanoseconds> <window id> <width> <height>
 * and flushes it at once, so a script can time a program's first window without polling.
 * Runs until killed. */
#include <X11/Xlib.h>

#include <stdio.h>
#include <time.h>

int main(void)
{
    Display* display = XOpenDisplay(NULL);
    if (!display) {
        fputs("map_watch: cannot open the display\n", stderr);
        return 1;
    }
    Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);
    puts("ready");
    fflush(stdout);
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type != MapNotify)
            continue;
        struct timespec now;
        clock_gettime(CLOCK_REALTIME, &now);
        Window window = event.xmap.window;
        Window rootReturn;
        int x = 0, y = 0;
        unsigned width = 0, height = 0, border = 0, depth = 0;
        XGetGeometry(display, window, &rootReturn, &x, &y, &width, &height, &border, &depth);
        printf("%lld%09ld 0x%lx %u %u\n", (long long)now.tv_sec, now.tv_nsec, window, width,
               height);
        fflush(stdout);
    }
}
