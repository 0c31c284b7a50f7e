#include "app/display_scale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

const ScreenRect full_hd_at_200{0, 0, 3840, 2160};

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
    EXPECT_EQ(display_scale(std::nullopt, 640, full_hd_at_200), 1.0);
    EXPECT_EQ(display_scale(96.0, 640, full_hd_at_200), 1.0);
    EXPECT_EQ(display_scale(144.0, 640, full_hd_at_200), 1.5);
    EXPECT_EQ(display_scale(192.0, 640, full_hd_at_200), 2.0);
    // Below 96 the designed size stands: never smaller than designed.
    EXPECT_EQ(display_scale(72.0, 640, full_hd_at_200), 1.0);
    EXPECT_EQ(display_scale(-192.0, 640, full_hd_at_200), 1.0);
    EXPECT_EQ(display_scale(std::numeric_limits<double>::quiet_NaN(), 640, full_hd_at_200), 1.0);
    EXPECT_EQ(display_scale(std::numeric_limits<double>::infinity(), 640, full_hd_at_200), 1.0);
    // Absurd values give a window as tall as the monitor, never taller.
    EXPECT_EQ(display_scale(96000.0, 640, ScreenRect{0, 0, 2560, 1600}), 2.5);
    EXPECT_EQ(display_scale(192.0, 640, ScreenRect{0, 0, 1280, 1024}), 1.6);
    // A monitor smaller than the design: the designed size, as unscaled.
    EXPECT_EQ(display_scale(192.0, 640, ScreenRect{0, 0, 800, 600}), 1.0);
}

TEST(DisplayScale, DevicePixelsAreRoundedToTheNearest)
{
    EXPECT_EQ(device_pixels(640, 1.0), 640u);
    EXPECT_EQ(device_pixels(640, 1.5), 960u);
    EXPECT_EQ(device_pixels(640, 2.0), 1280u);
    EXPECT_EQ(device_pixels(20, 1.25), 25u);
    EXPECT_EQ(device_pixels(25, 1.5), 38u);  // 37.5, away from zero
    EXPECT_EQ(device_pixels(640, 1.6), 1024u);
}
