#include "app/sfml_version.h"
#include "desktop/window_creation.h"

#include <SFML/Graphics/RenderTexture.hpp>
#include <gtest/gtest.h>

#include <cstdlib>
#include <locale>
#include <string>

#if defined(__linux__)
// Where the editor cannot ask the X server about the desktop (its own
// connection refused, while SFML's stays open), the window still opens, at
// the designed size, where SFML put it.
TEST(WindowCreation, OpensWhereTheDesktopCannotBeQueried)
{
    // Holds SFML's connection to the display, which the window then shares.
    sf::RenderTexture holder;
    ASSERT_TRUE(create_texture(holder, sf::Vector2u(1, 1)));
    const char* display = std::getenv("DISPLAY");
    ASSERT_NE(display, nullptr);
    const std::string saved = display;
    setenv("DISPLAY", ":4095", 1);  // no server answers there
    sf::RenderWindow window;
    const double scale =
        create_window(window, 640, sf::String("Orrinade", std::locale()), sf::ContextSettings{0, 0, 0, 1, 1, 0, false});
    setenv("DISPLAY", saved.c_str(), 1);
    EXPECT_TRUE(window.isOpen());
    EXPECT_EQ(scale, 1.0);
    EXPECT_EQ(window.getSize(), sf::Vector2u(640, 640));
}
#endif
