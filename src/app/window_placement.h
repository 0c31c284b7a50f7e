#ifndef ORRINADE_APP_WINDOW_PLACEMENT_H
#define ORRINADE_APP_WINDOW_PLACEMENT_H

// Where the editor's window goes when it opens: a pure decision on what the
// platform reports, so that it can be tested without a window system.

#include "app/screen_rect.h"

#include <cstddef>
#include <optional>
#include <vector>

// What the platform knows of the desktop around the window.
struct Desktop {
    // The monitors, in the platform's order; never empty (see set_monitors).
    std::vector<ScreenRect> monitors;
    // Index of the primary monitor, or -1 where none is primary.
    int primary = -1;
    // The part of the screen that windows may take, panels and docks left
    // out, where a window manager publishes one (it may span monitors).
    std::optional<ScreenRect> work_area;
    // Whether a window manager or compositor places new windows.
    bool places_windows = false;
    // The window with the decorations around it, where it is now.
    ScreenRect frame;
};

// Sets the desktop's monitors from the platform's list: monitors with no
// area are left out, and the whole screen stands alone (as the primary)
// where none is left. `primary` indexes `listed`; -1 for none.
void set_monitors(Desktop& desktop, const std::vector<ScreenRect>& listed, int primary, const ScreenRect& screen);

// The primary monitor's index, or 0 where none is primary.
std::size_t primary_or_first(const Desktop& desktop);

// The part of monitor i that windows may take: the monitor within the work
// area; the whole monitor where there is no work area or it misses the
// monitor.
ScreenRect usable_area(const Desktop& desktop, std::size_t i);

// The top-left corner the window's frame moves to, or nothing to leave it
// where it is, in the usable areas of the monitors:
// - where the desktop places windows, the window stays where it was put as
//   long as one usable area holds all of it; otherwise it is centred in the
//   usable area of the monitor that holds most of it (the primary where
//   none holds any);
// - where nothing places windows, it is centred on the primary monitor, or
//   the first where none is primary.
// In an area smaller than the frame, the frame's top-left corner goes to the
// area's top-left corner on that axis, so the status lines stay in view.
std::optional<ScreenPoint> frame_position(const Desktop& desktop);

#endif
