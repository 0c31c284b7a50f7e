#include "desktop/window_creation.h"
#include "sfml/sfml_version.h"
#if defined(__linux__)
#include "desktop/x11_desktop.h"
#include "desktop/x11_errors.h"
#endif

#include <gtest/gtest.h>

#include <chrono>
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
                       &data);
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

// Where no window manager runs, nothing decorates or moves a window: the
// desktop's frame is none (not unknown), and a shown window is settled at
// once, long before the deadline, so that no start waits for a manager.
TEST(WindowCreation, NothingIsWaitedForWhereNoManagerRuns)
{
    survive_desktop_x_errors();
    X11Desktop x11;
    ASSERT_TRUE(x11.is_open());
    const auto now = std::chrono::steady_clock::now;
    Desktop desktop = x11.read(640, now());
    if (desktop.places_windows)
        GTEST_SKIP() << "a window manager runs on this display";
    ASSERT_TRUE(desktop.frame.has_value());
    EXPECT_EQ(desktop.frame->left + desktop.frame->right + desktop.frame->top + desktop.frame->bottom, 0);

    sf::RenderWindow window;
    open_window(window, 100, sf::String("probe", std::locale()), sf::ContextSettings{0, 0, 0, 1, 1, 0, false});
    // Not where the editor puts windows, and settled all the same: nothing
    // else will move it.
    desktop.monitors = {ScreenRect{0, 0, 1, 1}};
    const auto deadline = now() + std::chrono::seconds(5);
    EXPECT_TRUE(x11.settle(static_cast<unsigned long>(native_handle(window)), desktop, false, deadline));
    EXPECT_LT(now(), deadline - std::chrono::seconds(3));
}
#endif
