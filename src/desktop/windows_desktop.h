#ifndef ORRINADE_DESKTOP_WINDOWS_DESKTOP_H
#define ORRINADE_DESKTOP_WINDOWS_DESKTOP_H

// The Windows desktop around the editor's window (Windows' own names stay in
// its source).

#include "desktop/desktop.h"

// The desktop as an open window sees it, on the monitor it is on: that
// monitor alone, its work area (rcWork: the taskbar left out), its DPI as the
// process sees it (GetDpiForWindow on Windows 10 1607 and later, else
// GetDpiForMonitor on 8.1, else the system's), and the window's title bar
// and borders measured on the window itself. Windows does not move the
// window once shown: nothing else places it.
struct WindowsDesktop {
    Desktop desktop;
    // The window's client area on the screen.
    ScreenRect client;
};

WindowsDesktop windows_desktop(void* window);

#endif
