#include "desktop/desktop_values.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <tuple>
#include <vector>

TEST(DesktopValues, XftDpiIsReadFromTheResourceDatabaseAndChecked)
{
    EXPECT_EQ(xft_dpi("Xft.dpi:\t192\n"), 192.0);
    EXPECT_EQ(xft_dpi("Xcursor.size:\t48\nXft.antialias:\t1\nXft.dpi:\t144\nXft.hinting:\t1\n"), 144.0);
    EXPECT_EQ(xft_dpi("Xft.dpi:120.5"), 120.5);  // no blank, no final newline
    EXPECT_EQ(xft_dpi("Xft.dpi:\t96\nXft.dpi:\t192\n"), 192.0);  // the later line wins
    EXPECT_EQ(xft_dpi("Xft.dpi:\t144\r\nXft.dpi\n"), 144.0);    // CRLF; a line with no colon
    EXPECT_EQ(xft_dpi(""), std::nullopt);
    EXPECT_EQ(xft_dpi("Xft.dpis:\t192\n*.dpi:\t192\nXft.dpi\t192\n"), std::nullopt);
    EXPECT_EQ(xft_dpi("Xft.dpi:\t192\nXft.dpi:\tlarge\n"), std::nullopt);  // the later line wins
    EXPECT_EQ(xft_dpi("Xft.dpi:\t192 dots\n"), std::nullopt);
    EXPECT_EQ(xft_dpi("Xft.dpi:\t192dots\n"), std::nullopt);
    EXPECT_EQ(xft_dpi("Xft.dpi \t:\t144 \t\n"), 144.0);  // blanks around the name and after the value
    // Values no desktop means: as if unset.
    for (const char* bad : {"0", "-144", "1e9", "nan", "inf", "47.9", "960.5"})
        EXPECT_EQ(xft_dpi(std::string("Xft.dpi:\t") + bad + "\n"), std::nullopt) << bad;
    EXPECT_EQ(xft_dpi("Xft.dpi:\t48\n"), 48.0);
    EXPECT_EQ(xft_dpi("Xft.dpi:\t960\n"), 960.0);
}

TEST(DesktopValues, WorkAreaOfTheCurrentDesktopWithinBounds)
{
    const std::vector<long> two{0, 0, 1920, 1040, 0, 40, 1920, 1000};
    const auto y_of = [](const std::optional<ScreenRect>& r) { return r ? r->y : -1; };
    const ScreenRect second = current_work_area(two, 1).value_or(ScreenRect{});
    EXPECT_EQ(std::make_tuple(second.x, second.y, second.width, second.height),
              std::make_tuple(0, 40, 1920, 1000));
    EXPECT_EQ(y_of(current_work_area(two, std::nullopt)), 0);
    // A current desktop the list does not hold, however far: desktop 0's.
    for (const long index : {2L, -1L, static_cast<long>(0xFFFFFFFFUL), std::numeric_limits<long>::max(),
                             std::numeric_limits<long>::min()})
        EXPECT_EQ(y_of(current_work_area(two, index)), 0) << index;
    // Too short, empty: no work area.
    EXPECT_FALSE(current_work_area({0, 0, 1920}, 0).has_value());
    EXPECT_FALSE(current_work_area({}, 0).has_value());
}

// A rectangle's corner within X11's coordinates and its sides from 1 to
// 32767, at their ends and one past; decorations from 0 to 1024 on each side.
TEST(DesktopValues, RectanglesAndFramesWithinBounds)
{
    const std::vector<std::pair<std::vector<long>, bool>> rects = {
        {{-32768, -32768, 32767, 32767}, true}, {{32767, 32767, 1, 1}, true},
        {{-32769, 0, 1, 1}, false}, {{32768, 0, 1, 1}, false}, {{0, -32769, 1, 1}, false}, {{0, 32768, 1, 1}, false},
        {{0, 0, 0, 1}, false}, {{0, 0, 32768, 1}, false}, {{0, 0, 1, 0}, false}, {{0, 0, 1, 32768}, false},
        {{0, 0, -1920, 1040}, false}, {{-40000, 0, 100, 100}, false}, {{0, 0, 100000, 100000}, false},
    };
    for (const auto& [r, valid] : rects) {
        EXPECT_EQ(checked_rect(r[0], r[1], r[2], r[3]).has_value(), valid) << testing::PrintToString(r);
        EXPECT_EQ(current_work_area(r, 0).has_value(), valid) << testing::PrintToString(r);
    }
    const std::vector<std::pair<std::vector<long>, bool>> extents = {
        {{0, 1024, 22, 5}, true}, {{1024, 0, 0, 1024}, true},
        {{-1, 0, 0, 0}, false}, {{0, -1, 0, 0}, false}, {{0, 0, -1, 0}, false}, {{0, 0, 0, -1}, false},
        {{1025, 0, 0, 0}, false}, {{0, 1025, 0, 0}, false}, {{0, 0, 1025, 0}, false}, {{0, 0, 0, 1025}, false},
    };
    for (const auto& [e, valid] : extents)
        EXPECT_EQ(checked_extents(e[0], e[1], e[2], e[3]).has_value(), valid) << testing::PrintToString(e);
}
