#ifndef ORRINADE_DESKTOP_SCREEN_RECT_H
#define ORRINADE_DESKTOP_SCREEN_RECT_H

// Rectangles on the desktop, in device pixels, and the few operations the
// editor needs on them to size and place its window. Sums of a corner and a
// size are taken in 64 bits, so no checked rectangle overflows them.

#include <cstdint>

// x and y name the top-left corner; an empty rectangle has no width or height.
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

// How far a window manager's decorations (title bar, borders) reach beyond a
// window's client area on each side; all 0 where nothing decorates it.
struct FrameExtents {
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
};

// The client area `window` with its decorations around it.
ScreenRect framed(const ScreenRect& window, const FrameExtents& extents);

// Where a and b overlap; of no area where they do not.
ScreenRect intersection(const ScreenRect& a, const ScreenRect& b);

// Whether all of `inner` lies in `outer`.
bool contains(const ScreenRect& outer, const ScreenRect& inner);

std::int64_t area(const ScreenRect& r);

#endif
