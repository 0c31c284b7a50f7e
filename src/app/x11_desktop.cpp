#include "app/x11_desktop.h"

#include "app/display_scale.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using DisplayPtr = std::unique_ptr<Display, decltype(&XCloseDisplay)>;

// A window's property of `type` in `format` (8 or 32 bits an item), as Xlib
// hands it back (32-bit items as longs), up to 4 MiB; nothing where it is not
// set so. Every property the editor reads goes through here.
std::optional<std::vector<unsigned char>> raw_property(Display* display, Window window, const char* name, Atom type,
                                                       int format, unsigned long* items)
{
    Atom actual_type = None;
    int actual_format = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    *items = 0;
    const Atom atom = XInternAtom(display, name, False);
    const int status = XGetWindowProperty(display, window, atom, 0, 1 << 20, False, type, &actual_type,
                                          &actual_format, items, &after, &data);
    std::optional<std::vector<unsigned char>> bytes;
    if (status == Success && actual_type == type && actual_format == format && data) {
        const std::size_t size = *items * (format == 32 ? sizeof(long) : 1);
        bytes.emplace(data, data + size);
    }
    if (data)
        XFree(data);
    return bytes;
}

// A property of 32-bit items, or nothing where it is not set with at least
// `least` of them.
std::optional<std::vector<long>> longs(Display* display, Window window, const char* name, Atom type,
                                       unsigned long least)
{
    unsigned long items = 0;
    const auto bytes = raw_property(display, window, name, type, 32, &items);
    if (!bytes || items < least)
        return std::nullopt;
    std::vector<long> values(items);
    std::copy(bytes->begin(), bytes->end(), reinterpret_cast<unsigned char*>(values.data()));
    return values;
}

// A property of 8-bit text; empty where it is not set.
std::string text(Display* display, Window window, const char* name)
{
    unsigned long items = 0;
    const auto bytes = raw_property(display, window, name, XA_STRING, 8, &items);
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
}

bool has_manager(Display* display, Window root)
{
    // The property alone: a manager that died without clearing it is taken as
    // present, which only means a window already in a work area stays.
    return longs(display, root, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW, 1).has_value();
}

bool manager_supports(Display* display, Window root, const char* hint)
{
    const Atom wanted = XInternAtom(display, hint, False);
    const auto supported = longs(display, root, "_NET_SUPPORTED", XA_ATOM, 0);
    return supported && std::find(supported->begin(), supported->end(), static_cast<long>(wanted)) != supported->end();
}

std::optional<FrameExtents> frame_extents(Display* display, Window window)
{
    const auto e = longs(display, window, "_NET_FRAME_EXTENTS", XA_CARDINAL, 4);
    if (!e)
        return std::nullopt;
    return FrameExtents{static_cast<int>((*e)[0]), static_cast<int>((*e)[1]), static_cast<int>((*e)[2]),
                        static_cast<int>((*e)[3])};
}

Desktop read_desktop(Display* display, Window root)
{
    std::vector<ScreenRect> listed;
    int primary = -1;
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
            if (m.primary && primary < 0)
                primary = i;
            listed.push_back(ScreenRect{m.x, m.y, m.width, m.height});
        }
        if (monitors)
            XRRFreeMonitors(monitors);
    }
    const int screen = DefaultScreen(display);
    Desktop desktop;
    set_monitors(desktop, listed, primary,
                 ScreenRect{0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen)});
    // x, y, width and height for each virtual desktop; the current one's.
    const auto current = longs(display, root, "_NET_CURRENT_DESKTOP", XA_CARDINAL, 1);
    const unsigned long index = current ? static_cast<unsigned long>((*current)[0]) : 0;
    const auto areas = longs(display, root, "_NET_WORKAREA", XA_CARDINAL, 4 * (index + 1));
    if (areas) {
        const long* a = areas->data() + 4 * index;
        desktop.work_area = ScreenRect{static_cast<int>(a[0]), static_cast<int>(a[1]), static_cast<int>(a[2]),
                                       static_cast<int>(a[3])};
    }
    desktop.places_windows = has_manager(display, root);
    return desktop;
}

// The decorations the manager would put around a new window of this size,
// learnt from an unmapped window of the editor's size (the manager answers
// _NET_REQUEST_FRAME_EXTENTS by setting _NET_FRAME_EXTENTS on it), waited
// for every 10 ms for up to half a second.
std::optional<FrameExtents> requested_frame_extents(Display* display, Window root, int side)
{
    if (!manager_supports(display, root, "_NET_REQUEST_FRAME_EXTENTS"))
        return std::nullopt;
    const Window probe = XCreateSimpleWindow(display, root, 0, 0, static_cast<unsigned int>(side),
                                             static_cast<unsigned int>(side), 0, 0, 0);
    XEvent request{};
    request.xclient.type = ClientMessage;
    request.xclient.window = probe;
    request.xclient.message_type = XInternAtom(display, "_NET_REQUEST_FRAME_EXTENTS", False);
    request.xclient.format = 32;
    XSendEvent(display, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &request);
    std::optional<FrameExtents> extents;
    for (int reading = 0; reading < 50 && !extents; ++reading) {
        XSync(display, False);
        extents = frame_extents(display, probe);
        if (!extents)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    XDestroyWindow(display, probe);
    XSync(display, False);
    return extents;
}

}

std::optional<X11Sizing> x11_sizing(int design_side)
{
    const DisplayPtr display(XOpenDisplay(nullptr), &XCloseDisplay);
    if (!display)
        return std::nullopt;
    const Window root = DefaultRootWindow(display.get());
    const Desktop desktop = read_desktop(display.get(), root);
    X11Sizing sizing;
    sizing.dpi = xft_dpi(text(display.get(), root, "RESOURCE_MANAGER"));
    sizing.work_area = usable_area(desktop, primary_or_first(desktop));
    if (!desktop.places_windows)
        sizing.frame = FrameExtents{};
    else if (sizing.dpi && *sizing.dpi > unscaled_dpi)
        sizing.frame = requested_frame_extents(display.get(), root, design_side);
    return sizing;
}

std::optional<X11Desktop> x11_desktop(unsigned long window)
{
    const DisplayPtr display(XOpenDisplay(nullptr), &XCloseDisplay);
    if (!display)
        return std::nullopt;
    const Window root = DefaultRootWindow(display.get());
    X11Desktop found{read_desktop(display.get(), root), std::nullopt};
    XWindowAttributes attributes;
    int x = 0;
    int y = 0;
    Window child = None;
    if (!XGetWindowAttributes(display.get(), window, &attributes)
        || !XTranslateCoordinates(display.get(), window, root, 0, 0, &x, &y, &child))
        return std::nullopt;
    found.extents = frame_extents(display.get(), window);
    found.desktop.frame = framed(ScreenRect{x, y, attributes.width, attributes.height},
                                 found.extents.value_or(FrameExtents{}));
    return found;
}
