#!/usr/bin/env python3
"""Fails when the code of one layer uses a symbol that a layer it may not use
(layer_map.py) defines: an upward call that no include shows (a declaration
written by hand, a header of a lower layer declaring what a higher one
defines) would otherwise only surface as a link order that happens to work.
Weak definitions (inline functions, templates, vtables) count as well.
Run: check_link_layers.py FOLDER=FILE[,FILE...]... (static libraries or
object files of that folder's code). It also counts each folder's mutable
globals against their ceilings (mutable_globals.py)."""
import subprocess
import sys

from layer_map import allowed
import mutable_globals

UNDEFINED = set("Uwv")
DEFINED = set("TDBRGSCWVui")


def parse_nm(text):
    """The global symbols that the files in the output of nm -g -P use from
    elsewhere (undefined in one file, defined in none), and those they define."""
    undefined, defined = set(), set()
    for line in text.splitlines():
        fields = line.split()
        if len(fields) < 2 or line.endswith(":"):
            continue  # a member's heading
        name, kind = fields[0], fields[1]
        if kind in UNDEFINED:
            undefined.add(name)
        elif kind in DEFINED:
            defined.add(name)
    return undefined - defined, defined


def layer_symbols(files):
    """What one layer's files use from outside them, and what they define."""
    return parse_nm(subprocess.run(["nm", "-g", "-P", *files], capture_output=True, text=True,
                                   check=True).stdout)


def upward_uses(tables):
    """(user, name, definer) for every symbol a folder takes from one it may not use."""
    found = []
    for user, (undefined, _) in tables.items():
        for definer, (_, defined) in tables.items():
            if definer not in allowed(user):
                found += [(user, name, definer) for name in sorted(undefined & defined)]
    return found


def demangled(names):
    result = subprocess.run(["c++filt"], input="\n".join(names), capture_output=True, text=True)
    return result.stdout.splitlines() if result.returncode == 0 else names


def main():
    files = mutable_globals.folder_files(sys.argv[1:])
    tables = {folder: layer_symbols(paths) for folder, paths in files.items()}
    found = upward_uses(tables)
    for (user, _, definer), name in zip(found, demangled([name for _, name, _ in found])):
        print(f"{user} uses {name} from {definer}")
    print(f"{len(found)} upward use(s) among {len(tables)} layers")
    globals_within_ceilings = mutable_globals.report(files)
    return 1 if found or not globals_within_ceilings else 0


if __name__ == "__main__":
    sys.exit(main())
