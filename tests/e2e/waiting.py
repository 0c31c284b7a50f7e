"""Waiting for what a desktop or the editor does in its own time."""
import time

from options import TIMEOUT


def wait_for(condition, what, timeout=TIMEOUT, seen=None, every=0.05):
    """condition()'s first true value, tried every `every` s; fails naming
    `what`, and what seen() reports, after `timeout` s."""
    deadline = time.monotonic() + timeout
    while True:
        result = condition()
        if result:
            return result
        if time.monotonic() > deadline:
            raise AssertionError("timed out waiting for " + what + ("; " + seen() if seen else ""))
        time.sleep(every)
