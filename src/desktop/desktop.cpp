#include "desktop/desktop.h"

Desktop with_monitors(const std::vector<ScreenRect>& listed, std::size_t primary, const ScreenRect& screen)
{
    Desktop desktop;
    desktop.monitors = listed.empty() ? std::vector<ScreenRect>{screen} : listed;
    desktop.primary = primary < listed.size() ? primary : 0;
    return desktop;
}

ScreenRect usable_area(const Desktop& desktop, std::size_t i)
{
    const ScreenRect& monitor = desktop.monitors[i];
    if (!desktop.work_area)
        return monitor;
    const ScreenRect usable = intersection(monitor, *desktop.work_area);
    return area(usable) > 0 ? usable : monitor;
}
