"""Runs what the README and docs/ tell a reader to run, against a built tree:
    /usr/bin/python3 scripts/check-docs.py BUILD
- every `ctest ... -R PATTERN` written in them must select tests of BUILD
  with each of its top-level alternatives (listed with ctest -N, not run:
  the suites run anyway);
- each block marked `<!-- run by scripts/check-docs.py -->` runs as written,
  in a fresh clone of HEAD with HOME an empty folder, with GoogleTest and
  Google Benchmark hidden from CMake (a reader may have neither); its
  `git clone URL` clones this repository instead of URL;
- the packages its `apt-get install` lines name exist here, installed;
- docs/screenshot.py makes a picture (into a scratch file) from BUILD.
Fails naming the first thing that did not work."""
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
    names = ["README.md", "CONTRIBUTING.md"] + [
        os.path.join("docs", name) for name in sorted(os.listdir(os.path.join(ROOT, "docs")))
        if name.endswith(".md")]
    for name in names:
        path = os.path.join(ROOT, name)
        if os.path.exists(path):
            with open(path, encoding="utf-8") as text:
                yield name, text.read()


def ctest_patterns(text):
    for command in re.findall(r"\bctest\s[^`\n]*", text):
        words = shlex.split(command.split("#")[0])
        if "-R" in words[:-1]:
            yield command.strip(), words[words.index("-R") + 1]


def marked_blocks(text):
    return re.findall(re.escape(MARK) + r"\s*```sh\n(.*?)```", text, re.S)


def alternatives(pattern):
    """The pattern's top-level alternatives: each must select a test."""
    parts, depth, start = [], 0, 0
    for at, char in enumerate(pattern):
        depth += {"(": 1, ")": -1}.get(char, 0)
        if char == "|" and depth == 0 and pattern[at - 1:at] != "\\":
            parts.append(pattern[start:at])
            start = at + 1
    return parts + [pattern[start:]]


def check_ctest(build):
    count = 0
    for name, text in documents():
        for command, pattern in ctest_patterns(text):
            for part in alternatives(pattern):
                listed = subprocess.run(["ctest", "--test-dir", build, "-N", "-R", part],
                                        capture_output=True, text=True, check=True).stdout
                total = re.search(r"^Total Tests: (\d+)$", listed, re.M)
                if not total or total.group(1) == "0":
                    fail("%s: `%s` selects no test in %s with `%s`" % (name, command, build, part))
            count += 1
    print("check-docs: %d ctest -R patterns in the docs each select tests" % count, flush=True)
    return count


def run_block(name, block, scratch):
    """The block in bash, -e, from the scratch folder; cmake configures with
    GoogleTest and Google Benchmark hidden."""
    shim = os.path.join(scratch, "shim")
    os.makedirs(shim)
    cmake = shutil.which("cmake")
    with open(os.path.join(shim, "cmake"), "w") as script:
        script.write('#!/bin/sh\ncase " $* " in *" -S "*) exec %s "$@" '
                     "-DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON "
                     '-DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON;; esac\nexec %s "$@"\n'
                     % (cmake, cmake))
    os.chmod(os.path.join(shim, "cmake"), 0o755)
    home = os.path.join(scratch, "home")
    os.makedirs(home)
    for line in block.splitlines():
        if re.match(r"(sudo )?apt-get install", line.strip()):
            packages = [w for w in shlex.split(line) if not w.startswith("-")]
            packages = packages[packages.index("install") + 1:]
            states = subprocess.run(["dpkg-query", "-W", "-f", "${db:Status-Status}\n"] + packages,
                                    capture_output=True, text=True).stdout.split()
            if states != ["installed"] * len(packages):
                fail("%s: a package of `%s` is not installed here" % (name, line.strip()))
    script = "\n".join(
        re.sub(r"^git clone (\S*/)?([^/\s]+?)(\.git)?(?=\s|$)",
               lambda m: "git clone --quiet %s %s" % (shlex.quote(ROOT), m.group(2)), line)
        for line in block.splitlines()
        if not re.match(r"(sudo )?apt-get ", line.strip()))
    environment = dict(os.environ, HOME=home, PATH=shim + os.pathsep + os.environ["PATH"])
    result = subprocess.run(["bash", "-euo", "pipefail", "-c", script], cwd=scratch,
                            env=environment, capture_output=True, text=True)
    if result.returncode:
        print(result.stdout[-3000:], result.stderr[-3000:], sep="\n", file=sys.stderr)
        fail("%s: its marked block failed with GoogleTest hidden:\n%s" % (name, block))
    return result.stdout, home


def check_blocks():
    blocks = [(name, block) for name, text in documents() for block in marked_blocks(text)]
    if not blocks:
        fail("no block is marked " + MARK)
    for name, block in blocks:
        with tempfile.TemporaryDirectory() as scratch:
            output, home = run_block(name, block, scratch)
            if "GoogleTest not found: the tests are not built" not in output:
                fail("%s: configuring did not say the tests are left out" % name)
            if not os.access(os.path.join(home, ".local", "bin", "orrinade"), os.X_OK):
                fail("%s: no ~/.local/bin/orrinade after the block" % name)
    print("check-docs: %d marked blocks ran with GoogleTest hidden" % len(blocks))


def check_screenshot(build):
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


def main(build):
    build = os.path.abspath(build)
    check_ctest(build)
    check_blocks()
    check_screenshot(build)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: check-docs.py BUILD")
    main(sys.argv[1])
