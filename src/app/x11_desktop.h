#ifndef ORRINADE_APP_X11_DESKTOP_H
#define ORRINADE_APP_X11_DESKTOP_H

// The X11 desktop around the editor's window, read through a connection of
// its own (Xlib's macros stay out of every file that uses SFML's names).

#include "app/window_placement.h"

#include <optional>

// What sizes the window, read before it exists.
struct X11Sizing {
    // Xft.dpi in the root window's resource database (RESOURCE_MANAGER).
    std::optional<double> dpi;
    // The usable area of the primary monitor (usable_area).
    ScreenRect work_area;
    // The decorations the window manager will put around a new window, as
    // it answers _NET_REQUEST_FRAME_EXTENTS; none where nothing decorates
    // windows; nothing where a manager runs that does not answer.
    std::optional<FrameExtents> frame;
};

// Nothing when the display cannot be opened.
std::optional<X11Sizing> x11_sizing(int design_side);

// The monitors (RandR's monitor list, as set_monitors keeps it), the primary
// among them, the work area of the current desktop (_NET_WORKAREA), whether
// an EWMH window manager runs (_NET_SUPPORTING_WM_CHECK on the root window),
// the window's rectangle on the root and the decorations the manager
// declares around it (_NET_FRAME_EXTENTS; nothing where none are declared).
// Nothing when the display cannot be opened.
struct X11Desktop {
    Desktop desktop;
    std::optional<FrameExtents> extents;
};
std::optional<X11Desktop> x11_desktop(unsigned long window);

#endif
