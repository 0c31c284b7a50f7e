#include "desktop/x11_errors.h"

#include <X11/Xlib.h>

#include <cstdio>

namespace {

// Xlib keeps one error handler for the process and calls it with no context
// of the caller's, so what it needs lives here: the handler it replaced, and
// whether the one line on stderr has been written (a dead manager's window
// may fail several requests in a row).
XErrorHandler replaced = nullptr;
bool told = false;

int survive(Display* display, XErrorEvent* error)
{
    if (error->error_code != BadWindow && error->error_code != BadAtom)
        return replaced ? replaced(display, error) : 0;
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

X11ErrorsSurvived::X11ErrorsSurvived()
{
    replaced = XSetErrorHandler(survive);
}

X11ErrorsSurvived::~X11ErrorsSurvived()
{
    XSetErrorHandler(replaced);
    replaced = nullptr;
}
