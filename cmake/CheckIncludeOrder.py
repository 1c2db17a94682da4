#!/usr/bin/env python3
"""Checks the include order every source follows, so a reader finds a file's
dependencies where they expect them:

1. a .cpp file includes its own header first (for a sibling file of a class,
   such as ViewLinkPolicy.cpp, the class's header; for a test or a fuzzer,
   the header of what it tests, when it has one);
2. then the system and library headers, in <...>;
3. then the project's headers, in "...", in alphabetical order.

Usage: CheckIncludeOrder.py <repository top>. Prints each file out of order
and exits 1 if there is one.
"""
import os
import re
import sys

INCLUDE = re.compile(r'\s*#\s*include\s*([<"])([^>"]+)[>"]')
SUFFIXES = ('GuiTest', 'Test', 'Fuzzer', 'Main')
FOLDERS = ('src', 'runtime', 'tests', 'tools', 'bench')


def is_own_header(file_stem, include):
    stem = os.path.splitext(os.path.basename(include))[0]
    if stem == file_stem:
        return True
    if any(file_stem == stem + suffix for suffix in SUFFIXES):
        return True
    # ViewLinkPolicy.cpp and WindowingCoreModal.cpp implement the class their
    # name begins with.
    return len(stem) >= 6 and file_stem.startswith(stem)


def problem(path):
    includes = []
    with open(path, errors='replace') as source:
        for line in source:
            match = INCLUDE.match(line)
            if match:
                includes.append((match.group(1), match.group(2)))
    if not includes:
        return None
    file_stem = os.path.splitext(os.path.basename(path))[0]
    if path.endswith('.cpp') and includes[0][0] == '"' and is_own_header(file_stem, includes[0][1]):
        includes = includes[1:]
    seen_project = False
    for kind, name in includes:
        if kind == '"':
            seen_project = True
        elif seen_project:
            return '<%s> after a project header' % name
    project = [name for kind, name in includes if kind == '"']
    if project != sorted(project):
        return 'project headers not in alphabetical order'
    return None


def main(top):
    failures = 0
    for folder in FOLDERS:
        for directory, _, files in os.walk(os.path.join(top, folder)):
            for name in sorted(files):
                if not name.endswith(('.h', '.cpp')):
                    continue
                path = os.path.join(directory, name)
                why = problem(path)
                if why:
                    failures += 1
                    print('%s: %s' % (os.path.relpath(path, top), why))
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1]))
