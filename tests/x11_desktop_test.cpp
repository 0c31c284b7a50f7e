// The X11 desktop: what the reader takes from it, on a private Xvfb whose
// root window each case sets as a desktop would, read in-process; the X
// errors survived; no window where no server answers.
#include "desktop/window_creation.h"
#include "desktop/x11_desktop.h"
#include "desktop/x11_errors.h"
#include "sfml/sfml_version.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <locale>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// Last: Xlib's macros (None, Bool) would rename what SFML and GoogleTest declare.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

std::vector<int> ints(const std::optional<ScreenRect>& r)
{
    return r ? std::vector<int>{r->x, r->y, r->width, r->height} : std::vector<int>{};
}

std::vector<int> ints(const std::optional<FrameExtents>& e)
{
    return e ? std::vector<int>{e->left, e->right, e->top, e->bottom} : std::vector<int>{};
}

// A wait's deadline, and the most it may take where it ends on what it
// waits for (a wait 0.3 s longer fails): stretched on a slower machine.
constexpr milliseconds deadline(2000 * ORRINADE_TIME_FACTOR);
constexpr long most_ms = 250 * ORRINADE_TIME_FACTOR;

// The bytes of `items` in memory: as 8-bit items, what a reader that took
// them for 32-bit ones would read as `items`.
std::vector<long> bytes_of(const std::vector<long>& items)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(items.data());
    return std::vector<long>(bytes, bytes + items.size() * sizeof(long));
}

std::vector<int> operator+(std::vector<int> a, const std::vector<int>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

long ms_since(Clock::time_point began)
{
    return static_cast<long>(std::chrono::duration_cast<milliseconds>(Clock::now() - began).count());
}

// An Xvfb of its own, 1000 x 700 (start()), that DISPLAY names while the
// fixture lives; the test's own connection (`x`) sets what a desktop sets.
class DesktopReader : public testing::Test {
protected:
    void start(const std::string& options = "")
    {
        // -terminate: it ends once its last client, the test's, has closed.
        server_ = popen(("exec Xvfb -displayfd 1 -screen 0 1000x700x24 -nolisten tcp -terminate " + options
                         + " 2>/dev/null").c_str(), "r");
        char number[16] = {};
        ASSERT_TRUE(server_ && fgets(number, sizeof number, server_)) << "Xvfb did not start";
        outer_ = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
        setenv("DISPLAY", (":" + std::to_string(std::atoi(number))).c_str(), 1);
        x = XOpenDisplay(nullptr);
        ASSERT_NE(x, nullptr);
        root = DefaultRootWindow(x);
        reader = std::make_unique<X11Desktop>();
        ASSERT_TRUE(reader->is_open());
    }

    void TearDown() override
    {
        reader.reset();
        if (x)
            XCloseDisplay(x);
        x = nullptr;
        if (server_)
            pclose(server_);
        server_ = nullptr;
        setenv("DISPLAY", outer_.c_str(), 1);
    }

    void set(Window window, const char* name, Atom type, int format, const std::vector<long>& items)
    {
        std::vector<unsigned char> bytes(items.begin(), items.end());
        const unsigned char* data = format == 8 ? bytes.data() : reinterpret_cast<const unsigned char*>(items.data());
        XChangeProperty(x, window, XInternAtom(x, name, False), type, format, PropModeReplace, data,
                        static_cast<int>(items.size()));
        XSync(x, False);
    }

    void set_dpi(const std::string& resources)
    {
        set(root, "RESOURCE_MANAGER", XA_STRING, 8, std::vector<long>(resources.begin(), resources.end()));
        reader = std::make_unique<X11Desktop>();  // a connection reads them as it opens
    }

    // Marks of a manager whose check window names itself; it answers frame
    // requests where `answers`.
    Window mark_manager(bool answers)
    {
        const Window check = XCreateSimpleWindow(x, root, -10, -10, 1, 1, 0, 0, 0);
        set(check, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW, 32, {static_cast<long>(check)});
        set(root, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW, 32, {static_cast<long>(check)});
        if (answers)
            set(root, "_NET_SUPPORTED", XA_ATOM, 32,
                {static_cast<long>(XInternAtom(x, "_NET_REQUEST_FRAME_EXTENTS", False))});
        return check;
    }

    Desktop read(milliseconds wait = milliseconds(0)) { return reader->read(640, Clock::now() + wait); }

    Display* x = nullptr;
    Window root = 0;
    std::unique_ptr<X11Desktop> reader;

private:
    FILE* server_ = nullptr;
    std::string outer_;
};

}

TEST_F(DesktopReader, WorkAreaOfTheCurrentDesktopAsPublished)
{
    ASSERT_NO_FATAL_FAILURE(start());
    struct Row {
        const char* what;
        int format;
        std::vector<long> areas;
        std::vector<long> current;  // _NET_CURRENT_DESKTOP, where set
        std::vector<int> read;
    };
    const Row rows[] = {
        {"one desktop", 32, {0, 40, 1000, 660}, {}, {0, 40, 1000, 660}},
        {"the current of two", 32, {0, 0, 1000, 700, 0, 40, 1000, 660}, {1}, {0, 40, 1000, 660}},
        {"a current desktop past the list: the first", 32, {0, 40, 1000, 660}, {-1}, {0, 40, 1000, 660}},
        {"8-bit items, the bytes of a sane one", 8, bytes_of({0, 0, 100, 100}), {}, {}},
        {"two items", 32, {0, 0}, {}, {}},
        {"zeros", 32, {0, 0, 0, 0}, {}, {}},
        {"100000 square", 32, {0, 0, 100000, 100000}, {}, {}},
        {"negative", 32, {-100, -100, -640, -640}, {}, {}},
    };
    EXPECT_EQ(ints(read().work_area), std::vector<int>{}) << "none published";
    for (const Row& row : rows) {
        set(root, "_NET_WORKAREA", XA_CARDINAL, row.format, row.areas);
        if (!row.current.empty())
            set(root, "_NET_CURRENT_DESKTOP", XA_CARDINAL, 32, row.current);
        EXPECT_EQ(ints(read().work_area), row.read) << row.what;
        XDeleteProperty(x, root, XInternAtom(x, "_NET_CURRENT_DESKTOP", False));
    }
    set_dpi("Xft.dpi:\t144\n");
    EXPECT_EQ(read().dpi, 144.0);
}

// The whole screen is the one monitor where RandR is missing.
TEST_F(DesktopReader, MonitorsFromRandROrTheWholeScreen)
{
    for (const std::string options : {"", "-extension RANDR"}) {
        ASSERT_NO_FATAL_FAILURE(start(options));
        const Desktop d = read();
        ASSERT_EQ(d.monitors.size(), 1u) << options;
        EXPECT_EQ(ints(d.monitors[0]), (std::vector<int>{0, 0, 1000, 700})) << options;
        TearDown();
    }
}

// A manager runs where the root names a live window that names itself;
// where none runs, nothing decorates windows: the frame is none, not unknown.
TEST_F(DesktopReader, AManagerRunsWhereALiveCheckWindowNamesItself)
{
    ASSERT_NO_FATAL_FAILURE(start());
    survive_desktop_x_errors();  // the mark of a manager gone names no window
    EXPECT_FALSE(read().places_windows) << "no mark";
    const Window check = mark_manager(false);
    EXPECT_TRUE(read().places_windows) << "a live manager";
    EXPECT_FALSE(read().frame.has_value()) << "a live manager at 100 %: the frame unknown";
    set(check, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW, 32, {static_cast<long>(root)});
    EXPECT_FALSE(read().places_windows) << "the check window naming another";
    set(root, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW, 32, {static_cast<long>(root)});
    const Desktop on_root = read();
    EXPECT_FALSE(on_root.places_windows) << "the root naming itself";
    EXPECT_EQ(ints(on_root.frame), (std::vector<int>{0, 0, 0, 0})) << "the root naming itself";
    set(root, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW, 32, {static_cast<long>(check)});
    XDestroyWindow(x, check);
    XSync(x, False);
    EXPECT_FALSE(read().places_windows) << "the manager gone, its mark left";
}

// A window's frame as its manager declares it, checked (a value that fails
// its check is no frame, not an unknown one), and its place: a wait for them
// ends once they are set, or at the deadline where they are not; where
// nothing is waited for, at once.
TEST_F(DesktopReader, SettlesOnTheFrameAndPlaceGiven)
{
    ASSERT_NO_FATAL_FAILURE(start());
    const Window window = XCreateSimpleWindow(x, root, 10, 20, 100, 100, 0, 0, 0);
    XSync(x, False);
    const auto settled = [&](const Desktop& on, bool wait_for_extents, milliseconds wait = deadline) {
        const auto began = Clock::now();
        const auto got = reader->settle(window, on, wait_for_extents, began + wait);
        EXPECT_LT(ms_since(began), most_ms) << "the wait ended late";
        return got ? ints(got->client) + ints(got->extents) : std::vector<int>{-1};
    };
    EXPECT_EQ(settled(Desktop{}, true, milliseconds(100)), (std::vector<int>{10, 20, 100, 100}))
        << "none declared: the deadline runs out";
    EXPECT_EQ(settled(Desktop{}, false), (std::vector<int>{10, 20, 100, 100})) << "none waited for";
    const std::vector<std::pair<std::vector<long>, std::vector<int>>> rows = {
        {{1, 2, 22, 5}, {1, 2, 22, 5}}, {{0, 0, 1025, 0}, {0, 0, 0, 0}}, {{1, 2, 22}, {0, 0, 0, 0}}};
    for (const auto& [items, read] : rows) {
        set(window, "_NET_FRAME_EXTENTS", XA_CARDINAL, 32, items);
        EXPECT_EQ(settled(Desktop{}, true), (std::vector<int>{10, 20, 100, 100} + read)) << items[2];
    }
    // Declared a moment after the wait began, and moved onto the monitor by
    // a desktop that places windows: each wait ends on its event.
    XDeleteProperty(x, window, XInternAtom(x, "_NET_FRAME_EXTENTS", False));
    XSync(x, False);
    std::thread later([&] {
        std::this_thread::sleep_for(milliseconds(50));
        set(window, "_NET_FRAME_EXTENTS", XA_CARDINAL, 32, {1, 1, 20, 1});
    });
    EXPECT_EQ(settled(Desktop{}, true), (std::vector<int>{10, 20, 100, 100, 1, 1, 20, 1}));
    later.join();
    Desktop placing = with_monitors({}, 0, ScreenRect{0, 0, 1000, 700});
    placing.places_windows = true;
    XMoveWindow(x, window, 2000, 0);
    XSync(x, False);
    std::thread placed([&] {
        std::this_thread::sleep_for(milliseconds(50));
        XMoveWindow(x, window, 30, 40);
        XSync(x, False);
    });
    EXPECT_EQ(settled(placing, true), (std::vector<int>{30, 40, 100, 100, 1, 1, 20, 1}));
    placed.join();
    // A frame no usable area holds is moved into one by no desktop.
    placing.monitors = {ScreenRect{0, 0, 100, 700}};
    EXPECT_EQ(settled(placing, true), (std::vector<int>{30, 40, 100, 100, 1, 1, 20, 1}));
}

// On a scaled desktop, the frame a manager promises a window of the
// editor's size where it answers _NET_REQUEST_FRAME_EXTENTS, checked; a
// manager that does not answer leaves it unknown, at the deadline.
TEST_F(DesktopReader, FramePromisedWhereTheManagerAnswers)
{
    ASSERT_NO_FATAL_FAILURE(start());
    mark_manager(true);
    set_dpi("Xft.dpi:\t144\n");
    const Atom request = XInternAtom(x, "_NET_REQUEST_FRAME_EXTENTS", False);
    XSelectInput(x, root, SubstructureNotifyMask);
    XSync(x, False);
    for (const auto& [items, promised] : std::vector<std::pair<std::vector<long>, std::vector<int>>>{
             {{1, 1, 22, 5}, {1, 1, 22, 5}}, {{0, 0, 1025, 0}, {0, 0, 0, 0}}}) {
        std::thread manager([&, items = items] {  // answers the first request
            for (const auto end = Clock::now() + deadline; Clock::now() < end;) {
                XEvent event;
                if (XCheckTypedEvent(x, ClientMessage, &event) && event.xclient.message_type == request)
                    return set(event.xclient.window, "_NET_FRAME_EXTENTS", XA_CARDINAL, 32, items);
                std::this_thread::sleep_for(milliseconds(5));
            }
        });
        const auto began = Clock::now();
        const Desktop d = reader->read(640, began + deadline);
        EXPECT_LT(ms_since(began), most_ms) << "the wait ended late";
        manager.join();
        EXPECT_EQ(ints(d.frame), promised) << items[2];
    }
    EXPECT_EQ(ints(read(milliseconds(100)).frame), std::vector<int>{}) << "no answer";
}

// The errors a desktop's state causes (a window or an atom that is not
// there) are survived; any other X error still reaches the handler that was
// in place, which by default ends the program.
TEST(WindowCreation, OnlyTheDesktopsXErrorsAreSurvived)
{
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    static int errors_passed_on = 0;
    XSetErrorHandler([](Display*, XErrorEvent*) {
        ++errors_passed_on;
        return 0;
    });
    survive_desktop_x_errors();
    const Window gone = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    XDestroyWindow(display, gone);
    XDeleteProperty(display, gone, XA_WM_NAME);  // BadWindow
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
