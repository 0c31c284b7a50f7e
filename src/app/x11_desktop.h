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

// The scale the X server's desktop asks clients to draw at, read once before
// the window exists: Xft.dpi in the resource database on the root window
// (RESOURCE_MANAGER), as display_scale rules for a window of design_side on
// the primary monitor. 1 when the display cannot be opened.
double x11_scale(int design_side);

#endif
