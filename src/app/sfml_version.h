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

// Opens `window` with a size in pixels at 32 bits per pixel, the default
// style (title bar, resize and close buttons), windowed, and places it at
// centred_position on the desktop. SFML 2.5 and 3.0 on X11 open it partly
// off the screen of their own accord; SFML 2.6 and Windows already centre it
// there. SFML cannot name the primary monitor, so the desktop is the whole
// screen: with several monitors the window may straddle two of them.
void create_window(sf::RenderWindow& window, sf::Vector2u size, const sf::String& title,
                   const sf::ContextSettings& settings);

// The top-left corner that centres a window of `window` pixels on a desktop
// of `desktop` pixels; 0 on an axis where the desktop is the smaller, so the
// window's top-left corner, and the status lines there, stay on the screen.
sf::Vector2i centred_position(sf::Vector2u desktop, sf::Vector2u window);

// Gives `texture` a size in pixels; false when the GL driver refuses.
bool create_texture(sf::RenderTexture& texture, sf::Vector2u size);

#endif
