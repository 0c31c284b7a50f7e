#include "desktop/screen_rect.h"

#include <algorithm>

ScreenRect framed(const ScreenRect& window, const FrameExtents& extents)
{
    return ScreenRect{window.x - extents.left, window.y - extents.top, window.width + extents.left + extents.right,
                      window.height + extents.top + extents.bottom};
}

ScreenRect intersection(const ScreenRect& a, const ScreenRect& b)
{
    const std::int64_t left = std::max(a.x, b.x);
    const std::int64_t top = std::max(a.y, b.y);
    const std::int64_t right = std::min(std::int64_t{a.x} + a.width, std::int64_t{b.x} + b.width);
    const std::int64_t bottom = std::min(std::int64_t{a.y} + a.height, std::int64_t{b.y} + b.height);
    return ScreenRect{static_cast<int>(left), static_cast<int>(top), static_cast<int>(std::max<std::int64_t>(right - left, 0)),
                      static_cast<int>(std::max<std::int64_t>(bottom - top, 0))};
}

bool contains(const ScreenRect& outer, const ScreenRect& inner)
{
    return inner.x >= outer.x && inner.y >= outer.y
           && std::int64_t{inner.x} + inner.width <= std::int64_t{outer.x} + outer.width
           && std::int64_t{inner.y} + inner.height <= std::int64_t{outer.y} + outer.height;
}

std::int64_t area(const ScreenRect& r)
{
    return std::int64_t{r.width} * r.height;
}
