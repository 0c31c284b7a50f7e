#include "app/window_placement.h"

#include <algorithm>
#include <cstdint>

namespace {

std::int64_t area(const ScreenRect& r)
{
    return std::int64_t{r.width} * r.height;
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

}

void set_monitors(Desktop& desktop, const std::vector<ScreenRect>& listed, int primary, const ScreenRect& screen)
{
    desktop.monitors.clear();
    desktop.primary = -1;
    for (std::size_t i = 0; i < listed.size(); ++i) {
        if (listed[i].width <= 0 || listed[i].height <= 0)
            continue;
        if (primary >= 0 && static_cast<std::size_t>(primary) == i)
            desktop.primary = static_cast<int>(desktop.monitors.size());
        desktop.monitors.push_back(listed[i]);
    }
    if (desktop.monitors.empty()) {
        desktop.monitors.push_back(screen);
        desktop.primary = 0;
    }
}

std::size_t primary_or_first(const Desktop& desktop)
{
    const bool listed = desktop.primary >= 0 && static_cast<std::size_t>(desktop.primary) < desktop.monitors.size();
    return listed ? static_cast<std::size_t>(desktop.primary) : 0;
}

ScreenRect usable_area(const Desktop& desktop, std::size_t i)
{
    const ScreenRect& monitor = desktop.monitors[i];
    if (!desktop.work_area)
        return monitor;
    const ScreenRect usable = intersection(monitor, *desktop.work_area);
    return area(usable) > 0 ? usable : monitor;
}

std::optional<ScreenPoint> frame_position(const Desktop& desktop)
{
    if (desktop.monitors.empty())
        return std::nullopt;
    const ScreenRect& frame = desktop.frame;
    std::size_t target = primary_or_first(desktop);
    if (desktop.places_windows) {
        std::int64_t most = 0;
        for (std::size_t i = 0; i < desktop.monitors.size(); ++i) {
            const ScreenRect usable = usable_area(desktop, i);
            if (contains(usable, frame))
                return std::nullopt;
            const std::int64_t shared = area(intersection(usable, frame));
            if (shared > most) {
                most = shared;
                target = i;
            }
        }
    }
    const ScreenRect area = usable_area(desktop, target);
    return ScreenPoint{centred(area.x, area.width, frame.width), centred(area.y, area.height, frame.height)};
}
