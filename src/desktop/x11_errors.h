#ifndef ORRINADE_DESKTOP_X11_ERRORS_H
#define ORRINADE_DESKTOP_X11_ERRORS_H

// While the window opens, X protocol errors that the desktop's state causes
// (a window manager's window gone while its mark stays on the root window,
// an atom the X server does not know) are survived: the request they answer
// fails, and the caller treats what it asked for as absent. This holds for
// the editor's own requests and for SFML's inside window creation, on every
// connection of the process. Xlib's default handler, which ends the
// process, otherwise stands; an I/O error (the server gone) still ends it.
class X11ErrorsSurvived {
public:
    X11ErrorsSurvived();
    ~X11ErrorsSurvived();
    X11ErrorsSurvived(const X11ErrorsSurvived&) = delete;
    X11ErrorsSurvived& operator=(const X11ErrorsSurvived&) = delete;
};

#endif
