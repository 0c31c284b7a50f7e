#include "desktop/x11_errors.h"

#include <X11/Xlib.h>

#include <cstdio>

namespace {

// Xlib keeps one error handler for the process and calls it with no context
// of the caller's, so what it needs lives here: the handler it replaced, and
// whether the one line on stderr has been written (a dead manager's window
// fails several requests in a row).
XErrorHandler replaced = nullptr;
bool told = false;

int survive(Display* display, XErrorEvent* error)
{
    if (error->error_code != BadWindow && error->error_code != BadAtom)
        return replaced(display, error);
    if (!told) {
        told = true;
        char text[128] = {};
        XGetErrorText(display, error->error_code, text, sizeof text);
        std::fprintf(stderr, "orrinade: ignoring an X error the desktop caused (%s, request %d)\n", text,
                     static_cast<int>(error->request_code));
    }
    return 0;
}

}

void survive_desktop_x_errors()
{
    const XErrorHandler previous = XSetErrorHandler(survive);
    if (previous != survive)
        replaced = previous;
}
