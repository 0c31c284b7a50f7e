#ifndef ORRINADE_DESKTOP_WINDOW_CREATION_H
#define ORRINADE_DESKTOP_WINDOW_CREATION_H

// Opening the editor's window at the desktop's scale, where the desktop has
// room for it.

#include <SFML/Graphics/RenderWindow.hpp>

#include <optional>

// Makes the window in `made` and opens it as a square of design_side logical
// pixels (see open_window), and returns the scale it was given
// (display_scale): it is device_pixels(design_side, scale) device pixels
// square, and it and its frame lie in the usable area of the monitor it is
// on where that has room.
// The desktop is read once, before the window opens, and the size decided
// from it (window_layout); then:
// - X11: once the window is shown, the window manager's frame and place are
//   waited for, on the window's events, for half a second at most; the size
//   is decided again with them, the window resized once if it must be, and
//   placed once as frame_position decides.
// - Windows: the frame is measured on the window, the size decided with it,
//   and the window, resized, centred in its monitor's work area.
// - Elsewhere the scale is 1, and SFML's placement stands.
// On X11, from here on, X errors the desktop's state causes do not end the
// editor (survive_desktop_x_errors); and where no X server answers at
// DISPLAY, `made` is left empty. SFML ends the program where it cannot
// reach the display, and does so as soon as a window exists: the display
// is tried before one is made.
double create_window(std::optional<sf::RenderWindow>& made, unsigned int design_side, const sf::String& title,
                     const sf::ContextSettings& settings);

#endif
