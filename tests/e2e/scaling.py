"""How a scaled desktop tells X11 programs its scale: Xft.dpi in RESOURCE_MANAGER."""
import os
import re
import shutil
import subprocess
import time

from Xlib import Xatom

from options import MONITOR_SCALE, SCALE, TIMEOUT, monitor_pixels
from waiting import wait_for

LIBEXEC = ["/usr/libexec", "/usr/lib/gnome-settings-daemon", "/usr/lib"]
XFT_DPI = b"Xft.dpi:\t%d\n" % round(96 * SCALE)


def resources(session):
    present = session.root.get_full_property(session.display.intern_atom("RESOURCE_MANAGER"),
                                             Xatom.STRING)
    value = present.value if present else b""
    return value.encode() if isinstance(value, str) else value


def publish_scale(session):
    """Merges Xft.dpi into the database as xrdb does, again until it stays a
    second (a starting KWin 6.7 writes it over)."""
    kept = {"since": time.monotonic()}

    def merged_and_kept():
        present = resources(session)
        if XFT_DPI not in present:
            session.root.change_property(session.display.intern_atom("RESOURCE_MANAGER"),
                                         Xatom.STRING, 8, present + XFT_DPI)
            session.display.sync()
            kept["since"] = time.monotonic()
            return False
        return time.monotonic() - kept["since"] >= 1.0
    wait_for(merged_and_kept, "Xft.dpi to stay in the resource database")


def start_gnome_settings(session):
    """Starts GNOME's X settings daemon and waits until it publishes Xft.dpi."""
    daemon = shutil.which("gsd-xsettings", path=os.pathsep.join(LIBEXEC))
    if not daemon:
        raise AssertionError("GNOME's X settings daemon (gsd-xsettings) is in none of %s" % LIBEXEC)
    with open(os.path.join(session.runtime, "mutter.log.bus")) as bus:
        address = bus.read().strip()
    session.processes.spawn([daemon], log=os.path.join(session.runtime, "xsettings.log"),
                            env=dict(session.env, DBUS_SESSION_BUS_ADDRESS=address))
    seen = []

    def published():
        seen[:] = [line for line in resources(session).splitlines(True) if line.startswith(b"Xft.dpi")]
        return XFT_DPI in seen
    wait_for(published, "GNOME's settings daemon to publish %r" % XFT_DPI,
             seen=lambda: "it published %s" % seen)


def scaled_gnome(session):
    """A GNOME environment whose monitors.xml puts every monitor at MONITOR_SCALE."""
    config = os.path.join(session.runtime, "config")
    os.mkdir(config)
    width, height = monitor_pixels(session.monitor_size)
    logical = round(width / MONITOR_SCALE)
    monitors = "".join(
        "<logicalmonitor><x>%d</x><y>0</y><scale>%g</scale>%s<monitor><monitorspec>"
        "<connector>Meta-%d</connector><vendor>MetaVendor</vendor>"
        "<product>MetaVirtualMonitor</product><serial>0x%02x</serial></monitorspec>"
        "<mode><width>%d</width><height>%d</height><rate>60</rate></mode></monitor>"
        "</logicalmonitor>" % (i * logical, MONITOR_SCALE, "<primary>yes</primary>" if i == 0 else "",
                               i, i, width, height)
        for i in range(session.monitor_count))
    with open(os.path.join(config, "monitors.xml"), "w") as xml:
        xml.write('<monitors version="2"><configuration><layoutmode>logical</layoutmode>'
                  + monitors + "</configuration></monitors>\n")
    return {"XDG_CURRENT_DESKTOP": "GNOME", "XDG_CONFIG_HOME": config}


def output_scales(listing):
    """Each output's mode width over its logical width, from wayland-info."""
    modes, logical, current = {}, {}, None
    for line in listing.splitlines():
        output = re.match(r"interface: 'wl_output',.*name:\s*(\d+)", line)
        described = re.match(r"\s+output:\s*(\d+)$", line)
        if output or described:
            current = ("mode" if output else "logical", (output or described).group(1))
        elif line.startswith("interface:"):
            current = None
        elif current and current[0] == "mode" and current[1] not in modes:
            width = re.search(r"width: (\d+) px", line)
            if width:
                modes[current[1]] = int(width.group(1))
        elif current and current[0] == "logical":
            width = re.search(r"logical_width: (\d+)", line)
            if width:
                logical[current[1]] = int(width.group(1))
    return [modes[name] / logical[name] for name in modes if name in logical]


def assert_compositor_scale(session, socket):
    """The compositor has one output per monitor, each at MONITOR_SCALE."""
    listing = subprocess.run(["wayland-info"], capture_output=True, text=True, timeout=TIMEOUT,
                             env=dict(os.environ, XDG_RUNTIME_DIR=session.runtime,
                                      WAYLAND_DISPLAY=socket)).stdout
    scales = output_scales(listing)
    if len(scales) != session.monitor_count or any(abs(s - MONITOR_SCALE) > 1e-6 for s in scales):
        raise AssertionError("the compositor's outputs are at scales %s, not %d at %g"
                             % (scales, session.monitor_count, MONITOR_SCALE))
