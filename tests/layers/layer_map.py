"""The layers of the system, shared by the include check (check_layers.py) and
the link check (check_link_layers.py). ARCHITECTURE.md draws the same map.

Each folder names the folders directly below it; a folder may use everything
below it, transitively, and nothing else. Hosts sit on the toolbox and never
see the game or each other; velmorat-tool sees the game and the screenless
host; the launcher (the velmorat program) puts everything together."""

BELOW = {
    "support": [],
    "port": ["support"],  # the host interface that the toolbox calls
    "toolbox/core": ["port"],
    "toolbox/graphics": ["toolbox/core"],
    "toolbox/text": ["toolbox/graphics"],
    "toolbox/windows": ["toolbox/text"],
    "adventure": ["toolbox/windows"],
    "app": ["adventure"],
    "host/fake": ["toolbox/windows"],
    "host/qt": ["toolbox/windows"],
    "host/terminal": ["toolbox/windows"],
    "host/web": ["toolbox/windows"],
    "tools": ["app", "host/fake"],
    "launcher": ["app", "host/fake", "host/qt", "host/terminal", "host/web"],
}
# Folders that a checkout may lack (hosts built only on some platforms).
OPTIONAL = {"host/web"}


def allowed(folder):
    """Every folder that folder may use, itself included."""
    seen, pending = set(), [folder]
    while pending:
        current = pending.pop()
        if current not in seen:
            seen.add(current)
            pending.extend(BELOW[current])
    return seen


def folder_of(path):
    """The deepest folder of the map that holds path (a path relative to the
    repository root), or None."""
    parts = path.split("/")[:-1]
    for length in range(len(parts), 0, -1):
        candidate = "/".join(parts[:length])
        if candidate in BELOW:
            return candidate
    return None
