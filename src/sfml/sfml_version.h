#ifndef ORRINADE_SFML_SFML_VERSION_H
#define ORRINADE_SFML_SFML_VERSION_H

// The window, font, text and texture calls that SFML 2 (2.5 and later) and
// SFML 3 spell differently, with one meaning under both.

#include <SFML/Graphics.hpp>

#include <string>

// Loads a font file; false when it cannot be read.
bool open_font(sf::Font& font, const std::string& path);

// Black text of `size` pixels in `font`, placed at `position`, no string yet.
sf::Text make_text(const sf::Font& font, unsigned int size, sf::Vector2f position);

// Opens `window` as a side x side square of device pixels at 32 bits per
// pixel, the default style (title bar, resize and close buttons), windowed.
void open_window(sf::RenderWindow& window, unsigned int side, const sf::String& title,
                 const sf::ContextSettings& settings);

// The window system's handle of an open window.
sf::WindowHandle native_handle(const sf::Window& window);

// Gives `texture` a size in pixels; false when the GL driver refuses.
bool create_texture(sf::RenderTexture& texture, sf::Vector2u size);

#endif
