// Asks a window to close the way a window manager's close button does: a WM_DELETE_WINDOW
// message. The test display runs no window manager, and destroying or killing the window
// would not show whether the program ends cleanly on its own.
//
//   e2e_close_window WINDOW-ID

#include <X11/Xlib.h>
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s WINDOW-ID\n", argv[0]);
        return 2;
    }
    char* end = NULL;
    const unsigned long window = strtoul(argv[1], &end, 0);
    if (end == argv[1] || *end != '\0' || window == 0) {
        fprintf(stderr, "e2e_close_window: bad window id %s\n", argv[1]);
        return 2;
    }
    Display* display = XOpenDisplay(NULL);
    if (display == NULL) {
        fprintf(stderr, "e2e_close_window: cannot open the display\n");
        return 1;
    }
    XEvent event = {0};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = (long)XInternAtom(display, "WM_DELETE_WINDOW", False);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    XCloseDisplay(display);
    return 0;
}
