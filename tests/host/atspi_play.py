#!/usr/bin/python3
"""The desktop game as a screen reader meets it, through AT-SPI: started on a
virtual X screen with Qt's accessibility on, its text window is found in the
accessibility tree as the terminal "Textfenster", the prologue is read from
its text, and the walkthrough is typed into it with xdotool while every
"object:text-changed:insert" event is recorded. Checks: each line of the
game's transcript (Ablage > Protokoll sichern of a headless run with the same
keys) was announced, none twice. Prints how long after each Return the first
line of the answer was announced, and keeps every announcement in
WORK_DIR/announced.txt.

Run inside dbus-run-session with DISPLAY set (xvfb_atspi.sh does).
Usage: atspi_play.py VELMORAT BUNDLE KEYS_FILE WORK_DIR
"""
import collections
import os
import statistics
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

# The transcript of a headless run, shared with the other ways to play.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from headless_transcript import headless_transcript  # noqa: E402

VELMORAT, BUNDLE, KEYS_FILE, WORK = sys.argv[1:5]
TIMEOUT = 120  # seconds; only bounds the waits
PROMPT = ">>> Befehl ?"
# xdotool types no umlauts reliably; the game takes ae, oe, ue and ss alike.
FOLDED = str.maketrans({"ä": "ae", "ö": "oe", "ü": "ue", "Ä": "Ae", "Ö": "Oe", "Ü": "Ue",
                        "ß": "ss"})

inserted = []  # (seconds, text)
caret_moves = []  # seconds


def fail(message):
    print("FAILED:", message)
    sys.exit(1)


def from_game(event):
    try:
        return "velmorat" in (event.host_application.name or "").lower()
    except Exception:  # the application went away
        return False


def on_insert(event):
    if from_game(event):
        inserted.append((time.monotonic(), str(event.any_data)))


def on_caret(event):
    if from_game(event):
        caret_moves.append(time.monotonic())


def serve_until(condition, what):
    context = GLib.MainContext.default()
    limit = time.monotonic() + TIMEOUT
    while time.monotonic() < limit:
        while context.pending():
            context.iteration(False)
        if condition():
            return
        time.sleep(0.002)
    fail("waited %d s for %s" % (TIMEOUT, what))


def find_text_window():
    for app in pyatspi.Registry.getDesktop(0):
        if app is None or "velmorat" not in (app.name or "").lower():
            continue
        found = pyatspi.findDescendant(
            app, lambda node: node is not None and node.name == "Textfenster"
            and node.getRole() == pyatspi.ROLE_TERMINAL)
        if found is not None:
            return found
    return None


def main():
    with open(KEYS_FILE, encoding="utf-8") as keys:
        key_lines = keys.read().split("\n")
    if key_lines and key_lines[-1] == "":
        key_lines.pop()
    key_lines = [line.translate(FOLDED) for line in key_lines if not line.startswith("#")]
    pyatspi.Registry.registerEventListener(on_insert, "object:text-changed:insert")
    pyatspi.Registry.registerEventListener(on_caret, "object:text-caret-moved")
    environment = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                       XDG_CONFIG_HOME=os.path.join(WORK, "config"),
                       XDG_STATE_HOME=os.path.join(WORK, "state"))
    log = open(os.path.join(WORK, "atspi-game.log"), "w")
    game = subprocess.Popen([VELMORAT, "--bundle", BUNDLE], env=environment, stdout=log,
                            stderr=subprocess.STDOUT)
    try:
        found = []

        def text_window_found():
            found[:] = [find_text_window()]
            return found[0] is not None

        serve_until(text_window_found, "the text window in the accessibility tree")
        text_window = found[0]
        serve_until(lambda: "Weiter..." in text_window.queryText().getText(0, -1),
                    "the prologue's first page")
        prologue = text_window.queryText().getText(0, -1)
        if "Ein Brief mit rotem Siegel" not in prologue:
            fail("the text window reads\n%s" % prologue)
        print("prologue read from the accessible text (%d characters)" % len(prologue))
        window = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Textfenster"],
                                capture_output=True, text=True).stdout.split()
        if not window:
            fail("no X window named Textfenster")
        subprocess.run(["xdotool", "windowfocus", "--sync", window[0]], check=True)
        latencies = []
        for line in key_lines[:-1]:
            if line:
                subprocess.run(["xdotool", "type", "--delay", "1", line], check=True)
            announced_before = len(inserted)
            moved_before = len(caret_moves)
            subprocess.run(["xdotool", "key", "Return"], check=True)
            returned = time.monotonic()  # the X server has the key
            # The game waits again once the caret moves after the last
            # announcement; a Return at an empty prompt announces nothing.
            serve_until(lambda: len(caret_moves) > moved_before and
                        caret_moves[-1] >= (inserted[-1][0] if inserted else 0),
                        "the game to wait again after %r" % line)
            answer = [when for when, text in inserted[announced_before:] if text.endswith("\n")]
            if answer:
                latencies.append((answer[0] - returned) * 1000)
        # What a screen reader was told, in order, for a reading by eye.
        with open(os.path.join(WORK, "announced.txt"), "w", encoding="utf-8") as told:
            told.writelines(text if text.endswith("\n") else text + "\n" for _, text in inserted)
        # Empty lines and rules (no letter, no digit) are not announced.
        expected = [line for line in headless_transcript(VELMORAT, BUNDLE, WORK, key_lines[:-1])
                    if any(c.isalnum() for c in line) and not line.startswith(PROMPT)]
        announced = collections.Counter(text[:-1].rstrip() for _, text in inserted
                                        if text.endswith("\n"))
        wanted = collections.Counter(line.rstrip() for line in expected)
        lost = sum(max(0, count - announced[line]) for line, count in wanted.items())
        twice = sum(max(0, announced[line] - count) for line, count in wanted.items())
        print("%d transcript lines announced: %d lost, %d twice; %d announcements in all" % (
            len(expected), lost, twice, sum(announced.values())))
        latencies.sort()
        print("first answer line announced after Return: median %.0f ms, 90th percentile "
              "%.0f ms, max %.0f ms over %d commands" % (
                  statistics.median(latencies), latencies[len(latencies) * 9 // 10],
                  latencies[-1], len(latencies)))
        if lost or twice:
            missing = [line for line, count in wanted.items() if announced[line] < count]
            fail("lines lost or announced twice, e.g. %r" % missing[:5])
        if not any("Du hast Velmorat gewonnen." in line for line in announced):
            fail("the winning line was not announced")
    finally:
        game.kill()
        game.wait()


main()
