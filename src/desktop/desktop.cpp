#include "desktop/desktop.h"

Desktop with_monitors(const std::vector<ScreenRect>& listed, std::size_t primary, const ScreenRect& screen)
{
    Desktop desktop;
    desktop.monitors = listed.empty() ? std::vector<ScreenRect>{screen} : listed;
    desktop.primary = primary < listed.size() ? primary : 0;
    return desktop;
}
