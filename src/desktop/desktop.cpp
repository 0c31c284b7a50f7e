#include "desktop/desktop.h"

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
