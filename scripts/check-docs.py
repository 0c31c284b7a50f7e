"""Runs what the README and docs/ tell a reader to run, against a built tree:
    /usr/bin/python3 scripts/check-docs.py BUILD
- each top-level alternative of every `ctest ... -R PATTERN` written in them
  selects tests of BUILD (listed with ctest -N: the suites run anyway);
- each block marked `<!-- run by scripts/check-docs.py -->` runs as written
  in a scratch folder with HOME an empty one and GoogleTest and Google
  Benchmark hidden from CMake (a reader may have neither), its `git clone
  URL` cloning this repository instead; the packages its `apt-get install`
  names are installed here, and it installs ~/.local/bin/orrinade;
- docs/screenshot.py makes a picture (into a scratch file) from BUILD."""
import glob
import os
import re
import shlex
import shutil
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
MARK = "<!-- run by scripts/check-docs.py -->"


def fail(message):
    sys.exit("check-docs: " + message)


def documents():
    for path in [os.path.join(ROOT, "README.md"), os.path.join(ROOT, "CONTRIBUTING.md")] + sorted(
            glob.glob(os.path.join(ROOT, "docs", "*.md"))):
        with open(path, encoding="utf-8") as text:
            yield os.path.relpath(path, ROOT), text.read()


def alternatives(pattern):
    parts, depth, start = [], 0, 0
    for at, char in enumerate(pattern):
        depth += {"(": 1, ")": -1}.get(char, 0)
        if char == "|" and depth == 0 and pattern[at - 1:at] != "\\":
            parts, start = parts + [pattern[start:at]], at + 1
    return parts + [pattern[start:]]


def check_ctest(build):
    count = 0
    for name, text in documents():
        for command in re.findall(r"\bctest\s[^`\n]*", text):
            words = shlex.split(command.split("#")[0])
            if "-R" not in words[:-1]:
                continue
            for part in alternatives(words[words.index("-R") + 1]):
                listed = subprocess.run(["ctest", "--test-dir", build, "-N", "-R", part],
                                        capture_output=True, text=True, check=True).stdout
                if re.search(r"^Total Tests: [1-9]", listed, re.M) is None:
                    fail("%s: `%s` selects no test in %s with `%s`" % (name, command.strip(), build, part))
            count += 1
    print("check-docs: %d ctest -R patterns in the docs each select tests" % count, flush=True)


def run_block(name, block, scratch):
    shim, home = os.path.join(scratch, "shim"), os.path.join(scratch, "home")
    os.makedirs(shim)
    os.makedirs(home)
    cmake = shutil.which("cmake")
    with open(os.path.join(shim, "cmake"), "w") as script:
        script.write('#!/bin/sh\ncase " $* " in *" -S "*) exec %s "$@" -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON '
                     '-DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON;; esac\nexec %s "$@"\n' % (cmake, cmake))
    os.chmod(os.path.join(shim, "cmake"), 0o755)
    lines = []
    for line in block.splitlines():
        if re.match(r"(sudo )?apt-get ", line):
            words = [w for w in shlex.split(line) if not w.startswith("-")]
            packages = words[words.index("install") + 1:] if "install" in words else []
            states = subprocess.run(["dpkg-query", "-W", "-f", "${db:Status-Status}\n", "--"] + packages,
                                    capture_output=True, text=True).stdout.split() if packages else []
            if states != ["installed"] * len(packages):
                fail("%s: a package of `%s` is not installed here" % (name, line))
        else:
            lines.append(re.sub(r"^git clone (\S*/)?([^/\s]+?)(\.git)?(?=\s|$)",
                                lambda m: "git clone --quiet %s %s" % (shlex.quote(ROOT), m.group(2)), line))
    result = subprocess.run(["bash", "-euo", "pipefail", "-c", "\n".join(lines)], cwd=scratch,
                            env=dict(os.environ, HOME=home, PATH=shim + os.pathsep + os.environ["PATH"]),
                            capture_output=True, text=True)
    if result.returncode:
        print(result.stdout[-3000:], result.stderr[-3000:], sep="\n", file=sys.stderr)
        fail("%s: its marked block failed with GoogleTest hidden:\n%s" % (name, block))
    if "GoogleTest not found: the tests are not built" not in result.stdout:
        fail("%s: configuring did not say the tests are left out" % name)
    if not os.access(os.path.join(home, ".local", "bin", "orrinade"), os.X_OK):
        fail("%s: no ~/.local/bin/orrinade after the block" % name)


def main(build):
    build = os.path.abspath(build)
    check_ctest(build)
    blocks = [(name, block) for name, text in documents()
              for block in re.findall(re.escape(MARK) + r"\s*```sh\n(.*?)```", text, re.S)]
    if not blocks:
        fail("no block is marked " + MARK)
    for name, block in blocks:
        with tempfile.TemporaryDirectory() as scratch:
            run_block(name, block, scratch)
    print("check-docs: %d marked blocks ran with GoogleTest hidden" % len(blocks), flush=True)
    with tempfile.TemporaryDirectory() as scratch:
        picture = os.path.join(scratch, "shot.png")
        command = ["/usr/bin/python3", os.path.join(ROOT, "docs", "screenshot.py"),
                   os.path.join(build, "orrinade"), picture]
        if not os.environ.get("DISPLAY"):
            command = [os.path.join(ROOT, "scripts", "with-xvfb.sh")] + command
        subprocess.run(command, check=True, capture_output=True)
        with open(picture, "rb") as png:
            if png.read(8) != b"\x89PNG\r\n\x1a\n":
                fail("docs/screenshot.py wrote no PNG")
    print("check-docs: docs/screenshot.py made a picture")


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: check-docs.py BUILD")
    main(sys.argv[1])
