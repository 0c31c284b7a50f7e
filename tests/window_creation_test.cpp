#include "desktop/window_creation.h"
#include "sfml/sfml_version.h"
#if defined(__linux__)
#include "desktop/x11_errors.h"
#endif

#include <gtest/gtest.h>

#include <cstdlib>
#include <locale>
#include <optional>
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

// Where no X server answers, no window is made: SFML, asked for one there,
// would end the program.
TEST(WindowCreation, NothingOpensWhereNoDisplayAnswers)
{
    const char* display = std::getenv("DISPLAY");
    ASSERT_NE(display, nullptr);
    const std::string saved = display;
    setenv("DISPLAY", ":4095", 1);  // no server answers there
    std::optional<sf::RenderWindow> window;
    create_window(window, 640, sf::String("Orrinade", std::locale()), sf::ContextSettings{0, 0, 0, 1, 1, 0, false});
    setenv("DISPLAY", saved.c_str(), 1);
    EXPECT_FALSE(window);
}
#endif
