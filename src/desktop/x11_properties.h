#ifndef ORRINADE_DESKTOP_X11_PROPERTIES_H
#define ORRINADE_DESKTOP_X11_PROPERTIES_H

// Window properties as the desktop publishes them, read with their type,
// format and length checked. Atoms are only looked up, never created: an
// atom the X server does not know names a property nobody has set.

#include <X11/Xlib.h>

#include <optional>
#include <vector>

// The names of the window manager's hints the desktop is read by.
struct DesktopAtoms {
    Atom supporting_wm_check = None;
    Atom supported = None;
    Atom request_frame_extents = None;
    Atom frame_extents = None;
    Atom workarea = None;
    Atom current_desktop = None;
};

// All of them, in one round trip.
DesktopAtoms desktop_atoms(Display* display);

// A property of 32-bit items of `type` (XA_CARDINAL, XA_WINDOW, XA_ATOM ...),
// as longs, up to 4 MiB; nothing where it is not set so, the window is gone
// or `name` is None.
std::optional<std::vector<long>> long_property(Display* display, Window window, Atom name, Atom type);

#endif
