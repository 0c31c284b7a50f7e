#ifndef ORRINADE_APP_X11_DESKTOP_H
#define ORRINADE_APP_X11_DESKTOP_H

// The X11 desktop around one window, read through a connection of its own
// (Xlib's macros stay out of every file that uses SFML's names).

#include "app/window_placement.h"

#include <optional>

// The monitors (RandR's monitor list; one monitor the size of the screen
// where the server lists none), the primary among them, whether an EWMH
// window manager runs (_NET_SUPPORTING_WM_CHECK on the root window), and the
// window's rectangle on the root with the decorations the manager declares
// (_NET_FRAME_EXTENTS). Nothing when the display cannot be opened.
std::optional<Desktop> x11_desktop(unsigned long window);

#endif
