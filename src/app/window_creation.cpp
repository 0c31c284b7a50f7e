#include "app/window_creation.h"

#include "app/display_scale.h"
#include "app/sfml_version.h"
#include "app/window_placement.h"
#if defined(ORRINADE_X11)
#include "app/x11_desktop.h"

#include <chrono>
#include <thread>
#elif defined(_WIN32)
#include "app/windows_desktop.h"
#endif

#include <optional>

namespace {

#if defined(ORRINADE_X11)
// Sizes the window once its frame is known, if it was not before, and moves
// it where frame_position says, once. A desktop may show a window where it
// was created before it places it (mutter as a Wayland compositor does so
// for a few frames, decorations already declared), and a manager declares
// the frame a moment after it shows the window, so the desktop is read every
// 10 ms for up to half a second until both are settled. Returns the scale.
double fit_and_place(sf::Window& window, const X11Sizing& sizing, int side, double scale)
{
    constexpr auto step = std::chrono::milliseconds(10);
    constexpr int readings = 50;
    // A frame can only lower the scale, and never below 1.
    bool frame_known = sizing.frame.has_value() || scale == 1.0;
    const sf::WindowHandle handle = native_handle(window);
    for (int reading = 1;; ++reading) {
        const std::optional<X11Desktop> found = x11_desktop(static_cast<unsigned long>(handle));
        if (!found)
            return scale;
        const bool last = reading == readings;
        if (!frame_known && (found->extents || last)) {
            frame_known = true;
            const Desktop& desktop = found->desktop;
            const double fitted = display_scale(sizing.dpi, side, usable_area(desktop, primary_or_first(desktop)),
                                                found->extents.value_or(FrameExtents{}));
            if (device_pixels(side, fitted) != device_pixels(side, scale)) {
                scale = fitted;
                const unsigned int device = device_pixels(side, scale);
                window.setSize(sf::Vector2u(device, device));
                std::this_thread::sleep_for(step);
                continue;
            }
        }
        if (frame_known) {
            const std::optional<ScreenPoint> corner = frame_position(found->desktop);
            if (!corner)
                return scale;
            if (!found->desktop.places_windows || last) {
                window.setPosition(sf::Vector2i(corner->x, corner->y));
                return scale;
            }
        }
        std::this_thread::sleep_for(step);
    }
}
#endif

}

double create_window(sf::RenderWindow& window, unsigned int design_side, const sf::String& title,
                     const sf::ContextSettings& settings)
{
    const int side = static_cast<int>(design_side);
#if defined(ORRINADE_X11)
    const std::optional<X11Sizing> sizing = x11_sizing(side);
    if (!sizing) {
        open_window(window, design_side, title, settings);
        return 1.0;
    }
    const double scale =
        display_scale(sizing->dpi, side, sizing->work_area, sizing->frame.value_or(FrameExtents{}));
    open_window(window, device_pixels(side, scale), title, settings);
    return fit_and_place(window, *sizing, side, scale);
#elif defined(_WIN32)
    open_window(window, design_side, title, settings);
    const WindowsSizing sizing = windows_sizing(native_handle(window));
    const double scale = display_scale(sizing.dpi, side, sizing.work_area, sizing.frame);
    const unsigned int device = device_pixels(side, scale);
    if (device != design_side)
        window.setSize(sf::Vector2u(device, device));
    // Centred in the work area, as Windows centres dialogs: SFML centres the
    // window on the whole screen, where the taskbar may cover it.
    if (sizing.work_area.width > 0 && sizing.work_area.height > 0) {
        Desktop desktop;
        set_monitors(desktop, {sizing.work_area}, 0, sizing.work_area);
        desktop.frame = windows_frame(native_handle(window));
        if (const std::optional<ScreenPoint> corner = frame_position(desktop))
            window.setPosition(sf::Vector2i(corner->x, corner->y));
    }
    return scale;
#else
    open_window(window, design_side, title, settings);
    return 1.0;
#endif
}
