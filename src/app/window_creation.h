#ifndef ORRINADE_APP_WINDOW_CREATION_H
#define ORRINADE_APP_WINDOW_CREATION_H

// Opening the editor's window at the desktop's scale, where the desktop has
// room for it.

#include <SFML/Graphics/RenderWindow.hpp>

// Opens `window` as a square of design_side logical pixels (see open_window)
// and returns the scale it was given (display_scale): the window is
// device_pixels(design_side, scale) device pixels square, and it and its
// frame lie in the work area of the monitor it opens on.
// - X11: the scale from Xft.dpi and the primary monitor's usable area,
//   read before the window exists, with the frame the window manager
//   promises for it; where the manager promises none, the frame is read
//   once the window is shown and the window resized once if it must. The
//   window is then placed once as frame_position decides: where the desktop
//   put it if that is wholly in a usable area, else centred in one; centred
//   on the primary monitor where nothing places windows.
// - Windows: the scale from the DPI and work area of the monitor the window
//   opened on, with the frame at that DPI; the window, resized, is centred
//   in that work area.
// - Elsewhere the scale is 1, and SFML's placement stands.
double create_window(sf::RenderWindow& window, unsigned int design_side, const sf::String& title,
                     const sf::ContextSettings& settings);

#endif
