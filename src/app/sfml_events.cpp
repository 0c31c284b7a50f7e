#include "app/sfml_events.h"

#include <optional>

namespace {

EditorEvent::Key editor_key(sf::Keyboard::Key code)
{
    switch (code) {
    case sf::Keyboard::Key::H:
        return EditorEvent::Key::H;
    case sf::Keyboard::Key::R:
        return EditorEvent::Key::R;
    case sf::Keyboard::Key::Up:
        return EditorEvent::Key::Up;
    case sf::Keyboard::Key::Down:
        return EditorEvent::Key::Down;
    default:
        return EditorEvent::Key::Other;
    }
}

EditorEvent::Button editor_button(sf::Mouse::Button button)
{
    return button == sf::Mouse::Button::Left ? EditorEvent::Button::Left : EditorEvent::Button::Other;
}

EditorEvent button_event(EditorEvent::Type type, sf::Mouse::Button button, int x, int y)
{
    EditorEvent event;
    event.type = type;
    event.button = editor_button(button);
    event.x = x;
    event.y = y;
    return event;
}

}

#if SFML_VERSION_MAJOR >= 3

EditorEvent to_editor_event(const sf::Event& event)
{
    EditorEvent out;
    if (event.is<sf::Event::Closed>()) {
        out.type = EditorEvent::Type::Closed;
    } else if (const auto* key = event.getIf<sf::Event::KeyPressed>()) {
        out.type = EditorEvent::Type::KeyPressed;
        out.key = editor_key(key->code);
    } else if (const auto* press = event.getIf<sf::Event::MouseButtonPressed>()) {
        out = button_event(EditorEvent::Type::ButtonPressed, press->button, press->position.x,
                           press->position.y);
    } else if (const auto* release = event.getIf<sf::Event::MouseButtonReleased>()) {
        out = button_event(EditorEvent::Type::ButtonReleased, release->button, release->position.x,
                           release->position.y);
    }
    return out;
}

bool poll_event(sf::Window& window, EditorEvent& event)
{
    const std::optional<sf::Event> polled = window.pollEvent();
    if (!polled)
        return false;
    event = to_editor_event(*polled);
    return true;
}

#else

EditorEvent to_editor_event(const sf::Event& event)
{
    EditorEvent out;
    switch (event.type) {
    case sf::Event::Closed:
        out.type = EditorEvent::Type::Closed;
        break;
    case sf::Event::KeyPressed:
        out.type = EditorEvent::Type::KeyPressed;
        out.key = editor_key(event.key.code);
        break;
    case sf::Event::MouseButtonPressed:
        out = button_event(EditorEvent::Type::ButtonPressed, event.mouseButton.button,
                           event.mouseButton.x, event.mouseButton.y);
        break;
    case sf::Event::MouseButtonReleased:
        out = button_event(EditorEvent::Type::ButtonReleased, event.mouseButton.button,
                           event.mouseButton.x, event.mouseButton.y);
        break;
    default:
        break;
    }
    return out;
}

bool poll_event(sf::Window& window, EditorEvent& event)
{
    sf::Event polled;
    if (!window.pollEvent(polled))
        return false;
    event = to_editor_event(polled);
    return true;
}

#endif
