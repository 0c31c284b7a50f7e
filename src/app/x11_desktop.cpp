#include "app/x11_desktop.h"

#include "app/display_scale.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

using DisplayPtr = std::unique_ptr<Display, decltype(&XCloseDisplay)>;

// Up to `count` 32-bit items of a window's property, or none when it is not
// set with that many.
std::optional<std::vector<unsigned long>> property(Display* display, Window window, const char* name,
                                                   Atom type, long count)
{
    Atom actual_type = None;
    int format = 0;
    unsigned long items = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    const Atom atom = XInternAtom(display, name, False);
    const int status = XGetWindowProperty(display, window, atom, 0, count, False, type, &actual_type, &format,
                                          &items, &after, &data);
    std::optional<std::vector<unsigned long>> values;
    if (status == Success && actual_type == type && format == 32 && items == static_cast<unsigned long>(count)) {
        // Xlib hands 32-bit items back as longs.
        const unsigned long* longs = reinterpret_cast<const unsigned long*>(data);
        values.emplace(longs, longs + items);
    }
    if (data)
        XFree(data);
    return values;
}

void read_monitors(Display* display, Window root, Desktop& desktop)
{
    int event_base = 0;
    int error_base = 0;
    int major = 0;
    int minor = 0;
    // The monitor list is RandR 1.5's.
    if (XRRQueryExtension(display, &event_base, &error_base) && XRRQueryVersion(display, &major, &minor)
        && (major > 1 || (major == 1 && minor >= 5))) {
        int count = 0;
        XRRMonitorInfo* monitors = XRRGetMonitors(display, root, True, &count);
        for (int i = 0; monitors && i < count; ++i) {
            const XRRMonitorInfo& m = monitors[i];
            if (m.width <= 0 || m.height <= 0)
                continue;
            if (m.primary && desktop.primary < 0)
                desktop.primary = static_cast<int>(desktop.monitors.size());
            desktop.monitors.push_back(ScreenRect{m.x, m.y, m.width, m.height});
        }
        if (monitors)
            XRRFreeMonitors(monitors);
    }
    if (desktop.monitors.empty()) {
        const int screen = DefaultScreen(display);
        desktop.monitors.push_back(ScreenRect{0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen)});
        desktop.primary = 0;
    }
}

// The root window's resource database as text; empty where none is set.
std::string resources(Display* display, Window root)
{
    Atom actual_type = None;
    int format = 0;
    unsigned long items = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    const Atom atom = XInternAtom(display, "RESOURCE_MANAGER", False);
    // Up to 4 MiB, in 32-bit units; a database is a few hundred bytes.
    const int status = XGetWindowProperty(display, root, atom, 0, 1 << 20, False, XA_STRING, &actual_type,
                                          &format, &items, &after, &data);
    std::string text;
    if (status == Success && actual_type == XA_STRING && format == 8 && data)
        text.assign(reinterpret_cast<const char*>(data), items);
    if (data)
        XFree(data);
    return text;
}

}

double x11_scale(int design_side)
{
    const DisplayPtr display(XOpenDisplay(nullptr), &XCloseDisplay);
    if (!display)
        return 1.0;
    const Window root = DefaultRootWindow(display.get());
    Desktop desktop;
    read_monitors(display.get(), root, desktop);
    const ScreenRect& monitor = desktop.monitors[desktop.primary >= 0 ? desktop.primary : 0];
    return display_scale(xft_dpi(resources(display.get(), root)), design_side, monitor);
}

std::optional<Desktop> x11_desktop(unsigned long window)
{
    const DisplayPtr display(XOpenDisplay(nullptr), &XCloseDisplay);
    if (!display)
        return std::nullopt;
    const Window root = DefaultRootWindow(display.get());
    Desktop desktop;
    read_monitors(display.get(), root, desktop);
    // The property alone: a manager that died without clearing it is taken as
    // present, which only means a window already wholly on one monitor stays.
    desktop.places_windows = property(display.get(), root, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW, 1).has_value();

    XWindowAttributes attributes;
    int x = 0;
    int y = 0;
    Window child = None;
    if (!XGetWindowAttributes(display.get(), window, &attributes)
        || !XTranslateCoordinates(display.get(), window, root, 0, 0, &x, &y, &child))
        return std::nullopt;
    // Left, right, top and bottom; none where no manager declares them.
    const std::vector<unsigned long> extents =
        property(display.get(), window, "_NET_FRAME_EXTENTS", XA_CARDINAL, 4).value_or(std::vector<unsigned long>(4));
    const int left = static_cast<int>(extents[0]);
    const int top = static_cast<int>(extents[2]);
    desktop.frame = ScreenRect{x - left, y - top, attributes.width + left + static_cast<int>(extents[1]),
                               attributes.height + top + static_cast<int>(extents[3])};
    return desktop;
}
