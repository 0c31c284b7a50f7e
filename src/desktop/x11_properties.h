#ifndef ORRINADE_DESKTOP_X11_PROPERTIES_H
#define ORRINADE_DESKTOP_X11_PROPERTIES_H

// Window properties as the desktop publishes them, read with their type,
// format and length checked. Atoms are only looked up, never created: an
// atom the X server does not know names a property nobody has set.

#include <X11/Xlib.h>

#include <optional>
#include <string>
#include <vector>

// The atom named so, or None where the server does not know it.
Atom existing_atom(Display* display, const char* name);

// A property of 32-bit items of `type` (XA_CARDINAL, XA_WINDOW, XA_ATOM ...),
// as longs, up to 4 MiB; nothing where it is not set so, or the window is
// gone.
std::optional<std::vector<long>> long_property(Display* display, Window window, const char* name, Atom type);

// A property of 8-bit text; empty where it is not set so.
std::string text_property(Display* display, Window window, const char* name);

#endif
