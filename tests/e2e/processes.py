"""A session's processes and all they start end with it, even on a signal."""
import atexit
import contextlib
import os
import signal
import subprocess

from waiting import wait_for


def stat_fields(pid):
    """/proc/PID/stat's fields after the command's name, or None if gone."""
    try:
        with open("/proc/%d/stat" % pid) as stat:
            return stat.read().rsplit(")", 1)[1].split()
    except OSError:
        return None


def running(pid):
    return (stat_fields(pid) or ["Z"])[0] != "Z"


class Processes:
    """The desktop's programs, each in its own process session, and the tests'."""

    def __init__(self):
        self.desktop = []
        self.programs = []

    def spawn(self, command, log=None, **options):
        with open(log or os.devnull, "wb") as output:
            process = subprocess.Popen(command, stdout=output, stderr=subprocess.STDOUT,
                                       stdin=subprocess.DEVNULL, start_new_session=True, **options)
        self.desktop.append(process)
        return process

    def died(self):
        """'COMMAND exited with STATUS' for each desktop program ended uncleanly."""
        return ["%s exited with %d" % (" ".join(map(str, process.args)), process.returncode)
                for process in self.desktop if process.poll() not in (None, 0)]

    def add(self, process):
        self.programs.append(process)
        return process

    def end_programs(self):
        for process in self.programs:
            if process.poll() is None:
                process.kill()
                process.wait()
        self.programs = []

    def ids(self):
        """Every live process started, its descendants, and all in the desktop's
        process sessions (orphaned D-Bus services are no one's descendants)."""
        children, sessions = {}, {}
        for pid in (int(entry) for entry in os.listdir("/proc") if entry.isdigit()):
            fields = stat_fields(pid)
            if fields and fields[0] != "Z":
                children.setdefault(int(fields[1]), []).append(pid)
                sessions.setdefault(int(fields[3]), []).append(pid)
        found = set()
        pending = [p.pid for p in self.desktop + self.programs if p.poll() is None]
        pending += [pid for p in self.desktop for pid in sessions.get(p.pid, [])]
        while pending:
            pid = pending.pop()
            if pid not in found:
                found.add(pid)
                pending.extend(children.get(pid, []))
        return sorted(found)

    def stop(self):
        """SIGTERM to all, SIGKILL to any left 10 s later (mutter may ignore SIGTERM)."""
        def signal_all(number):
            for pid in self.ids():
                with contextlib.suppress(ProcessLookupError):
                    os.kill(pid, number)
        signal_all(signal.SIGTERM)
        try:
            wait_for(lambda: not self.ids(), "the desktop to end", timeout=10)
        except AssertionError:
            signal_all(signal.SIGKILL)
            wait_for(lambda: not self.ids(), "the desktop to end on SIGKILL")
        for process in self.desktop:
            process.wait()
        self.desktop = []


LIVE_SESSIONS = set()


def close_live_sessions():
    for session in list(LIVE_SESSIONS):
        session.close()


def end_as_signalled(number, _frame):
    """Closes every live session, then dies of the signal (not an exception)."""
    close_live_sessions()
    signal.signal(number, signal.SIG_DFL)
    os.kill(os.getpid(), number)


def end_sessions_on_signals():
    """SIGTERM, SIGINT, SIGHUP and exit close every live session first."""
    if signal.getsignal(signal.SIGTERM) is not end_as_signalled:
        for number in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
            signal.signal(number, end_as_signalled)
        atexit.register(close_live_sessions)
