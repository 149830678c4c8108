#!/usr/bin/env python3
"""Fails when an #include "..." of the system's own code points to a higher
layer or into the game from outside it. The layers, lowest first, and what each folder may include are below;
ARCHITECTURE.md draws the same map. Run: check_layers.py REPOSITORY_ROOT"""
import pathlib
import re
import sys

# Folder -> layer rank (toolbox/CMakeLists.txt links the four toolbox
# libraries in the same order). A file may include files of its own folder and of
# folders with a lower rank that it is allowed to see (SEES below).
RANK = {
    "support": 0,
    "port": 1,  # the host interface that the toolbox calls and a host implements
    "toolbox/core": 2,
    "toolbox/graphics": 3,
    "toolbox/text": 4,
    "toolbox/windows": 5,
    "adventure": 6,
    "app": 7,
    "host/fake": 8,
    "host/qt": 8,
    "host/terminal": 8,
    "host/web": 8,
    "tools": 9,  # velmorat-tool runs the toolbox on the screenless host
    "launcher": 10,  # the velmorat program: chooses a host and runs the game on it
}
# The implementations of the port and the tool sit on the toolbox; they never
# see the game (adventure, app) unless listed here.
SEES_GAME = {"tools": {"adventure"}, "launcher": {"adventure", "app"}}
GAME = {"adventure", "app"}
ENTRY_POINTS = set()
SOURCES = [folder for folder in RANK]
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)


def folder_of(path):
    parts = pathlib.PurePosixPath(path).parts[:-1]
    for length in range(len(parts), 0, -1):
        candidate = "/".join(parts[:length])
        if candidate in RANK:
            return candidate
    return None


def allowed(source_folder, target_folder):
    if target_folder is None or target_folder == source_folder:
        return True
    if target_folder in GAME and source_folder not in GAME:
        return target_folder in SEES_GAME.get(source_folder, set())
    return RANK[target_folder] < RANK[source_folder]


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".")
    faults = []
    for folder in SOURCES:
        directory = root / folder
        if not directory.is_dir():
            continue
        for path in sorted(directory.iterdir()):
            if path.suffix not in (".h", ".cpp"):
                continue
            relative = path.relative_to(root).as_posix()
            if relative in ENTRY_POINTS:
                continue
            for target in INCLUDE.findall(path.read_text(encoding="utf-8")):
                target_folder = folder_of(target)
                if not allowed(folder, target_folder):
                    faults.append(f"{relative}: includes {target} ({target_folder} is not below {folder})")
    for fault in faults:
        print(fault)
    print(f"{len(faults)} fault(s)")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
