#!/usr/bin/env python3
"""Counts the mutable globals of each layer: the variables of static storage
(namespace scope, static members, function statics) that the layer's code
defines and may change. A count above the layer's ceiling fails, so that
process-wide state only grows by a decision (lower the ceiling when one
goes; ARCHITECTURE.md says why each one that stays is there).
What counts: the objects in writable sections (.data, .bss and their
thread-local kin) that our code defines, each once (an inline variable that
several layers define counts in the lowest). Left out: constants named
kName (a table built at first use that is named otherwise counts), guard
variables, the standard library's, CLI11's and Qt's own, and the compiler's
and sanitizers' bookkeeping.
Run: mutable_globals.py [-v] FOLDER=FILE[,FILE...]... (as check_link_layers.py;
-v lists them)."""
import re
import subprocess
import sys

# The counts of today (126 in all); a folder not built (a host on a machine
# without its libraries) is not counted. A folder missing here may have none.
CEILINGS = {
    "support": 17,
    "port": 1,
    "toolbox/core": 12,
    "toolbox/graphics": 0,
    "toolbox/text": 14,
    "toolbox/windows": 42,
    "adventure": 1,
    "app": 3,
    "host/fake": 0,
    "host/terminal": 5,
    "host/qt": 7,
    "launcher": 3,
    "tools": 21,
}
# .data.rel.ro is written once, at load time (typeinfo, vtables).
WRITABLE = re.compile(r"^\.(t?data|t?bss)(?!\.rel\.ro)(\.|$)")
NOT_OURS = re.compile(r"^(guard variable|typeinfo|vtable|VTT|DW\.ref|std::|CLI::|__gnu_cxx::|qt_)")

# A constant built at start-up (a QColor, a std::string) lies in .bss too.
CONSTANT = re.compile(r"(^|::)k[A-Z0-9]\w*$")


def writable_objects(objdump_text):
    """The mangled names of the objects in writable sections in the output of
    objdump -t."""
    names = set()
    for line in objdump_text.splitlines():
        # "VALUE FLAGS SECTION\tSIZE NAME"; the flags hold "O" for an object.
        left, tab, right = line.partition("\t")
        fields, name = left.split(), right.split()[-1] if right.split() else ""
        if not tab or len(fields) < 3 or not WRITABLE.match(fields[-1]):
            continue
        # A thread-local one carries no object flag; it is counted as well.
        if "O" not in fields[1:-1] and not fields[-1].startswith(".t"):
            continue
        if name.startswith("_Z") or not name.startswith(("_", ".")):
            names.add(name)
    return names


def is_ours(name):
    """Whether a demangled name is a variable of our code, not a constant."""
    return not NOT_OURS.search(name) and not CONSTANT.search(name)


def demangled(names):
    result = subprocess.run(["c++filt"], input="\n".join(names), capture_output=True, text=True,
                            check=True)
    return result.stdout.splitlines()


def mutable_globals(files, seen):
    """The mutable globals these files define that no lower layer (seen) did."""
    output = subprocess.run(["objdump", "-t", *files], capture_output=True, text=True,
                            check=True).stdout
    names = writable_objects(output) - seen
    seen |= names
    return {name for name in demangled(sorted(names)) if is_ours(name)}


def over_ceiling(counts):
    """(folder, count, ceiling) for each folder above its ceiling."""
    return [(folder, count, CEILINGS.get(folder, 0)) for folder, count in sorted(counts.items())
            if count > CEILINGS.get(folder, 0)]


def report(files, listed=False):
    """Prints each folder's count (and, listed, its globals) and each count
    above its ceiling; true when none is."""
    counts, seen = {}, set()
    for folder, paths in files.items():
        names = mutable_globals(paths, seen)
        counts[folder] = len(names)
        print(f"{folder}: {len(names)} mutable global(s), ceiling {CEILINGS.get(folder, 0)}")
        if listed:
            print("".join(f"  {name}\n" for name in sorted(names)), end="")
    print(f"{sum(counts.values())} mutable global(s) in {len(counts)} layers")
    over = over_ceiling(counts)
    for folder, count, ceiling in over:
        print(f"{folder} has {count} mutable globals, more than its ceiling {ceiling}")
    return not over


def folder_files(arguments):
    """{folder: [file, ...]} of the arguments FOLDER=FILE[,FILE...]."""
    files = {}
    for argument in arguments:
        folder, _, paths = argument.partition("=")
        files.setdefault(folder, []).extend(path for path in paths.split(",") if path)
    return files


if __name__ == "__main__":
    arguments = [argument for argument in sys.argv[1:] if argument != "-v"]
    sys.exit(0 if report(folder_files(arguments), listed="-v" in sys.argv) else 1)
