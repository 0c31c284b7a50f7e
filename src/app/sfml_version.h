#ifndef ORRINADE_APP_SFML_VERSION_H
#define ORRINADE_APP_SFML_VERSION_H

// Everything the editor does that is spelled differently in SFML 2 (2.5 and
// later) and SFML 3, with one meaning under both.

#include "app/editor_event.h"

#include <SFML/Graphics.hpp>

#include <string>

// The editor's view of an SFML event; events it does not act on are Other.
EditorEvent to_editor_event(const sf::Event& event);

// Takes the next pending event from the window's queue; false when empty.
bool poll_event(sf::Window& window, EditorEvent& event);

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
