#include "app/display_scale.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>

std::optional<double> xft_dpi(const std::string& resources)
{
    std::istringstream lines(resources);
    std::string line;
    std::optional<double> dpi;
    // Later lines win, as xrdb's merge leaves them.
    while (std::getline(lines, line)) {
        const std::string::size_type colon = line.find(':');
        if (colon == std::string::npos)
            continue;
        std::string name = line.substr(0, colon);
        name.erase(std::remove_if(name.begin(), name.end(), [](char c) { return c == ' ' || c == '\t'; }),
                   name.end());
        if (name != "Xft.dpi")
            continue;
        const std::string value = line.substr(colon + 1);
        char* end = nullptr;
        const double parsed = std::strtod(value.c_str(), &end);
        const char* rest = end;
        const bool rest_is_blank = std::all_of(rest, value.c_str() + value.size(),
                                               [](char c) { return c == ' ' || c == '\t' || c == '\r'; });
        if (end != value.c_str() && rest_is_blank)
            dpi = parsed;
        else
            dpi.reset();
    }
    return dpi;
}

double display_scale(std::optional<double> dpi, int design_side, const ScreenRect& work_area,
                     const FrameExtents& frame)
{
    if (!dpi || !std::isfinite(*dpi) || *dpi <= unscaled_dpi || design_side <= 0)
        return 1.0;
    const int room = std::min(work_area.width - frame.left - frame.right, work_area.height - frame.top - frame.bottom);
    // room / design_side times design_side rounds back to room exactly, so
    // device_pixels(design_side, scale) never passes the room.
    const double fits = static_cast<double>(room) / design_side;
    return std::max(1.0, std::min(*dpi / unscaled_dpi, fits));
}

unsigned int device_pixels(double length, double scale)
{
    return static_cast<unsigned int>(std::lround(length * scale));
}
