#include "app/display_scale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

const ScreenRect full_hd_at_200{0, 0, 3840, 2160};
const FrameExtents no_frame{};

}

TEST(DisplayScale, XftDpiIsReadFromTheResourceDatabase)
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
}

TEST(DisplayScale, DpiOver96WithinWhatTheMonitorHolds)
{
    EXPECT_EQ(display_scale(std::nullopt, 640, full_hd_at_200, no_frame), 1.0);
    EXPECT_EQ(display_scale(96.0, 640, full_hd_at_200, no_frame), 1.0);
    EXPECT_EQ(display_scale(144.0, 640, full_hd_at_200, no_frame), 1.5);
    EXPECT_EQ(display_scale(192.0, 640, full_hd_at_200, no_frame), 2.0);
    // Below 96 the designed size stands: never smaller than designed.
    EXPECT_EQ(display_scale(72.0, 640, full_hd_at_200, no_frame), 1.0);
    EXPECT_EQ(display_scale(-192.0, 640, full_hd_at_200, no_frame), 1.0);
    EXPECT_EQ(display_scale(std::numeric_limits<double>::quiet_NaN(), 640, full_hd_at_200, no_frame), 1.0);
    EXPECT_EQ(display_scale(std::numeric_limits<double>::infinity(), 640, full_hd_at_200, no_frame), 1.0);
    // Absurd values give a window as tall as the monitor, never taller.
    EXPECT_EQ(display_scale(96000.0, 640, ScreenRect{0, 0, 2560, 1600}, no_frame), 2.5);
}

// The window's side in device pixels, on the screens people have: the
// desktop's scale where the window and its frame fit the work area, else the
// largest square whose frame does; the designed 640 where not even that fits.
TEST(DisplayScale, WindowAndFrameFitTheWorkArea)
{
    struct Row {
        const char* desktop;
        double dpi;
        ScreenRect work_area;
        FrameExtents frame;
        unsigned int side;
    };
    const Row rows[] = {
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
}

TEST(DisplayScale, DevicePixelsAreRoundedToTheNearest)
{
    EXPECT_EQ(device_pixels(640, 1.0), 640u);
    EXPECT_EQ(device_pixels(640, 1.5), 960u);
    EXPECT_EQ(device_pixels(640, 2.0), 1280u);
    EXPECT_EQ(device_pixels(20, 1.25), 25u);
    EXPECT_EQ(device_pixels(25, 1.5), 38u);  // 37.5, away from zero
    EXPECT_EQ(device_pixels(640, 1.6), 1024u);
    EXPECT_EQ(device_pixels(640, 701.0 / 640), 701u);  // a side the work area gives
}
