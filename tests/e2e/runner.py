"""Programs started through a runner: Wine's loader, for the Windows build.

Its one retry rule: Wine now and then fails to start a program, which then
exits with status 1 before the program runs, either without a word (about
once in three hundred starts in a fresh prefix) or saying only that it lost
its wineserver ("wine client error"). The editor's own exit statuses are 0
and 255, and the other programs started so report failures in words of their
own, so such a start, and only such a start, is made again, up to three
times in all, each retry written to the log.
"""
import subprocess
import sys

from options import RUNNER

FAILED_START = 1
ATTEMPTS = 3
LOST_SERVER = "wine client error"


def through_runner(start, failed_to_start, what):
    """start() once, and again while the runner failed to start the program
    (failed_to_start(result)); the last result. Without a runner, start()
    once."""
    for attempt in range(1, (ATTEMPTS if RUNNER else 1) + 1):
        result = start()
        if not (RUNNER and failed_to_start(result)) or attempt == ATTEMPTS:
            return result
        print("%s failed to start %s (attempt %d of %d); starting it again"
              % (RUNNER[0], what, attempt, ATTEMPTS), file=sys.stderr)


def is_failed_start(status, output):
    """Whether a run that ended with `status`, having said `output`, is the
    runner's failed start: status 1 with no output but Wine's own words on
    losing its server."""
    said = [line for line in output.splitlines() if line.strip()]
    return status == FAILED_START and all(line.startswith(LOST_SERVER) for line in said)


def run_through_runner(command, **options):
    """subprocess.run of a program through the runner, its output captured
    as text, started again as the retry rule says."""
    return through_runner(lambda: subprocess.run(RUNNER + command, capture_output=True, text=True,
                                                 **options),
                          lambda result: is_failed_start(result.returncode,
                                                         result.stdout + result.stderr),
                          command[0])
