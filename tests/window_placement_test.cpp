#include "app/window_placement.h"

#include <gtest/gtest.h>

#include <optional>
#include <tuple>
#include <utility>
#include <vector>

namespace {

const ScreenRect left_monitor{0, 0, 1920, 1080};
const ScreenRect right_monitor{1920, 0, 1920, 1080};

Desktop desktop(std::vector<ScreenRect> monitors, int primary, bool places_windows, ScreenRect frame)
{
    Desktop d;
    d.monitors = std::move(monitors);
    d.primary = primary;
    d.places_windows = places_windows;
    d.frame = frame;
    return d;
}

void expect_at(const std::optional<ScreenPoint>& got, int x, int y)
{
    ASSERT_TRUE(got.has_value());
    EXPECT_EQ(got->x, x);
    EXPECT_EQ(got->y, y);
}

}

TEST(WindowPlacement, BareDesktopCentresOnThePrimaryMonitorOrTheFirst)
{
    const ScreenRect created{1600, 1600, 640, 640};  // wherever SFML made it
    expect_at(frame_position(desktop({left_monitor, right_monitor}, 1, false, created)), 2560, 220);
    expect_at(frame_position(desktop({left_monitor, right_monitor}, -1, false, created)), 640, 220);
    expect_at(frame_position(desktop({right_monitor, left_monitor}, -1, false, created)), 2560, 220);
    expect_at(frame_position(desktop({{0, 0, 1024, 768}}, 0, false, created)), 192, 64);
    // A primary index the list does not hold counts as none.
    expect_at(frame_position(desktop({left_monitor}, 3, false, created)), 640, 220);
    // Already centred: the same place again.
    expect_at(frame_position(desktop({left_monitor}, 0, false, {640, 220, 640, 640})), 640, 220);
}

TEST(WindowPlacement, SmallerMonitorKeepsTheTopLeftCornerInView)
{
    const ScreenRect frame{0, 0, 640, 640};
    expect_at(frame_position(desktop({{0, 0, 800, 600}}, 0, false, frame)), 80, 0);
    expect_at(frame_position(desktop({{100, 50, 600, 2000}}, 0, false, frame)), 100, 730);
    expect_at(frame_position(desktop({{0, 0, 640, 640}}, 0, false, frame)), 0, 0);
    expect_at(frame_position(desktop({{-1024, 0, 1024, 768}}, 0, false, frame)), -832, 64);
}

TEST(WindowPlacement, DesktopsPlaceOnOneMonitorAndTheEditorLeavesIt)
{
    for (const ScreenRect frame : {ScreenRect{5, 29, 640, 677}, ScreenRect{1920, 0, 640, 640},
                                   ScreenRect{3200, 440, 640, 640}, ScreenRect{0, 0, 1920, 1080}}) {
        EXPECT_FALSE(frame_position(desktop({left_monitor, right_monitor}, 0, true, frame)).has_value())
            << frame.x << ", " << frame.y;
    }
}

TEST(WindowPlacement, DesktopsPlacementAcrossMonitorsOrOffThemIsMended)
{
    const std::vector<ScreenRect> two{left_monitor, right_monitor};
    // Across both: to the monitor holding most of the frame.
    expect_at(frame_position(desktop(two, 0, true, {1700, 257, 640, 677})), 2560, 201);
    expect_at(frame_position(desktop(two, 1, true, {1500, 257, 640, 677})), 640, 201);
    // One pixel over the edge of the only monitor.
    expect_at(frame_position(desktop({left_monitor}, 0, true, {1281, 220, 640, 640})), 640, 220);
    // On no monitor at all: to the primary, whichever it is.
    expect_at(frame_position(desktop(two, 0, true, {1600, 1600, 640, 640})), 640, 220);
    expect_at(frame_position(desktop(two, 1, true, {1600, 1600, 640, 640})), 2560, 220);
    // Monitors stacked, the frame straddling them: to the lower, which holds more.
    expect_at(frame_position(desktop({{0, 0, 1280, 1024}, {0, 1024, 1280, 1024}}, 0, true, {320, 720, 640, 640})),
              320, 1216);
}

TEST(WindowPlacement, NoMonitorsMeansNoMove)
{
    EXPECT_FALSE(frame_position(desktop({}, -1, false, {0, 0, 640, 640})).has_value());
}

TEST(WindowPlacement, WindowsStayOutOfPanelsAndOffMonitorsThatAreNotThere)
{
    // A panel along the bottom of the left monitor; the work area spans both.
    Desktop d = desktop({left_monitor, right_monitor}, 0, true, {640, 400, 642, 667});
    d.work_area = ScreenRect{0, 0, 3840, 1040};
    expect_at(frame_position(d), 639, 186);  // over the panel: into the area above it
    d.frame = ScreenRect{640, 373, 642, 667};
    EXPECT_FALSE(frame_position(d).has_value());  // just above it: stays
    d.frame = ScreenRect{2500, 300, 642, 667};
    EXPECT_FALSE(frame_position(d).has_value());  // the area spans the right monitor too
    d.work_area = ScreenRect{5000, 0, 100, 100};  // misses every monitor: the monitor counts
    d.frame = ScreenRect{1700, 400, 642, 667};
    expect_at(frame_position(d), 2559, 206);
    // Panels at the top and at the bottom (MATE's two): between them.
    d = desktop({{0, 0, 1366, 768}}, 0, true, {0, 0, 642, 667});
    d.work_area = ScreenRect{0, 24, 1366, 720};
    expect_at(frame_position(d), 362, 50);

    // Monitors with no area are left out, and the whole screen stands in
    // only for a list with none left.
    const ScreenRect screen{0, 0, 3840, 1080};
    set_monitors(d, {{0, 0, 0, 1080}, left_monitor, right_monitor, {0, 0, 1920, 0}}, 2, screen);
    ASSERT_EQ(d.monitors.size(), 2u);
    EXPECT_EQ(d.monitors[0].x, 0);
    EXPECT_EQ(d.monitors[1].x, 1920);
    EXPECT_EQ(d.primary, 1);
    set_monitors(d, {{0, 0, 0, 0}}, 0, screen);
    ASSERT_EQ(d.monitors.size(), 1u);
    EXPECT_EQ(d.monitors[0].width, 3840);
    EXPECT_EQ(d.primary, 0);

    // The frame around a window, from the decorations on each side.
    const ScreenRect f = framed({100, 200, 640, 640}, FrameExtents{1, 2, 22, 5});
    EXPECT_EQ(std::make_tuple(f.x, f.y, f.width, f.height), std::make_tuple(99, 178, 643, 667));
}
