#include "app/sfml_events.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

// SFML's own events, built the way each version spells them.
#if SFML_VERSION_MAJOR >= 3
sf::Event closed() { return sf::Event::Closed{}; }
sf::Event other() { return sf::Event::FocusLost{}; }

sf::Event key_press(sf::Keyboard::Key code, bool pressed = true)
{
    if (pressed)
        return sf::Event::KeyPressed{code};
    return sf::Event::KeyReleased{code};
}

sf::Event button(bool pressed, sf::Mouse::Button which, int x, int y)
{
    if (pressed)
        return sf::Event::MouseButtonPressed{which, {x, y}};
    return sf::Event::MouseButtonReleased{which, {x, y}};
}
#else
sf::Event of_type(sf::Event::EventType type)
{
    sf::Event event{};
    event.type = type;
    return event;
}

sf::Event closed() { return of_type(sf::Event::Closed); }
sf::Event other() { return of_type(sf::Event::LostFocus); }

sf::Event key_press(sf::Keyboard::Key code, bool pressed = true)
{
    sf::Event event = of_type(pressed ? sf::Event::KeyPressed : sf::Event::KeyReleased);
    event.key.code = code;
    return event;
}

sf::Event button(bool pressed, sf::Mouse::Button which, int x, int y)
{
    sf::Event event = of_type(pressed ? sf::Event::MouseButtonPressed : sf::Event::MouseButtonReleased);
    event.mouseButton = {which, x, y};
    return event;
}
#endif

}

// A (key code 0) must stay a key: read as a button it would be the left one.
TEST(SfmlEvents, BecomeTheEditorsOwnEvents)
{
    using Type = EditorEvent::Type;
    using Key = EditorEvent::Key;
    using Button = EditorEvent::Button;
    const struct {
        const char* name;
        sf::Event event;
        EditorEvent expected;
    } cases[] = {
        {"close", closed(), {Type::Closed}},
        {"H", key_press(sf::Keyboard::Key::H), {Type::KeyPressed, Key::H}},
        {"R", key_press(sf::Keyboard::Key::R), {Type::KeyPressed, Key::R}},
        {"Up", key_press(sf::Keyboard::Key::Up), {Type::KeyPressed, Key::Up}},
        {"Down", key_press(sf::Keyboard::Key::Down), {Type::KeyPressed, Key::Down}},
        {"A", key_press(sf::Keyboard::Key::A), {Type::KeyPressed}},
        {"Escape", key_press(sf::Keyboard::Key::Escape), {Type::KeyPressed}},
        {"H released", key_press(sf::Keyboard::Key::H, false), {Type::Other}},
        {"left press", button(true, sf::Mouse::Button::Left, 12, -7),
         {Type::ButtonPressed, Key::Other, Button::Left, 12, -7}},
        {"left release", button(false, sf::Mouse::Button::Left, 640, 3),
         {Type::ButtonReleased, Key::Other, Button::Left, 640, 3}},
        {"right press", button(true, sf::Mouse::Button::Right, 5, 6),
         {Type::ButtonPressed, Key::Other, Button::Other, 5, 6}},
        {"middle release", button(false, sf::Mouse::Button::Middle, 5, 6),
         {Type::ButtonReleased, Key::Other, Button::Other, 5, 6}},
        {"focus lost", other(), {Type::Other}},
    };
    const auto fields = [](auto e) { return std::make_tuple(e.type, e.key, e.button, e.x, e.y); };
    for (const auto& c : cases)
        EXPECT_EQ(fields(to_editor_event(c.event)), fields(c.expected)) << c.name;
}
