"""Waiting for what a desktop or the editor does in its own time."""
import time

from options import TIMEOUT


def wait_for(condition, what, timeout=TIMEOUT):
    """condition()'s first true value; fails naming `what` after `timeout` s."""
    deadline = time.monotonic() + timeout
    while True:
        result = condition()
        if result:
            return result
        if time.monotonic() > deadline:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(0.05)
