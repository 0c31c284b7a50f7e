"""Waiting for what a desktop or the editor does in its own time."""
import time

from options import TIMEOUT


def wait_for(condition, what, timeout=TIMEOUT):
    """Polls until condition() returns a true value, which it returns; fails
    naming `what` once `timeout` seconds have gone by."""
    deadline = time.monotonic() + timeout
    while True:
        result = condition()
        if result:
            return result
        if time.monotonic() > deadline:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(0.05)
