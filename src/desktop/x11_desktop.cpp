#include "desktop/x11_desktop.h"

#include "desktop/desktop_values.h"
#include "desktop/window_layout.h"
#include "desktop/x11_properties.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>
#include <poll.h>

#include <algorithm>
#include <vector>

namespace {

// The longest a wait for the desktop sleeps before it reads again: a
// manager may change a window without an event to it.
constexpr auto reread = std::chrono::milliseconds(50);

std::optional<long> first_item(const std::optional<std::vector<long>>& items)
{
    if (!items || items->empty())
        return std::nullopt;
    return items->front();
}

// RandR's monitors, checked; `primary` set to the primary's index among
// them, left alone where none is primary.
std::vector<ScreenRect> randr_monitors(Display* display, Window root, std::size_t& primary)
{
    std::vector<ScreenRect> listed;
    int event_base = 0;
    int error_base = 0;
    int major = 0;
    int minor = 0;
    // The monitor list is RandR 1.5's.
    if (!XRRQueryExtension(display, &event_base, &error_base) || !XRRQueryVersion(display, &major, &minor)
        || (major == 1 && minor < 5) || major < 1)
        return listed;
    int count = 0;
    XRRMonitorInfo* monitors = XRRGetMonitors(display, root, True, &count);
    for (int i = 0; monitors && i < count; ++i) {
        const XRRMonitorInfo& m = monitors[i];
        const std::optional<ScreenRect> checked = checked_rect(m.x, m.y, m.width, m.height);
        if (!checked)
            continue;
        if (m.primary)
            primary = listed.size();
        listed.push_back(*checked);
    }
    if (monitors)
        XRRFreeMonitors(monitors);
    return listed;
}

// The window manager's check window, where a live one names itself.
bool manager_runs(Display* display, Window root)
{
    const std::optional<long> check = first_item(long_property(display, root, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW));
    if (!check || *check <= 0 || static_cast<Window>(*check) == root)
        return false;
    const Window window = static_cast<Window>(*check);
    return first_item(long_property(display, window, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW)) == *check;
}

bool manager_supports(Display* display, Window root, const char* hint)
{
    const Atom wanted = existing_atom(display, hint);
    const auto supported = long_property(display, root, "_NET_SUPPORTED", XA_ATOM);
    return wanted != None && supported
           && std::find(supported->begin(), supported->end(), static_cast<long>(wanted)) != supported->end();
}

// _NET_FRAME_EXTENTS on `window`: nothing where it is not set; none where it
// is set but fails its check.
std::optional<FrameExtents> declared_extents(Display* display, Window window)
{
    const auto e = long_property(display, window, "_NET_FRAME_EXTENTS", XA_CARDINAL);
    if (!e)
        return std::nullopt;
    if (e->size() != 4)
        return FrameExtents{};
    return checked_extents((*e)[0], (*e)[1], (*e)[2], (*e)[3]).value_or(FrameExtents{});
}

// Waits until an event is queued on the connection or the deadline passes,
// at most `reread`; false once the deadline has passed. Queued events are
// dropped: each wait is followed by a fresh reading.
bool wait_for_events(Display* display, X11Desktop::Deadline deadline)
{
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline)
        return false;
    XFlush(display);
    if (XPending(display) == 0) {
        const auto left = std::min<std::chrono::steady_clock::duration>(deadline - now, reread);
        pollfd connection{ConnectionNumber(display), POLLIN, 0};
        poll(&connection, 1, static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(left).count()));
    }
    XEvent event;
    while (XPending(display) > 0)
        XNextEvent(display, &event);
    return true;
}

std::optional<FrameExtents> promised_extents(Display* display, Window root, int side, X11Desktop::Deadline deadline)
{
    if (!manager_supports(display, root, "_NET_REQUEST_FRAME_EXTENTS"))
        return std::nullopt;
    const Window probe = XCreateSimpleWindow(display, root, 0, 0, static_cast<unsigned int>(side),
                                             static_cast<unsigned int>(side), 0, 0, 0);
    XSelectInput(display, probe, PropertyChangeMask);
    XEvent request{};
    request.xclient.type = ClientMessage;
    request.xclient.window = probe;
    request.xclient.message_type = existing_atom(display, "_NET_REQUEST_FRAME_EXTENTS");
    request.xclient.format = 32;
    XSendEvent(display, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &request);
    std::optional<FrameExtents> extents;
    do
        extents = declared_extents(display, probe);
    while (!extents && wait_for_events(display, deadline));
    XDestroyWindow(display, probe);
    return extents;
}

std::optional<X11Window> window_on_root(Display* display, Window window)
{
    XWindowAttributes attributes;
    int x = 0;
    int y = 0;
    Window child = None;
    if (!XGetWindowAttributes(display, window, &attributes)
        || !XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &x, &y, &child))
        return std::nullopt;
    return X11Window{ScreenRect{x, y, attributes.width, attributes.height}, declared_extents(display, window)};
}

}

X11Desktop::X11Desktop() : display_(XOpenDisplay(nullptr), &XCloseDisplay) {}

X11Desktop::~X11Desktop() = default;

bool X11Desktop::is_open() const
{
    return display_ != nullptr;
}

Desktop X11Desktop::read(int probe_side, Deadline deadline)
{
    Display* display = display_.get();
    const Window root = DefaultRootWindow(display);
    const int screen = DefaultScreen(display);
    std::size_t primary = 0;
    const std::vector<ScreenRect> listed = randr_monitors(display, root, primary);
    Desktop desktop =
        with_monitors(listed, primary, ScreenRect{0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen)});
    if (const auto areas = long_property(display, root, "_NET_WORKAREA", XA_CARDINAL))
        desktop.work_area =
            current_work_area(*areas, first_item(long_property(display, root, "_NET_CURRENT_DESKTOP", XA_CARDINAL)));
    desktop.dpi = xft_dpi(text_property(display, root, "RESOURCE_MANAGER"));
    desktop.places_windows = manager_runs(display, root);
    if (!desktop.places_windows)
        desktop.frame = FrameExtents{};
    else if (desktop.dpi && *desktop.dpi > unscaled_dpi)
        desktop.frame = promised_extents(display, root, probe_side, deadline);
    return desktop;
}

std::optional<X11Window> X11Desktop::settle(unsigned long window, const Desktop& desktop, bool wait_for_extents,
                                            Deadline deadline)
{
    Display* display = display_.get();
    XSelectInput(display, window, PropertyChangeMask | StructureNotifyMask);
    for (;;) {
        const std::optional<X11Window> now = window_on_root(display, window);
        if (!now)
            return now;
        const bool framed_now = now->extents.has_value() || !wait_for_extents;
        const ScreenRect frame = framed(now->client, now->extents.value_or(FrameExtents{}));
        const bool placed = !desktop.places_windows || !frame_position(desktop, frame);
        if ((framed_now && placed) || !wait_for_events(display, deadline))
            return now;
    }
}
