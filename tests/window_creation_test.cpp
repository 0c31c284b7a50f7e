#include "app/sfml_version.h"
#include "desktop/window_creation.h"
#if defined(__linux__)
#include "desktop/x11_errors.h"
#endif

#include <SFML/Graphics/RenderTexture.hpp>
#include <gtest/gtest.h>

#include <cstdlib>
#include <locale>
#include <string>

#if defined(__linux__)
// Last: Xlib's macros (None, Bool) would rename what SFML and GoogleTest declare.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {

int errors_passed_on = 0;

int count_error(Display*, XErrorEvent*)
{
    ++errors_passed_on;
    return 0;
}

}

// The errors a desktop's state causes (a window or an atom that is not
// there) are survived; any other X error still reaches the handler that was
// in place, which by default ends the program.
TEST(WindowCreation, OnlyTheDesktopsXErrorsAreSurvived)
{
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    errors_passed_on = 0;
    XSetErrorHandler(count_error);
    survive_desktop_x_errors();
    const Window gone = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    XDestroyWindow(display, gone);
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(display, gone, XA_WM_NAME, 0, 1, False, AnyPropertyType, &type, &format, &items, &after,
                       &data);  // BadWindow
    XSync(display, False);
    EXPECT_EQ(errors_passed_on, 0);
    EXPECT_EQ(XGetAtomName(display, 0x1FFFFFFF), nullptr);  // BadAtom: no such atom
    XSync(display, False);
    EXPECT_EQ(errors_passed_on, 0);
    XFreePixmap(display, XCreatePixmap(display, DefaultRootWindow(display), 1, 1, 3));  // no such depth
    XSync(display, False);
    EXPECT_EQ(errors_passed_on, 2);  // BadValue, then BadPixmap freeing what was not made
    XSetErrorHandler(nullptr);  // Xlib's own, which ends the program
    XCloseDisplay(display);
}

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
