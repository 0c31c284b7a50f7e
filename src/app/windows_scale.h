#ifndef ORRINADE_APP_WINDOWS_SCALE_H
#define ORRINADE_APP_WINDOWS_SCALE_H

// The scale Windows asks of a window (Windows' own names stay in its source).

// The DPI of the monitor the window is on, as a per-monitor DPI-aware process
// sees it (GetDpiForWindow, Windows 10 1607 and later; none before, read as
// 96), as display_scale rules for a window of design_side on that monitor's
// work area.
double windows_scale(void* window, int design_side);

#endif
