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

// Whether some monitor's usable area is large enough to hold `frame`: a
// desktop that places windows moves a frame into one where it can, and no
// desktop can where none is; the editor then fits the window itself.
bool fits_a_usable_area(const Desktop& desktop, const ScreenRect& frame)
{
    for (std::size_t i = 0; i < desktop.monitors.size(); ++i) {
        const ScreenRect usable = usable_area(desktop, i);
        if (frame.width <= usable.width && frame.height <= usable.height)
            return true;
    }
    return false;
}

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
bool manager_runs(Display* display, Window root, const DesktopAtoms& atoms)
{
    const std::optional<long> check = first_item(long_property(display, root, atoms.supporting_wm_check, XA_WINDOW));
    if (!check || *check <= 0 || static_cast<Window>(*check) == root)
        return false;
    const Window window = static_cast<Window>(*check);
    return first_item(long_property(display, window, atoms.supporting_wm_check, XA_WINDOW)) == *check;
}

bool manager_supports(Display* display, Window root, const DesktopAtoms& atoms, Atom hint)
{
    const auto supported = long_property(display, root, atoms.supported, XA_ATOM);
    return hint != None && supported
           && std::find(supported->begin(), supported->end(), static_cast<long>(hint)) != supported->end();
}

// _NET_FRAME_EXTENTS on `window`: nothing where it is not set; none where it
// is set but fails its check.
std::optional<FrameExtents> declared_extents(Display* display, Window window, const DesktopAtoms& atoms)
{
    const auto e = long_property(display, window, atoms.frame_extents, XA_CARDINAL);
    if (!e)
        return std::nullopt;
    if (e->size() != 4)
        return FrameExtents{};
    return checked_extents((*e)[0], (*e)[1], (*e)[2], (*e)[3]).value_or(FrameExtents{});
}

// Waits until an event comes that may change what is read (any but the
// change of a property other than `watched`), for `reread` at most, or until
// the deadline passes; false once it has passed. Queued events are dropped:
// each wait is followed by a fresh reading.
bool wait_for_change(Display* display, Atom watched, X11Desktop::Deadline deadline)
{
    const auto start = std::chrono::steady_clock::now();
    if (start >= deadline)
        return false;
    const auto until = std::min<X11Desktop::Deadline>(deadline, start + reread);
    XFlush(display);
    for (;;) {
        bool changed = false;
        XEvent event;
        while (XPending(display) > 0) {
            XNextEvent(display, &event);
            changed |= event.type != PropertyNotify || event.xproperty.atom == watched;
        }
        const auto now = std::chrono::steady_clock::now();
        if (changed || now >= until)
            return true;
        pollfd connection{ConnectionNumber(display), POLLIN, 0};
        poll(&connection, 1, static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(until - now).count()));
    }
}

std::optional<FrameExtents> promised_extents(Display* display, Window root, const DesktopAtoms& atoms, int side,
                                             X11Desktop::Deadline deadline)
{
    if (!manager_supports(display, root, atoms, atoms.request_frame_extents))
        return std::nullopt;
    const Window probe = XCreateSimpleWindow(display, root, 0, 0, static_cast<unsigned int>(side),
                                             static_cast<unsigned int>(side), 0, 0, 0);
    XSelectInput(display, probe, PropertyChangeMask);
    XEvent request{};
    request.xclient.type = ClientMessage;
    request.xclient.window = probe;
    request.xclient.message_type = atoms.request_frame_extents;
    request.xclient.format = 32;
    XSendEvent(display, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &request);
    std::optional<FrameExtents> extents;
    do
        extents = declared_extents(display, probe, atoms);
    while (!extents && wait_for_change(display, atoms.frame_extents, deadline));
    XDestroyWindow(display, probe);
    return extents;
}

std::optional<X11Window> window_on_root(Display* display, Window window, const DesktopAtoms& atoms)
{
    Window root = None;
    int x = 0;
    int y = 0;
    unsigned int width = 0;
    unsigned int height = 0;
    unsigned int border = 0;
    unsigned int depth = 0;
    Window child = None;
    // The size from the geometry; the place from a translation, since the
    // geometry's is in the parent, which is a frame where a manager decorates.
    if (!XGetGeometry(display, window, &root, &x, &y, &width, &height, &border, &depth)
        || !XTranslateCoordinates(display, window, root, 0, 0, &x, &y, &child))
        return std::nullopt;
    return X11Window{ScreenRect{x, y, static_cast<int>(width), static_cast<int>(height)},
                     declared_extents(display, window, atoms)};
}

}

X11Desktop::X11Desktop() : display_(XOpenDisplay(nullptr), &XCloseDisplay)
{
    if (display_)
        atoms_ = std::make_unique<const DesktopAtoms>(desktop_atoms(display_.get()));
}

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
    if (const auto areas = long_property(display, root, atoms_->workarea, XA_CARDINAL))
        desktop.work_area =
            current_work_area(*areas, first_item(long_property(display, root, atoms_->current_desktop, XA_CARDINAL)));
    // The root's RESOURCE_MANAGER, as the connection read it when it opened.
    const char* resources = XResourceManagerString(display);
    desktop.dpi = xft_dpi(resources ? resources : "");
    desktop.places_windows = manager_runs(display, root, *atoms_);
    if (!desktop.places_windows)
        desktop.frame = FrameExtents{};
    else if (desktop.dpi && *desktop.dpi > unscaled_dpi)
        desktop.frame = promised_extents(display, root, *atoms_, probe_side, deadline);
    return desktop;
}

std::optional<X11Window> X11Desktop::settle(unsigned long window, const Desktop& desktop, bool wait_for_extents,
                                            Deadline deadline)
{
    Display* display = display_.get();
    XSelectInput(display, window, PropertyChangeMask | StructureNotifyMask);
    for (;;) {
        const std::optional<X11Window> now = window_on_root(display, window, *atoms_);
        if (!now)
            return now;
        const bool framed_now = now->extents.has_value() || !wait_for_extents;
        const ScreenRect frame = framed(now->client, now->extents.value_or(FrameExtents{}));
        const bool placed = !desktop.places_windows || !frame_position(desktop, frame)
                            || !fits_a_usable_area(desktop, frame);
        if ((framed_now && placed) || !wait_for_change(display, atoms_->frame_extents, deadline))
            return now;
    }
}
