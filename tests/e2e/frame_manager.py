"""A window manager that declares frames only once windows map, answering no
frame request and redirecting nothing."""
from Xlib import X, Xatom, display as xdisplay


def main():
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
    while True:
        event = display.next_event()
        if event.type == X.MapNotify and not event.override:
            event.window.change_property(atom("_NET_FRAME_EXTENTS"), Xatom.CARDINAL, 32, [1, 1, 20, 1])
            display.sync()


if __name__ == "__main__":
    main()
