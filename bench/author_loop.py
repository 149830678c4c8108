#!/usr/bin/env python3
"""The author's loop timed, each beside a baseline of the same run:
- velmorat-tool test on the game's three transcripts, against the same three
  key files played one after another by velmorat --headless alone;
- an edit of the winning scene to its replayed scene (run --watch --headless
  with the walkthrough's 60 commands), against one headless walkthrough;
- the same edit to the diff on the screen of run --watch --terminal in a tmux
  pane (when tmux is there), against the same walkthrough.
Usage: author_loop.py VELMORAT_TOOL VELMORAT BUNDLE GAME_DIR WORK_DIR [RUNS]
Prints lines "name, ours_ms, baseline_name, baseline_ms" (tab-separated).
"""
import os
import queue
import shutil
import subprocess
import sys
import threading
import time

TOOL, VELMORAT, BUNDLE, GAME, WORK = sys.argv[1:6]
RUNS = int(sys.argv[6]) if len(sys.argv) > 6 else 3
ENV = dict(os.environ, QT_QPA_PLATFORM="offscreen", XDG_STATE_HOME=os.path.join(WORK, "state"),
           VELMORAT_PROGRAM=VELMORAT)


def seconds(command):
    start = time.monotonic()
    subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=ENV)
    return time.monotonic() - start


def best(commands):
    """The minimum over RUNS of each command list's total, run in turn."""
    totals = [float("inf")] * len(commands)
    for _ in range(RUNS):
        for index, group in enumerate(commands):
            totals[index] = min(totals[index], sum(seconds(command) for command in group))
    return totals


keys = [os.path.join(GAME, "tests", name + ".keys") for name in ("walkthrough", "lose", "allverbs")]
ours, baseline = best([[[TOOL, "test", GAME, "--bundle", BUNDLE]],
                       [[VELMORAT, "--headless", "--bundle", BUNDLE, "--keys", key] for key in keys]])
print("test, three transcripts", ours * 1000, "three plain runs", baseline * 1000, sep="\t")

project = os.path.join(WORK, "game")
shutil.rmtree(project, ignore_errors=True)
shutil.copytree(GAME, project, ignore=shutil.ignore_patterns("build", "*.expected"))
scene = os.path.join(project, "scripts", "DATA012.txt")
watcher = subprocess.Popen([TOOL, "run", project, "--watch", "--headless", "--keys", keys[0]],
                           stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True, env=ENV)
lines = queue.Queue()
threading.Thread(target=lambda: [lines.put(line) for line in watcher.stdout], daemon=True).start()


def replayed(timeout):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        try:
            if "replayed" in lines.get(timeout=deadline - time.monotonic()):
                return True
        except queue.Empty:
            break
    return False


try:
    if not replayed(600):
        sys.exit("run --watch did not replay")
    fastest = float("inf")
    for run in range(RUNS):
        with open(scene, encoding="utf-8") as file:
            text = file.read()
        with open(scene, "w", encoding="utf-8") as file:
            file.write(text.replace("der Komet!", "der Komet!" if run % 2 else "der Komet !"))
        start = time.monotonic()
        if not replayed(60):
            sys.exit("no replay after an edit")
        fastest = min(fastest, time.monotonic() - start)
finally:
    watcher.terminate()
    watcher.wait(10)
walk = best([[[VELMORAT, "--headless", "--bundle", BUNDLE, "--keys", keys[0]]]])[0]
print("edit to replayed scene, 60 commands", fastest * 1000, "one plain walkthrough", walk * 1000,
      sep="\t")


def edit_to_terminal_diff():
    """run --watch --terminal in tmux: the walkthrough but its last answer
    typed, then the fastest edit until the changes show over the game."""
    sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests",
                                    "terminal"))
    import tmux_harness as tmux
    walkthrough = os.path.join(WORK, "walkthrough-open.keys")
    with open(keys[0], encoding="utf-8") as source:
        commands = [line for line in source.read().split("\n") if not line.startswith("#")]
    while commands and commands[-1] in ("", "n"):
        commands.pop()  # the game stays at "noch einmal spielen?"
    with open(walkthrough, "w", encoding="utf-8") as target:
        target.write("\n".join(commands) + "\n")
    with open(scene, encoding="utf-8") as file:
        text = file.read()
    with open(scene, "w", encoding="utf-8") as file:
        file.write(text.replace("der Komet !", "der Komet!"))
    tmux.open_session("bench", WORK, tmux.clean_shell(WORK))
    try:
        tmux.tmux("send-keys", "-t", "play", "-l",
                  "XDG_STATE_HOME=%s/state VELMORAT_PROGRAM=%s VELMORAT_PICTURES=none %s run %s "
                  "--watch --terminal --keys %s" % (WORK, VELMORAT, TOOL, project, walkthrough))
        tmux.tmux("send-keys", "-t", "play", "Enter")
        tmux.wait_for(lambda: "gewonnen" in tmux.screen(), "the walkthrough in the terminal")
        quickest = float("inf")
        for run in range(RUNS):
            tmux.tmux("send-keys", "-t", "play", "Escape")
            tmux.wait_for(lambda: "Virtueller Drucker" not in tmux.screen(), "a closed window")
            with open(scene, encoding="utf-8") as file:
                text = file.read()
            with open(scene, "w", encoding="utf-8") as file:
                file.write(text.replace("der Komet !" if run % 2 else "der Komet!",
                                        "der Komet!" if run % 2 else "der Komet !"))
            start = time.monotonic()
            while "Virtueller Drucker" not in tmux.screen():
                time.sleep(0.02)
            quickest = min(quickest, time.monotonic() - start)
        return quickest
    finally:
        tmux.tmux("kill-server", check=False)


if shutil.which("tmux") is not None:
    print("edit to the diff in the terminal, 60 commands", edit_to_terminal_diff() * 1000,
          "one plain walkthrough", walk * 1000, sep="\t")
