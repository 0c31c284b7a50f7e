#include "desktop/window_layout.h"

#include "desktop/desktop_values.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

int centred(int start, int outer, int inner)
{
    return outer > inner ? start + (outer - inner) / 2 : start;
}

}

ScreenRect usable_area(const Desktop& desktop, std::size_t i)
{
    const ScreenRect& monitor = desktop.monitors[i];
    if (!desktop.work_area)
        return monitor;
    const ScreenRect usable = intersection(monitor, *desktop.work_area);
    return area(usable) > 0 ? usable : monitor;
}

std::size_t window_monitor(const Desktop& desktop, const std::optional<ScreenRect>& frame)
{
    std::size_t target = desktop.primary;
    if (!desktop.places_windows || !frame)
        return target;
    std::int64_t most = 0;
    for (std::size_t i = 0; i < desktop.monitors.size(); ++i) {
        const std::int64_t shared = area(intersection(usable_area(desktop, i), *frame));
        if (shared > most) {
            most = shared;
            target = i;
        }
    }
    return target;
}

double display_scale(std::optional<double> dpi, int design_side, const ScreenRect& work_area,
                     const FrameExtents& frame)
{
    if (!dpi || !std::isfinite(*dpi))
        return 1.0;
    // In 64 bits: unchecked extents may be as large as an int holds.
    const std::int64_t room = std::min(std::int64_t{work_area.width} - frame.left - frame.right,
                                       std::int64_t{work_area.height} - frame.top - frame.bottom);
    // room / design_side times design_side rounds back to room exactly, so
    // device_pixels(design_side, scale) never passes the room.
    const double fits = static_cast<double>(room) / design_side;
    return std::max(1.0, std::min(*dpi / unscaled_dpi, fits));
}

unsigned int device_pixels(double length, double scale)
{
    return static_cast<unsigned int>(std::lround(length * scale));
}

bool frame_awaited(const Desktop& desktop, double scale)
{
    return !desktop.frame && scale > 1.0;
}

namespace {

std::optional<ScreenPoint> position_in(const Desktop& desktop, std::size_t monitor, const ScreenRect& frame)
{
    const ScreenRect usable = usable_area(desktop, monitor);
    if (desktop.places_windows && contains(usable, frame))
        return std::nullopt;
    return ScreenPoint{centred(usable.x, usable.width, frame.width), centred(usable.y, usable.height, frame.height)};
}

}

WindowLayout window_layout(const Desktop& desktop, int design_side, const std::optional<ScreenRect>& client)
{
    WindowLayout layout;
    if (desktop.monitors.empty()) {
        layout.side = device_pixels(design_side, 1.0);
        return layout;
    }
    const FrameExtents extents = desktop.frame.value_or(FrameExtents{});
    layout.monitor = window_monitor(desktop, client ? std::optional<ScreenRect>(framed(*client, extents)) : std::nullopt);
    layout.scale = display_scale(desktop.dpi, design_side, usable_area(desktop, layout.monitor), extents);
    layout.side = device_pixels(design_side, layout.scale);
    if (client) {
        const int side = static_cast<int>(layout.side);
        layout.corner = position_in(desktop, layout.monitor, framed(ScreenRect{client->x, client->y, side, side}, extents));
    }
    return layout;
}

std::optional<ScreenPoint> frame_position(const Desktop& desktop, const ScreenRect& frame)
{
    if (desktop.monitors.empty())
        return std::nullopt;
    return position_in(desktop, window_monitor(desktop, frame), frame);
}
