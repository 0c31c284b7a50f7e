#ifndef ORRINADE_DESKTOP_DESKTOP_H
#define ORRINADE_DESKTOP_DESKTOP_H

// What the desktop around the editor's window holds, read once per platform
// (x11_desktop, windows_desktop): a plain value, every part of it checked
// (desktop_values.h), so that the window's size and place are decided from
// it without a window system (window_layout.h).

#include "desktop/screen_rect.h"

#include <cstddef>
#include <optional>
#include <vector>

struct Desktop {
    // The monitors, in the platform's order; never empty (see with_monitors).
    std::vector<ScreenRect> monitors;
    // The primary monitor's index; the first where none is primary.
    std::size_t primary = 0;
    // The part of the screen that windows may take, panels and docks left
    // out, where a window manager publishes one (it may span monitors).
    std::optional<ScreenRect> work_area;
    // The dots per inch the desktop asks programs to draw at; 96 is 100 %.
    std::optional<double> dpi;
    // The decorations around the window, as the window manager gives them or
    // has promised them; none where nothing decorates windows; nothing where
    // a manager runs that has not said.
    std::optional<FrameExtents> frame;
    // Whether a window manager or compositor places new windows.
    bool places_windows = false;
};

// A desktop of the platform's monitors, each checked (checked_rect), the
// one at `primary` the primary (none where `primary` indexes none of them);
// the whole screen stands alone where none is listed. The rest is as a
// default Desktop has it.
Desktop with_monitors(const std::vector<ScreenRect>& listed, std::size_t primary, const ScreenRect& screen);

#endif
