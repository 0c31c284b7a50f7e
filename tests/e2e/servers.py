"""start_*(session) starts Xvfb or a compositor's Xwayland; returns the display name."""
import contextlib
import functools
import glob
import json
import os
import shutil
import subprocess
import tempfile

from options import SCALE, monitor_pixels
from scaling import assert_compositor_scale, scaled_gnome
from waiting import wait_for

X11_SOCKETS = "/tmp/.X11-unix"  # where local X servers put their sockets


def env_without_display():
    return {k: v for k, v in os.environ.items()
            if k not in ("DISPLAY", "XAUTHORITY", "WAYLAND_DISPLAY")}


def start_xvfb(session):
    read_end, write_end = os.pipe()
    session.processes.spawn(["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                             "%dx%dx24" % session.screen, "-noreset", "-nolisten", "tcp"],
                            pass_fds=[write_end])
    os.close(write_end)
    with os.fdopen(read_end) as pipe:
        number = pipe.readline().strip()
    if not number:
        raise RuntimeError("Xvfb did not start")
    name = ":" + number
    # Side-by-side RandR monitors; the first is primary.
    width, height = session.monitor_size
    if session.monitor_count > 1:
        for i in range(session.monitor_count):
            geometry = "%d/%dx%d/%d+%d+0" % (width, width * 254 // 960, height,
                                              height * 254 // 960, i * width)
            subprocess.run(["xrandr", "--setmonitor", ("*" if i == 0 else "") + "monitor%d" % i,
                            geometry, "screen" if i == 0 else "none"], check=True,
                           stdout=subprocess.DEVNULL, env=dict(os.environ, DISPLAY=name))
    return name


def new_runtime(session, log):
    """A private runtime directory; a compositor's environment using it, and
    the path of its `log` there. Xwayland's sockets' folder made as a booted
    system makes it (1777): mutter makes a missing one 1755, then refuses it."""
    os.makedirs(X11_SOCKETS, exist_ok=True)
    with contextlib.suppress(PermissionError):  # another user's, as it should be
        os.chmod(X11_SOCKETS, 0o1777)
    session.runtime = tempfile.mkdtemp(prefix="orrinade-xdg-")
    return (dict(env_without_display(), XDG_RUNTIME_DIR=session.runtime),
            os.path.join(session.runtime, log))


def wait_compositor(session, log, display_name, what):
    """Waits for display_name(); fails with the log if the compositor exits."""
    compositor = session.processes.desktop[-1]

    def ready():
        if compositor.poll() is not None:
            with open(log, errors="replace") as text:
                raise RuntimeError("%s exited with %d:\n%s"
                                   % (what, compositor.returncode, text.read()[-2000:]))
        return display_name()
    return wait_for(ready, what + "'s X display")


def start_weston(session):
    environment, log = new_runtime(session, "weston.log")
    session.processes.spawn(
        ["weston", "--backend=headless-backend.so", "--xwayland", "--use-pixman",
         "--width=%d" % session.screen[0], "--height=%d" % session.screen[1],
         "--socket=wayland-orrinade", "--idle-time=0", "--log=" + log],
        env=environment)

    def display_name():
        with open(log) if os.path.exists(log) else open(os.devnull) as lines:
            for line in lines:
                if "xserver listening on display" in line:
                    return line.split()[-1]
        return None
    return wait_compositor(session, log, display_name, "weston")


def start_mutter(session):
    """Headless mutter on a private D-Bus; its X authority is in the runtime dir."""
    environment, log = new_runtime(session, "mutter.log")
    monitors = ["--virtual-monitor", "%dx%d" % monitor_pixels(session.monitor_size)] * session.monitor_count
    mutter = ["mutter", "--wayland", "--headless", "--wayland-display=wayland-orrinade"] + monitors
    if SCALE != 1:
        environment.update(scaled_gnome(session))
        mutter = ["sh", "-c", 'echo "$DBUS_SESSION_BUS_ADDRESS" >"$0.bus" && exec "$@"',
                  log] + mutter
    session.processes.spawn(["dbus-run-session", "--"] + mutter, log=log, env=environment)

    def display_name():
        with open(log, errors="replace") as lines:
            for line in lines:
                if "Using public X11 display" in line:
                    authority = glob.glob(os.path.join(session.runtime, ".mutter-Xwaylandauth.*"))
                    if authority:
                        session.authority = authority[0]
                        return line.split("display")[1].split(",")[0].strip()
        return None
    name = wait_compositor(session, log, display_name, "mutter")
    assert_compositor_scale(session, "wayland-orrinade")
    return name


def start_kwin(session):
    """KWin's virtual backend on a private D-Bus; the program it starts once
    Xwayland runs writes DISPLAY and XAUTHORITY down."""
    environment, log = new_runtime(session, "kwin.log")
    named = os.path.join(session.runtime, "display")
    # Lets XTEST input reach windows without KWin 6's dialog.
    environment["XDG_CONFIG_HOME"] = os.path.join(session.runtime, "config")
    os.mkdir(environment["XDG_CONFIG_HOME"])
    with open(os.path.join(environment["XDG_CONFIG_HOME"], "kwinrc"), "w") as settings:
        settings.write("[Xwayland]\nXwaylandEisNoPrompt=true\n")
    command, extra = kwin_command()
    width, height = session.monitor_size
    if SCALE != 1:
        write_kwin_outputs(environment["XDG_CONFIG_HOME"], session.monitor_count, (width, height))
    scale = ["--scale", repr(SCALE)] if SCALE != 1 else []
    session.processes.spawn(
        ["dbus-run-session", "--"] + command +
        ["--virtual", "--xwayland", "--socket", "wayland-orrinade",
         "--width", str(width), "--height", str(height)] + scale +
        ["--output-count", str(session.monitor_count),
         "--no-lockscreen", "--no-global-shortcuts", "--no-kactivities",
         "sh -c 'echo \"$DISPLAY $XAUTHORITY\" >%s.new && mv %s.new %s'" % (named, named, named)],
        log=log, env=dict(environment, **extra))

    def display_name():
        if not os.path.exists(named):
            return None
        with open(named) as text:
            fields = text.read().split()
        session.authority = fields[1] if len(fields) > 1 else None
        return fields[0]
    name = wait_compositor(session, log, display_name, "kwin_wayland")
    assert_compositor_scale(session, "wayland-orrinade")
    return name


def write_kwin_outputs(config, count, size):
    """Output settings giving each virtual output SCALE (KWin 6.7+ reads it only here)."""
    width, height = (round(length * SCALE) for length in size)
    outputs = [{"connectorName": "Virtual-%d" % i, "scale": SCALE,
                "mode": {"width": width, "height": height, "refreshRate": 60000}}
               for i in range(count)]
    setup = {"lidClosed": False, "outputs": [
        {"enabled": True, "outputIndex": i, "position": {"x": i * size[0], "y": 0}, "priority": i,
         "replicationSource": ""} for i in range(count)]}
    with open(os.path.join(config, "kwinoutputconfig.json"), "w") as settings:
        json.dump([{"name": "outputs", "data": outputs}, {"name": "setups", "data": [setup]}],
                  settings)


@functools.lru_cache(maxsize=None)
def kwin_command():
    """How to start kwin_wayland: through the system's dynamic loader where a
    container refuses its file capability; KWIN_FORCE_OWN_QPA since the loader
    is then the program's name."""
    kwin = shutil.which("kwin_wayland") or "/usr/bin/kwin_wayland"
    try:
        subprocess.run([kwin, "--version"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       env=dict(os.environ, QT_QPA_PLATFORM="offscreen"), timeout=30)
        return [kwin], {}
    except PermissionError:
        return [own_loader(), kwin], {"KWIN_FORCE_OWN_QPA": "1"}


def own_loader():
    """The dynamic loader this process runs under, the one its system's programs name."""
    with open("/proc/self/maps") as maps:
        return next(line.split()[-1] for line in maps if "/ld-linux" in line)
