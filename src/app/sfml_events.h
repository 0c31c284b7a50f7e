#ifndef ORRINADE_APP_SFML_EVENTS_H
#define ORRINADE_APP_SFML_EVENTS_H

// SFML's events as the editor's own, under SFML 2 (2.5 and later) and 3.

#include "app/editor_event.h"

#include <SFML/Window/Event.hpp>
#include <SFML/Window/Window.hpp>

// The editor's view of an SFML event; events it does not act on are Other.
EditorEvent to_editor_event(const sf::Event& event);

// Takes the next pending event from the window's queue; false when empty.
bool poll_event(sf::Window& window, EditorEvent& event);

#endif
