#include "desktop/window_layout.h"

#include "desktop/desktop_values.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <random>
#include <tuple>
#include <utility>
#include <vector>

namespace {

const ScreenRect left_monitor{0, 0, 1920, 1080};
const ScreenRect full_hd_at_200{0, 0, 3840, 2160};
const FrameExtents no_frame{};
const ScreenRect right_monitor{1920, 0, 1920, 1080};

// primary: -1 for none.
Desktop desktop(const std::vector<ScreenRect>& monitors, int primary, bool places_windows)
{
    Desktop d = with_monitors(monitors, static_cast<std::size_t>(primary), {0, 0, 640, 480});
    d.places_windows = places_windows;
    return d;
}

}

// Where the frame goes (or nothing: it stays), on desktops that place
// windows and on those that do not.
TEST(WindowPlacement, FramePositionOnEachDesktop)
{
    const std::vector<int> stays;
    const std::vector<ScreenRect> two{left_monitor, right_monitor};
    const ScreenRect created{1600, 1600, 640, 640};  // wherever SFML made it, on no monitor
    const ScreenRect panel{0, 0, 3840, 1040};        // along the bottom of the left monitor
    struct Row {
        const char* what;
        std::vector<ScreenRect> monitors;
        int primary;  // -1: none
        bool places;
        std::optional<ScreenRect> work_area;
        ScreenRect frame;
        std::vector<int> corner;
    };
    const Row rows[] = {
        // Nothing places windows: centred on the primary, or the first.
        {"bare: the primary", two, 1, false, {}, created, {2560, 220}},
        {"bare: no primary, the first", two, -1, false, {}, created, {640, 220}},
        {"bare: no primary, the first listed", {right_monitor, left_monitor}, -1, false, {}, created, {2560, 220}},
        {"bare: a smaller monitor", {{0, 0, 1024, 768}}, 0, false, {}, created, {192, 64}},
        {"bare: a primary the list does not hold", {left_monitor}, 3, false, {}, created, {640, 220}},
        {"bare: already centred", {left_monitor}, 0, false, {}, {640, 220, 640, 640}, {640, 220}},
        {"bare: on another monitor", two, 0, false, {}, {2000, 100, 640, 640}, {640, 220}},
        // A monitor smaller than the frame keeps its top-left corner in view.
        {"small: wider", {{0, 0, 800, 600}}, 0, false, {}, {0, 0, 640, 640}, {80, 0}},
        {"small: taller", {{100, 50, 600, 2000}}, 0, false, {}, {0, 0, 640, 640}, {100, 730}},
        {"small: as large", {{0, 0, 640, 640}}, 0, false, {}, {0, 0, 640, 640}, {0, 0}},
        {"small: left of the origin", {{-1024, 0, 1024, 768}}, 0, false, {}, {0, 0, 640, 640}, {-832, 64}},
        // A desktop's placement on one monitor stands.
        {"placed: framed", two, 0, true, {}, {5, 29, 640, 677}, stays},
        {"placed: at the second's corner", two, 0, true, {}, {1920, 0, 640, 640}, stays},
        {"placed: on the second", two, 0, true, {}, {3200, 440, 640, 640}, stays},
        {"placed: as large as the monitor", two, 0, true, {}, {0, 0, 1920, 1080}, stays},
        // Across monitors or off them: mended.
        {"across: most on the second", two, 0, true, {}, {1700, 257, 640, 677}, {2560, 201}},
        {"across: most on the first", two, 1, true, {}, {1500, 257, 640, 677}, {640, 201}},
        {"one pixel over the edge", {left_monitor}, 0, true, {}, {1281, 220, 640, 640}, {640, 220}},
        {"one pixel on the second", two, 0, true, {}, {3839, 1079, 640, 640}, {2560, 220}},
        {"on none: the primary", two, 0, true, {}, created, {640, 220}},
        {"on none: the other primary", two, 1, true, {}, created, {2560, 220}},
        {"stacked: to the lower", {{0, 0, 1280, 1024}, {0, 1024, 1280, 1024}}, 0, true, {}, {320, 720, 640, 640},
         {320, 1216}},
        // Out of panels; a work area that misses every monitor: the monitor.
        {"over the panel", two, 0, true, panel, {640, 400, 642, 667}, {639, 186}},
        {"just above the panel", two, 0, true, panel, {640, 373, 642, 667}, stays},
        {"the work area spans the right", two, 0, true, panel, {2500, 300, 642, 667}, stays},
        {"a work area off every monitor", two, 0, true, ScreenRect{5000, 0, 100, 100}, {1700, 400, 642, 667},
         {2559, 206}},
        {"panels at the top and bottom", {{0, 0, 1366, 768}}, 0, true, ScreenRect{0, 24, 1366, 720},
         {0, 0, 642, 667}, {362, 50}},
        {"no monitors", {}, 0, false, {}, {0, 0, 640, 640}, stays},
    };
    for (const Row& row : rows) {
        Desktop d = row.monitors.empty() ? Desktop{} : desktop(row.monitors, row.primary, row.places);
        d.work_area = row.work_area;
        const auto got = frame_position(d, row.frame);
        EXPECT_EQ((got ? std::vector<int>{got->x, got->y} : std::vector<int>{}), row.corner) << row.what;
    }
}

TEST(WindowPlacement, DesktopValuesAreCombinedAsDeclared)
{
    const WindowLayout layout = window_layout(Desktop{}, 640, ScreenRect{0, 0, 640, 640});
    EXPECT_EQ(std::make_tuple(layout.monitor, layout.scale, layout.side, layout.corner.has_value()),
              std::make_tuple(std::size_t{0}, 1.0, 640u, false));
    // A work area that meets the monitor in one pixel: that pixel.
    Desktop d = desktop({{0, 0, 1366, 768}}, 0, true);
    d.work_area = ScreenRect{1365, 767, 100, 100};
    EXPECT_EQ(area(usable_area(d, 0)), 1);

    // The whole screen stands in only for a list with no monitor; a primary
    // the list does not hold is none.
    const ScreenRect screen{0, 0, 3840, 1080};
    d = with_monitors({left_monitor, right_monitor}, 1, screen);
    ASSERT_EQ(d.monitors.size(), 2u);
    EXPECT_EQ(d.monitors[1].x, 1920);
    EXPECT_EQ(d.primary, 1u);
    EXPECT_EQ(with_monitors({left_monitor, right_monitor}, 2, screen).primary, 0u);
    d = with_monitors({}, 0, screen);
    ASSERT_EQ(d.monitors.size(), 1u);
    EXPECT_EQ(d.monitors[0].width, 3840);

    // The frame around a window, from the decorations on each side.
    const ScreenRect f = framed({100, 200, 640, 640}, FrameExtents{1, 2, 22, 5});
    EXPECT_EQ(std::make_tuple(f.x, f.y, f.width, f.height), std::make_tuple(99, 178, 643, 667));

    // A frame is waited for only where it is unknown and there is a scale
    // for it to lower.
    d.frame = std::nullopt;
    EXPECT_TRUE(frame_awaited(d, 1.5));
    EXPECT_FALSE(frame_awaited(d, 1.0));
    d.frame = FrameExtents{};  // none: nothing decorates windows
    EXPECT_FALSE(frame_awaited(d, 1.5));
    d.frame = FrameExtents{1, 1, 22, 5};  // promised
    EXPECT_FALSE(frame_awaited(d, 2.0));
}

// The window's side in device pixels, on the screens people have: the
// desktop's scale (dpi / 96, rounded to the nearest device pixel) where the
// window and its frame fit the work area, else the largest square whose
// frame does; the designed 640 where not even that fits, or below 96 DPI.
TEST(WindowSize, WindowAndFrameFitTheWorkArea)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Row {
        const char* desktop;
        std::optional<double> dpi;
        ScreenRect work_area;
        FrameExtents frame;
        unsigned int side;
    };
    const Row rows[] = {
        {"no DPI", std::nullopt, full_hd_at_200, no_frame, 640},
        {"96", 96, full_hd_at_200, no_frame, 640},
        {"144", 144, full_hd_at_200, no_frame, 960},
        {"192", 192, full_hd_at_200, no_frame, 1280},
        {"121: 806.67, rounded up", 121, full_hd_at_200, no_frame, 807},
        {"122: 813.33, rounded down", 122, full_hd_at_200, no_frame, 813},
        {"72: never below the designed size", 72, full_hd_at_200, no_frame, 640},
        {"-192", -192, full_hd_at_200, no_frame, 640},
        {"NaN", nan, full_hd_at_200, no_frame, 640},
        {"infinite", std::numeric_limits<double>::infinity(), full_hd_at_200, no_frame, 640},
        {"absurd: as tall as the monitor", 96000, {0, 0, 2560, 1600}, no_frame, 1600},
        {"absurd: as wide as the monitor", 96000, {0, 0, 1600, 2560}, no_frame, 1600},
        {"Windows 1920 x 1080 at 150 %, 72-px taskbar", 144, {0, 0, 1920, 1008}, {11, 11, 45, 11}, 952},
        {"Windows 1366 x 768 at 125 %, 40-px taskbar", 120, {0, 0, 1366, 728}, {9, 9, 38, 9}, 681},
        {"Windows 3840 x 2160 at 200 %", 192, {0, 0, 3840, 2088}, {15, 15, 60, 15}, 1280},
        {"X11 1366 x 768 at 125 %, 40-px panel", 120, {0, 0, 1366, 728}, {1, 1, 22, 5}, 701},
        {"X11 1280 x 800 at 125 %, panel", 120, {0, 0, 1280, 760}, {1, 1, 22, 5}, 733},
        {"X11 1920 x 1080 at 200 %, panel on top", 192, {0, 40, 1920, 1040}, {1, 1, 22, 5}, 1013},
        {"X11 1920 x 1080 at 150 %, 72-px panel", 144, {0, 0, 1920, 1008}, {1, 1, 22, 5}, 960},
        {"X11 2560 x 1600 at 200 %", 192, {0, 0, 2560, 1560}, {1, 1, 22, 5}, 1280},
        {"X11 3840 x 2160 at 300 %", 288, {0, 0, 3840, 2120}, {1, 1, 22, 5}, 1920},
        {"1600 x 1600 at 100 %", 96, {0, 0, 1600, 1600}, {1, 1, 22, 5}, 640},
        {"a narrow work area limits as a short one does", 192, {0, 0, 900, 2000}, {50, 50, 0, 0}, 800},
        {"not even the designed size fits", 192, {0, 0, 800, 600}, {1, 1, 22, 5}, 640},
        {"the designed size and its frame just fit", 192, {0, 0, 800, 667}, {1, 1, 22, 5}, 640},
    };
    for (const Row& row : rows) {
        const double scale = display_scale(row.dpi, 640, row.work_area, row.frame);
        EXPECT_EQ(device_pixels(640, scale), row.side) << row.desktop;
        EXPECT_GE(scale, 1.0) << row.desktop;
    }
    EXPECT_EQ(device_pixels(25, 1.5), 38u);  // 37.5, away from zero
}

// Over generated desktops, sane and absurd: the window is square, 1 pixel to
// dpi / 96, and where the designed 640 and its frame fit the chosen monitor's
// usable area, the window and its frame end up inside it.
TEST(WindowLayout, FitsTheMonitorItIsOnWheneverTheDesignedSizeDoes)
{
    std::mt19937 random(20261210);
    const auto any = [&random](int least, int most) { return std::uniform_int_distribution<int>(least, most)(random); };
    const auto edge = [&any]() { return any(0, 3) == 0 ? any(-40000, 40000) : any(-4000, 4000); };
    const auto length = [&any]() { return any(0, 5) == 0 ? any(-100, 100000) : any(600, 4000); };
    const double dpis[] = {-144, 0, 47, 72, 96, 120, 144, 168, 192, 288, 960, 1e9,
                           std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()};
    for (int round = 0; round < 20000; ++round) {
        std::vector<ScreenRect> listed;
        for (int m = any(0, 4); m > 0; --m) {
            if (const std::optional<ScreenRect> checked = checked_rect(edge(), edge(), length(), length()))
                listed.push_back(*checked);
        }
        Desktop d = with_monitors(listed, static_cast<std::size_t>(any(0, 4)), ScreenRect{0, 0, 1024, 768});
        if (any(0, 1))
            d.work_area = checked_rect(edge(), edge(), length(), length());
        if (any(0, 5))
            d.dpi = dpis[any(0, 13)];
        const int big = any(0, 9) == 0 ? 1 << 30 : 60;
        if (any(0, 3))
            d.frame = FrameExtents{any(0, big), any(0, big), any(0, big), any(0, big)};
        d.places_windows = any(0, 1);
        const std::optional<ScreenRect> client =
            any(0, 3) ? std::optional<ScreenRect>(ScreenRect{edge(), edge(), 640, 640}) : std::nullopt;

        const WindowLayout layout = window_layout(d, 640, client);
        SCOPED_TRACE(testing::Message() << "round " << round);
        ASSERT_LT(layout.monitor, d.monitors.size());
        EXPECT_GE(layout.scale, 1.0);
        EXPECT_GE(layout.side, 1u);
        EXPECT_EQ(layout.side, device_pixels(640, layout.scale));
        if (d.dpi && *d.dpi > 96) {
            EXPECT_LE(layout.scale, *d.dpi / 96);
        } else {
            EXPECT_EQ(layout.scale, 1.0);
        }
        const FrameExtents f = d.frame.value_or(FrameExtents{});
        const ScreenRect usable = usable_area(d, layout.monitor);
        const bool designed_fits = std::int64_t{640} + f.left + f.right <= usable.width
                                   && std::int64_t{640} + f.top + f.bottom <= usable.height;
        if (!client || !designed_fits)
            continue;
        const int side = static_cast<int>(layout.side);
        ScreenRect window{client->x, client->y, side, side};
        if (layout.corner) {
            window.x = layout.corner->x + f.left;
            window.y = layout.corner->y + f.top;
        }
        EXPECT_TRUE(contains(usable, framed(window, f)));
    }
}

// The window sized for the monitor it is on, not the primary: a smaller
// second monitor gets a window that fits it.
TEST(WindowLayout, SizedForTheMonitorTheWindowIsOn)
{
    Desktop d = with_monitors({{0, 0, 3840, 2160}, {3840, 0, 1366, 768}}, 0, {});
    d.dpi = 192;
    d.frame = FrameExtents{1, 1, 22, 5};
    d.places_windows = true;
    EXPECT_EQ(window_layout(d, 640, std::nullopt).side, 1280u);
    const WindowLayout small = window_layout(d, 640, ScreenRect{4000, 30, 1280, 1280});
    EXPECT_EQ(small.monitor, 1u);
    EXPECT_EQ(small.side, 741u);
    ASSERT_TRUE(small.corner.has_value());
    EXPECT_EQ(small.corner->x, 3840 + (1366 - 743) / 2);
    EXPECT_EQ(small.corner->y, 0);
}
