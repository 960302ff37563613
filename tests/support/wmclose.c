/* Waits for a top-level window with the given title and asks it to close the way a window
 * manager does (WM_DELETE_WINDOW), for the smoke test on a bare X server. */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

static Window find(Display *d, Window w, const char *title)
{
    char *name = NULL;
    if (XFetchName(d, w, &name) && name) {
        int same = strcmp(name, title) == 0;
        XFree(name);
        if (same)
            return w;
    }
    Window root, parent, *children = NULL;
    unsigned int n = 0;
    Window found = 0;
    if (XQueryTree(d, w, &root, &parent, &children, &n)) {
        for (unsigned int i = 0; i < n && !found; ++i)
            found = find(d, children[i], title);
        if (children)
            XFree(children);
    }
    return found;
}

int main(int argc, char **argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: wmclose TITLE SECONDS\n");
        return 2;
    }
    Display *d = XOpenDisplay(NULL);
    if (!d)
        return 2;
    Window w = 0;
    for (int i = 0; i < atoi(argv[2]) * 10 && !w; ++i) {
        w = find(d, DefaultRootWindow(d), argv[1]);
        if (!w)
            usleep(100000);
    }
    if (!w) {
        fprintf(stderr, "no window titled %s\n", argv[1]);
        return 1;
    }
    XWindowAttributes attrs;
    XGetWindowAttributes(d, w, &attrs);
    printf("window %lx %dx%d\n", w, attrs.width, attrs.height);
    XEvent e;
    memset(&e, 0, sizeof e);
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = XInternAtom(d, "WM_DELETE_WINDOW", False);
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, w, False, NoEventMask, &e);
    XFlush(d);
    XCloseDisplay(d);
    return 0;
}
