#ifndef ORRINADE_APP_DISPLAY_SCALE_H
#define ORRINADE_APP_DISPLAY_SCALE_H

// How many device pixels the desktop asks for each of the editor's pixels.
// Sizes and mouse positions in the editor are logical pixels; a desktop at
// 150 % or 200 % asks programs to draw 1.5 or 2 device pixels for each.

#include "app/screen_rect.h"

#include <optional>
#include <string>

// The DPI of a desktop at 100 %, for X11's Xft.dpi and Windows alike.
constexpr double unscaled_dpi = 96.0;

// The value of Xft.dpi in an X resource database's text (the root window's
// RESOURCE_MANAGER: "name:\tvalue" lines), or nothing where it is not set
// or not a number.
std::optional<double> xft_dpi(const std::string& resources);

// The scale for a desktop at `dpi`, for a window of design_side x
// design_side logical pixels, framed by `frame`, in `work_area` (the part of
// its monitor that windows may take, panels left out; device pixels):
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

#endif
