#!/usr/bin/env python3
"""Fails when a source file includes a header of a library above its own.

    check_includes.py ROOT

Each library may include only itself and the libraries listed for it; libraries not
named here (generated headers, tests, bench) are not checked.
"""
import pathlib
import re
import sys

BELOW = {
    "forge": [],
    "platter/ids": [],
    "platter/petscii": ["forge"],
    "platter/fileid": ["platter/petscii", "platter/ids", "forge"],
    "platter/picture": ["platter/fileid", "platter/petscii", "platter/ids", "forge"],
    "platter/core": ["platter/picture", "platter/fileid", "platter/petscii", "platter/ids", "forge"],
    "platter/render": ["platter/fileid", "platter/petscii", "platter/ids", "forge"],
}
BELOW["platter/formats"] = ["platter/core"] + BELOW["platter/core"]
BELOW["platter/archive"] = ["platter/core"] + BELOW["platter/core"]
BELOW["platter/open"] = ["platter/formats", "platter/archive"] + BELOW["platter/formats"]
BELOW["platter/selection"] = ["platter/open"] + BELOW["platter/open"]
BELOW["app"] = ["platter/selection", "platter/render"] + BELOW["platter/selection"]

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def library_of(path):
    """The library a path (relative to the root, with '/') belongs to, or None."""
    for library in sorted(BELOW, key=len, reverse=True):
        if path == library or path.startswith(library + "/"):
            return library
    return None


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".")
    problems = []
    sources = [path for library in BELOW for path in sorted((root / library).rglob("*.[ch]pp"))]
    for source in sources:
        relative = source.relative_to(root).as_posix()
        own = library_of(relative)
        allowed = set(BELOW[own]) | {own}
        for number, line in enumerate(source.read_text(errors="replace").splitlines(), 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            target = library_of(match.group(1))
            if target is not None and target not in allowed:
                problems.append(f"{relative}:{number}: {own} includes {match.group(1)} ({target} is not below it)")
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
