#include "app/window_placement.h"

#include <gtest/gtest.h>

#include <optional>
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
    // On no monitor at all: to the primary.
    expect_at(frame_position(desktop(two, 1, true, {1600, 1600, 640, 640})), 2560, 220);
    // Monitors stacked, the frame straddling them: to the lower, which holds more.
    expect_at(frame_position(desktop({{0, 0, 1280, 1024}, {0, 1024, 1280, 1024}}, 0, true, {320, 720, 640, 640})),
              320, 1216);
}

TEST(WindowPlacement, NoMonitorsMeansNoMove)
{
    EXPECT_FALSE(frame_position(desktop({}, -1, false, {0, 0, 640, 640})).has_value());
}
