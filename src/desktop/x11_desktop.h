#ifndef ORRINADE_DESKTOP_X11_DESKTOP_H
#define ORRINADE_DESKTOP_X11_DESKTOP_H

// The X11 desktop around the editor's window, read through a connection of
// the editor's own (Xlib's names stay out of every file that uses SFML's).
// Read it once survive_desktop_x_errors has been called: a window manager
// that died leaves marks whose reading fails with an X error.

#include "desktop/desktop.h"

#include <chrono>
#include <memory>
#include <optional>

struct _XDisplay;
struct DesktopAtoms;

// Where a window is, with the decorations its window manager declares.
struct X11Window {
    ScreenRect client;
    // _NET_FRAME_EXTENTS checked; none where it is set but fails its check;
    // nothing where it is not set (yet).
    std::optional<FrameExtents> extents;
};

class X11Desktop {
public:
    using Deadline = std::chrono::steady_clock::time_point;

    // Connects to the display DISPLAY names; not open where none answers.
    X11Desktop();
    ~X11Desktop();
    X11Desktop(const X11Desktop&) = delete;
    X11Desktop& operator=(const X11Desktop&) = delete;
    bool is_open() const;

    // What the desktop holds: RandR's monitors and the primary; the current
    // virtual desktop's _NET_WORKAREA; Xft.dpi, as the root's resources
    // stood when the connection opened; whether a window manager runs
    // (_NET_SUPPORTING_WM_CHECK on the root naming a live window of the
    // manager's that names itself). The frame: none where nothing manages
    // windows; where a manager runs and the desktop is scaled, the
    // decorations it promises a new window of probe_side pixels, asked with
    // _NET_REQUEST_FRAME_EXTENTS where it answers that and waited for until
    // `deadline`; else nothing.
    Desktop read(int probe_side, Deadline deadline);

    // `window` once its window manager has decorated and placed it: waits on
    // the window's events until its frame is declared (where
    // wait_for_extents) and its frame lies wholly in one of the desktop's
    // usable areas, or until `deadline`, and says where it is then. Nothing
    // where the window cannot be read.
    std::optional<X11Window> settle(unsigned long window, const Desktop& desktop, bool wait_for_extents,
                                    Deadline deadline);

private:
    std::unique_ptr<_XDisplay, int (*)(_XDisplay*)> display_;
    // Looked up once the connection opens.
    std::unique_ptr<const DesktopAtoms> atoms_;
};

#endif
