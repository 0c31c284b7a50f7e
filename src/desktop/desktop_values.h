#ifndef ORRINADE_DESKTOP_DESKTOP_VALUES_H
#define ORRINADE_DESKTOP_DESKTOP_VALUES_H

// What a desktop publishes, checked before it is believed: a window manager,
// a panel or a script may set any value, of any type and length. A value
// that fails its check is nothing, as if it were not published.

#include "desktop/screen_rect.h"

#include <optional>
#include <string>
#include <vector>

// The DPI of a desktop at 100 %, for X11's Xft.dpi and Windows alike.
constexpr double unscaled_dpi = 96.0;

// A DPI from 48 (50 %) to 960 (1000 %).
std::optional<double> checked_dpi(double dpi);

// A rectangle on the desktop: its corner within X11's coordinates (-32768
// to 32767) and its sides from 1 to 32767 pixels, as on every screen.
std::optional<ScreenRect> checked_rect(long x, long y, long width, long height);

// Decorations from 0 to 1024 pixels on each side.
std::optional<FrameExtents> checked_extents(long left, long right, long top, long bottom);

// The value of Xft.dpi in an X resource database's text (the root window's
// RESOURCE_MANAGER: "name:\tvalue" lines, the later winning), checked;
// nothing where it is not set, not a number or out of bounds.
std::optional<double> xft_dpi(const std::string& resources);

// The current virtual desktop's work area from _NET_WORKAREA's items (x, y,
// width and height for each desktop) and _NET_CURRENT_DESKTOP: desktop 0's
// where no current desktop is published or it names none in the list.
std::optional<ScreenRect> current_work_area(const std::vector<long>& areas, std::optional<long> current);

#endif
