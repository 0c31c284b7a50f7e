#include "app/window_placement.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace {

std::int64_t overlap(const ScreenRect& a, const ScreenRect& b)
{
    const std::int64_t width = std::min<std::int64_t>(std::int64_t{a.x} + a.width, std::int64_t{b.x} + b.width)
                               - std::max(a.x, b.x);
    const std::int64_t height = std::min<std::int64_t>(std::int64_t{a.y} + a.height, std::int64_t{b.y} + b.height)
                                - std::max(a.y, b.y);
    return width > 0 && height > 0 ? width * height : 0;
}

bool contains(const ScreenRect& outer, const ScreenRect& inner)
{
    return inner.x >= outer.x && inner.y >= outer.y
           && std::int64_t{inner.x} + inner.width <= std::int64_t{outer.x} + outer.width
           && std::int64_t{inner.y} + inner.height <= std::int64_t{outer.y} + outer.height;
}

int centred(int start, int outer, int inner)
{
    return outer > inner ? start + (outer - inner) / 2 : start;
}

std::size_t primary_or_first(const Desktop& desktop)
{
    const bool listed = desktop.primary >= 0 && static_cast<std::size_t>(desktop.primary) < desktop.monitors.size();
    return listed ? static_cast<std::size_t>(desktop.primary) : 0;
}

}

std::optional<ScreenPoint> frame_position(const Desktop& desktop)
{
    if (desktop.monitors.empty())
        return std::nullopt;
    const ScreenRect& frame = desktop.frame;
    std::size_t target = primary_or_first(desktop);
    if (desktop.places_windows) {
        const auto holds_frame = [&frame](const ScreenRect& monitor) { return contains(monitor, frame); };
        if (std::any_of(desktop.monitors.begin(), desktop.monitors.end(), holds_frame))
            return std::nullopt;
        std::int64_t most = 0;
        for (std::size_t i = 0; i < desktop.monitors.size(); ++i) {
            const std::int64_t shared = overlap(desktop.monitors[i], frame);
            if (shared > most) {
                most = shared;
                target = i;
            }
        }
    }
    const ScreenRect& monitor = desktop.monitors[target];
    return ScreenPoint{centred(monitor.x, monitor.width, frame.width),
                       centred(monitor.y, monitor.height, frame.height)};
}
