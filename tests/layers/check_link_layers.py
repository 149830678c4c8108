#!/usr/bin/env python3
"""Fails when a toolbox library calls into a library above it: an upward call
that no include shows (a declaration written by hand, a header of a lower
layer declaring what a higher one defines) would otherwise only surface as a
link order that happens to work. Run: check_link_layers.py LIB... (lowest
first, as toolbox/CMakeLists.txt links them)."""
import subprocess
import sys

STRONG = set("TDBR")  # code, data, zeroed data, read-only data


def symbols(library):
    """The undefined and the strongly defined global symbols of a static library."""
    lines = subprocess.run(["nm", "-g", "-P", library], capture_output=True, text=True,
                           check=True).stdout.splitlines()
    undefined, defined = set(), set()
    for line in lines:
        fields = line.split()
        if len(fields) < 2 or line.endswith(":"):
            continue  # a member's heading
        name, kind = fields[0], fields[1]
        if kind == "U":
            undefined.add(name)
        elif kind in STRONG:
            defined.add(name)
    return undefined, defined


def demangled(names):
    result = subprocess.run(["c++filt"], input="\n".join(names), capture_output=True, text=True)
    return result.stdout.splitlines() if result.returncode == 0 else names


def main():
    libraries = sys.argv[1:]
    tables = [symbols(library) for library in libraries]
    faults = 0
    for low, (undefined, _) in enumerate(tables):
        for high in range(low + 1, len(tables)):
            upward = sorted(undefined & tables[high][1])
            for name in demangled(upward):
                print(f"{libraries[low]} uses {name} from {libraries[high]}")
            faults += len(upward)
    print(f"{faults} upward call(s)")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
