#!/usr/bin/python3
"""Fails, naming each, on a relative link in README.md or docs/*.md that
names no file, or a #anchor that names no heading of its file (anchors as
GitHub makes them from headings). Links to other sites are not followed.

    /usr/bin/python3 scripts/check-links.py
"""
import glob
import os
import re
import sys

LINK = re.compile(r"!?\[[^\]]*\]\(\s*<?([^)\s>]+)>?(?:\s+\"[^\"]*\")?\s*\)")


def prose(path):
    """The file's lines outside fenced code blocks, inline code blanked."""
    fenced = False
    for line in open(path, encoding="utf-8"):
        if line.lstrip().startswith(("```", "~~~")):
            fenced = not fenced
            continue
        if not fenced:
            yield re.sub(r"`[^`]*`", lambda m: " " * len(m.group()), line)


def anchors(path):
    """GitHub's anchors for the headings of a Markdown file: lower case,
    punctuation dropped, spaces as hyphens, repeats numbered -1, -2, ..."""
    seen = {}
    found = set()
    fenced = False
    for line in open(path, encoding="utf-8"):
        if line.lstrip().startswith(("```", "~~~")):
            fenced = not fenced
        heading = None if fenced else re.match(r"#{1,6}\s+(.*?)\s*#*\s*$", line)
        if not heading:
            continue
        text = re.sub(r"\[([^\]]*)\]\([^)]*\)", r"\1", heading.group(1))
        slug = re.sub(r"[^\w\- ]", "", text.lower()).replace(" ", "-")
        count = seen.get(slug, 0)
        seen[slug] = count + 1
        found.add(slug if count == 0 else "%s-%d" % (slug, count))
    return found


def broken(path):
    for line in prose(path):
        for target in LINK.findall(line):
            if re.match(r"[a-z][a-z0-9+.-]*:", target, re.I):
                continue
            name, _, anchor = target.partition("#")
            linked = os.path.normpath(os.path.join(os.path.dirname(path), name)) if name else path
            if not os.path.exists(linked):
                yield "%s: %s: no such file" % (path, target)
            elif anchor and linked.endswith(".md") and anchor not in anchors(linked):
                yield "%s: %s: no such heading" % (path, target)


def main():
    os.chdir(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
    problems = [p for f in ["README.md"] + sorted(glob.glob("docs/*.md")) for p in broken(f)]
    for problem in problems:
        print("check-links: " + problem, file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
