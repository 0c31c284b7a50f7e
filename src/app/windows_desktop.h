#ifndef ORRINADE_APP_WINDOWS_DESKTOP_H
#define ORRINADE_APP_WINDOWS_DESKTOP_H

// The Windows desktop around the editor's window (Windows' own names stay in
// its source).

#include "app/screen_rect.h"

#include <optional>

// What sizes a window, on the monitor it is on now.
struct WindowsSizing {
    // The monitor's DPI as a per-monitor DPI-aware process sees it:
    // GetDpiForWindow (Windows 10 1607 and later), else GetDpiForMonitor
    // (Windows 8.1), else the system's DPI.
    std::optional<double> dpi;
    // The monitor's work area (rcWork): the taskbar left out.
    ScreenRect work_area;
    // The title bar and borders of a window of this style at that DPI.
    FrameExtents frame;
};

WindowsSizing windows_sizing(void* window);

// The window with its title bar and borders, where it is now.
ScreenRect windows_frame(void* window);

#endif
