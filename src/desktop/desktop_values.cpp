#include "desktop/desktop_values.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

namespace {

bool within(long value, long least, long most)
{
    return value >= least && value <= most;
}

}

std::optional<double> checked_dpi(double dpi)
{
    // Written so that NaN fails.
    if (dpi >= 48.0 && dpi <= 960.0)
        return dpi;
    return std::nullopt;
}

std::optional<ScreenRect> checked_rect(long x, long y, long width, long height)
{
    if (!within(x, -32768, 32767) || !within(y, -32768, 32767) || !within(width, 1, 32767)
        || !within(height, 1, 32767))
        return std::nullopt;
    return ScreenRect{static_cast<int>(x), static_cast<int>(y), static_cast<int>(width), static_cast<int>(height)};
}

std::optional<FrameExtents> checked_extents(long left, long right, long top, long bottom)
{
    for (const long side : {left, right, top, bottom}) {
        if (!within(side, 0, 1024))
            return std::nullopt;
    }
    return FrameExtents{static_cast<int>(left), static_cast<int>(right), static_cast<int>(top),
                        static_cast<int>(bottom)};
}

std::optional<double> xft_dpi(const std::string& resources)
{
    std::istringstream lines(resources);
    std::string line;
    std::optional<double> dpi;
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
            dpi = checked_dpi(parsed);
        else
            dpi.reset();
    }
    return dpi;
}

std::optional<ScreenRect> current_work_area(const std::vector<long>& areas, std::optional<long> current)
{
    const std::size_t desktops = areas.size() / 4;
    std::size_t index = 0;
    // A negative index, as an unsigned one, is past every list.
    if (current && static_cast<unsigned long>(*current) < desktops)
        index = static_cast<std::size_t>(*current);
    if (index >= desktops)
        return std::nullopt;
    const long* a = areas.data() + 4 * index;
    return checked_rect(a[0], a[1], a[2], a[3]);
}
