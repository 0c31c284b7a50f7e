"""A window manager that only declares frames, and declares them wrongly, run
on the display DISPLAY names: `frame_manager.py absurd` answers each frame
request and each new top-level window with extents of 100000 on every side;
`frame_manager.py late` never answers a frame request, and declares a sane
frame only once the window is mapped. It redirects nothing: windows map and
stay where their programs put them."""
import sys

from Xlib import X, Xatom, display as xdisplay


def main(mode):
    display = xdisplay.Display()
    display.set_error_handler(lambda *_: None)  # a window may be gone before its answer
    root = display.screen().root
    atom = display.intern_atom
    root.change_attributes(event_mask=X.SubstructureNotifyMask)
    check = root.create_window(-10, -10, 1, 1, 0, X.CopyFromParent, override_redirect=True)
    for window in (check, root):
        window.change_property(atom("_NET_SUPPORTING_WM_CHECK"), Xatom.WINDOW, 32, [check.id])
    check.change_property(atom("_NET_WM_NAME"), atom("UTF8_STRING"), 8, b"frame_manager")
    root.change_property(atom("_NET_SUPPORTED"), Xatom.ATOM, 32,
                         [atom("_NET_REQUEST_FRAME_EXTENTS"), atom("_NET_FRAME_EXTENTS")])
    display.sync()
    extents = [100000] * 4 if mode == "absurd" else [1, 1, 20, 1]
    while True:
        event = display.next_event()
        requested = (event.type == X.ClientMessage
                     and event.client_type == atom("_NET_REQUEST_FRAME_EXTENTS"))
        mapped = event.type == X.MapNotify and not event.override
        if (requested and mode == "absurd") or mapped:
            event.window.change_property(atom("_NET_FRAME_EXTENTS"), Xatom.CARDINAL, 32, extents)
            display.sync()


if __name__ == "__main__":
    main(sys.argv[1])
