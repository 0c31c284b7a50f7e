"""python3 suite.py MODULE... [-k PATTERN]...: exits SKIPPED where the desktop is
missing; else fails unless it runs a test and each PATTERN names one."""
import fnmatch
import sys
import unittest

from desktops import DESKTOP, NOT_HERE

SKIPPED = 77


def as_glob(pattern):
    return pattern if "*" in pattern else "*%s*" % pattern


def tests_in(suite):
    for test in suite:
        if isinstance(test, unittest.TestSuite):
            yield from tests_in(test)
        else:
            yield test


def main(*arguments):
    first_flag = arguments.index("-k") if "-k" in arguments else len(arguments)
    modules, flags = arguments[:first_flag], arguments[first_flag:]
    if not modules or len(flags) % 2 or any(flag != "-k" for flag in flags[::2]):
        raise SystemExit("usage: suite.py MODULE... [-k PATTERN]...")
    patterns = list(flags[1::2])
    missing = DESKTOP.missing()
    if missing:
        print("skipped: " + NOT_HERE + missing)
        return SKIPPED
    loader = unittest.TestLoader()
    if patterns:
        loader.testNamePatterns = [as_glob(p) for p in patterns]
    suite = loader.loadTestsFromNames(modules)
    names = [test.id() for test in tests_in(suite)]
    unmatched = [p for p in patterns if not fnmatch.filter(names, as_glob(p))]
    if not names or unmatched:
        print("suite: %s: no test named by %s" % (" ".join(modules), unmatched or "the modules"))
        return 1
    result = unittest.TextTestRunner(verbosity=2).run(suite)
    for test, reason in result.skipped:
        print("skipped: %s: %s" % (test.id(), reason))
    if not result.wasSuccessful():
        return 1
    return SKIPPED if len(result.skipped) == result.testsRun else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
