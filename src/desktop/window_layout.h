#ifndef ORRINADE_DESKTOP_WINDOW_LAYOUT_H
#define ORRINADE_DESKTOP_WINDOW_LAYOUT_H

// The editor's window's size and place, decided from what the desktop holds
// alone, so that it can be tested without a window system. Sizes and mouse
// positions in the editor are logical pixels; a desktop at 150 % or 200 %
// asks programs to draw 1.5 or 2 device pixels for each.

#include "desktop/desktop.h"

#include <cstddef>
#include <optional>

// The part of monitor i that windows may take: the monitor within the work
// area; the whole monitor where there is no work area or it misses the
// monitor.
ScreenRect usable_area(const Desktop& desktop, std::size_t i);

// The monitor the window is on: where the desktop places windows and the
// window with its frame is known (`frame`), the monitor whose usable area
// holds most of it (the primary where none holds any); else the primary.
std::size_t window_monitor(const Desktop& desktop, const std::optional<ScreenRect>& frame);

// The scale for a desktop at `dpi`, for a window of design_side x
// design_side logical pixels, framed by `frame`, in `work_area` (the part of
// its monitor that windows may take, panels left out; device pixels;
// design_side > 0):
// - dpi / 96, 1 where no DPI is published or it is not a finite number;
// - never more than lets the window and its frame fit the work area, so
//   that no panel covers it and no window manager squashes it to fit: the
//   window's side is then the work area's room, in whole device pixels;
// - never below 1: a desktop below 96 DPI, or a work area too small even for
//   the designed size and its frame, gets the designed size.
double display_scale(std::optional<double> dpi, int design_side, const ScreenRect& work_area,
                     const FrameExtents& frame);

// round(length * scale): a length in logical pixels as whole device pixels.
unsigned int device_pixels(double length, double scale);

// Whether a window shown at `scale` waits for its window manager to declare
// its frame: a frame only ever lowers the scale, so only where there is a
// scale to lower and the frame is unknown (a manager runs that has not
// promised one).
bool frame_awaited(const Desktop& desktop, double scale);

// Where the editor's window goes and how large it is, decided in that order:
// the monitor it is on (window_monitor), the scale and side fitted to that
// monitor's usable area with the desktop's frame (none where it has not
// said), then where its frame moves within that area (frame_position).
// `client` is the window's client area where it is now; nothing before the
// window exists, which decides the size alone, on the primary monitor.
struct WindowLayout {
    std::size_t monitor = 0;  // index into the desktop's monitors
    double scale = 1.0;
    unsigned int side = 0;  // device pixels, square
    // The frame's new top-left corner; nothing to leave it where it is.
    std::optional<ScreenPoint> corner;
};
WindowLayout window_layout(const Desktop& desktop, int design_side, const std::optional<ScreenRect>& client);

// The top-left corner the window's frame (the window with its decorations,
// where it is now) moves to, or nothing to leave it where it is, in the
// usable area of window_monitor:
// - where the desktop places windows, the window stays where it was put as
//   long as that area holds all of it; otherwise it is centred there;
// - where nothing places windows, it is centred on the primary monitor, or
//   the first where none is primary.
// In an area smaller than the frame, the frame's top-left corner goes to the
// area's top-left corner on that axis, so the status lines stay in view.
std::optional<ScreenPoint> frame_position(const Desktop& desktop, const ScreenRect& frame);

#endif
