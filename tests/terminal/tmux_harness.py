"""Terminal tests driven through tmux: a server of its own per session, keys
typed with send-keys, the screen read with capture-pane, and waits for a
condition on the screen (never for a time)."""
import os
import re
import subprocess
import sys
import time

# Each session gets a tmux server of its own: a server that is shutting down
# refuses new sessions.
SOCKETS = []
# Every wait is for a condition on the screen; this only bounds it. A sanitizer
# build on a busy machine is slow.
TIMEOUT = 120  # seconds

SPECIAL_KEYS = {
    "Return": "Enter", "Esc": "Escape", "Tab": "Tab", "Backspace": "BSpace",
    "Delete": "DC", "Left": "Left", "Right": "Right", "Up": "Up", "Down": "Down",
    "Home": "Home", "End": "End", "PageUp": "PPage", "PageDown": "NPage",
}


def skip(reason):
    """Exit 77 (skipped); in CI (VELMORAT_CI set) a missing tool fails."""
    print("SKIPPED:", reason)
    sys.exit(1 if os.environ.get("VELMORAT_CI") else 77)


def fail(message, screen=None):
    print("FAILED:", message)
    if screen is not None:
        print("---- screen ----\n" + screen + "\n----------------")
    sys.exit(1)


def tmux(*arguments, check=True):
    result = subprocess.run(["tmux", "-L", SOCKETS[-1], "-f", "/dev/null", *arguments],
                            capture_output=True, text=True)
    if check and result.returncode != 0:
        fail("tmux %s: %s" % (" ".join(arguments), result.stderr.strip()))
    return result.stdout


def screen():
    return tmux("capture-pane", "-p", "-t", "play")


def cursor_shown():
    return tmux("display-message", "-p", "-t", "play", "#{cursor_flag}").strip() == "1"


def within_timeout(condition):
    """Whether condition() comes true within TIMEOUT; looked at ten times a second."""
    limit = time.time() + TIMEOUT
    while time.time() < limit:
        if condition():
            return True
        time.sleep(0.1)
    return condition()


def wait_for(condition, what):
    if not within_timeout(condition):
        fail("waited %d s for %s" % (TIMEOUT, what), screen())


def type_line(line):
    """One key-file line: its text, its special keys, then Return."""
    position = 0
    for match in re.finditer(r"\{\{|\{([A-Za-z0-9^-]+)\}", line):
        if match.start() > position:
            tmux("send-keys", "-t", "play", "-l", line[position:match.start()])
        name = match.group(1)
        if name is None:
            tmux("send-keys", "-t", "play", "-l", "{")
        elif name in SPECIAL_KEYS:
            tmux("send-keys", "-t", "play", SPECIAL_KEYS[name])
        elif re.fullmatch(r"F([1-9]|1[0-2])", name):
            tmux("send-keys", "-t", "play", name)
        elif name.startswith("Ctrl-"):
            tmux("send-keys", "-t", "play", "C-" + name[5:].lower())
        else:
            fail("unknown key {%s} in the key file" % name)
        position = match.end()
    if position < len(line):
        tmux("send-keys", "-t", "play", "-l", line[position:])
    tmux("send-keys", "-t", "play", "Enter")



def open_session(name, work, shell_command, width=80, height=24):
    """A fresh tmux server and window "play" of width x height running shell_command."""
    if SOCKETS:
        tmux("kill-server", check=False)
    SOCKETS.append("velmorat-test-%d-%s" % (os.getpid(), name))
    tmux("new-session", "-d", "-s", "play", "-x", str(width), "-y", str(height), shell_command)
    tmux("set-option", "-t", "play", "window-size", "manual")


def clean_shell(work):
    """A shell with nothing of the caller's environment but PATH, HOME=work and a UTF-8 locale."""
    return "env -i PATH=%s HOME=%s TERM=tmux-256color LANG=C.UTF-8 PS1='$ ' sh" % (
        os.environ.get("PATH", "/usr/bin:/bin"), work)


def to_first_prompt():
    """Past the title pages ("Weiter...") to the first command prompt. Return
    is typed once a page: the key erases "Weiter..." before anything else
    changes, so a screen with "Weiter..." that differs from the one answered
    is the next page."""
    answered = []

    def at_prompt():
        now = screen()
        if "Befehl" in now and cursor_shown():
            return True
        if "Weiter..." in now and now not in answered:
            answered.append(now)
            tmux("send-keys", "-t", "play", "Enter")
        return False

    wait_for(at_prompt, "the first command prompt")
