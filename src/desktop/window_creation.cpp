#include "desktop/window_creation.h"

#include "sfml/sfml_version.h"
#include "desktop/window_layout.h"
#if defined(ORRINADE_X11)
#include "desktop/x11_desktop.h"
#include "desktop/x11_errors.h"
#elif defined(_WIN32)
#include "desktop/windows_desktop.h"
#endif

#include <optional>

namespace {

// Resizes the window, opened opened_side pixels square and now at `client`,
// where the side decided now differs, then moves its frame where the
// decision says, where it does not stand there already (a resize keeps the
// top-left corner). Returns the scale.
double fit_and_place(sf::Window& window, const Desktop& desktop, int design_side, unsigned int opened_side,
                     const ScreenRect& client)
{
    const WindowLayout layout = window_layout(desktop, design_side, client);
    if (layout.side != opened_side)
        window.setSize(sf::Vector2u(layout.side, layout.side));
    const ScreenRect frame = framed(client, desktop.frame.value_or(FrameExtents{}));
    if (layout.corner && (layout.corner->x != frame.x || layout.corner->y != frame.y))
        window.setPosition(sf::Vector2i(layout.corner->x, layout.corner->y));
    return layout.scale;
}

}

double create_window(std::optional<sf::RenderWindow>& made, unsigned int design_side, const sf::String& title,
                     const sf::ContextSettings& settings)
{
    const int side = static_cast<int>(design_side);
#if defined(ORRINADE_X11)
    using std::chrono::milliseconds;
    using std::chrono::steady_clock;
    survive_desktop_x_errors();
    X11Desktop x11;
    if (!x11.is_open())
        return 1.0;
    sf::RenderWindow& window = made.emplace();
    Desktop desktop = x11.read(side, steady_clock::now() + milliseconds(100));
    const WindowLayout planned = window_layout(desktop, side, std::nullopt);
    open_window(window, planned.side, title, settings);
    const bool wait_for_extents = frame_awaited(desktop, planned.scale);
    const std::optional<X11Window> shown = x11.settle(static_cast<unsigned long>(native_handle(window)), desktop,
                                                      wait_for_extents, steady_clock::now() + milliseconds(500));
    if (!shown)
        return planned.scale;
    if (shown->extents)
        desktop.frame = shown->extents;
    return fit_and_place(window, desktop, side, planned.side, shown->client);
#elif defined(_WIN32)
    sf::RenderWindow& window = made.emplace();
    open_window(window, design_side, title, settings);
    const WindowsDesktop shown = windows_desktop(native_handle(window));
    return fit_and_place(window, shown.desktop, side, design_side, shown.client);
#else
    sf::RenderWindow& window = made.emplace();
    open_window(window, design_side, title, settings);
    return 1.0;
#endif
}
