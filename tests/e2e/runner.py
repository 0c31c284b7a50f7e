"""Programs started through a runner (Wine's loader). A start that exits 1
saying nothing but "wine client error" is Wine's failure, never the
program's, and is made again, three times in all, each retry logged."""
import subprocess
import sys

from options import RUNNER

FAILED_START = 1
ATTEMPTS = 3
LOST_SERVER = "wine client error"


def through_runner(start, failed_to_start, what):
    """start() again while failed_to_start(result), by the rule; the last result."""
    for attempt in range(1, (ATTEMPTS if RUNNER else 1) + 1):
        result = start()
        if not (RUNNER and failed_to_start(result)) or attempt == ATTEMPTS:
            return result
        print("%s failed to start %s (attempt %d of %d); starting it again"
              % (RUNNER[0], what, attempt, ATTEMPTS), file=sys.stderr)


def is_failed_start(status, output):
    said = [line for line in output.splitlines() if line.strip()]
    return status == FAILED_START and all(line.startswith(LOST_SERVER) for line in said)


def run_through_runner(command, **options):
    """subprocess.run through the runner, output captured, retried by the rule."""
    return through_runner(lambda: subprocess.run(RUNNER + command, capture_output=True, text=True,
                                                 **options),
                          lambda result: is_failed_start(result.returncode,
                                                         result.stdout + result.stderr),
                          command[0])
