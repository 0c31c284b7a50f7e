"""How a scaled desktop tells X11 programs its scale: Xft.dpi = 96 x SCALE in
the root window's resource database (RESOURCE_MANAGER)."""
import os
import time

from Xlib import Xatom

from options import SCALE
from waiting import wait_for

# GNOME's X settings daemon (gnome-settings-daemon).
GSD_XSETTINGS = "/usr/libexec/gsd-xsettings"


def publish_scale(session):
    """As KDE Plasma's session and a user's xrdb do: Xft.dpi merged into the
    database, keeping whatever the desktop has put there. A desktop still
    starting may write the database over (KWin 6.7 does): the line is merged
    again until it has stayed for a second."""
    atom = session.display.intern_atom("RESOURCE_MANAGER")
    line = b"Xft.dpi:\t%d\n" % round(96 * SCALE)
    kept = {"since": time.monotonic()}

    def merged_and_kept():
        present = session.root.get_full_property(atom, Xatom.STRING)
        resources = present.value if present else b""
        if isinstance(resources, str):
            resources = resources.encode()
        if line not in resources:
            session.root.change_property(atom, Xatom.STRING, 8, resources + line)
            session.display.sync()
            kept["since"] = time.monotonic()
            return False
        return time.monotonic() - kept["since"] >= 1.0
    wait_for(merged_and_kept, "Xft.dpi to stay in the resource database")


def start_gnome_settings(session):
    """As a GNOME session does: GNOME's X settings daemon, on the session's
    bus, writes the scale mutter asks of X11 programs into the database;
    waits until it has."""
    with open(os.path.join(session.runtime, "mutter.log.bus")) as bus:
        address = bus.read().strip()
    session.processes.spawn([GSD_XSETTINGS], log=os.path.join(session.runtime, "xsettings.log"),
                            env=dict(session.env, DBUS_SESSION_BUS_ADDRESS=address))
    atom = session.display.intern_atom("RESOURCE_MANAGER")

    def published():
        resources = session.root.get_full_property(atom, Xatom.STRING)
        return resources and b"Xft.dpi" in resources.value
    wait_for(published, "GNOME's settings daemon to publish Xft.dpi")


def scaled_gnome(session):
    """The environment of a GNOME session whose monitors are at SCALE: a GNOME
    desktop (Debian turns on mutter's scale-monitor-framebuffer and
    xwayland-native-scaling there, so X11 programs see device pixels and
    scale themselves), with its monitor configuration giving every virtual
    monitor that scale, side by side."""
    config = os.path.join(session.runtime, "config")
    os.mkdir(config)
    width, height = session.monitor_size
    logical = round(width / SCALE)
    monitors = "".join(
        "<logicalmonitor><x>%d</x><y>0</y><scale>%g</scale>%s<monitor><monitorspec>"
        "<connector>Meta-%d</connector><vendor>MetaVendor</vendor>"
        "<product>MetaVirtualMonitor</product><serial>0x%02x</serial></monitorspec>"
        "<mode><width>%d</width><height>%d</height><rate>60</rate></mode></monitor>"
        "</logicalmonitor>" % (i * logical, SCALE, "<primary>yes</primary>" if i == 0 else "",
                               i, i, width, height)
        for i in range(session.monitor_count))
    with open(os.path.join(config, "monitors.xml"), "w") as xml:
        xml.write('<monitors version="2"><configuration><layoutmode>logical</layoutmode>'
                  + monitors + "</configuration></monitors>\n")
    return {"XDG_CURRENT_DESKTOP": "GNOME", "XDG_CONFIG_HOME": config}
