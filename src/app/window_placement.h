#ifndef ORRINADE_APP_WINDOW_PLACEMENT_H
#define ORRINADE_APP_WINDOW_PLACEMENT_H

// Where the editor's window goes when it opens: a pure decision on what the
// platform reports, so that it can be tested without a window system.

#include <optional>
#include <vector>

// A rectangle on the desktop, in pixels; x and y name its top-left corner.
struct ScreenRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct ScreenPoint {
    int x = 0;
    int y = 0;
};

// What the platform knows of the desktop once the window has been created.
struct Desktop {
    // The monitors, in the platform's order; never empty (a desktop that
    // lists none counts as one monitor the size of the screen).
    std::vector<ScreenRect> monitors;
    // Index of the primary monitor, or -1 where none is primary.
    int primary = -1;
    // Whether a window manager or compositor places new windows.
    bool places_windows = false;
    // The window with the decorations around it, where it is now.
    ScreenRect frame;
};

// The top-left corner the window's frame moves to, or nothing to leave it
// where it is:
// - where the desktop places windows, the window stays where it was put as
//   long as one monitor holds all of it; otherwise it is centred on the
//   monitor that holds most of it (the primary where none holds any);
// - where nothing places windows, it is centred on the primary monitor, or
//   the first where none is primary.
// On a monitor smaller than the frame, the frame's top-left corner goes to the
// monitor's top-left corner on that axis, so the status lines stay in view.
std::optional<ScreenPoint> frame_position(const Desktop& desktop);

#endif
