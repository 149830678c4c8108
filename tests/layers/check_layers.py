#!/usr/bin/env python3
"""Fails when an include of the system's own code points to a folder that its
layer may not use (layer_map.py): quoted or angle includes, named from the
repository root or relative to the including file, in every file below the
layers' folders. A source file that belongs to no layer, or a layer folder
missing from the root, fails too. Run: check_layers.py REPOSITORY_ROOT"""
import os
import pathlib
import re
import sys

from layer_map import BELOW, OPTIONAL, allowed, folder_of

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.MULTILINE)
TOPS = sorted({folder.split("/")[0] for folder in BELOW})


def included_path(root, source, quote, target):
    """The included file relative to the root: a quoted include is looked for
    beside the including file first, as the compiler does."""
    if quote == '"':
        beside = os.path.normpath(os.path.join(os.path.dirname(source), target))
        if target.startswith(".") or (root / beside).is_file():
            return beside
    return os.path.normpath(target)


def faults_of(root, source):
    folder = folder_of(source)
    if folder is None:
        return [f"{source}: belongs to no layer"]
    faults = []
    for quote, target in INCLUDE.findall((root / source).read_text(encoding="utf-8")):
        target_folder = folder_of(included_path(root, source, quote, target))
        if target_folder is not None and target_folder not in allowed(folder):
            faults.append(f"{source}: includes {target} ({target_folder} is not below {folder})")
    return faults


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".")
    missing = [folder for folder in BELOW if folder not in OPTIONAL and not (root / folder).is_dir()]
    if missing:
        print(f"{root}: not the repository root, missing {', '.join(missing)}")
        return 2
    faults = []
    for top in TOPS:
        for path in sorted((root / top).rglob("*")):
            if path.suffix in (".h", ".cpp"):
                faults += faults_of(root, path.relative_to(root).as_posix())
    for fault in faults:
        print(fault)
    print(f"{len(faults)} fault(s)")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
