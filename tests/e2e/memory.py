"""A process's resident memory, read from /proc."""
import time


def floor_kib(pid, seconds=3.0):
    """The lowest of many close samples (the GL driver's memory comes and goes)."""
    samples = []
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        samples.append(resident_kib(pid))
        time.sleep(0.01)
    return min(samples)


def resident_kib(pid):
    with open("/proc/%d/status" % pid) as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    raise RuntimeError("no VmRSS for %d" % pid)
