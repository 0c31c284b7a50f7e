#include "sfml/sfml_version.h"

#if SFML_VERSION_MAJOR >= 3

bool open_font(sf::Font& font, const std::string& path)
{
    return font.openFromFile(path);
}

namespace {

sf::Text text_in(const sf::Font& font)
{
    return sf::Text(font);
}

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

bool open_font(sf::Font& font, const std::string& path)
{
    return font.loadFromFile(path);
}

namespace {

sf::Text text_in(const sf::Font& font)
{
    sf::Text text;
    text.setFont(font);
    return text;
}

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
