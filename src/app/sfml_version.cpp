#include "app/sfml_version.h"

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

bool open_font(sf::Font& font, const std::string& path)
{
    return font.openFromFile(path);
}

sf::Text text_in(const sf::Font& font)
{
    return sf::Text(font);
}

void open_window(sf::RenderWindow& window, unsigned int side, const sf::String& title,
                 const sf::ContextSettings& settings)
{
    window.create(sf::VideoMode(sf::Vector2u(side, side), 32), title, sf::Style::Default, sf::State::Windowed,
                  settings);
}

sf::WindowHandle native_handle(const sf::Window& window)
{
    return window.getNativeHandle();
}

bool create_texture(sf::RenderTexture& texture, sf::Vector2u size)
{
    return texture.resize(size);
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

bool open_font(sf::Font& font, const std::string& path)
{
    return font.loadFromFile(path);
}

sf::Text text_in(const sf::Font& font)
{
    sf::Text text;
    text.setFont(font);
    return text;
}

void open_window(sf::RenderWindow& window, unsigned int side, const sf::String& title,
                 const sf::ContextSettings& settings)
{
    window.create(sf::VideoMode(side, side, 32), title, sf::Style::Default, settings);
}

sf::WindowHandle native_handle(const sf::Window& window)
{
    return window.getSystemHandle();
}

bool create_texture(sf::RenderTexture& texture, sf::Vector2u size)
{
    return texture.create(size.x, size.y);
}

#endif

sf::Text make_text(const sf::Font& font, unsigned int size, sf::Vector2f position)
{
    sf::Text text = text_in(font);
    text.setPosition(position);
    text.setCharacterSize(size);
    text.setFillColor(sf::Color::Black);
    return text;
}
